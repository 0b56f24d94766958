#pragma once
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/instance_lock.h"

// The application: one instance at a time, the settings, and the main window run modally;
// when the window closes the program ends. A QApplication must exist.
class CMorvaneApp {
public:
    // Runs the whole program and gives the process's exit code. The files it was started with are
    // taken as dropped on the window's path fields.
    int Run(const std::vector<std::string>& files = {});

    CAppState m_state;

private:
    CInstanceLock m_lock;
};
