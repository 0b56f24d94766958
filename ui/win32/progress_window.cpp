#include "ui/win32/progress_window.h"

#include <commctrl.h>
#include <string>

#include "app/progress_window_layout.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/window_text.h"

namespace {
constexpr int kLabel = kProgressLabel.id;
constexpr int kCount = kProgressCount.id;
constexpr int kUnit = kProgressUnit.id;
constexpr int kPercent = kProgressPercent.id;
constexpr int kBar = kProgressBar.id;

CDialogItem ItemOf(const CProgressControlLayout& layout, const char16_t* windowClass, DWORD style,
                   const char16_t* text = u"") {
    return {windowClass, WS_CHILD | WS_VISIBLE | style, layout.id, layout.x, layout.y, layout.width, layout.height,
            text};
}

const CDialogTemplate& ProgressTemplate() {
    constexpr DWORD kText = SS_LEFT | SS_NOPREFIX;
    static const CDialogTemplate dialog(
        {DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u"Converting ...", kProgressWindowWidth,
         kProgressWindowHeight, kDialogFontName, kDialogPointSize},
        {
            ItemOf(kProgressLabel, u"STATIC", kText),
            ItemOf(kProgressCount, u"STATIC", kText),
            ItemOf(kProgressUnit, u"STATIC", kText),
            ItemOf(kProgressPercent, u"STATIC", kText, u" 0 %"),
            ItemOf(kProgressBar, u"msctls_progress32", WS_BORDER),
            ItemOf(kProgressCancel, u"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, u"\uFF77\uFF6C\uFF9D\uFF7E\uFF99"),
        });
    return dialog;
}

// Enter reaches the progress window only to be dropped: a stop is asked for by Cancel alone.
bool IsEnterFor(HWND window, const MSG& message) {
    return (message.message == WM_KEYDOWN || message.message == WM_CHAR) && message.wParam == VK_RETURN &&
           (message.hwnd == window || IsChild(window, message.hwnd));
}
}

CWin32ProgressDlg::~CWin32ProgressDlg() { OnClose(); }

INT_PTR CALLBACK CWin32ProgressDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return TRUE;
    }
    auto* self = reinterpret_cast<CWin32ProgressDlg*>(GetWindowLongPtrA(window, DWLP_USER));
    if (message == WM_COMMAND && self) {
        // Cancel, Escape and the close box; the run goes on until the question is answered Yes.
        if (LOWORD(wParam) == IDCANCEL) self->RequestStop();
        return TRUE;
    }
    return FALSE;
}

bool CWin32ProgressDlg::OnStart(const CProgressState& state) {
    OnClose();
    m_window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), ProgressTemplate().Get(), m_owner, DialogProc,
                                          reinterpret_cast<LPARAM>(this));
    if (!m_window) return false;
    if (m_owner) {
        RECT owner;
        RECT self;
        GetWindowRect(m_owner, &owner);
        GetWindowRect(m_window, &self);
        const int left = (owner.left + owner.right - (self.right - self.left)) / 2;
        const int top = (owner.top + owner.bottom - (self.bottom - self.top)) / 2;
        SetWindowPos(m_window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (IsWindowEnabled(m_owner)) {
            EnableWindow(m_owner, FALSE);
            m_ownerDisabled = true;
        }
    }
    SetDlgItemTextA(m_window, kLabel, state.label.c_str());
    SendDlgItemMessageA(m_window, kBar, PBM_SETRANGE32, static_cast<WPARAM>(state.barLow), state.barHigh);
    Show(state);
    ShowWindow(m_window, SW_SHOW);
    DispatchPending();
    return true;
}

void CWin32ProgressDlg::OnRefresh(const CProgressState& state) {
    if (!m_window) return;
    Show(state);
    DispatchPending();
}

void CWin32ProgressDlg::OnClose() {
    EnableOwner();
    if (m_window) DestroyWindow(m_window);
    m_window = nullptr;
}

void CWin32ProgressDlg::Show(const CProgressState& state) {
    SetDlgItemTextA(m_window, kCount, ProgressCountText(state).c_str());
    SetDlgItemTextA(m_window, kUnit, ProgressUnitText(state).c_str());
    const std::string percent = ProgressPercentText(state);
    if (DialogItemText(m_window, kPercent) != percent) SetDlgItemTextA(m_window, kPercent, percent.c_str());
    SendDlgItemMessageA(m_window, kBar, PBM_SETPOS, static_cast<WPARAM>(state.barPosition), 0);
    UpdateWindow(m_window);
}

void CWin32ProgressDlg::DispatchPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the loop that waits for it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (m_window && IsEnterFor(m_window, message)) continue;
        if (m_window && IsDialogMessageA(m_window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void CWin32ProgressDlg::EnableOwner() {
    if (!m_ownerDisabled) return;
    m_ownerDisabled = false;
    if (m_owner) EnableWindow(m_owner, TRUE);
}
