#pragma once
// The file system calls of the POSIX platform layer, each passing through the fault seam first:
// an injected fault sets errno and fails the call as the system would.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fault_injection.h"

namespace sys {

inline bool Injected(FaultKind kind) {
    if (const int error = InjectedFault(kind)) {
        errno = error;
        return true;
    }
    return false;
}

inline int Open(const char* path, int flags, mode_t mode = 0666) {
    return Injected(FaultKind::open) ? -1 : ::open(path, flags, mode);
}
inline int MakeTemporary(char* pattern) { return Injected(FaultKind::open) ? -1 : ::mkstemp(pattern); }
inline ssize_t PRead(int fd, void* buffer, size_t count, off_t offset) {
    return Injected(FaultKind::read) ? -1 : ::pread(fd, buffer, count, offset);
}
inline ssize_t PWrite(FaultKind kind, int fd, const void* data, size_t count, off_t offset) {
    return Injected(kind) ? -1 : ::pwrite(fd, data, count, offset);
}
inline ssize_t Write(int fd, const void* data, size_t count) {
    return Injected(FaultKind::write) ? -1 : ::write(fd, data, count);
}
inline int Truncate(int fd, off_t length) { return Injected(FaultKind::write) ? -1 : ::ftruncate(fd, length); }
inline int Sync(int fd) { return Injected(FaultKind::sync) ? -1 : ::fsync(fd); }
inline int Rename(const char* from, const char* to) { return Injected(FaultKind::rename) ? -1 : ::rename(from, to); }
inline int Lock(int fd, int how) { return Injected(FaultKind::lock) ? -1 : ::flock(fd, how); }
inline int Close(int fd) {
    // The descriptor is released even when the close reports a failure, as the system does.
    if (Injected(FaultKind::close)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return ::close(fd);
}
inline int ChangeMode(int fd, mode_t mode) { return Injected(FaultKind::mode) ? -1 : ::fchmod(fd, mode); }

} // namespace sys
