#include "app/user_actions.h"

#include "support/progress.h"
#include "vocabulary/failure.h"
#include "vocabulary/message_box.h"

bool CUserActions::Run(const std::function<void()>& action) {
    if (m_running) return false;
    m_running = true;
    try {
        action();
    } catch (...) {
        ShowError(FailureText());
    }
    if (m_progress.IsOpen()) m_progress.Close();
    while (m_waitCursors > 0) WaitCursor(false);
    m_running = false;
    return true;
}

void CUserActions::WaitCursor(bool busy) {
    if (busy)
        ++m_waitCursors;
    else if (m_waitCursors > 0)
        --m_waitCursors;
    else
        return;
    m_showWaitCursor(busy);
}
