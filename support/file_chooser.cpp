#include "support/file_chooser.h"

namespace {
IFileChooser* g_chooser = nullptr;
}

IFileChooser* SetFileChooser(IFileChooser* chooser) {
    IFileChooser* previous = g_chooser;
    g_chooser = chooser;
    return previous;
}

bool SelectFile(std::string& path, const std::string& currentPath) {
    std::string chosen;
    if (!g_chooser || !g_chooser->Choose(chosen, currentPath)) return false;
    path = chosen;
    return true;
}
