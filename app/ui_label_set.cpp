#include "app/ui_label_set.h"

#include "vocabulary/message_texts.h"

namespace {
const char* const kControlKeys[CUiLabelSet::kControlCount] = {
    "btn.Text2Binary",            // 1008
    "btn.Binary2Text",            // 1009
    "lbl.path.BinaryFile",        // 1010
    "lbl.path.TextFile",          // 1011
    "lbl.path.ini",               // 1012
    "lbl.path.BRecordIndexList",  // 1013
    "btn.Browse", "btn.Browse", "btn.Browse", "btn.Browse",           // 1014..1017
    "btn.SavePath", "btn.SavePath", "btn.SavePath", "btn.SavePath",   // 1018..1021
    "btn.Clear", "btn.Clear",     // 1022, 1023
    "btn.DecryptBin",             // 1024
    "btn.EncryptBin",             // 1025
    "btn.DecryptDef2EncryptDef",  // 1026
    "btn.EncryptDef2DecryptDef",  // 1027
    "frame.option",               // 1028
    "lbl.option.AsIndex,Use1stColumnOfRecord", // 1029
    "lbl.option.Output BRecordIndexList",      // 1030
    "lbl.option.Backup",          // 1031
    "btn.Reload", "btn.Reload",   // 1032, 1033
    "btn.Revert(bak)", "btn.Revert(bak)",      // 1034, 1035
    "lbl.If you change contents, reload it!",  // 1036
    "frame.ini",                  // 1037
};
}

namespace {
const char* const kDefaultCaptions[CUiLabelSet::kControlCount] = {
    "Text => Binary",          // 1008
    "Binary => Text",          // 1009
    "Binary File",             // 1010
    "Text File",               // 1011
    "Target File Info. - INI", // 1012
    "BRecodIndexList",         // 1013
    "Browse ...", "Browse ...", "Browse ...", "Browse ...", // 1014..1017
    "Save Path", "Save Path", "Save Path", "Save Path",     // 1018..1021
    "Clear", "Clear",          // 1022, 1023
    "Decrypt Bin.",            // 1024
    "Encrypt Bin.",            // 1025
    "Dec. Def. => Enc. Def.",  // 1026
    "Enc. Def. => Dec. Def.",  // 1027
    "When  Text => Binary  and  record 1st column is index ( Num )",       // 1028
    "As index, use 1st column of each record in Text File. ( BP from 0 )", // 1029
    "Output BRecordIndexList File. ( BP from 0 )",                         // 1030
    "File BackUp ( Output side ) ( 1 Generation )",                        // 1031
    "Reload", "Reload",        // 1032, 1033
    "Revert(bak)", "Revert(bak)", // 1034, 1035
    "If you change contents, reload it !", // 1036
    "Target File Info.",       // 1037
};
}

const char* CUiLabelSet::DefaultCaption(int controlId) {
    const int index = controlId - kFirstControlId;
    return index >= 0 && index < kControlCount ? kDefaultCaptions[index] : "";
}

std::string CUiLabelSet::Caption(int controlId) const {
    const std::string label = ControlLabel(controlId);
    return label.empty() ? DefaultCaption(controlId) : label;
}

const char* CUiLabelSet::ControlKey(int index) { return kControlKeys[index]; }

std::string CUiLabelSet::BuiltInInfoLabel(int index) {
    switch (index) {
    case 0: return "BStartPosition";
    case 1: return "BRecordSize";
    case 2: return "BRecordCount";
    case 3: return "TDelimiter";
    case 4: return std::string(CMessageTexts::BuiltInWord(wDecrypt)) + "/" + CMessageTexts::BuiltInWord(wEncrypt);
    case 5: return "NumberCode File";
    default: return "BRecordIndex";
    }
}

void CUiLabelSet::ResetLabels(const std::string& name) {
    CIniSection::Reset(name);
    for (int i = 0; i < kInfoLabelCount; ++i) m_infoLabels[i] = BuiltInInfoLabel(i);
}

void CUiLabelSet::LoadLabels(const CProfile& settings, const std::string& section) {
    ResetLabels(section);
    UseProfile(settings);
    for (int i = 0; i < kControlCount; ++i) m_controlLabels[i] = GetString(kControlKeys[i]);
    for (int i = 0; i < kInfoLabelCount; ++i) {
        const std::string value = GetString("info." + m_infoLabels[i]);
        if (!value.empty()) m_infoLabels[i] = value;
    }
    m_ok = 1;
}

std::string CUiLabelSet::ControlLabel(int controlId) const {
    const int index = controlId - kFirstControlId;
    if (index < 0 || index >= kControlCount) return std::string();
    return m_controlLabels[index];
}

std::string CUiLabelSet::InfoLabelColumn() const {
    std::string column;
    for (const std::string& label : m_infoLabels) column += " " + label + "\n";
    return column;
}
