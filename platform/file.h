#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fault_injection.h"
#include "platform/file_exception.h"

// Open modes: one access value, optionally combined with the other flags.
enum FileOpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareDenyWrite = 0x0020,
    modeCreate = 0x1000,     // create the file; an existing one is truncated ...
    modeNoTruncate = 0x2000, // ... unless this is given too
    typeText = 0x4000,
    typeBinary = 0x8000,
};

constexpr unsigned kFileAccessMask = 0x0003;

// The one file class of the program. Reads and writes go through a buffer of its own;
// Flush hands buffered output to the operating system. Text mode: reading drops a CR directly
// before LF and ends at a 0x1A byte; writing turns every LF into CR LF. With shareDenyWrite, or
// with write access, the file holds an advisory lock while open (shared for readers, exclusive
// for writers); a lock that cannot be had fails with a sharing violation. Only regular files
// open: a folder, a FIFO or a device is refused without waiting on it.
class CFile {
public:
    enum SeekOrigin { begin = 0, current = 1, end = 2 };
    // Reading in text mode ends at this byte.
    static constexpr char kTextEndByte = 0x1A;

    CFile() = default;
    CFile(const std::string& path, unsigned flags) { Open(path, flags); }
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    void Open(const std::string& path, unsigned flags);
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    unsigned Flags() const { return m_flags; }
    // Whether the last Open created the file (it did not exist before), until Close succeeds.
    bool Created() const { return m_created; }

    // Reads up to count bytes; fewer only at the end of the file (or at 0x1A in text mode).
    std::size_t Read(void* buffer, std::size_t count);
    // Reads the bytes as they are, also in text mode: CR LF stays, and 0x1A is a byte like any.
    std::size_t ReadUnconverted(void* buffer, std::size_t count);
    // Reads the next line without its terminator, or with it (the LF and any CR before it) as
    // it stands in the file; false at the end of the file.
    bool ReadLine(std::string& line, bool keepLineEnd = false);
    void Write(const void* data, std::size_t count);
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    // Writes the bytes as they are, also in text mode.
    void WriteUnconverted(const void* data, std::size_t count);

    std::uint64_t Seek(std::int64_t offset, SeekOrigin origin);
    std::uint64_t Position() const { return m_position; }
    std::uint64_t Length();
    void SetLength(std::uint64_t length);

    void Flush();
    // Closes the file, failing when buffered output cannot be written.
    void Close();
    // Closes the file, ignoring every failure.
    void Abort() noexcept;
    // Closes the file after a failed job: a file this object created is removed again (while it
    // is still held, so no other run can have taken it, or at once after a failed Close); any
    // other keeps what was written.
    void Discard() noexcept;

private:
    [[noreturn]] void Fail(int error) const;
    // Closes a descriptor whose open failed half-way, removing the file if it was created here.
    [[noreturn]] void FailOpen(int fd, int cause);
    // The system's part of closing: a close that throws its failure, one that ignores it, and
    // the removal of the file created here, through its descriptor while held (-1: by name).
    void CloseDescriptor(int fd);
    static void ReleaseDescriptor(int fd) noexcept;
    void RemoveCreatedFile(int fd) noexcept;
    bool StillNamesCreatedFile() const;
    void CheckOpen() const;
    // The system's part of Open: the file at the system's path opened (or created) as m_flags
    // ask, held against others and truncated as they ask.
    int OpenDescriptor(const std::string& systemPath);
    // Takes the newly opened file, with an empty window at its start.
    void Opened(int fd);
    // The system's reads and writes at an offset: a read returns what one call gave (0 at the
    // end of the file); a write puts every byte or throws.
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count);
    void WriteAt(FaultKind kind, std::uint64_t offset, const char* data, std::size_t count);
    bool InWindow(std::uint64_t position) const {
        return position >= m_windowStart && position < m_windowStart + m_windowLength;
    }
    // Loads the window at the current position (or the given one); false at the end of the file.
    bool LoadWindow();
    bool LoadWindowAt(std::uint64_t start);
    void FlushDirty();
    void Put(const char* data, std::size_t count);
    void PutDirect(const char* data, std::size_t count);
    bool PeekByte(char& c);

    // One window of the file is cached: reads are served from it, writes change it, and its
    // changed bytes go to the system in one call when the window moves or on Flush.
    static constexpr std::size_t kWindowSize = 64 * 1024;
    int m_fd = -1; // on Windows, the handle: kernel handles fit in 32 bits
    unsigned m_flags = 0;
    bool m_created = false;
    std::uint64_t m_device = 0, m_inode = 0; // which file the path named when it was opened
    std::string m_path;
    std::vector<char> m_buffer;
    std::uint64_t m_windowStart = 0;
    std::size_t m_windowLength = 0;
    std::size_t m_dirtyBegin = 0;
    std::size_t m_dirtyEnd = 0; // nothing changed while begin == end
    std::uint64_t m_position = 0;
};
