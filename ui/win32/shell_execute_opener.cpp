#include "ui/win32/shell_execute_opener.h"

#include <shellapi.h>

ShellOpenResult ShellOpenResultOf(std::intptr_t code) {
    if (code > 32) return ShellOpenResult::opened;
    switch (code) {
    case SE_ERR_ACCESSDENIED: return ShellOpenResult::accessDenied;
    case SE_ERR_ASSOCINCOMPLETE: return ShellOpenResult::associationIncomplete;
    case SE_ERR_NOASSOC: return ShellOpenResult::noAssociation;
    default: return ShellOpenResult::failed;
    }
}

ShellOpenResult CShellExecuteOpener::Open(const std::string& path) {
    const HINSTANCE result = ShellExecuteA(m_owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return ShellOpenResultOf(reinterpret_cast<std::intptr_t>(result));
}
