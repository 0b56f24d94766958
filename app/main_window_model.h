#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/preview_model.h"

class CProgress;

// Control ids of the main window.
enum MainWindowControl : int {
    idMessageArea = 1001,
    idLabelColumn = 1002,
    idValueColumn = 1003,
    idBinaryField = 1004,
    idTextField = 1005,
    idTargetField = 1006,
    idIndexListField = 1007,
    idTextToBinary = 1008,
    idBinaryToText = 1009,
    idBinaryLabel = 1010,
    idTextLabel = 1011,
    idTargetLabel = 1012,
    idIndexListLabel = 1013,
    idBrowseBinary = 1014,
    idBrowseText = 1015,
    idBrowseTarget = 1016,
    idBrowseIndexList = 1017,
    idSaveBinary = 1018,
    idSaveText = 1019,
    idSaveTarget = 1020,
    idSaveIndexList = 1021,
    idClearText = 1022,
    idClearIndexList = 1023,
    idDecryptBinary = 1024,
    idEncryptBinary = 1025,
    idDecryptToEncrypt = 1026,
    idEncryptToDecrypt = 1027,
    idIndexOptionsFrame = 1028,
    idIndexColumnOption = 1029,
    idWriteIndexListOption = 1030,
    idBackupOption = 1031,
    idReloadTarget = 1032,
    idReloadIndexList = 1033,
    idRevertBinary = 1034,
    idRevertText = 1035,
    idReloadHint = 1036,
    idTargetFrame = 1037,
    idSlot1 = 1038,
    idSlot2 = 1039,
    idSlot3 = 1040,
};

// Commands of the window's context menu; their captions are texts of the model like the
// controls'.
enum MainWindowMenuCommand : int {
    idCheckBinaryToTextToBinary = 2001,
    idCheckTextToBinary = 2002,
    idPreview = 2003, // opens the preview window of the current slot, which the window system shows
};

// What the shell says when asked to open a file with its associated program.
enum class ShellOpenResult { opened, accessDenied, associationIncomplete, noAssociation, failed };

// The operating system's "open this file" (the window system provides it).
class IShellOpener {
public:
    virtual ~IShellOpener() = default;
    virtual ShellOpenResult Open(const std::string& path) = 0;
};

// Where the window goes on the screen.
struct CWindowPlacement {
    int left = 0;
    int top = 0;
};

// The main window without its window system: every control's text, enabling and check state,
// and every command behind the controls. The desktop program shows this state and forwards the
// user's actions to it; tests drive it directly.
class CMainWindowModel {
public:
    CMainWindowModel(CAppState& app, CProgress& progress, IShellOpener& shell);

    // The window's initialisation: enabling, check boxes, slot captions, the first slot, the
    // label column and the translated captions (the label set is used up here).
    void Initialize();

    // State shown by the window.
    const std::string& Text(int controlId) const;   // captions, fields, columns, message area
    // The info panel's tooltip: the declared encodings, "BTextEncoding: CP932" a line; empty
    // for targets that declare none.
    const std::string& InfoToolTip() const { return m_infoToolTip; }
    bool IsEnabled(int controlId) const;
    bool IsChecked(int controlId) const;
    int CurrentSlot() const { return m_currentSlot; } // 0..2
    // What the preview of the current slot shows: its target with the files of the fields.
    CPreviewSource PreviewSource() const;
    // The field a command wants focused (1004 or 1005), or 0; taken once.
    int TakeFocusRequest();

    // The user's actions.
    void EditField(int fieldId, const std::string& text); // typing into 1004 or 1005
    void SetChecked(int controlId, bool checked);          // 1029 (with its rule), 1030, 1031
    void Command(int controlId);                           // a button, clickable label, slot button or menu command
    void DropFile(int fieldId, const std::string& path);   // the first file dropped on 1004 or 1005
    // The files the program was started with: the first as if dropped on the binary file's field,
    // a second on the text file's field. Any more are not used.
    void OpenFiles(const std::vector<std::string>& paths);

    // Part of the window's initialisation and closing: the position to show the window at, for
    // a window of w x h on a screen of W x H (stored values clamped, unset ones centred), and the
    // settings written when the window is destroyed at the given normal position.
    CWindowPlacement RestorePosition(int w, int h, int W, int H);
    void SavePosition(int left, int top);

    // Called around long work, for a wait cursor; may be empty.
    std::function<void(bool busy)> m_waitCursor;
    // Called where the window must show the state at once (before a message box); may be empty.
    std::function<void()> m_repaint;

private:
    void SelectSlot(int slot);
    void RefreshSlot();
    bool RefreshStatus();
    void SetIndexOptions(bool allowed);
    void ApplyPath(int fieldId);
    void LoadIndexList();
    void Browse(int fieldId);
    void SavePath(int buttonId);
    void Reload(int fieldId);
    void ClearIndexList();
    void Revert(int buttonId);
    void OpenInShell(int labelId);
    void Convert(int buttonId);
    void Check(int commandId);
    void ShowMessageArea(const std::string& text);
    CTargetInfo& Slot() { return m_app.m_slots[m_currentSlot]; }

    CAppState& m_app;
    CProgress& m_progress;
    IShellOpener& m_shell;
    int m_currentSlot = 0;
    int m_focusRequest = 0;
    unsigned m_loads = 0; // slots selected and targets and index lists loaded
    bool m_initialized = false;
    std::string m_pendingPath;
    std::map<int, std::string> m_texts;
    std::string m_infoToolTip;
    std::map<int, bool> m_enabled;
    std::map<int, bool> m_checked;
};
