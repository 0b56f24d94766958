#include "crypt/code_table.h"

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "platform/file.h"
#include "support/paths.h"

namespace {
constexpr unsigned kReadMode = modeRead | shareDenyWrite | typeBinary;
}

void CCodeTable::Reset(const std::string& name) {
    CFileItem::Reset(name);
    m_data.fill(0);
    m_hasData = false;
}

void CCodeTable::OpenForReading(CFile& file, const std::string& fullPath) { file.Open(fullPath, kReadMode); }

bool CCodeTable::LoadFile(const std::string& path) {
    Reset("");
    try {
        if (!SetPath(path)) return false;
        m_ok = 0;
        const std::string fullPath = FullPath();
        if (!ValidateFile(fullPath, kReadMode, m_message, false)) Fail(Word(wFilePath) + "\r\n" + m_message);

        CFile file;
        try {
            OpenForReading(file, fullPath);
        } catch (const CFileException& error) {
            Fail(Word(wCantOpenFile) + "\r\n" + FileExceptionText(&error));
        }
        file.Seek(0, CFile::begin);
        CodeTableBytes buffer{};
        const std::size_t count = file.Read(buffer.data(), buffer.size());
        file.Abort(); // only read: closing it cannot lose anything
        if (count < buffer.size()) Fail(Word(wCantReadFile));

        SetData(buffer);
        m_ok = 1;
        return true;
    } catch (...) {
        m_ok = 0;
        m_message = FailureText() + "\r\n" + path;
        return false;
    }
}

bool CCodeTable::BuildInverse(CodeTableBytes& out) {
    std::array<bool, kCodeTableSize> seen{};
    out.fill(0);
    for (unsigned i = 0; i < kCodeTableSize; ++i) {
        const std::uint8_t value = m_data[i];
        if (seen[value]) {
            MarkPosition(i);
            m_message = Word(wCodeRepeated) + m_message;
            return false;
        }
        seen[value] = true;
        out[value] = static_cast<std::uint8_t>(i);
    }
    return true;
}

void CCodeTable::SetData(const CodeTableBytes& bytes) {
    m_data = bytes;
    m_hasData = true;
}

void CCodeTable::MarkPosition(unsigned position) {
    m_ok = 0;
    m_message = " at " + std::to_string(position) + SpaceWord(wByte) + "\r\n" + " " + m_pathAsWritten;
}
