#include "platform/system.h"

#include <cerrno>
#include <cstdio>
#include <optional>

#include "platform/error_code_cause.h"
#include "platform/file.h"
#include "platform/win32/error_cause.h"
#include "platform/win32/system_calls.h"

int CauseFromError(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS: return CFileException::none;
    case ERROR_FILE_NOT_FOUND: return CFileException::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return CFileException::badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return CFileException::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return CFileException::accessDenied;
    case ERROR_INVALID_HANDLE: return CFileException::invalidFile;
    case ERROR_CURRENT_DIRECTORY: return CFileException::removeCurrentDir;
    case ERROR_CANNOT_MAKE: return CFileException::directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return CFileException::badSeek;
    case ERROR_IO_DEVICE:
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE: return CFileException::hardIO;
    case ERROR_SHARING_VIOLATION: return CFileException::sharingViolation;
    case ERROR_LOCK_VIOLATION: return CFileException::lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return CFileException::diskFull;
    case ERROR_HANDLE_EOF: return CFileException::endOfFile;
    default: return CFileException::genericException;
    }
}

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case EINVAL: return ERROR_PATH_NOT_FOUND;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ESPIPE: return ERROR_SEEK;
    case EIO: return ERROR_IO_DEVICE;
    case EWOULDBLOCK: return ERROR_SHARING_VIOLATION;
    case ENOLCK: return ERROR_LOCK_VIOLATION;
    case ENOSPC:
    case EFBIG: return ERROR_DISK_FULL;
    default: return ERROR_INVALID_FUNCTION;
    }
}

int CauseFromErrorCode(const std::error_code& error) {
    if (error.category() == std::generic_category()) return CauseFromError(ErrorFromErrno(error.value()));
    return CauseFromError(static_cast<DWORD>(error.value()));
}

char PathSeparator() { return '\\'; }

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

// A path that starts with a backslash but has no drive is relative to the program's folder.
std::size_t RootDriveLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        return 2;
    return 0;
}

bool IsLeadByte(char c) { return ::IsDBCSLeadByte(static_cast<BYTE>(c)); }

std::string SystemPath(const std::string& path) {
    std::string result = path;
    for (char& c : result)
        if (c == '/') c = '\\';
    return result;
}

// Data files here carry their type in their extension.
bool ExistingFilesNeedNoExtension() { return false; }

std::string ExecutablePath() {
    char buffer[MAX_PATH + 1];
    const DWORD len = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return len > 0 && len < MAX_PATH ? std::string(buffer, len) : std::string("C:\\morvane.exe");
}

const char* UserConfigVariables() { return "APPDATA"; }

// The roaming application data folder, where Windows programs keep their users' settings.
std::string UserConfigFolder() {
    char buffer[MAX_PATH + 1];
    const DWORD len = ::GetEnvironmentVariableA("APPDATA", buffer, sizeof buffer);
    if (len == 0 || len > MAX_PATH || RootDriveLength(std::string(buffer, len)) != 2) return std::string();
    return std::string(buffer, len);
}

EntryKind ProbeEntry(const std::string& path) {
    if (path.empty()) return EntryKind::none;
    const DWORD attributes = ::GetFileAttributesA(SystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::none;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::folder;
    return attributes & FILE_ATTRIBUTE_DEVICE ? EntryKind::other : EntryKind::file;
}

CFileStamp FileStampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!::GetFileAttributesExA(SystemPath(path).c_str(), GetFileExInfoStandard, &data))
        return {0, 0, CauseFromError(::GetLastError())};
    return {(static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime,
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, CFileException::none};
}

// Permissions are a POSIX notion: a new file here takes the folder's defaults.
CReplacementFile::CReplacementFile(const std::string& target, const unsigned*)
    : m_target(target), m_systemPath(SystemPath(target)) {
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%06lX", (::GetCurrentProcessId() * 7919ul + ::GetTickCount() + attempt) & 0xFFFFFFul);
        m_temporary = m_systemPath + suffix;
        file = sys::Open(m_temporary.c_str(), GENERIC_WRITE, 0, CREATE_NEW);
        if (file == INVALID_HANDLE_VALUE && (::GetLastError() != ERROR_FILE_EXISTS || attempt == 100))
            throw CFileException(CauseFromError(::GetLastError()), m_target);
    }
    m_fd = sys::Descriptor(file);
}

CReplacementFile::~CReplacementFile() {
    if (m_fd >= 0) ::CloseHandle(sys::Handle(m_fd));
    if (!m_committed) ::DeleteFileA(m_temporary.c_str());
}

void CReplacementFile::Write(const char* data, std::size_t count) {
    while (count > 0) {
        DWORD done = 0;
        const DWORD ask = static_cast<DWORD>(count < (1u << 30) ? count : (1u << 30));
        if (!sys::Write(sys::Handle(m_fd), data, ask, done))
            throw CFileException(CauseFromError(::GetLastError()), m_target);
        data += done;
        count -= done;
    }
}

void CReplacementFile::Commit(CFile* held) {
    const HANDLE file = sys::Handle(m_fd);
    m_fd = -1;
    // The bytes reach the device before the name does, so a crash leaves the old file or the new.
    if (!sys::Sync(file)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(file);
        throw CFileException(CauseFromError(error), m_target);
    }
    if (!sys::Close(file)) throw CFileException(CauseFromError(::GetLastError()), m_target);
    // A file held open cannot be replaced here: the hold ends now, and the rename is refused
    // should another run open the file in between.
    if (held) held->Abort();
    if (!sys::Rename(m_temporary.c_str(), m_systemPath.c_str()))
        throw CFileException(CauseFromError(::GetLastError()), m_target);
    m_committed = true;
}

std::optional<unsigned> CopiedPermissions(const std::string&) { return std::nullopt; }

namespace {
std::optional<CLocalTime> g_fixedTime;
}

CLocalTime LocalNow() {
    if (g_fixedTime) return *g_fixedTime;
    SYSTEMTIME now {};
    ::GetLocalTime(&now);
    return CLocalTime {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void FixLocalTime(const CLocalTime* fixed) {
    if (fixed)
        g_fixedTime = *fixed;
    else
        g_fixedTime.reset();
}
