#include "ui/win32/win32_message_box.h"

namespace {
// The one pending relabelling: from just before a box opens until its activation.
HHOOK g_hook = nullptr;
const CMessageBoxRequest* g_request = nullptr;

LRESULT CALLBACK RelabelButtons(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = CallNextHookEx(g_hook, code, wParam, lParam);
    if (code == HCBT_ACTIVATE && g_request) {
        const auto box = reinterpret_cast<HWND>(wParam);
        if (GetDlgItem(box, IDYES) && !g_request->yesCaption.empty())
            SetDlgItemTextA(box, IDYES, g_request->yesCaption.c_str());
        if (GetDlgItem(box, IDNO) && !g_request->noCaption.empty())
            SetDlgItemTextA(box, IDNO, g_request->noCaption.c_str());
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        g_request = nullptr;
    }
    return next;
}
}

CWin32MessageBox::CWin32MessageBox() : m_previous(SetMessageBox(this)) {}

CWin32MessageBox::~CWin32MessageBox() { SetMessageBox(m_previous); }

int CWin32MessageBox::Show(const CMessageBoxRequest& request) {
    // The box belongs to the window that takes input: the progress window while a run shows it.
    HWND owner = GetActiveWindow();
    if (!owner && m_mainWindow) owner = GetLastActivePopup(m_mainWindow);
    g_request = &request;
    g_hook = SetWindowsHookExA(WH_CBT, RelabelButtons, nullptr, GetCurrentThreadId());
    const int pressed = MessageBoxA(owner, request.text.c_str(), request.caption.c_str(), request.style);
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_request = nullptr;
    if (m_mainWindow && IsWindow(m_mainWindow)) {
        HWND front = GetLastActivePopup(m_mainWindow);
        SetForegroundWindow(front);
        UpdateWindow(front);
    }
    return pressed;
}
