#pragma once
#include <string>

// The platform's file-open dialog ("Select File", all files; the chosen file must exist).
class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // True with the chosen full path; false when the user cancels.
    virtual bool Choose(std::string& path, const std::string& currentPath) = 0;
};

IFileChooser* SetFileChooser(IFileChooser* chooser);

// Shows the chooser; on OK the path becomes the chosen file. Without a chooser: false.
bool SelectFile(std::string& path, const std::string& currentPath);
