#include "platform/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/errno_cause.h"
#include "platform/posix/system_calls.h"
#include "platform/system.h"

void CFile::Fail(int error) const { throw CFileException(CauseFromErrno(error), m_path); }

std::size_t CFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t count) {
    ssize_t got;
    do {
        got = sys::PRead(m_fd, buffer, count, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    if (got < 0) Fail(errno);
    return static_cast<std::size_t>(got);
}

void CFile::WriteAt(FaultKind kind, std::uint64_t offset, const char* data, std::size_t count) {
    while (count > 0) {
        const ssize_t done = sys::PWrite(kind, m_fd, data, count, static_cast<off_t>(offset));
        if (done < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        data += done;
        offset += static_cast<std::uint64_t>(done);
        count -= static_cast<std::size_t>(done);
    }
}

int CFile::OpenDescriptor(const std::string& systemPath) {
    const unsigned flags = m_flags;
    const unsigned access = flags & kFileAccessMask;
    // Non-blocking, so that a FIFO cannot hang the open; it is refused below as no file.
    int oflags = O_CLOEXEC | O_NONBLOCK;
    if (access == modeWrite)
        oflags |= O_WRONLY;
    else if (access == modeReadWrite)
        oflags |= O_RDWR;
    else
        oflags |= O_RDONLY;

    int fd = sys::Open(systemPath.c_str(), oflags);
    if (fd < 0 && errno == ENOENT && (flags & modeCreate)) {
        // Exclusive creation tells a file made here from one that appeared meanwhile.
        fd = sys::Open(systemPath.c_str(), oflags | O_CREAT | O_EXCL);
        if (fd >= 0)
            m_created = true;
        else if (errno == EEXIST)
            fd = sys::Open(systemPath.c_str(), oflags);
    }
    if (fd < 0) Fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) FailOpen(fd, CauseFromErrno(errno));
    if (!S_ISREG(st.st_mode)) FailOpen(fd, CFileException::accessDenied);
    m_device = static_cast<std::uint64_t>(st.st_dev);
    m_inode = static_cast<std::uint64_t>(st.st_ino);
    // The lock comes before truncation, so a file in use by another run is never emptied.
    if ((flags & shareDenyWrite) || access != modeRead) {
        const int how = (access == modeRead ? LOCK_SH : LOCK_EX) | LOCK_NB;
        if (sys::Lock(fd, how) != 0) {
            // A file created here and at once held by another run is that run's now.
            if (errno == EWOULDBLOCK) m_created = false;
            FailOpen(fd, errno == EWOULDBLOCK ? CFileException::sharingViolation : CauseFromErrno(errno));
        }
    }
    if ((flags & modeCreate) && !(flags & modeNoTruncate) && sys::Truncate(fd, 0) != 0)
        FailOpen(fd, CauseFromErrno(errno));
    return fd;
}

bool CFile::StillNamesCreatedFile() const {
    struct stat st {};
    return m_created && ::stat(SystemPath(m_path).c_str(), &st) == 0 &&
           static_cast<std::uint64_t>(st.st_dev) == m_device && static_cast<std::uint64_t>(st.st_ino) == m_inode;
}

std::uint64_t CFile::Length() {
    CheckOpen();
    FlushDirty();
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) Fail(errno);
    return static_cast<std::uint64_t>(st.st_size);
}

void CFile::SetLength(std::uint64_t length) {
    CheckOpen();
    FlushDirty();
    m_windowLength = 0;
    if (sys::Truncate(m_fd, static_cast<off_t>(length)) != 0) Fail(errno);
}

void CFile::CloseDescriptor(int fd) {
    if (sys::Close(fd) != 0 && errno != EINTR) Fail(errno);
}

void CFile::ReleaseDescriptor(int fd) noexcept { sys::Close(fd); }

// A name removed while the file is held leaves its data to the holder until the close.
void CFile::RemoveCreatedFile(int) noexcept { ::unlink(SystemPath(m_path).c_str()); }
