#include "platform/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/errno_cause.h"
#include "platform/system.h"

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
constexpr char kTextEnd = 0x1A;
}

CFile::~CFile() { Abort(); }

void CFile::Fail(int error) const { throw CFileException(CauseFromErrno(error), m_path); }

void CFile::Open(const std::string& path, unsigned flags) {
    Abort();
    m_path = path;
    m_flags = flags;
    const unsigned access = flags & kFileAccessMask;
    int oflags = O_CLOEXEC;
    if (access == modeWrite)
        oflags |= O_WRONLY;
    else if (access == modeReadWrite)
        oflags |= O_RDWR;
    else
        oflags |= O_RDONLY;
    if (flags & modeCreate) oflags |= O_CREAT;

    const std::string systemPath = SystemPath(path);
    int fd = ::open(systemPath.c_str(), oflags, 0666);
    if (fd < 0) Fail(errno);

    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw CFileException(CFileException::accessDenied, m_path);
    }
    // The lock comes before truncation, so a file in use by another run is never emptied.
    if ((flags & shareDenyWrite) || access != modeRead) {
        const int how = (access == modeRead ? LOCK_SH : LOCK_EX) | LOCK_NB;
        if (::flock(fd, how) != 0) {
            const int error = errno;
            ::close(fd);
            throw CFileException(error == EWOULDBLOCK ? CFileException::sharingViolation
                                                      : CauseFromErrno(error),
                                 m_path);
        }
    }
    if ((flags & modeCreate) && !(flags & modeNoTruncate) && ::ftruncate(fd, 0) != 0) {
        const int error = errno;
        ::close(fd);
        Fail(error);
    }
    m_fd = fd;
    m_kernelPos = 0;
    m_buffer.resize(kBufferSize);
    m_readPos = m_readEnd = m_writeEnd = 0;
    m_textEnd = false;
    m_pendingCR = false;
}

void CFile::RawWrite(const char* data, std::size_t count) {
    while (count > 0) {
        const ssize_t done = ::write(m_fd, data, count);
        if (done < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        data += done;
        m_kernelPos += static_cast<std::uint64_t>(done);
        count -= static_cast<std::size_t>(done);
    }
}

void CFile::FlushWrite() {
    if (m_writeEnd == 0) return;
    const std::size_t pending = m_writeEnd;
    m_writeEnd = 0; // a failed write is not retried at close
    RawWrite(m_buffer.data(), pending);
}

void CFile::DropReadAhead() {
    const std::size_t ahead = m_readEnd - m_readPos;
    m_readPos = m_readEnd = 0;
    if (ahead == 0) return;
    const off_t pos = ::lseek(m_fd, -static_cast<off_t>(ahead), SEEK_CUR);
    if (pos < 0) Fail(errno);
    m_kernelPos = static_cast<std::uint64_t>(pos);
}

std::size_t CFile::FillBuffer() {
    FlushWrite();
    m_readPos = m_readEnd = 0;
    if (m_textEnd) return 0;
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer.data(), m_buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        m_readEnd = static_cast<std::size_t>(got);
        m_kernelPos += m_readEnd;
        break;
    }
    if ((m_flags & typeText) && m_readEnd > 0) {
        const void* stop = std::memchr(m_buffer.data(), kTextEnd, m_readEnd);
        if (stop) {
            m_readEnd = static_cast<std::size_t>(static_cast<const char*>(stop) - m_buffer.data());
            m_textEnd = true;
        }
    }
    return m_readEnd;
}

std::size_t CFile::Read(void* buffer, std::size_t count) {
    if (m_fd < 0) throw CFileException(CFileException::invalidFile, m_path);
    char* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    const bool text = (m_flags & typeText) != 0;
    while (done < count) {
        if (m_readPos == m_readEnd) {
            if (!text && m_writeEnd == 0 && count - done >= m_buffer.size()) {
                // Large binary reads go straight to the caller's buffer.
                const ssize_t got = ::read(m_fd, out + done, count - done);
                if (got < 0) {
                    if (errno == EINTR) continue;
                    Fail(errno);
                }
                if (got == 0) break;
                m_kernelPos += static_cast<std::uint64_t>(got);
                done += static_cast<std::size_t>(got);
                continue;
            }
            if (FillBuffer() == 0) break;
        }
        if (!text) {
            const std::size_t take = std::min(count - done, m_readEnd - m_readPos);
            std::memcpy(out + done, m_buffer.data() + m_readPos, take);
            m_readPos += take;
            done += take;
            continue;
        }
        // Text mode: a CR directly before LF is dropped.
        const char c = m_buffer[m_readPos++];
        if (m_pendingCR) {
            m_pendingCR = false;
            if (c != '\n') out[done++] = '\r';
            if (done == count) {
                --m_readPos;
                break;
            }
        }
        if (c == '\r') {
            m_pendingCR = true;
            continue;
        }
        out[done++] = c;
    }
    if (m_pendingCR && m_readPos == m_readEnd && done < count && FillBuffer() == 0) {
        m_pendingCR = false;
        out[done++] = '\r';
    }
    return done;
}

bool CFile::ReadLine(std::string& line) {
    if (m_fd < 0) throw CFileException(CFileException::invalidFile, m_path);
    line.clear();
    bool any = false;
    for (;;) {
        if (m_readPos == m_readEnd && FillBuffer() == 0) return any;
        any = true;
        const char* start = m_buffer.data() + m_readPos;
        const std::size_t avail = m_readEnd - m_readPos;
        const void* lf = std::memchr(start, '\n', avail);
        if (!lf) {
            line.append(start, avail);
            m_readPos = m_readEnd;
            continue;
        }
        const std::size_t len = static_cast<std::size_t>(static_cast<const char*>(lf) - start);
        line.append(start, len);
        m_readPos += len + 1;
        if ((m_flags & typeText) && !line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
}

void CFile::Write(const void* data, std::size_t count) {
    if (m_fd < 0) throw CFileException(CFileException::invalidFile, m_path);
    if (m_readEnd != 0) DropReadAhead();
    const char* in = static_cast<const char*>(data);
    const bool text = (m_flags & typeText) != 0;
    while (count > 0) {
        std::size_t take = count;
        bool lineEnd = false;
        if (text) {
            const void* lf = std::memchr(in, '\n', count);
            if (lf) {
                take = static_cast<std::size_t>(static_cast<const char*>(lf) - in);
                lineEnd = true;
            }
        }
        if (m_writeEnd + take > m_buffer.size()) {
            FlushWrite();
            if (take >= m_buffer.size()) {
                RawWrite(in, take); // too large to buffer
                in += take;
                count -= take;
                take = 0;
            }
        }
        if (take > 0) {
            std::memcpy(m_buffer.data() + m_writeEnd, in, take);
            m_writeEnd += take;
            in += take;
            count -= take;
        }
        if (lineEnd) {
            if (m_writeEnd + 2 > m_buffer.size()) FlushWrite();
            m_buffer[m_writeEnd++] = '\r';
            m_buffer[m_writeEnd++] = '\n';
            ++in;
            --count;
        }
    }
}

std::uint64_t CFile::Position() const {
    if (m_fd < 0) return 0;
    return m_kernelPos - (m_readEnd - m_readPos) + m_writeEnd;
}

std::uint64_t CFile::Seek(std::int64_t offset, SeekOrigin origin) {
    if (m_fd < 0) throw CFileException(CFileException::invalidFile, m_path);
    if (origin == end) {
        FlushWrite();
        m_readPos = m_readEnd = 0;
        const off_t pos = ::lseek(m_fd, offset, SEEK_END);
        if (pos < 0) Fail(errno);
        m_kernelPos = static_cast<std::uint64_t>(pos);
        m_textEnd = false;
        m_pendingCR = false;
        return m_kernelPos;
    }
    const std::int64_t logical = static_cast<std::int64_t>(Position());
    const std::int64_t target = origin == begin ? offset : logical + offset;
    if (target < 0) throw CFileException(CFileException::badSeek, m_path);
    if (target == logical) return static_cast<std::uint64_t>(target); // sequential access costs nothing
    FlushWrite();
    m_pendingCR = false;
    const std::int64_t kernel = static_cast<std::int64_t>(m_kernelPos);
    const std::int64_t bufferStart = kernel - static_cast<std::int64_t>(m_readEnd);
    if (m_readEnd > 0 && target >= bufferStart && target <= kernel) {
        m_readPos = static_cast<std::size_t>(target - bufferStart); // inside the read-ahead
        return static_cast<std::uint64_t>(target);
    }
    m_readPos = m_readEnd = 0;
    m_textEnd = false;
    if (::lseek(m_fd, static_cast<off_t>(target), SEEK_SET) < 0) Fail(errno);
    m_kernelPos = static_cast<std::uint64_t>(target);
    return m_kernelPos;
}

std::uint64_t CFile::Length() {
    if (m_fd < 0) throw CFileException(CFileException::invalidFile, m_path);
    FlushWrite();
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) Fail(errno);
    return static_cast<std::uint64_t>(st.st_size);
}

void CFile::SetLength(std::uint64_t length) {
    if (m_fd < 0) throw CFileException(CFileException::invalidFile, m_path);
    FlushWrite();
    if (m_readEnd != 0) DropReadAhead();
    if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0) Fail(errno);
}

void CFile::Flush() {
    if (m_fd < 0) return;
    FlushWrite();
}

void CFile::Close() {
    if (m_fd < 0) return;
    try {
        FlushWrite();
    } catch (...) {
        Abort();
        throw;
    }
    const int fd = m_fd;
    m_fd = -1;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    if (::close(fd) != 0 && errno != EINTR) Fail(errno);
}

void CFile::Abort() noexcept {
    if (m_fd < 0) return;
    try {
        FlushWrite();
    } catch (...) {
    }
    ::close(m_fd);
    m_fd = -1;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_readPos = m_readEnd = m_writeEnd = 0;
}
