#pragma once
#include <string>
#include <vector>

#include "app/desktop_app.h"

// The Qt program: the desktop program with the Qt main window. A QApplication must exist.
class CMorvaneApp : public CDesktopApp {
public:
    // Runs the whole program and gives the process's exit code. The files it was started with are
    // taken as dropped on the window's path fields.
    int Run(const std::vector<std::string>& files = {});
};
