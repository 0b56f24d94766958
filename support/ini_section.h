#pragma once
#include <string>

#include "platform/private_profile.h"
#include "support/named_item.h"

// Reads one section of an INI file. The file is read once, when the path is resolved; every
// key comes from that one reading.
class CIniSection : public CFileItem {
public:
    void Reset(const std::string& section);
    void SetSection(const std::string& section) { m_section = section; }
    // Fixes the INI file's full path and reads the file; false with the reason as the message.
    bool Resolve();
    // Takes the contents of an INI file read already, so one reading serves several sections.
    void UseProfile(const CProfile& profile) { m_profile = profile; }
    std::string GetString(const std::string& key) const;

    std::string m_iniPath;
    std::string m_section;

private:
    CProfile m_profile;
};
