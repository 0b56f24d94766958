#include "platform/system.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error_code_cause.h"
#include "platform/file.h"
#include "platform/posix/errno_cause.h"
#include "platform/posix/system_calls.h"

int CauseFromErrno(int error) {
    switch (error) {
    case 0: return CFileException::none;
    case ENOENT: return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL: return CFileException::badPath;
    case EMFILE:
    case ENFILE: return CFileException::tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return CFileException::accessDenied;
    case EBADF: return CFileException::invalidFile;
    case ESPIPE:
    case EOVERFLOW: return CFileException::badSeek;
    case EIO: return CFileException::hardIO;
    case EWOULDBLOCK: return CFileException::sharingViolation;
    case ENOLCK: return CFileException::lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return CFileException::diskFull;
    default: return CFileException::genericException;
    }
}

int CauseFromErrorCode(const std::error_code& error) { return CauseFromErrno(error.value()); }

char PathSeparator() { return '/'; }

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

bool IsLeadByte(char) { return false; }

std::size_t RootDriveLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        return 2;
    if (!path.empty() && path[0] == '/') return 1;
    return 0;
}

std::string SystemPath(const std::string& path) {
    std::string result = path;
    for (char& c : result)
        if (c == '\\') c = '/';
    return result;
}

// Many data files here have no extension: system logs, files taken from archives or named by
// other tools.
bool ExistingFilesNeedNoExtension() { return true; }

std::string ExecutablePath() {
    char buffer[PATH_MAX + 1];
    const ssize_t len = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    return len > 0 ? std::string(buffer, static_cast<std::size_t>(len)) : std::string("/morvane");
}

const char* UserConfigVariables() { return "HOME or XDG_CONFIG_HOME"; }

std::string UserConfigFolder() {
    // A relative value is invalid and is ignored, as the base directory rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config";
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
        return std::string(entry->pw_dir) + "/.config";
    return std::string();
}

EntryKind ProbeEntry(const std::string& path) {
    if (path.empty()) return EntryKind::none;
    struct stat st {};
    if (::stat(SystemPath(path).c_str(), &st) != 0) return EntryKind::none;
    if (S_ISDIR(st.st_mode)) return EntryKind::folder;
    return S_ISREG(st.st_mode) ? EntryKind::file : EntryKind::other;
}

CFileStamp FileStampOf(const std::string& path) {
    struct stat st {};
    if (::stat(SystemPath(path).c_str(), &st) != 0) return {0, 0, CauseFromErrno(errno)};
    return {static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<std::uint64_t>(st.st_mtim.tv_nsec),
            static_cast<std::uint64_t>(st.st_size), CFileException::none};
}

namespace {
// The file a link points to, so that replacing it keeps the link.
std::string ReplacedFile(const std::string& path) {
    const std::string system = SystemPath(path);
    struct stat st {};
    if (::lstat(system.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(system.c_str(), nullptr)) {
            std::string result(real);
            std::free(real);
            return result;
        }
    }
    return system;
}
}

CReplacementFile::CReplacementFile(const std::string& target, const unsigned* permissions)
    : m_target(target), m_systemPath(ReplacedFile(target)) {
    m_temporary = m_systemPath + ".XXXXXX";
    m_fd = sys::MakeTemporary(m_temporary.data());
    if (m_fd < 0) throw CFileException(CauseFromErrno(errno), m_target);
    mode_t mode = 0;
    struct stat st {};
    if (permissions) {
        mode = static_cast<mode_t>(*permissions);
    } else if (::stat(m_systemPath.c_str(), &st) == 0) {
        mode = st.st_mode;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // A copy that cannot keep its permissions fails rather than land with other ones.
    if (sys::ChangeMode(m_fd, mode & 07777) != 0) {
        const int error = errno;
        ::close(m_fd);
        ::unlink(m_temporary.c_str());
        throw CFileException(CauseFromErrno(error), m_target);
    }
}

CReplacementFile::~CReplacementFile() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_committed) ::unlink(m_temporary.c_str());
}

void CReplacementFile::Write(const char* data, std::size_t count) {
    while (count > 0) {
        const ssize_t done = sys::Write(m_fd, data, count);
        if (done < 0) {
            if (errno == EINTR) continue;
            throw CFileException(CauseFromErrno(errno), m_target);
        }
        data += done;
        count -= static_cast<std::size_t>(done);
    }
}

// The rename replaces the name whatever holds the old file, so a held file stays held.
void CReplacementFile::Commit(CFile*) {
    const int fd = m_fd;
    m_fd = -1;
    // The bytes reach the device before the name does, so a crash leaves the old file or the new.
    if (sys::Sync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        throw CFileException(CauseFromErrno(error), m_target);
    }
    if (sys::Close(fd) != 0 || sys::Rename(m_temporary.c_str(), m_systemPath.c_str()) != 0)
        throw CFileException(CauseFromErrno(errno), m_target);
    m_committed = true;
}

std::optional<unsigned> CopiedPermissions(const std::string& path) {
    struct stat st {};
    if (::stat(SystemPath(path).c_str(), &st) != 0) throw CFileException(CauseFromErrno(errno), path);
    return static_cast<unsigned>(st.st_mode & 07777);
}

namespace {
std::optional<CLocalTime> g_fixedTime;
}

CLocalTime LocalNow() {
    if (g_fixedTime) return *g_fixedTime;
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    ::localtime_r(&now, &tm);
    return CLocalTime {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void FixLocalTime(const CLocalTime* fixed) {
    if (fixed)
        g_fixedTime = *fixed;
    else
        g_fixedTime.reset();
}
