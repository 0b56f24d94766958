#include "platform/terminal.h"

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {
std::atomic<bool> g_interrupted {false};

// Runs on a thread of its own that the console starts for Ctrl+C or Ctrl+Break.
BOOL WINAPI OnInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    g_interrupted = true;
    return TRUE;
}
}

namespace {
bool IsConsole(DWORD handle) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(handle), &mode) != 0;
}
}

bool StandardErrorIsTerminal() { return IsConsole(STD_ERROR_HANDLE); }

bool StandardOutputIsTerminal() { return IsConsole(STD_OUTPUT_HANDLE); }

void WriteStandardOutputUnconverted() {
    std::fflush(stdout);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

void CatchInterrupts() { ::SetConsoleCtrlHandler(OnInterrupt, TRUE); }

bool InterruptRequested() { return g_interrupted; }
