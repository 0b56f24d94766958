#pragma once
#include <QStringList>

#include "app/main_window_model.h"

// Opens a file with the program the desktop associates with its type.
class CDesktopShellOpener : public IShellOpener {
public:
    ShellOpenResult Open(const std::string& path) override;
};

// Whether the desktop's MIME associations (mimeapps.list and the applications' mimeinfo.cache
// in the XDG folders) name a program for one of the types.
bool HasAssociatedProgram(const QStringList& mimeTypes);
