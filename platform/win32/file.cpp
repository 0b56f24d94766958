#include "platform/file.h"

#include <algorithm>

#include "platform/system.h"
#include "platform/win32/error_cause.h"
#include "platform/win32/system_calls.h"

namespace {
// Which file a handle holds: its volume and its index there.
bool Identify(HANDLE file, std::uint64_t& volume, std::uint64_t& index) {
    BY_HANDLE_FILE_INFORMATION info {};
    if (!::GetFileInformationByHandle(file, &info)) return false;
    volume = info.dwVolumeSerialNumber;
    index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}
}

void CFile::Fail(int error) const { throw CFileException(CauseFromError(static_cast<DWORD>(error)), m_path); }

std::size_t CFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t count) {
    DWORD got = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
    if (!sys::ReadAt(sys::Handle(m_fd), buffer, ask, offset, got)) Fail(static_cast<int>(::GetLastError()));
    return got;
}

void CFile::WriteAt(FaultKind kind, std::uint64_t offset, const char* data, std::size_t count) {
    while (count > 0) {
        DWORD done = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        if (!sys::WriteAt(kind, sys::Handle(m_fd), data, ask, offset, done))
            Fail(static_cast<int>(::GetLastError()));
        data += done;
        offset += done;
        count -= done;
    }
}

int CFile::OpenDescriptor(const std::string& systemPath) {
    const unsigned flags = m_flags;
    const unsigned access = flags & kFileAccessMask;
    DWORD rights = GENERIC_READ;
    if (access == modeWrite) rights = GENERIC_WRITE;
    if (access == modeReadWrite) rights = GENERIC_READ | GENERIC_WRITE;
    // A writer lets others read only; so does a reader that denies writing. Any other reader
    // shares everything, also the removal of a file another run discards.
    const DWORD share = (flags & shareDenyWrite) || access != modeRead
                            ? FILE_SHARE_READ
                            : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

    HANDLE file = sys::Open(systemPath.c_str(), rights, share, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_NOT_FOUND && (flags & modeCreate)) {
        // Creating only a new file tells a file made here from one that appeared meanwhile; the
        // right to delete lets a discarded job remove it while still holding it.
        file = sys::Open(systemPath.c_str(), rights | DELETE, share, CREATE_NEW);
        if (file != INVALID_HANDLE_VALUE)
            m_created = true;
        else if (::GetLastError() == ERROR_FILE_EXISTS)
            file = sys::Open(systemPath.c_str(), rights, share, OPEN_EXISTING);
    }
    if (file == INVALID_HANDLE_VALUE) Fail(static_cast<int>(::GetLastError()));
    const int fd = sys::Descriptor(file);
    // A folder cannot be opened this way; a device or a pipe is no file either.
    if (::GetFileType(file) != FILE_TYPE_DISK) FailOpen(fd, CFileException::accessDenied);
    if (!Identify(file, m_device, m_inode)) FailOpen(fd, CauseFromError(::GetLastError()));
    // The sharing above came before truncation, so a file in use by another run is never emptied.
    if ((flags & modeCreate) && !(flags & modeNoTruncate) && !sys::Truncate(file, 0))
        FailOpen(fd, CauseFromError(::GetLastError()));
    return fd;
}

bool CFile::StillNamesCreatedFile() const {
    if (!m_created) return false;
    const HANDLE named = ::CreateFileA(SystemPath(m_path).c_str(), 0,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    std::uint64_t volume = 0, index = 0;
    const bool same = Identify(named, volume, index) && volume == m_device && index == m_inode;
    ::CloseHandle(named);
    return same;
}

std::uint64_t CFile::Length() {
    CheckOpen();
    FlushDirty();
    LARGE_INTEGER size {};
    if (!::GetFileSizeEx(sys::Handle(m_fd), &size)) Fail(static_cast<int>(::GetLastError()));
    return static_cast<std::uint64_t>(size.QuadPart);
}

void CFile::SetLength(std::uint64_t length) {
    CheckOpen();
    FlushDirty();
    m_windowLength = 0;
    if (!sys::Truncate(sys::Handle(m_fd), length)) Fail(static_cast<int>(::GetLastError()));
}

void CFile::CloseDescriptor(int fd) {
    if (!sys::Close(sys::Handle(fd))) Fail(static_cast<int>(::GetLastError()));
}

void CFile::ReleaseDescriptor(int fd) noexcept { ::CloseHandle(sys::Handle(fd)); }

// Marked through the handle, the file goes when it is closed, and no other run can have taken it
// meanwhile.
void CFile::RemoveCreatedFile(int fd) noexcept {
    if (fd < 0) {
        ::DeleteFileA(SystemPath(m_path).c_str());
        return;
    }
    FILE_DISPOSITION_INFO remove {TRUE};
    ::SetFileInformationByHandle(sys::Handle(fd), FileDispositionInfo, &remove, sizeof remove);
}
