#include "platform/instance_lock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

CInstanceLock::~CInstanceLock() { Release(); }

std::string CInstanceLock::LockFilePath(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder;
    if (runtime && *runtime) {
        folder = runtime;
    } else {
        std::error_code error;
        folder = std::filesystem::temp_directory_path(error).string();
        if (error) folder = "/tmp";
    }
    if (folder.back() != '/') folder += '/';
    return folder + name;
}

CInstanceLock::Result CInstanceLock::Acquire(const std::string& name) {
    Release();
    // Close-on-exec: a program started from this one must not keep the lock after it ends.
    // No-follow: in a shared temporary folder a link planted under the name is refused.
    const int fd = ::open(LockFilePath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return unavailable;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? heldElsewhere : unavailable;
    }
    m_fd = fd;
    return acquired;
}

void CInstanceLock::Release() {
    if (m_fd < 0) return;
    // The file stays: removing it could let a starting instance lock a file nobody else sees.
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}
