#pragma once
#include <string>

#include "support/named_item.h"

// Reads one section of an INI file.
class CIniSection : public CFileItem {
public:
    void Reset(const std::string& section);
    void SetSection(const std::string& section) { m_section = section; }
    bool Resolve();
    std::string GetString(const std::string& key) const;

    std::string m_iniPath;
    std::string m_section;
};
