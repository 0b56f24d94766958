#include "app/app_state.h"

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "support/value_conversions.h"
#include "platform/file_exception.h"
#include "platform/private_profile.h"
#include "support/paths.h"

namespace {
const char* const kPreviewGeometryKeys[] = {"left", "top", "width", "height"};
}

CAppState::CAppState() {
    m_words.ResetWords();
    for (CTargetInfo& slot : m_slots) slot.Reset("FileInfo" + std::to_string(slot.m_slot));
}

std::string CAppState::DefaultSettingsPath() { return ProgramPathPart(partDriveFolderName) + ".ini"; }

bool CAppState::HasSection(const CProfile& settings, const std::string& section) {
    std::string search = "]";
    for (const std::string& name : settings.SectionNames()) search += name + "]";
    return search.find("]" + section + "]") != std::string::npos;
}

// A position value is taken only when it is a whole number within -0x40000000..0x3FFFFFFF.
void CAppState::ReadPositionValue(const CProfile& settings, const char* section, const char* key, int& value) {
    const std::string text = settings.GetString(section, key);
    std::int32_t number = 0;
    if (ParseSigned(text, number, parseRange, -1073741824, 1073741823)) value = number;
}

void CAppState::LoadSettings(const std::string& settingsPath) {
    m_settingsPath = settingsPath;
    m_settingsError.clear();
    m_left = m_top = kPositionUnset;
    m_words.ResetWords();
    if (m_labels) m_labels->ResetLabels("");

    // One reading serves every section, so the settings are one consistent view of the file.
    CProfile settings;
    try {
        settings = CProfile::Read(settingsPath);
    } catch (...) {
        m_messageText = m_settingsError = FailureText();
        return;
    }
    if (HasSection(settings, "DialogPosition")) {
        ReadPositionValue(settings, "DialogPosition", "validity", m_positionValidity);
        ReadPositionValue(settings, "DialogPosition", "left", m_left);
        ReadPositionValue(settings, "DialogPosition", "top", m_top);
    }
    m_previewGeometry.fill(kPositionUnset);
    if (HasSection(settings, "PreviewWindow"))
        for (std::size_t i = 0; i < m_previewGeometry.size(); ++i)
            ReadPositionValue(settings, "PreviewWindow", kPreviewGeometryKeys[i], m_previewGeometry[i]);
    if (HasSection(settings, "Translations")) {
        m_words.LoadWords(settings, "Translations");
        if (m_labels) m_labels->LoadLabels(settings, "Translations");
    }
    if (!HasSection(settings, "FileInfoDefaultRP")) {
        BeginMessage("FileInfoDefaultRP");
        AddWord(wNotSet, sepSpace);
        m_messageText = JoinedMessage();
        return;
    }
    for (CTargetInfo& slot : m_slots) {
        // The key is the slot's name from construction; the name shown becomes the vocabulary's.
        const std::string path = settings.GetString("FileInfoDefaultRP", slot.m_name);
        slot.m_name = slot.DefaultName();
        if (!path.empty()) {
            slot.Load(path);
        } else {
            // Its failure is reported under the name its radio button shows.
            slot.m_fileInfo.m_name = slot.m_name;
            slot.m_fileInfo.m_message = Word(wNotSet);
        }
    }
}

void CAppState::SavePreviewGeometry(const std::array<int, 4>& geometry) {
    for (std::size_t i = 0; i < geometry.size(); ++i) {
        if (geometry[i] == m_previewGeometry[i]) continue;
        try {
            WriteProfileString(m_settingsPath, "PreviewWindow", kPreviewGeometryKeys[i], std::to_string(geometry[i]));
        } catch (const CFileException&) {
        }
        m_previewGeometry[i] = geometry[i];
    }
}
