#include "support/ini_section.h"

#include "platform/private_profile.h"

void CIniSection::Reset(const std::string& section) {
    CFileItem::Reset(section);
    m_section = section;
    m_iniPath.clear();
}

bool CIniSection::Resolve() {
    m_iniPath = FullPath();
    return !m_iniPath.empty();
}

std::string CIniSection::GetString(const std::string& key) const {
    if (key.empty()) return std::string();
    return GetProfileString(m_iniPath, m_section, key);
}
