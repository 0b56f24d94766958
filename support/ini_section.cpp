#include "support/ini_section.h"

#include "vocabulary/failure.h"

void CIniSection::Reset(const std::string& section) {
    CFileItem::Reset(section);
    m_section = section;
    m_iniPath.clear();
    m_profile = CProfile();
}

bool CIniSection::Resolve() {
    m_iniPath = FullPath();
    if (m_iniPath.empty()) return false;
    try {
        m_profile = CProfile::Read(m_iniPath);
        return true;
    } catch (...) {
        m_ok = 0;
        m_message = FailureText();
        return false;
    }
}

std::string CIniSection::GetString(const std::string& key) const {
    if (key.empty()) return std::string();
    return m_profile.GetString(m_section, key);
}
