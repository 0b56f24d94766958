#pragma once
#include <windows.h>

#include "support/progress.h"

// Progress of the desktop program: the modeless progress window (dialog 103) over the main
// window, which is disabled while the window is shown. Pending messages are dispatched, and the
// window redrawn, only when the progress refreshes. Cancel, Escape and the close box ask for a
// stop; Enter does nothing.
class CWin32ProgressDlg : public CProgress {
public:
    ~CWin32ProgressDlg() override;

    void SetOwner(HWND owner) { m_owner = owner; }
    // The window while a run shows it, else none.
    HWND Window() const { return m_window; }

protected:
    bool OnStart(const CProgressState& state) override;
    void OnRefresh(const CProgressState& state) override;
    void OnClose() override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Show(const CProgressState& state);
    void DispatchPending();
    void EnableOwner();

    HWND m_owner = nullptr;
    HWND m_window = nullptr;
    bool m_ownerDisabled = false;
};
