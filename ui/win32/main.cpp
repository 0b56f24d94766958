#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

#include "app/desktop_app.h"
#include "ui/win32/morvane_window.h"
#include "ui/win32/win32_file_chooser.h"
#include "ui/win32/win32_message_box.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls {sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CWin32MessageBox messageBox;
    CWin32FileChooser fileChooser;
    // Files named on the command line, as Explorer passes those dropped on the program, relative
    // to the folder the program was started in.
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        char full[MAX_PATH];
        const DWORD length = GetFullPathNameA(argv[i], MAX_PATH, full, nullptr);
        files.push_back(length > 0 && length < MAX_PATH ? std::string(full, length) : std::string(argv[i]));
    }
    CDesktopApp app;
    return app.RunWindow([&](CAppState& state) {
        CMorvaneWindow window(state, &messageBox);
        window.Run(files);
    });
}
