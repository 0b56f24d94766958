#include "app/desktop_app.h"

#include "app/program_home.h"
#include "support/paths.h"
#include "vocabulary/failure.h"
#include "vocabulary/message_box.h"

std::string AboutVersionLine() { return "Morvane Version " MORVANE_VERSION; }

std::string AboutNotice() { return "Made by the Morvane developers. Keep a backup of your data."; }

int CDesktopApp::RunWindow(const std::function<void(CAppState&)>& window) {
    // A lock that cannot be had at all (no usable runtime folder) tells nothing about other
    // instances, and is no reason to refuse to start.
    if (m_lock.Acquire("Morvane") == CInstanceLock::heldElsewhere) {
        ShowMessage("Dual boot is not supported.", mbExclamation);
        return 0;
    }
    try {
        // A home that cannot be made is reported in the message area; the window still opens.
        std::string homeError;
        try {
            SettleProgramHome(FindProgramHome("", ProgramPathPart(partName) + ".ini"));
        } catch (...) {
            homeError = FailureText();
        }
        m_state.LoadSettings(CAppState::DefaultSettingsPath());
        if (!homeError.empty()) m_state.m_messageText = homeError;
        window(m_state);
    } catch (...) {
        ShowError(FailureText());
    }
    m_state.m_labels.reset();
    m_lock.Release();
    return 0;
}
