#include "fuzz/conversion_target.h"

#include <vector>

#include "engine/binary_to_text.h"
#include "support/progress.h"
#include "engine/text_to_binary.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr std::string_view kDefaultCodes = "0\tzero\n1\tone\n2\ttwo\n";
constexpr std::string_view kDefaultIndexList = "0\n1\t0\t1\n";

// A decryption table that is not its own inverse, and its inverse.
void WriteCodeTables() {
    static const bool written = [] {
        std::string decrypt, encrypt(256, '\0');
        for (int i = 0; i < 256; ++i) {
            decrypt += static_cast<char>((i + 77) % 256);
            encrypt[static_cast<std::size_t>((i + 77) % 256)] = static_cast<char>(i);
        }
        WriteFuzzFile("decrypt.tbl", decrypt);
        WriteFuzzFile("encrypt.tbl", encrypt);
        return true;
    }();
    Require(written, "the code tables are written");
}

// The total length of the definition's items, read by a load that expects no length at all.
int DefinitionLength(const std::string& delimiter) {
    CRecordDefinition definition;
    CNumberCodeSet codes;
    codes.Reset();
    definition.Load("def.txt", 0, delimiter, codes);
    return definition.m_totalLength;
}

template <class Conversion>
bool RunConversion(CTargetInfo& target, const std::string& path, unsigned mode, Conversion convert) {
    CFile output;
    try {
        output.Open(path, mode);
    } catch (...) {
        // Only a file that an earlier run left held could refuse.
        Require(false, "the output file opens");
    }
    target.m_message = "Fuzz";
    const bool converted = convert(output);
    Require(converted == target.m_message.empty(), "a conversion's message is empty exactly after success");
    if (converted) output.Close();
    else output.Discard();
    return converted;
}

} // namespace

bool WriteConversionFiles(const std::uint8_t* data, std::size_t size, CConversionInput& input) {
    if (size == 0) return false;
    const std::uint8_t options = data[0];
    input.tabDelimiter = options & 1u;
    input.codeTables = options & 2u;
    input.indexList = options & 4u;
    input.startPosition = (options >> 3) & 3;
    input.recordCount = 1 + (options >> 5);
    const std::vector<std::string_view> parts = SplitInput(data + 1, size - 1, 4);
    if (parts.size() < 2) return false;
    input.definition = parts[0];
    input.data = parts[1];
    WriteFuzzFile("def.txt", input.definition);
    WriteFuzzFile("codes.tsv", parts.size() > 2 ? parts[2] : kDefaultCodes);
    WriteFuzzFile("index.tsv", parts.size() > 3 ? parts[3] : kDefaultIndexList);
    WriteCodeTables();
    return true;
}

bool LoadConversionTarget(CTargetInfo& target, const CConversionInput& input) {
    const int recordSize = DefinitionLength(input.tabDelimiter ? "\t" : ",");
    if (recordSize <= 0 ||
        static_cast<std::size_t>(recordSize) * static_cast<std::size_t>(input.recordCount) > kMaxConvertedBytes)
        return false;
    std::string ini = "[FileInfo]\r\nRecordDefinitionFileRP=def.txt\r\n";
    ini += "BStartPosition=" + std::to_string(input.startPosition) + "\r\n";
    ini += "BRecordSize=" + std::to_string(recordSize) + "\r\n";
    ini += "BRecordCount=" + std::to_string(input.recordCount) + "\r\n";
    ini += input.tabDelimiter ? "TDelimiter=T\r\n" : "TDelimiter=,\r\n";
    if (input.codeTables) ini += "B2TDecryptTableFileRP=decrypt.tbl\r\nT2BEncryptTableFileRP=encrypt.tbl\r\n";
    if (input.indexList) ini += "BRecordIndexListFilePath=index.tsv\r\n";
    WriteFuzzFile("target.ini", ini);

    target.Reset(target.DefaultName());
    if (!target.Load("target.ini") || !target.CheckReady()) return false;
    target.m_fileInfo.m_binaryFilePath = FuzzFolder() + "data.bin";
    target.m_fileInfo.m_textFilePath = FuzzFolder() + "text.csv";
    return true;
}

bool ConvertToTextFile(CTargetInfo& target, const std::string& path) {
    CProgress progress;
    return RunConversion(target, path, kTextOutputMode,
                         [&](CFile& output) { return ConvertToText(target, output, progress); });
}

bool ConvertToBinaryFile(CTargetInfo& target, const std::string& path, bool firstColumnIsIndex, bool writeIndexList) {
    CProgress progress;
    return RunConversion(target, path, kBinaryUpdateMode, [&](CFile& output) {
        return ConvertToBinary(target, output, firstColumnIsIndex, writeIndexList, progress);
    });
}
