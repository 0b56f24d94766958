#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CTargetInfo;

// A column of the records' text: its header, and the item of the definition that gives it.
struct CPreviewColumn {
    std::string header;
    std::size_t item = 0;     // index of the item in the definition
    int field = 0;            // the column within the item, from 0
    std::uint32_t offset = 0; // the item's bytes in the record
    std::uint32_t length = 0;
};

// One record as Binary => Text takes it.
struct CPreviewRecord {
    std::uint32_t number = 0;        // in the run, from 1: the "At line" of its notes
    std::uint32_t recordIndex = 0;   // in the file, from 0 at the start position
    std::uint64_t position = 0;      // of its first byte in the file
    std::vector<std::uint8_t> bytes; // as stored
    std::string line;                // as Binary => Text writes it, without line end
    std::vector<std::string> cells;  // by column, unquoted
    std::vector<char> marked;        // by column: its item would not survive the round trip
    std::string failure;             // why Binary => Text would fail the record, with its note
};

// The records of a loaded target, in the order Binary => Text converts them, read on demand:
// a page reads only its own records, with the binary file held against writers only meanwhile.
class CRecordPreview {
public:
    explicit CRecordPreview(CTargetInfo& target);

    const std::vector<CPreviewColumn>& Columns() const { return m_columns; }
    // How many records a run converts: the record count, or the entries of the index list.
    std::uint32_t Count() const { return m_count; }
    // Reads the records numbered first + 1 to first + count (as far as there are), converting
    // each as Binary => Text does; a record Binary => Text would fail carries the failure text. A
    // record that cannot be read, as at the end of a short file, ends the page. Throws the failure
    // text when the binary file cannot be opened.
    void Read(std::uint32_t first, std::uint32_t count, std::vector<CPreviewRecord>& records);

private:
    CTargetInfo& m_target;
    std::vector<CPreviewColumn> m_columns;
    std::uint32_t m_count = 0;
};
