#include "ui/win32/win32_file_chooser.h"

#include <windows.h>
#include <commdlg.h>

#include "support/paths.h"

CWin32FileChooser::CWin32FileChooser() : m_previous(SetFileChooser(this)) {}

CWin32FileChooser::~CWin32FileChooser() { SetFileChooser(m_previous); }

bool CWin32FileChooser::Choose(std::string& path, const std::string& currentPath) {
    char file[MAX_PATH] = "";
    std::string folder;
    if (!currentPath.empty()) {
        folder = PathPart(currentPath, partDriveFolder);
        if (folder.size() <= 1) folder.clear();
        const std::string name = PathPart(currentPath, partNameExtension);
        if (name.size() < sizeof file) name.copy(file, name.size());
    }
    OPENFILENAMEA dialog {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = "All Files (*.*)\0*.*\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = "Select File";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog)) return false;
    path = file;
    return true;
}
