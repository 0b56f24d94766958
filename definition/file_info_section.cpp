#include "definition/file_info_section.h"

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "platform/code_page.h"
#include "support/text_codec.h"
#include "support/value_conversions.h"

void CFileInfoSection::Reset(const std::string& name) {
    CFileItem::Reset(name);
    m_section = "FileInfo";
    m_iniPath.clear();
    m_label.clear();
    m_infoText.clear();
    m_startPosition = 0;
    m_dataEnd = 0;
    m_recordSize = 0;
    m_recordCount = 0;
    m_textDelimiter = "\t";
    m_recordDefinitionPath.clear();
    m_decryptTablePath.clear();
    m_encryptTablePath.clear();
    m_indexListPath.clear();
    m_binaryFilePath.clear();
    m_textFilePath.clear();
    m_textFileBom = false;
    m_textQuoting = false;
    m_textCodec = nullptr;
    m_fileCodec = nullptr;
}

std::vector<std::pair<std::string, std::string>> CFileInfoSection::Encodings() const {
    std::vector<std::pair<std::string, std::string>> encodings;
    if (m_textCodec) encodings.emplace_back("BTextEncoding", m_textCodec->Name());
    if (m_fileCodec) encodings.emplace_back("FileEncoding", m_fileCodec->Name());
    return encodings;
}

// Paths and the label are the system's texts: decoded from the declared encoding, they go on
// into the ANSI code page on Windows, where the system takes no other.
std::string CFileInfoSection::GetText(const char* key) {
    std::string value = GetString(key);
    if (!m_fileCodec) return value;
    std::string text;
    std::size_t failedAt = 0;
    CodecFault fault = CodecFault::none;
    if (!m_fileCodec->ReadAll(value, text, failedAt, fault))
        Fail(std::string(key) + "." + m_fileCodec->FaultText(fault, value, failedAt, failedAt));
    std::string systemText;
    if (!Utf8ToSystemText(text, systemText, failedAt)) Fail(std::string(key) + Word(wRange, sepPeriod));
    return systemText;
}

bool CFileInfoSection::Load(const std::string& path, const std::string& name) {
    Reset(name);
    if (!SetPath(path) || !Resolve()) return false;
    try {
        ReadKeys();
    } catch (...) {
        m_message = FailureText();
        m_ok = 0;
        return false;
    }
    m_ok = 1;
    return true;
}

// An empty value is 0 unless the key is required.
std::int32_t CFileInfoSection::ParseNumber(const char* key, const std::string& value, std::int32_t low, bool required) {
    if (value.empty()) {
        if (required) Fail(std::string(key) + Word(wNotSet, sepPeriod));
        return 0;
    }
    std::int32_t number = 0;
    if (!ParseSigned(value, number, parseRange, low, 2147483647)) Fail(std::string(key) + Word(wRange, sepPeriod));
    return number;
}

namespace {
// The codec of an encoding key's value: none when it is empty.
const CTextCodec* CodecOf(const char* key, const std::string& name) {
    if (name.empty()) return nullptr;
    const CTextCodec* codec = CTextCodec::Find(name);
    if (!codec) Fail(std::string(key) + Word(wRange, sepPeriod));
    return codec;
}
}

void CFileInfoSection::ReadKeys() {
    // The encoding of the other values comes first.
    m_fileCodec = CodecOf("FileEncoding", GetString("FileEncoding"));
    m_label = GetText("Label");
    if (m_label.empty()) m_label = m_name + SpaceWord(wNotSet);

    m_recordDefinitionPath = GetText("RecordDefinitionFileRP");
    if (m_recordDefinitionPath.empty()) Fail("RecordDefinitionFileRP" + Word(wNotSet, sepPeriod));

    // The raw values enter the info text before they are checked.
    const std::string start = GetString("BStartPosition");
    m_infoText = start;
    m_startPosition = ParseNumber("BStartPosition", start, 0, false);
    const std::string size = GetString("BRecordSize");
    m_infoText += "\n" + size;
    m_recordSize = ParseNumber("BRecordSize", size, 1, true);
    const std::string count = GetString("BRecordCount");
    m_infoText += "\n" + count;
    m_recordCount = ParseNumber("BRecordCount", count, 1, true);
    const std::uint64_t dataEnd = static_cast<std::uint64_t>(m_startPosition) +
                                  static_cast<std::uint64_t>(m_recordSize) * static_cast<std::uint64_t>(m_recordCount);
    if (dataEnd > 4294967295u) Fail("BStartPosition + BRecordSize x BRecordCount" + Word(wMaxLengthOver, sepPeriod));
    m_dataEnd = static_cast<std::uint32_t>(dataEnd);

    const std::string delimiter = GetString("TDelimiter");
    m_infoText += "\n" + delimiter;
    m_textDelimiter = (delimiter == "T" || delimiter == "t") ? "\t" : ",";

    m_decryptTablePath = GetText("B2TDecryptTableFileRP");
    m_encryptTablePath = GetText("T2BEncryptTableFileRP");
    std::string mode = "--";
    if (!m_decryptTablePath.empty() && !m_encryptTablePath.empty())
        mode = Word(wBoth);
    else if (!m_decryptTablePath.empty())
        mode = Word(wDecrypt);
    else if (!m_encryptTablePath.empty())
        mode = Word(wEncrypt);
    m_infoText += "\n" + mode;

    m_binaryFilePath = GetText("BinaryFilePath");
    m_textFilePath = GetText("TextFilePath");
    m_indexListPath = GetText("BRecordIndexListFilePath");

    m_textFileBom = ReadSwitch("TextFileBOM");
    m_textQuoting = ReadSwitch("TextQuoting");
    m_textCodec = CodecOf("BTextEncoding", GetString("BTextEncoding"));
}

// A key that 1 switches on; empty or 0 leaves it off.
bool CFileInfoSection::ReadSwitch(const char* key) {
    const std::string value = GetString(key);
    if (value != "" && value != "0" && value != "1") Fail(std::string(key) + Word(wRange, sepPeriod));
    return value == "1";
}
