#pragma once
#include <array>
#include <string>
#include <vector>

#include "support/value_conversions.h"
#include "support/table_file_reader.h"

class CNumberCodeSet;

constexpr int kNumberCodeSlots = 31;
constexpr int kMaxItemLength = 2050;
// Signed, unsigned and bit-field values are converted from items of at most this many bytes.
constexpr int kMaxNumericItemLength = 4;

// One item of a record, from one data line of a record definition file.
class CRecordItem {
public:
    CRecordItem() { m_numberCodes.fill(-1); }

    std::string m_name;
    int m_length = 0;
    int m_readDirection = readNormal;
    int m_conversionType = convText; // convText, convSigned, convUnsigned or a bit count
    int m_itemCount = 0;             // text columns; 0 for a filler
    std::array<int, kNumberCodeSlots> m_numberCodes; // per column: a table index, or -1
    std::vector<std::string> m_headers;
    int m_offset = 0; // bytes of the record in front of the item
};

// The layout of one record, read from a comma-separated definition file: its items in order,
// their totals and the header line of the text files.
class CRecordDefinition : public CTableFileReader {
public:
    void Reset();
    bool Load(const std::string& path, int recordSize, const std::string& textDelimiter,
              CNumberCodeSet& numberCodes);
    // Parses the fields of the current line into a new item, appends it and returns its length;
    // throws the failure text of a bad line.
    int ParseItem(CNumberCodeSet& numberCodes);
    // Whether the first text column can be taken as the record number.
    bool HasIndexItem() const;

    std::vector<CRecordItem> m_items;
    int m_filler = 0; // 1 once an item without columns was read
    int m_totalLength = 0;
    std::string m_headerLine = "//";
    int m_totalColumnCount = 0;
    std::string m_textDelimiter = "\t";
};
