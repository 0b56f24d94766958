#include "support/named_item.h"

#include "vocabulary/messages.h"
#include "support/paths.h"

void CNamedItem::Reset(const std::string& name) {
    m_ok = 0;
    m_message.clear();
    if (!name.empty()) m_name = name;
}

std::string CNamedItem::ComposeError() const { return m_name + " " + Word(wError) + "\r\n" + m_message; }

void CFileItem::Reset(const std::string& name) {
    CNamedItem::Reset(name);
    m_pathKind = pathNone;
    m_pathAsWritten.clear();
    m_open = 0;
}

bool CFileItem::SetPath(const std::string& path) {
    m_pathAsWritten = path;
    m_message.clear();
    const int kind = ClassifyFilePath(path);
    std::string working;
    if (kind == 15) {
        m_pathKind = pathAbsolute;
        working = path;
    } else if (kind == 12 || kind == 14) {
        m_pathKind = pathRelative;
        working = ProgramDirectory() + path;
    }
    if (!working.empty() && CheckPathLength(working, m_message)) {
        if (FileExists(working)) {
            m_ok = 1;
            return true;
        }
        if (IsNoFile(working)) m_message = Word(wNotAFile) + "\r\n" + working;
    }
    m_pathKind = pathNone;
    m_ok = 0;
    m_message = Word(wFilePath) + " " + m_message;
    return false;
}

std::string CFileItem::FullPath() {
    if (m_pathKind == pathAbsolute) return m_pathAsWritten;
    if (m_pathKind == pathRelative) return ProgramDirectory() + m_pathAsWritten;
    m_ok = 0;
    m_message = Word(wFilePath) + "\r\n" + m_pathAsWritten;
    return std::string();
}
