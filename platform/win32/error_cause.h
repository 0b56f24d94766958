#pragma once
#include <windows.h>

// The file exception cause number of a Windows error code.
int CauseFromError(DWORD error);
// The Windows error code a C library error number stands for: faults are armed with those
// numbers on every system, and std::filesystem reports some failures by them.
DWORD ErrorFromErrno(int error);
