#pragma once
#include "support/file_chooser.h"

// The file-open dialog through GetOpenFileNameA. Constructing one installs it for SelectFile;
// destroying it puts back the chooser installed before.
class CWin32FileChooser : public IFileChooser {
public:
    CWin32FileChooser();
    ~CWin32FileChooser() override;
    CWin32FileChooser(const CWin32FileChooser&) = delete;
    CWin32FileChooser& operator=(const CWin32FileChooser&) = delete;

    bool Choose(std::string& path, const std::string& currentPath) override;

private:
    IFileChooser* m_previous;
};
