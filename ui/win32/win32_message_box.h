#pragma once
#include <windows.h>

#include "vocabulary/message_box.h"

// The program's message boxes through MessageBoxA, the Yes and No buttons relabelled with the
// vocabulary's words by a hook that sees the box's activation. Constructing one installs it for
// ShowMessage; destroying it puts back the box installed before.
class CWin32MessageBox : public IMessageBox {
public:
    CWin32MessageBox();
    ~CWin32MessageBox() override;
    CWin32MessageBox(const CWin32MessageBox&) = delete;
    CWin32MessageBox& operator=(const CWin32MessageBox&) = delete;

    // The main window, brought back to the front when a box has closed.
    void SetMainWindow(HWND window) { m_mainWindow = window; }
    int Show(const CMessageBoxRequest& request) override;

private:
    IMessageBox* m_previous;
    HWND m_mainWindow = nullptr;
};
