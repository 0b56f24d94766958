#pragma once
#include <cstdint>
#include <windows.h>

#include "app/main_window_model.h"

// Opens a file with its associated program through ShellExecuteA "open".
class CShellExecuteOpener : public IShellOpener {
public:
    void SetOwner(HWND owner) { m_owner = owner; }
    ShellOpenResult Open(const std::string& path) override;

private:
    HWND m_owner = nullptr;
};

// What a result of ShellExecuteA means: above 32 success, else an error code.
ShellOpenResult ShellOpenResultOf(std::intptr_t code);
