#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What a check found: its problem lines, the first so many of them kept, and its counts. It
// grows with the kept lines only, however many records or lines are checked.
class CCheckReport {
public:
    // Binary => Text => Binary checks records; the dry run of Text => Binary checks lines.
    enum Kind { roundTrip, dryRun };
    static constexpr std::size_t kDefaultLimit = 100;

    explicit CCheckReport(Kind kind, std::size_t limit = kDefaultLimit) : m_kind(kind), m_limit(limit) {}

    // A record whose bytes would change.
    void AddChange(std::string line);
    // A record or line that would fail.
    void AddFailure(std::string line);
    // A cell that would be cut.
    void AddCut(std::string line);

    // Nothing would change, fail or be cut.
    bool Clean() const { return m_changing == 0 && m_failing == 0 && m_cut == 0; }
    const std::vector<std::string>& Lines() const { return m_lines; }
    // The kept lines, how many more there were, and the counts, in CR LF lines.
    std::string Text() const;

    std::uint32_t m_checked = 0;  // records or lines
    std::uint32_t m_writable = 0; // dry run: records that would be written

private:
    void Keep(std::string line);

    Kind m_kind;
    std::size_t m_limit;
    std::vector<std::string> m_lines;
    std::uint64_t m_problems = 0;
    std::uint32_t m_changing = 0;
    std::uint32_t m_failing = 0;
    std::uint32_t m_cut = 0;
};
