#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/record_preview.h"

class CAppState;
class CTargetInfo;

// What a preview shows: a target info file, and the files put in place of those it names, as
// the main window's fields put them.
struct CPreviewSource {
    std::string targetPath;
    std::string binaryPath;                   // empty: the target's own
    std::optional<std::string> indexListPath; // none: the target's own; empty: no list
    unsigned loads = 0;                       // counts the main window's loads, so that each one refreshes

    bool operator==(const CPreviewSource&) const = default;
};

// The preview of one target: its records as Binary => Text converts them, read page by page as a
// view asks for them, from a copy of the target of its own, loaded afresh on each Reload. Only a
// few pages are kept, so memory stays the same however far the view scrolls.
class CPreviewModel {
public:
    static constexpr std::uint32_t kPageSize = 128;
    static constexpr std::size_t kPagesKept = 8;

    explicit CPreviewModel(const CAppState& app);
    ~CPreviewModel();

    // The target to load, and the files to read instead of its own. Loads it.
    void Open(const CPreviewSource& source);
    void Open(const std::string& targetPath, const std::string& binaryPath = std::string()) {
        Open(CPreviewSource {targetPath, binaryPath, std::nullopt, 0});
    }
    const CPreviewSource& Source() const { return m_source; }
    // Loads the target again and forgets the pages read.
    void Reload();

    // Why nothing can be shown, in the words of the job or the target's readiness check; empty
    // when the records can be shown.
    const std::string& Failure() const { return m_failure; }
    // The target's label, or its file's name.
    std::string Title() const;
    std::uint32_t RowCount() const;
    const std::vector<CPreviewColumn>& Columns() const;
    std::uint32_t RecordSize() const;
    // The header line and the delimiter, as Binary => Text writes them.
    std::string HeaderLine() const;
    std::string Delimiter() const;
    // The record of a row, its page read when it is not kept. A page that cannot be read makes
    // its failure the preview's, and gives an empty record.
    const CPreviewRecord& Row(std::uint32_t row);
    // The row's title: its number in the run, with the record it names where an index list
    // picks the records ("3: 12").
    std::string RowTitle(std::uint32_t row);
    // The files whose change can change what the preview shows: the target info file, the
    // definition, the number-code files, the code tables, the index list and the binary file.
    std::vector<std::string> WatchedFiles() const;
    // A failure of Binary => Text at a record ("At line n. ..."), or before any (" ..."), as the
    // job reports it.
    std::string JobFailure(const std::string& failure) const;
    // How many pages were read since the last Open or Reload: for tests of reading on demand.
    std::uint64_t PagesRead() const { return m_pagesRead; }

private:
    struct CPage {
        std::uint32_t first = 0;
        std::uint64_t lastUse = 0;
        std::vector<CPreviewRecord> records;
    };

    const CAppState& m_app;
    CPreviewSource m_source;
    std::unique_ptr<CTargetInfo> m_target;
    std::unique_ptr<CRecordPreview> m_preview;
    std::string m_failure;
    std::vector<CPage> m_pages;
    std::uint64_t m_uses = 0;
    std::uint64_t m_pagesRead = 0;
    CPreviewRecord m_empty;
};
