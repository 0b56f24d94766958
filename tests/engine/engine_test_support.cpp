#include "tests/engine/engine_test_support.h"

#include <cstdio>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "engine/binary_to_text.h"
#include "engine/text_to_binary.h"
#include "platform/system.h"

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) bytes += static_cast<char>(value);
    return bytes;
}

std::string Hex(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        if (!text.empty()) text += ' ';
        text += digits;
    }
    return text;
}

std::uint8_t Reversed(std::uint8_t byte) { return static_cast<std::uint8_t>(255 - byte); }
std::uint8_t Shifted(std::uint8_t byte) { return static_cast<std::uint8_t>(byte + 77); }

std::string ReversingTable() {
    std::string table;
    for (int i = 0; i < 256; ++i) table += static_cast<char>(Reversed(static_cast<std::uint8_t>(i)));
    return table;
}

std::string ShiftingTable() {
    std::string table;
    for (int i = 0; i < 256; ++i) table += static_cast<char>(Shifted(static_cast<std::uint8_t>(i)));
    return table;
}

::testing::AssertionResult LoadTarget(CTestEnvironment& env, CTargetInfo& target, const CTargetSetup& setup) {
    env.m_folder.Write("def.txt", setup.definition);
    for (const auto& [name, contents] : setup.files) env.m_folder.Write(name, contents);
    env.m_folder.Write("target.ini", "[FileInfo]\r\n"
                                     "RecordDefinitionFileRP=def.txt\r\n"
                                     "BStartPosition=" + std::to_string(setup.startPosition) + "\r\n"
                                     "BRecordSize=" + std::to_string(setup.recordSize) + "\r\n"
                                     "BRecordCount=" + std::to_string(setup.recordCount) + "\r\n"
                                     "TDelimiter=" + setup.delimiter + "\r\n" + setup.extraKeys);
    target.Reset(target.DefaultName());
    if (!target.Load("target.ini")) return ::testing::AssertionFailure() << target.m_message;
    if (!target.CheckReady()) return ::testing::AssertionFailure() << target.m_message;
    target.m_fileInfo.m_binaryFilePath = env.m_folder.Path() + "data.bin";
    target.m_fileInfo.m_textFilePath = env.m_folder.Path() + "text.csv";
    return ::testing::AssertionSuccess();
}

namespace {
template <class Conversion>
bool RunConversion(CTargetInfo& target, const std::string& path, unsigned mode, Conversion convert) {
    CFile output;
    try {
        output.Open(path, mode);
    } catch (...) {
        target.m_message = Word(wCantOpenFile) + "\r\n" + FailureText();
        return false;
    }
    const bool converted = convert(output);
    if (converted)
        output.Close();
    else if (target.m_message != Word(wStop))
        output.Discard();
    return converted;
}
}

bool ConvertTargetToText(CTargetInfo& target, CProgress& progress, unsigned mode, const CConversionThreads& threads) {
    return RunConversion(target, target.m_fileInfo.m_textFilePath, mode,
                         [&](CFile& output) { return ConvertToText(target, output, progress, threads); });
}

bool ConvertTargetToBinary(CTargetInfo& target, CProgress& progress, bool firstColumnIsIndex, bool writeIndexList,
                           unsigned mode, const CConversionThreads& threads) {
    return RunConversion(target, target.m_fileInfo.m_binaryFilePath, mode, [&](CFile& output) {
        return ConvertToBinary(target, output, firstColumnIsIndex, writeIndexList, progress, threads);
    });
}

std::string ReadFile(const std::string& path) {
    std::string contents;
    if (!ReadFileIfExists(path, contents)) return std::string();
    return contents;
}
