#pragma once
#include <functional>
#include <string>
#include <vector>
#include <windows.h>

#include "app/main_window_layout.h"
#include "app/main_window_model.h"
#include "app/user_actions.h"
#include "ui/win32/progress_window.h"
#include "ui/win32/shell_execute_opener.h"

class CDialogTemplate;
class CWin32MessageBox;

// The main window (dialog 102, built from the layout table): shows the state of the window model
// in the system's controls and hands the user's actions to it.
class CMorvaneWindow {
public:
    // The message box, when given, brings this window back to the front after each box.
    CMorvaneWindow(CAppState& app, CWin32MessageBox* messageBox = nullptr);
    ~CMorvaneWindow();
    CMorvaneWindow(const CMorvaneWindow&) = delete;
    CMorvaneWindow& operator=(const CMorvaneWindow&) = delete;

    // Runs the window modally until it closes; the files are taken once it shows, as the
    // program's start files.
    void Run(const std::vector<std::string>& files);
    // Creates the window without running it; it lives until destroyed or closed.
    HWND Create();

    HWND Handle() const { return m_window; }
    CMainWindowModel& Model() { return m_model; }

    static const CDialogTemplate& Template();
    // The command of the system menu's about item.
    static constexpr UINT kAboutCommand = 16;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PathFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR self);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id, int code);
    void OnDropFiles(int fieldId, HDROP drop);
    void OnContextMenu(LPARAM at);
    void OnDestroy();
    void Close();
    // Runs one action of the user to its end, then shows what it changed.
    void Run(const std::function<void()>& action);
    // The wait cursor while an action asks for it, else the arrow.
    void UpdateCursor();
    void ShowModel();
    void ShowText(const CControlLayout& layout, HWND control);
    void CreateToolTip();
    void RestoreWindowPosition();
    void ShowAbout();

    CAppState& m_app;
    CWin32MessageBox* m_messageBox;
    CShellExecuteOpener m_shell;
    CWin32ProgressDlg m_progress;
    CUserActions m_actions;
    CMainWindowModel m_model;
    HWND m_window = nullptr;
    HWND m_toolTip = nullptr;
    HFONT m_boldFont = nullptr;
    HICON m_icons[2] {};
    bool m_modal = false;
    std::vector<std::string> m_startFiles;
    bool m_showing = false; // texts set by the window, not typed
};
