#pragma once
#include <array>
#include <climits>
#include <memory>
#include <string>

#include "vocabulary/message_texts.h"
#include "app/ui_label_set.h"
#include "definition/target_info.h"
#include "platform/private_profile.h"

constexpr int kSlotCount = 3;
constexpr int kPositionUnset = INT_MIN;

// What the application holds while it runs, apart from the window system: the vocabulary, the
// three target slots, the message area's text, the remembered window position and the
// settings file. The desktop program and the command line both start from it.
class CAppState {
public:
    CAppState();

    // The settings file beside the program: its path without extension, then ".ini".
    static std::string DefaultSettingsPath();
    // Reads the settings file: window position, translations, and the target of each slot. A
    // settings file that exists but cannot be read loads nothing: its failure becomes the
    // message text and the settings error.
    void LoadSettings(const std::string& settingsPath);
    // Whether the settings file's list of section names holds the section, spelt exactly.
    static bool HasSection(const CProfile& settings, const std::string& section);

    CMessageTexts m_words; // first: the slots' components take their names from it
    std::unique_ptr<CUiLabelSet> m_labels = std::make_unique<CUiLabelSet>();
    std::array<CTargetInfo, kSlotCount> m_slots {CTargetInfo(1), CTargetInfo(2), CTargetInfo(3)};
    static constexpr std::array<int, kSlotCount> kSlotControlIds {1038, 1039, 1040};
    std::string m_messageText;
    int m_positionValidity = 0;
    int m_left = kPositionUnset;
    int m_top = kPositionUnset;
    std::string m_settingsPath;
    std::string m_settingsError; // why the settings file could not be read; empty when it could
    // Where the preview window was last, as left, top, width and height; unset where not known.
    std::array<int, 4> m_previewGeometry {kPositionUnset, kPositionUnset, kPositionUnset, kPositionUnset};

    // Remembers the preview window's place in the settings file, writing only the values that
    // changed. The window is closing: a file that cannot be written only forgets it.
    void SavePreviewGeometry(const std::array<int, 4>& geometry);

private:
    static void ReadPositionValue(const CProfile& settings, const char* section, const char* key, int& value);
};
