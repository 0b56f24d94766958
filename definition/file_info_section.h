#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/ini_section.h"

class CTextCodec;

// The [FileInfo] section of a target info file.
class CFileInfoSection : public CIniSection {
public:
    void Reset(const std::string& name);
    bool Load(const std::string& path, const std::string& name);

    std::string m_label;
    std::string m_infoText; // lines separated by "\n", shown beside the information labels
    std::int32_t m_startPosition = 0;
    std::uint32_t m_dataEnd = 0; // start position + record size x record count
    std::int32_t m_recordSize = 0;
    std::int32_t m_recordCount = 0;
    std::string m_textDelimiter = "\t";
    std::string m_recordDefinitionPath;
    std::string m_decryptTablePath;
    std::string m_encryptTablePath;
    std::string m_indexListPath;
    std::string m_binaryFilePath;
    std::string m_textFilePath;
    bool m_textFileBom = false; // TextFileBOM=1: Binary => Text begins the text with a UTF-8 byte order mark
    bool m_textQuoting = false; // TextQuoting=1: the text's cells stand in quotes where they need them
    const CTextCodec* m_textCodec = nullptr; // BTextEncoding: the encoding of the text items, if declared
    const CTextCodec* m_fileCodec = nullptr; // FileEncoding: that of the target's own files, if declared

    // The keys of the declared encodings with their names: none for most targets.
    std::vector<std::pair<std::string, std::string>> Encodings() const;

private:
    void ReadKeys();
    bool ReadSwitch(const char* key);
    // A key's value, converted from the target's own encoding when it declares one.
    std::string GetText(const char* key);
    std::int32_t ParseNumber(const char* key, const std::string& value, std::int32_t low, bool required);
};
