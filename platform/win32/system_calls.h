#pragma once
// The file system calls of the Windows platform layer, each passing through the fault seam
// first: an injected fault sets the last error and fails the call as the system would.
#include <cstdint>
#include <windows.h>

#include "platform/fault_injection.h"
#include "platform/win32/error_cause.h"

namespace sys {

inline bool Injected(FaultKind kind) {
    if (const int error = InjectedFault(kind)) {
        ::SetLastError(ErrorFromErrno(error));
        return true;
    }
    return false;
}

inline OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

inline HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition) {
    if (Injected(FaultKind::open)) return INVALID_HANDLE_VALUE;
    return ::CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}
// Reading at or past the end of the file gives 0 bytes, not a failure.
inline bool ReadAt(HANDLE file, void* buffer, DWORD count, std::uint64_t offset, DWORD& got) {
    got = 0;
    if (Injected(FaultKind::read)) return false;
    OVERLAPPED at = At(offset);
    return ::ReadFile(file, buffer, count, &got, &at) || ::GetLastError() == ERROR_HANDLE_EOF;
}
inline bool WriteAt(FaultKind kind, HANDLE file, const void* data, DWORD count, std::uint64_t offset, DWORD& done) {
    done = 0;
    if (Injected(kind)) return false;
    OVERLAPPED at = At(offset);
    return ::WriteFile(file, data, count, &done, &at);
}
inline bool Write(HANDLE file, const void* data, DWORD count, DWORD& done) {
    done = 0;
    return !Injected(FaultKind::write) && ::WriteFile(file, data, count, &done, nullptr);
}
inline bool Truncate(HANDLE file, std::uint64_t length) {
    if (Injected(FaultKind::write)) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(length);
    return ::SetFilePointerEx(file, to, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
}
inline bool Sync(HANDLE file) { return !Injected(FaultKind::sync) && ::FlushFileBuffers(file); }
inline bool Rename(const char* from, const char* to) {
    return !Injected(FaultKind::rename) && ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}
inline bool Close(HANDLE file) {
    // The handle is released even when the close reports a failure, as the system does.
    if (Injected(FaultKind::close)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(file);
        ::SetLastError(error);
        return false;
    }
    return ::CloseHandle(file);
}

// Kernel handles fit in 32 bits, so the platform's classes keep them as an int (-1: none).
inline HANDLE Handle(int fd) { return LongToHandle(fd); }
inline int Descriptor(HANDLE handle) { return HandleToLong(handle); }

} // namespace sys
