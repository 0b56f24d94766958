// "Binary => Text" of any bytes under any record definition, and the way back. The input is a
// conversion input (fuzz/conversion_target.h) whose data part is the binary file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "definition/target_info.h"
#include "engine/record_seek.h"
#include "fuzz/conversion_target.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n"; // a text file's LF as text mode writes it

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Whether reading the text can give back exactly the cells the records gave. Reading trims every
// cell, ends a line at "//", skips empty lines and stops at a 0x1A byte, and a cell holding a
// line break or the delimiter splits what it stands in; none of that can come back. Text items
// with number codes are left out too: their meanings are replaced by code bytes wherever they
// stand, also where the record's own text spells a meaning, so their cells need not come back.
bool CanComeBack(const CTargetInfo& target, const std::string& text, std::size_t records) {
    for (const CRecordItem& item : target.m_recordDefinition.m_items)
        if (item.m_itemCount > 0 && item.m_conversionType == convText && item.m_numberCodes[0] >= 0) return false;
    if (text.find('\x1A') != std::string::npos) return false;
    const std::string& delimiter = target.m_fileInfo.m_textDelimiter;
    const auto columns = static_cast<std::size_t>(target.m_recordDefinition.m_totalColumnCount);
    std::string_view rest(text);
    std::size_t lines = 0;
    std::vector<std::string_view> cells;
    while (!rest.empty()) {
        const std::size_t end = rest.find(kLineEnd);
        if (end == std::string_view::npos) return false;
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + kLineEnd.size());
        if (lines++ == 0) continue; // the header line
        if (line.empty() || line.find("//") != std::string_view::npos) return false;
        cells.clear();
        for (std::size_t start = 0;;) {
            const std::size_t at = line.find(delimiter, start);
            cells.push_back(line.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
            if (at == std::string_view::npos) break;
            start = at + delimiter.size();
        }
        if (cells.size() != columns) return false;
        for (const std::string_view cell : cells)
            if (!cell.empty() && (IsWhiteSpace(cell.front()) || IsWhiteSpace(cell.back()))) return false;
    }
    return lines == records + 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CConversionInput input;
    if (!WriteConversionFiles(data, size, input)) return 0;
    WriteFuzzFile("data.bin", input.data);
    CTargetInfo target;
    if (!LoadConversionTarget(target, input)) return 0;

    const std::string textPath = target.m_fileInfo.m_textFilePath;
    RemoveFuzzFile("text.csv");
    if (!ConvertToTextFile(target, textPath)) {
        Require(ReadFuzzFile("text.csv").empty(), "a failed run removes the text file it created");
        return 0;
    }
    const std::string text = ReadFuzzFile("text.csv");
    Require(text.starts_with(target.m_recordDefinition.m_headerLine + std::string(kLineEnd)),
            "the text starts with the header line");

    // The text goes back into a copy of the binary file, whose fillers it keeps, and that copy
    // converts to the same text again.
    const std::size_t records =
        UsesIndexList(target) ? target.m_indexList.EntryCount() : static_cast<std::size_t>(target.m_fileInfo.m_recordCount);
    if (!CanComeBack(target, text, records)) return 0;
    target.m_fileInfo.m_binaryFilePath = WriteFuzzFile("back.bin", input.data);
    Require(ConvertToBinaryFile(target, target.m_fileInfo.m_binaryFilePath, false, false),
            "the text a binary file gave converts back");
    RemoveFuzzFile("again.csv");
    Require(ConvertToTextFile(target, FuzzFolder() + "again.csv"), "the binary file converted back converts again");
    Require(ReadFuzzFile("again.csv") == text, "the text is the same after a round trip");
    return 0;
}
