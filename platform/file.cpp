#include "platform/file.h"

#include <algorithm>
#include <cstring>

#include "platform/system.h"

// The window and the text mode, the same on every system; the system's calls are in its own
// folder's file.cpp.

void CFile::Open(const std::string& path, unsigned flags) {
    Abort();
    m_path = path;
    m_flags = flags;
    m_created = false;
    Opened(OpenDescriptor(SystemPath(path)));
}

void CFile::Opened(int fd) {
    m_fd = fd;
    m_buffer.resize(kWindowSize);
    m_windowStart = m_position = 0;
    m_windowLength = m_dirtyBegin = m_dirtyEnd = 0;
}

CFile::~CFile() { Abort(); }

void CFile::CheckOpen() const {
    if (m_fd < 0) throw CFileException(CFileException::invalidFile, m_path);
}

void CFile::FlushDirty() {
    if (m_dirtyBegin == m_dirtyEnd) return;
    const char* data = m_buffer.data() + m_dirtyBegin;
    std::size_t count = m_dirtyEnd - m_dirtyBegin;
    std::uint64_t offset = m_windowStart + m_dirtyBegin;
    m_dirtyBegin = m_dirtyEnd = 0; // a failed write is not retried at close
    WriteAt(FaultKind::flush, offset, data, count);
}

bool CFile::LoadWindow() { return LoadWindowAt(m_position); }

bool CFile::LoadWindowAt(std::uint64_t start) {
    FlushDirty();
    m_windowStart = start;
    m_windowLength = 0;
    m_windowLength = ReadAt(start, m_buffer.data(), m_buffer.size());
    return m_windowLength > 0;
}

// The next byte of a text file; false at its end, which a 0x1A byte also marks.
bool CFile::PeekByte(char& c) {
    if (!InWindow(m_position) && !LoadWindow()) return false;
    c = m_buffer[m_position - m_windowStart];
    return c != kTextEndByte;
}

std::size_t CFile::Read(void* buffer, std::size_t count) {
    if (!(m_flags & typeText)) return ReadUnconverted(buffer, count);
    CheckOpen();
    char* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    // A CR directly before LF is dropped.
    char c;
    while (done < count && PeekByte(c)) {
        ++m_position;
        char next;
        if (c == '\r' && PeekByte(next) && next == '\n') continue;
        out[done++] = c;
    }
    return done;
}

std::size_t CFile::ReadUnconverted(void* buffer, std::size_t count) {
    CheckOpen();
    char* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (InWindow(m_position)) {
            const std::size_t offset = static_cast<std::size_t>(m_position - m_windowStart);
            const std::size_t take = std::min(count - done, m_windowLength - offset);
            std::memcpy(out + done, m_buffer.data() + offset, take);
            m_position += take;
            done += take;
            continue;
        }
        if (count - done >= m_buffer.size()) {
            // Large reads go straight to the caller; the window stays a true copy of its bytes.
            FlushDirty();
            const std::size_t got = ReadAt(m_position, out + done, count - done);
            if (got == 0) break;
            m_position += got;
            done += got;
            continue;
        }
        if (!LoadWindow()) break;
    }
    return done;
}

bool CFile::ReadLine(std::string& line, bool keepLineEnd) {
    CheckOpen();
    line.clear();
    bool any = false; // a byte of this line, or its line end, was taken
    for (;;) {
        if (!InWindow(m_position) && !LoadWindow()) return any;
        const std::size_t offset = static_cast<std::size_t>(m_position - m_windowStart);
        const char* start = m_buffer.data() + offset;
        const std::size_t avail = m_windowLength - offset;
        const void* lf = std::memchr(start, '\n', avail);
        const std::size_t length = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) : avail;
        if (m_flags & typeText) {
            if (const void* end = std::memchr(start, kTextEndByte, length)) {
                const std::size_t kept = static_cast<std::size_t>(static_cast<const char*>(end) - start);
                line.append(start, kept);
                m_position += kept;
                return any || kept > 0;
            }
        }
        line.append(start, length);
        m_position += length;
        any = any || length > 0;
        if (lf) {
            ++m_position;
            if (keepLineEnd) line += '\n';
            else if ((m_flags & typeText) && !line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
    }
}

void CFile::PutDirect(const char* data, std::size_t count) {
    FlushDirty();
    m_windowLength = 0; // the window may overlap what is written now
    WriteAt(FaultKind::write, m_position, data, count);
    m_position += count;
}

void CFile::Put(const char* data, std::size_t count) {
    // The window takes bytes that continue or overwrite it without a gap.
    const auto fits = [this] {
        return m_position >= m_windowStart && m_position <= m_windowStart + m_windowLength &&
               m_position < m_windowStart + m_buffer.size();
    };
    while (count > 0) {
        if (!fits()) {
            if (count >= m_buffer.size()) return PutDirect(data, count);
            const bool jumps = m_position != m_windowStart + m_windowLength;
            if (jumps && (m_flags & kFileAccessMask) == modeReadWrite) {
                // A write away from the window's end brings the bytes around it into the window
                // first, so that records written near each other with gaps between them (by an
                // index list) reach the system together. Moving backwards, the window ends where
                // the write does.
                const std::uint64_t reach = m_position + count;
                const bool backwards = m_position < m_windowStart;
                LoadWindowAt(!backwards ? m_position : reach > m_buffer.size() ? reach - m_buffer.size() : 0);
            } else {
                FlushDirty();
            }
            // Otherwise, and beyond the end of the file, the write starts a window of its own.
            if (!fits()) {
                m_windowStart = m_position;
                m_windowLength = 0;
            }
        }
        const std::size_t offset = static_cast<std::size_t>(m_position - m_windowStart);
        const std::size_t take = std::min(count, m_buffer.size() - offset);
        std::memcpy(m_buffer.data() + offset, data, take);
        if (m_dirtyBegin == m_dirtyEnd) {
            m_dirtyBegin = offset;
            m_dirtyEnd = offset + take;
        } else {
            m_dirtyBegin = std::min(m_dirtyBegin, offset);
            m_dirtyEnd = std::max(m_dirtyEnd, offset + take);
        }
        m_windowLength = std::max(m_windowLength, offset + take);
        m_position += take;
        data += take;
        count -= take;
    }
}

void CFile::WriteUnconverted(const void* data, std::size_t count) {
    CheckOpen();
    Put(static_cast<const char*>(data), count);
}

void CFile::Write(const void* data, std::size_t count) {
    CheckOpen();
    const char* in = static_cast<const char*>(data);
    if (!(m_flags & typeText)) return Put(in, count);
    // Text mode: every LF becomes CR LF.
    while (count > 0) {
        const void* lf = std::memchr(in, '\n', count);
        const std::size_t length = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - in) : count;
        Put(in, length);
        in += length;
        count -= length;
        if (lf) {
            Put("\r\n", 2);
            ++in;
            --count;
        }
    }
}

std::uint64_t CFile::Seek(std::int64_t offset, SeekOrigin origin) {
    CheckOpen();
    std::int64_t base = 0;
    if (origin == current) base = static_cast<std::int64_t>(m_position);
    if (origin == end) base = static_cast<std::int64_t>(Length());
    const std::int64_t target = base + offset;
    if (target < 0) throw CFileException(CFileException::badSeek, m_path);
    m_position = static_cast<std::uint64_t>(target);
    return m_position;
}

void CFile::Flush() {
    if (m_fd >= 0) FlushDirty();
}

void CFile::FailOpen(int fd, int cause) {
    if (StillNamesCreatedFile()) RemoveCreatedFile(fd);
    m_created = false;
    ReleaseDescriptor(fd);
    throw CFileException(cause, m_path);
}

void CFile::Close() {
    if (m_fd < 0) return;
    try {
        FlushDirty();
    } catch (...) {
        Abort();
        throw;
    }
    const int fd = m_fd;
    m_fd = -1;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    CloseDescriptor(fd);
    // Closed whole: from now on the file is the caller's result, never discarded.
    m_created = false;
}

void CFile::Abort() noexcept {
    if (m_fd < 0) return;
    try {
        FlushDirty();
    } catch (...) {
    }
    ReleaseDescriptor(m_fd);
    m_fd = -1;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_windowLength = m_dirtyBegin = m_dirtyEnd = 0;
}

void CFile::Discard() noexcept {
    if (m_fd < 0) {
        // A close that failed leaves a created file to remove by its name.
        if (StillNamesCreatedFile()) RemoveCreatedFile(-1);
        m_created = false;
        return;
    }
    if (StillNamesCreatedFile()) {
        RemoveCreatedFile(m_fd);
        m_dirtyBegin = m_dirtyEnd = 0; // nothing more of a removed file is written
    }
    m_created = false;
    Abort();
}
