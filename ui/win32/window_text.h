#pragma once
#include <string>
#include <windows.h>

// The text of a window, as a byte string in the system's code page.
std::string WindowText(HWND window);
std::string DialogItemText(HWND dialog, int id);
// A text as an edit control shows it: every line break CR LF.
std::string WithCrLf(const std::string& text);
