// Record definition files, and the number-code files their lines name. The input is the
// definition, optionally followed by a separator line and the number-code file "codes.tsv".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "definition/target_info.h"
#include "engine/binary_to_text.h"
#include "engine/text_to_binary.h"
#include "fuzz/fuzz_support.h"
#include "support/table_file_reader.h"

namespace {

constexpr std::string_view kDefaultCodes = "0\tzero\n1\tone\n";

bool IsBitCount(int type) { return type != convText && type != convSigned && type != convUnsigned; }

// What a loaded definition promises the conversions.
void CheckLoaded(const CTargetInfo& target, int recordSize) {
    const CRecordDefinition& definition = target.m_recordDefinition;
    Require(definition.m_totalLength == recordSize, "the items fill the record size exactly");
    int offset = 0;
    int columns = 0;
    std::string headerLine = "//";
    for (const CRecordItem& item : definition.m_items) {
        Require(item.m_offset == offset, "each item starts where the one before it ends");
        Require(item.m_length >= 1 && item.m_length <= kMaxItemLength, "item lengths are in range");
        Require(item.m_itemCount >= 0 && item.m_itemCount <= 8 * item.m_length, "column counts are in range");
        if (item.m_itemCount > 0 && item.m_conversionType != convText)
            Require(item.m_length <= kMaxNumericItemLength, "numbers come from at most four bytes");
        if (item.m_itemCount > 1) Require(IsBitCount(item.m_conversionType), "only bit fields give several columns");
        Require(item.m_headers.size() == static_cast<std::size_t>(item.m_itemCount), "one header per column");
        for (const int slot : item.m_numberCodes)
            Require(slot >= -1 && slot < static_cast<int>(target.m_numberCodes.TableCount()),
                    "number-code slots name loaded tables");
        for (const std::string& header : item.m_headers) headerLine += header + definition.m_textDelimiter;
        offset += item.m_length;
        columns += item.m_itemCount;
    }
    Require(columns == definition.m_totalColumnCount && columns > 0, "the column total counts every column");
    headerLine.resize(headerLine.size() - definition.m_textDelimiter.size());
    Require(definition.m_headerLine == headerLine, "the header line joins the headers");
}

// A definition that loads converts: a record of zeros gives a line, and with every number-code
// table loaded the line's cells give the same record back.
void CheckConverts(CTargetInfo& target, int recordSize) {
    const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(recordSize), 0);
    std::string line;
    Require(RecordToLine(target, zeros.data(), line), "a loaded definition turns a record into a line");
    if (!target.m_numberCodes.m_message.empty()) return;
    std::vector<std::string_view> fields;
    SplitFields(target.m_fileInfo.m_textDelimiter, line, fields, false);
    std::vector<std::uint8_t> record(zeros.size(), 0);
    LineToRecord(target, record.data(), static_cast<std::uint32_t>(record.size()), fields);
    std::string again;
    Require(RecordToLine(target, record.data(), again) && again == line, "the cells of a record give it back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = SplitInput(data, size, 2);
    WriteFuzzFile("def.txt", parts[0]);
    WriteFuzzFile("codes.tsv", parts.size() > 1 ? parts[1] : kDefaultCodes);

    // The record size is not known before the lines are read: a first load with size 0 reads
    // every line it can, and a definition that fails only on the size loads again with its total.
    CTargetInfo target;
    target.m_fileInfo.m_textDelimiter = ",";
    target.m_recordDefinition.Load("def.txt", 0, ",", target.m_numberCodes);
    const int total = target.m_recordDefinition.m_totalLength;
    Require(target.m_recordDefinition.m_ok == 0 && !target.m_recordDefinition.m_message.empty(),
            "a definition of another size fails with a message");
    if (total <= 0) return 0;

    target.m_numberCodes.Reset();
    target.m_fileInfo.m_textDelimiter = "\t";
    target.m_fileInfo.m_recordSize = total;
    if (!target.m_recordDefinition.Load("def.txt", total, "\t", target.m_numberCodes)) return 0;
    CheckLoaded(target, total);
    // Conversions are not tried on records too big for a quick run.
    if (total <= 64 * 1024) CheckConverts(target, total);
    return 0;
}
