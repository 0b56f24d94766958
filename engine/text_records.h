#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/record_format.h"
#include "support/table_file_reader.h"

class CFile;
class CProgress;
class CTargetInfo;

// The records the data lines of the target's text file make, one line at a time, as Text =>
// Binary writes them: where each goes (consecutively from the start position, by the record
// index list, or at the record number of its first column) and its bytes, built over those of
// the existing record when the definition has fillers.
class CTextRecords {
public:
    CTextRecords(CTargetInfo& target, bool firstColumnIsIndex)
        : m_target(target), m_firstColumnIsIndex(firstColumnIsIndex) {}

    // Opens the text file; throws the failure text.
    void Open();
    // The records the run writes: the index list's entries, else the record count.
    std::uint32_t Count() const { return m_total; }
    bool KeepsFillers() const { return m_keepFillers; }
    bool Quoting() const { return m_reader.m_quoting; }
    // Reads the next data line, then asks the progress display whether to stop: false at the end
    // of the text or of the index list's entries, or after a confirmed stop (then Stopped, and
    // the target's message word 28). Throws the failure text of a line whose quotes fail.
    bool NextLine(CProgress& progress);
    // Asks the progress display whether to stop, as NextLine does.
    bool PollStop(CProgress& progress);
    // Takes the data line read as the next line to convert, as NextLine does: false when the
    // index list's entries are used up.
    bool TakeLine();
    // Takes count data lines at once, in a run whose records follow each other.
    void TakeLines(std::uint32_t count) { m_lines += count; }
    bool Stopped() const { return m_stopped; }
    // Finds the record of the current line; throws the failure text of a record number out of
    // range, of an entry that is no record, or of a line beyond the record count.
    void Place() { Place(m_firstColumnIsIndex ? FirstColumnIndex(m_reader.m_fields[0]) : 0); }
    // The same with the record number the line's first column gives, already read.
    void Place(std::uint32_t firstColumnIndex);
    std::uint64_t Position() const { return m_position; }
    std::uint32_t RecordIndex() const { return m_recordIndex; }
    // Data lines taken so far.
    std::uint32_t Lines() const { return m_lines; }
    // Reads the existing record at the file's position, for the bytes of the fillers; throws the
    // failure text.
    void ReadExisting(CFile& binary);
    // Builds the record of the current line and returns it as stored (encrypted); throws the
    // failure text.
    const std::uint8_t* Build();
    // A record built elsewhere over other bytes, finished as Build would have built it over the
    // existing record read last: its fillers taken from that record, and encrypted. Returns it
    // as stored.
    const std::uint8_t* Finish(std::uint8_t* built);
    // Adds the cells of the line built last that do not fit their items.
    void FindCuts(std::vector<CCutCell>& cuts) { m_format->FindCuts(m_reader.m_fields, m_scratch, cuts); }
    const CRecordFormat& Format() const { return *m_format; }
    const std::string& LineNote() const { return m_reader.m_lineNote; }
    // Notes a line of the text file read in blocks, as reading it line by line notes it.
    void NoteLine(std::uint32_t lineNumber);
    // The text file, for reading it in blocks instead of lines.
    CFile& File() { return m_reader.m_file; }
    const std::string& Delimiter() const { return m_reader.m_delimiter; }
    void Close() { m_reader.Close(); }

    // The record number a first column gives; throws the failure text.
    static std::uint32_t FirstColumnIndex(std::string_view field);

private:
    CTargetInfo& m_target;
    bool m_firstColumnIsIndex;
    CTableFileReader m_reader;
    std::optional<CRecordFormat> m_format;
    std::uint32_t m_recordSize = 0;
    std::uint32_t m_total = 0;
    bool m_byIndex = false;
    bool m_encrypt = false;
    bool m_keepFillers = false;
    bool m_stopped = false;
    std::uint32_t m_lines = 0;  // data lines taken
    std::uint32_t m_cursor = 0; // the next index list entry
    std::uint32_t m_recordIndex = 0;
    std::uint64_t m_position = 0;
    std::unique_ptr<std::uint8_t[]> m_plain;
    std::unique_ptr<std::uint8_t[]> m_stored;
    std::string m_scratch;
};
