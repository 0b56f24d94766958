#include "engine/check_report.h"

namespace {
// "1 record" or "2 records".
std::string Count(std::uint64_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}
}

void CCheckReport::Keep(std::string line) {
    ++m_problems;
    if (m_lines.size() < m_limit) m_lines.push_back(std::move(line));
}

void CCheckReport::AddChange(std::string line) {
    ++m_changing;
    Keep(std::move(line));
}

void CCheckReport::AddFailure(std::string line) {
    ++m_failing;
    Keep(std::move(line));
}

void CCheckReport::AddCut(std::string line) {
    ++m_cut;
    Keep(std::move(line));
}

std::string CCheckReport::Text() const {
    std::string text;
    for (const std::string& line : m_lines) text += line + "\r\n";
    if (m_problems > m_lines.size())
        text += "... and " + std::to_string(m_problems - m_lines.size()) + " more, " +
            Count(m_problems, "problem") + " in all\r\n";
    if (m_kind == roundTrip)
        return text + Count(m_checked, "record") + " checked, " + std::to_string(m_changing) + " would change, " +
            std::to_string(m_failing) + " would fail.";
    return text + Count(m_writable, "record") + " would be written.\r\n" + Count(m_checked, "line") + " checked, " +
        std::to_string(m_failing) + " would fail, " + Count(m_cut, "cell") + " would be cut.";
}
