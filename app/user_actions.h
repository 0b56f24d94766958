#pragma once
#include <functional>

class CProgress;

// The user's actions in a main window of any window system: one at a time, each run to its end.
// A failure that escapes an action is shown as an error; whatever way the action ended, the
// progress display is closed and every wait cursor asked for during it taken back.
class CUserActions {
public:
    // The window shows the wait cursor on each request (busy) and takes one back on each end.
    CUserActions(CProgress& progress, std::function<void(bool busy)> showWaitCursor)
        : m_progress(progress), m_showWaitCursor(std::move(showWaitCursor)) {}

    // False, running nothing, while another action runs.
    bool Run(const std::function<void()>& action);
    bool IsRunning() const { return m_running; }
    // A request for the wait cursor, or its end, as the window model makes them.
    void WaitCursor(bool busy);
    bool IsWaiting() const { return m_waitCursors > 0; }

private:
    CProgress& m_progress;
    std::function<void(bool busy)> m_showWaitCursor;
    int m_waitCursors = 0;
    bool m_running = false;
};
