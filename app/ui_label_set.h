#pragma once
#include <string>

#include "support/ini_section.h"

// The translated captions of the main window's controls 1008..1037 and the seven labels of the
// target information panel.
class CUiLabelSet : public CIniSection {
public:
    static constexpr int kFirstControlId = 1008;
    static constexpr int kControlCount = 30;
    static constexpr int kInfoLabelCount = 7;

    void ResetLabels(const std::string& name);
    // Translates the captions and labels from a section of the settings file.
    void LoadLabels(const CProfile& settings, const std::string& section);

    std::string ControlLabel(int controlId) const;
    // The caption a control shows: its translation, or the window's own caption.
    std::string Caption(int controlId) const;
    static const char* DefaultCaption(int controlId);
    const std::string& InfoLabel(int index) const { return m_infoLabels[index]; }
    std::string InfoLabelColumn() const;

    static const char* ControlKey(int index);
    static std::string BuiltInInfoLabel(int index);

private:
    std::string m_controlLabels[kControlCount];
    std::string m_infoLabels[kInfoLabelCount];
};
