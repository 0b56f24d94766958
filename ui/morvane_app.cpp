#include "ui/morvane_app.h"

#include "vocabulary/failure.h"
#include "vocabulary/message_box.h"
#include "ui/morvane_dlg.h"

int CMorvaneApp::Run() {
    // A lock that cannot be had at all (no usable runtime folder) tells nothing about other
    // instances, and is no reason to refuse to start.
    if (m_lock.Acquire("Morvane") == CInstanceLock::heldElsewhere) {
        ShowMessage("Dual boot is not supported.", mbExclamation);
        return 0;
    }
    try {
        m_state.LoadSettings(CAppState::DefaultSettingsPath());
        CMorvaneDlg window(m_state);
        window.exec();
    } catch (...) {
        ShowError(FailureText());
    }
    m_state.m_labels.reset();
    m_lock.Release();
    return 0;
}
