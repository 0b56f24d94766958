#pragma once
#include <functional>
#include <string>

#include "app/app_state.h"
#include "platform/instance_lock.h"

// The desktop program around its main window, whichever window system draws it: one instance
// at a time, the program's home and settings, then the window until it closes.
class CDesktopApp {
public:
    // Runs the whole program and gives the process's exit code. The window is run modally on the
    // loaded state; what escapes it is shown as an error.
    int RunWindow(const std::function<void(CAppState&)>& window);

    CAppState m_state;

private:
    CInstanceLock m_lock;
};

// The about box's two lines: the program's name and version, then the makers' notice.
std::string AboutVersionLine();
std::string AboutNotice();
