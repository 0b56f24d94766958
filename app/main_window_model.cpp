#include "app/main_window_model.h"

#include "vocabulary/failure.h"
#include "app/check_job.h"
#include "app/job_driver.h"
#include "vocabulary/message_box.h"
#include "vocabulary/messages.h"
#include "crypt/binary_file_crypt.h"
#include "crypt/table_inversion.h"
#include "platform/file.h"
#include "platform/private_profile.h"
#include "support/backup.h"
#include "support/file_chooser.h"
#include "support/paths.h"

namespace {
// The path field each browse, save, revert or open control works on.
int FieldOf(int controlId) {
    switch (controlId) {
    case idBrowseBinary: case idSaveBinary: case idRevertBinary: case idBinaryLabel: return idBinaryField;
    case idBrowseText: case idSaveText: case idRevertText: case idTextLabel: return idTextField;
    case idBrowseTarget: case idSaveTarget: case idReloadTarget: case idTargetLabel: return idTargetField;
    default: return idIndexListField;
    }
}

const char* TargetInfoKey(int saveButton) {
    switch (saveButton) {
    case idSaveBinary: return "BinaryFilePath";
    case idSaveText: return "TextFilePath";
    default: return "BRecordIndexListFilePath";
    }
}

int ClampTo(int value, int low, int high) {
    if (value < low) value = low;
    if (value > high) value = high;
    return value;
}

// A coordinate without a stored value: the window centred, or at 0 when that does not fit.
int Centred(int size, int screen, int margin) {
    const int centre = (screen - size) / 2;
    return centre < 0 || centre > screen - margin ? 0 : centre;
}
}

CMainWindowModel::CMainWindowModel(CAppState& app, CProgress& progress, IShellOpener& shell)
    : m_app(app), m_progress(progress), m_shell(shell) {
    // The captions of the window's template, until the initialisation replaces them.
    m_texts[idLabelColumn] = "L";
    m_texts[idValueColumn] = "V";
    for (int id = CUiLabelSet::kFirstControlId; id < CUiLabelSet::kFirstControlId + CUiLabelSet::kControlCount; ++id)
        m_texts[id] = CUiLabelSet::DefaultCaption(id);
    for (int slot = 0; slot < kSlotCount; ++slot)
        m_texts[CAppState::kSlotControlIds[slot]] = std::to_string(slot + 1);
}

void CMainWindowModel::Initialize() {
    for (int id : {idBinaryToText, idTextToBinary, idDecryptBinary, idEncryptBinary}) m_enabled[id] = true;
    m_enabled[idDecryptToEncrypt] = m_enabled[idEncryptToDecrypt] = false;
    m_checked[idBackupOption] = true;
    m_checked[idIndexColumnOption] = m_checked[idWriteIndexListOption] = false;
    m_enabled[idWriteIndexListOption] = false;

    for (int slot = 0; slot < kSlotCount; ++slot)
        m_texts[CAppState::kSlotControlIds[slot]] = m_app.m_slots[slot].DisplayName();
    m_texts[idCheckBinaryToTextToBinary] = Word(wCheckBinaryToTextToBinary);
    m_texts[idCheckTextToBinary] = Word(wCheckTextToBinary);
    m_texts[idPreview] = Word(wPreview);

    const std::string settingsMessage = m_app.m_messageText;
    SelectSlot(0);
    if (!settingsMessage.empty()) ShowMessageArea(settingsMessage);

    // Without a label set (already used up) the built-in labels stand.
    CUiLabelSet builtIn;
    builtIn.ResetLabels("");
    const CUiLabelSet& labels = m_app.m_labels ? *m_app.m_labels : builtIn;
    m_texts[idLabelColumn] = labels.InfoLabelColumn();
    m_initialized = true;
    for (int id = CUiLabelSet::kFirstControlId; id < CUiLabelSet::kFirstControlId + CUiLabelSet::kControlCount; ++id) {
        const std::string label = labels.ControlLabel(id);
        if (!label.empty()) m_texts[id] = label;
    }
    m_app.m_labels.reset();
}

const std::string& CMainWindowModel::Text(int controlId) const {
    static const std::string kNone;
    const auto found = m_texts.find(controlId);
    return found == m_texts.end() ? kNone : found->second;
}

bool CMainWindowModel::IsEnabled(int controlId) const {
    const auto found = m_enabled.find(controlId);
    return found == m_enabled.end() || found->second;
}

bool CMainWindowModel::IsChecked(int controlId) const {
    const auto found = m_checked.find(controlId);
    return found != m_checked.end() && found->second;
}

int CMainWindowModel::TakeFocusRequest() {
    const int field = m_focusRequest;
    m_focusRequest = 0;
    return field;
}

void CMainWindowModel::EditField(int fieldId, const std::string& text) {
    if (fieldId == idBinaryField || fieldId == idTextField) m_texts[fieldId] = text;
}

void CMainWindowModel::SetChecked(int controlId, bool checked) {
    if (!IsEnabled(controlId)) return;
    switch (controlId) {
    case idIndexColumnOption:
        m_checked[idIndexColumnOption] = checked;
        m_enabled[idWriteIndexListOption] = checked;
        if (!checked) m_checked[idWriteIndexListOption] = false;
        break;
    case idWriteIndexListOption:
    case idBackupOption: m_checked[controlId] = checked; break;
    default: break;
    }
}

void CMainWindowModel::Command(int controlId) {
    if (!IsEnabled(controlId)) return;
    switch (controlId) {
    case idSlot1: case idSlot2: case idSlot3: SelectSlot(controlId - idSlot1); break;
    case idBrowseBinary: case idBrowseText: case idBrowseTarget: case idBrowseIndexList:
        Browse(FieldOf(controlId));
        break;
    case idSaveBinary: case idSaveText: case idSaveTarget: case idSaveIndexList: SavePath(controlId); break;
    case idReloadTarget: case idReloadIndexList: Reload(FieldOf(controlId)); break;
    case idClearIndexList: ClearIndexList(); break;
    case idClearText: m_texts[idTextField].clear(); break;
    case idRevertBinary: case idRevertText: Revert(controlId); break;
    case idBinaryLabel: case idTextLabel: case idTargetLabel: case idIndexListLabel: OpenInShell(controlId); break;
    case idBinaryToText: case idTextToBinary: Convert(controlId); break;
    case idCheckBinaryToTextToBinary: case idCheckTextToBinary: Check(controlId); break;
    case idDecryptBinary:
    case idEncryptBinary:
        m_app.m_messageText = ConvertBinaryFile(Slot().m_codeTables, controlId == idEncryptBinary ? 1 : 0,
                                                Text(idBinaryField), m_progress);
        ShowMessageArea(m_app.m_messageText);
        break;
    case idDecryptToEncrypt:
    case idEncryptToDecrypt:
        m_app.m_messageText = WriteInverse(Slot().m_codeTables, controlId == idEncryptToDecrypt ? 1 : 0);
        ShowMessageArea(m_app.m_messageText);
        break;
    default: break;
    }
}

CPreviewSource CMainWindowModel::PreviewSource() const {
    const CTargetInfo& target = m_app.m_slots[m_currentSlot];
    return CPreviewSource {target.m_fileInfo.m_iniPath, Text(idBinaryField), target.m_fileInfo.m_indexListPath, m_loads};
}

void CMainWindowModel::DropFile(int fieldId, const std::string& path) {
    if (fieldId != idBinaryField && fieldId != idTextField) return;
    m_pendingPath = path;
    ApplyPath(fieldId);
}

void CMainWindowModel::OpenFiles(const std::vector<std::string>& paths) {
    const int fields[] = {idBinaryField, idTextField};
    for (std::size_t i = 0; i < paths.size() && i < std::size(fields); ++i) DropFile(fields[i], paths[i]);
}

void CMainWindowModel::SelectSlot(int slot) {
    // The fields' edits belong to the slot being left; before the initialisation they are empty.
    if (m_initialized) {
        Slot().m_fileInfo.m_binaryFilePath = Text(idBinaryField);
        Slot().m_fileInfo.m_textFilePath = Text(idTextField);
    }
    m_currentSlot = slot;
    ++m_loads;
    for (int n = 0; n < kSlotCount; ++n) m_checked[CAppState::kSlotControlIds[n]] = n == slot;
    RefreshSlot();
}

void CMainWindowModel::RefreshSlot() {
    CTargetInfo& target = Slot();
    const CFileInfoSection& info = target.m_fileInfo;
    m_texts[CAppState::kSlotControlIds[m_currentSlot]] = target.DisplayName();
    m_texts[idTargetField] = info.m_pathAsWritten;
    m_texts[idIndexListField] = info.m_indexListPath;
    m_texts[idBinaryField] = info.m_binaryFilePath;
    m_texts[idTextField] = info.m_textFilePath;
    const CCodeTablePair& tables = target.m_codeTables;
    m_enabled[idDecryptToEncrypt] = tables.m_ok == 1 && tables.m_decryptTable.m_ok == 1;
    m_enabled[idEncryptToDecrypt] = tables.m_ok == 1 && tables.m_encryptTable.m_ok == 1;
    SetIndexOptions(info.m_indexListPath.empty());
    RefreshStatus();
}

bool CMainWindowModel::RefreshStatus() {
    CTargetInfo& target = Slot();
    if (!target.CheckReady() && target.m_message.empty())
        ShowMessageArea(Word(wCanNotUse));
    else
        ShowMessageArea(target.m_message);

    std::string values = target.m_fileInfo.m_infoText + "\n";
    if (target.m_indexList.m_ok == 1)
        values += std::to_string(target.m_indexList.EntryCount());
    else if (target.m_ok == 1)
        values += "--";
    m_texts[idValueColumn] = values;
    m_infoToolTip.clear();
    for (const auto& [key, name] : target.m_fileInfo.Encodings())
        m_infoToolTip += (m_infoToolTip.empty() ? "" : "\n") + key + ": " + name;

    const bool tablesInUse = target.m_codeTables.m_ok == 1;
    m_enabled[idDecryptBinary] = m_enabled[idEncryptBinary] = tablesInUse;
    if (m_repaint) m_repaint();
    return !Text(idMessageArea).empty();
}

void CMainWindowModel::SetIndexOptions(bool allowed) {
    if (allowed && Slot().m_recordDefinition.HasIndexItem()) {
        m_enabled[idIndexColumnOption] = true;
        return;
    }
    for (int id : {idIndexColumnOption, idWriteIndexListOption}) {
        m_checked[id] = false;
        m_enabled[id] = false;
    }
}

void CMainWindowModel::ApplyPath(int fieldId) {
    m_pendingPath = MakeRelative(m_pendingPath);
    CFileInfoSection& info = Slot().m_fileInfo;
    switch (fieldId) {
    case idBinaryField: info.m_binaryFilePath = m_pendingPath; break;
    case idTextField: info.m_textFilePath = m_pendingPath; break;
    case idIndexListField: info.m_indexListPath = m_pendingPath; break;
    default: break;
    }
    m_texts[fieldId] = m_pendingPath;

    if (fieldId == idTargetField || fieldId == idIndexListField) ++m_loads;
    if (fieldId == idTargetField) {
        Slot().Load(m_pendingPath);
        RefreshSlot();
        if (Slot().m_ok) {
            m_app.m_messageText = Word(wEnd) + " " + Text(idReloadTarget);
            ShowMessageArea(m_app.m_messageText);
        } else {
            ShowError(Slot().m_message);
        }
    } else if (fieldId == idIndexListField) {
        LoadIndexList();
        SetIndexOptions(Slot().m_fileInfo.m_indexListPath.empty());
    } else {
        RefreshStatus();
    }
}

void CMainWindowModel::LoadIndexList() {
    CRecordIndexList& list = Slot().m_indexList;
    if (list.Load(m_pendingPath))
        ShowMessage(list.CountText() + " " + Word(wRecord) + " " + Word(wLoaded), mbInformation);
    else
        ShowError(" " + Word(wCanNotUse) + "\n" + list.ComposeError());
    RefreshStatus();
}

void CMainWindowModel::Browse(int fieldId) {
    const std::string& current = Text(fieldId);
    std::string start = current.empty() ? std::string() : NormalizePath(current, true);
    if (start.empty()) start = ProgramDirectory();
    std::string chosen;
    if (!SelectFile(chosen, start)) return;
    m_pendingPath = chosen;
    ApplyPath(fieldId);
}

void CMainWindowModel::SavePath(int buttonId) {
    const std::string text = Text(FieldOf(buttonId));
    std::string file = m_app.m_settingsPath;
    std::string section = "FileInfoDefaultRP";
    std::string key = "FileInfo" + std::to_string(m_currentSlot + 1);
    if (buttonId != idSaveTarget) {
        CFileInfoSection& info = Slot().m_fileInfo;
        file = info.FullPath();
        if (file.empty()) {
            ShowError(info.ComposeError());
            return;
        }
        section = "FileInfo";
        key = TargetInfoKey(buttonId);
    }
    try {
        if (!WriteProfileString(file, section, key, text)) ShowError(" " + Word(wCantWriteFile));
    } catch (...) {
        ShowError(" " + Word(wCantWriteFile) + "\r\n" + FailureText());
    }
}

void CMainWindowModel::Reload(int fieldId) {
    m_pendingPath = Text(fieldId);
    if (m_pendingPath.empty())
        ShowMessageArea(Word(wFilePath) + " " + Word(wNotSet));
    else
        ApplyPath(fieldId);
}

void CMainWindowModel::ClearIndexList() {
    Slot().m_indexList.Reset();
    Slot().m_fileInfo.m_indexListPath.clear();
    m_texts[idIndexListField].clear();
    SetIndexOptions(true);
    RefreshStatus();
}

void CMainWindowModel::Revert(int buttonId) {
    if (RevertFromBackup(Text(FieldOf(buttonId)), m_app.m_messageText))
        m_app.m_messageText = Word(wEnd) + " " + Text(buttonId);
    ShowMessageArea(m_app.m_messageText);
}

void CMainWindowModel::OpenInShell(int labelId) {
    CFileInfoSection& info = Slot().m_fileInfo;
    std::string path;
    switch (labelId) {
    case idTargetLabel: path = info.FullPath(); break;
    case idIndexListLabel: path = info.m_indexListPath = Text(idIndexListField); break;
    case idBinaryLabel: path = info.m_binaryFilePath = Text(idBinaryField); break;
    default: path = info.m_textFilePath = Text(idTextField); break;
    }

    std::string failure;
    if (path.empty()) {
        failure = Word(wFilePath);
    } else {
        const std::string resolved = NormalizePath(path, false);
        const unsigned mode = modeRead | shareDenyWrite | (labelId == idBinaryLabel ? typeBinary : typeText);
        if (CheckFileAccess(resolved, mode, failure)) {
            switch (m_shell.Open(resolved)) {
            case ShellOpenResult::opened: ShowMessageArea(std::string()); return;
            case ShellOpenResult::accessDenied: failure = Word(wErrorAccessDenied); break;
            case ShellOpenResult::associationIncomplete: failure = Word(wErrorAssociationIncomplete); break;
            case ShellOpenResult::noAssociation: failure = Word(wErrorNoAssociation); break;
            case ShellOpenResult::failed: failure = Word(wCantOpenFile); break;
            }
        }
    }
    ShowMessageArea(Word(wError) + " " + failure);
}

void CMainWindowModel::Convert(int buttonId) {
    CJobRequest request;
    request.binaryPath = Text(idBinaryField);
    request.textPath = Text(idTextField);
    for (int id : CAppState::kSlotControlIds)
        if (IsChecked(id)) {
            request.slotButton = id;
            request.slotCaption = Text(id);
        }
    request.button = buttonId;
    request.buttonCaption = Text(buttonId);
    request.firstColumnIsIndex = IsChecked(idIndexColumnOption);
    request.writeIndexList = IsChecked(idWriteIndexListOption);
    request.makeBackup = IsChecked(idBackupOption);
    request.waitCursor = m_waitCursor;

    const CJobResult result = ConvertCommand(Slot(), request, m_progress);
    if (result.outcome == JobOutcome::notReady) return;
    ShowMessageArea(result.message);
    m_focusRequest = result.focus;
}

void CMainWindowModel::Check(int commandId) {
    CCheckRequest request;
    request.kind = commandId == idCheckTextToBinary ? CheckKind::dryRun : CheckKind::roundTrip;
    request.binaryPath = Text(idBinaryField);
    request.textPath = Text(idTextField);
    request.caption = Text(commandId);
    request.firstColumnIsIndex = IsChecked(idIndexColumnOption);
    request.waitCursor = m_waitCursor;

    const CCheckResult result = CheckCommand(Slot(), request, m_progress);
    if (result.outcome == JobOutcome::notReady) return;
    ShowMessageArea(result.message);
    m_focusRequest = result.focus;
}

void CMainWindowModel::ShowMessageArea(const std::string& text) { m_texts[idMessageArea] = text; }

CWindowPlacement CMainWindowModel::RestorePosition(int w, int h, int W, int H) {
    CWindowPlacement placement;
    placement.left = m_app.m_left == kPositionUnset ? Centred(w, W, 100) : ClampTo(m_app.m_left, 100 - w, W - 100);
    if (m_app.m_top == kPositionUnset) {
        placement.top = Centred(h, H, 50);
    } else {
        placement.top = ClampTo(m_app.m_top, 50 - h, H - 50);
        if (placement.top < 0) placement.top = 0;
    }
    m_app.m_left = placement.left;
    m_app.m_top = placement.top;
    return placement;
}

void CMainWindowModel::SavePosition(int left, int top) {
    if (m_app.m_positionValidity != 1) return;
    // Only a coordinate that moved is written, so the file is left alone when nothing changed.
    auto save = [this](const char* key, int value, int& stored) {
        if (value == stored) return;
        // The window is closing: a position that cannot be remembered is only not remembered,
        // and the file stays whole.
        try {
            WriteProfileString(m_app.m_settingsPath, "DialogPosition", key, std::to_string(value));
        } catch (const CFileException&) {
        }
        stored = value;
    };
    save("left", left, m_app.m_left);
    save("top", top, m_app.m_top);
}
