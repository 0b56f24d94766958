#include "platform/system.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file.h"
#include "platform/posix/errno_cause.h"

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

char PathSeparator() { return '/'; }

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

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

namespace {
std::string& ProgramPathStore() {
    static std::string path = [] {
        char buffer[PATH_MAX + 1];
        const ssize_t len = ::readlink("/proc/self/exe", buffer, PATH_MAX);
        return len > 0 ? std::string(buffer, static_cast<std::size_t>(len)) : std::string("/morvane");
    }();
    return path;
}
}

std::string ProgramFilePath() { return ProgramPathStore(); }

void SetProgramFolder(const std::string& folder) {
    std::string& path = ProgramPathStore();
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string dir = folder;
    if (dir.empty() || dir.back() != '/') dir += '/';
    path = dir + name;
}

EntryKind ProbeEntry(const std::string& path) {
    if (path.empty()) return EntryKind::none;
    struct stat st {};
    if (::stat(SystemPath(path).c_str(), &st) != 0) return EntryKind::none;
    return S_ISDIR(st.st_mode) ? EntryKind::folder : EntryKind::file;
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

// A new file beside the target; removed again unless Commit renames it into place.
class CTemporaryFile {
public:
    explicit CTemporaryFile(const std::string& target, const std::string& shownName)
        : m_target(target), m_shownName(shownName) {
        m_path = target + ".XXXXXX";
        m_fd = ::mkstemp(m_path.data());
        if (m_fd < 0) throw CFileException(CauseFromErrno(errno), shownName);
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0)
            ::fchmod(m_fd, st.st_mode & 07777);
        else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(m_fd, 0666 & ~mask);
        }
    }
    ~CTemporaryFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_committed) ::unlink(m_path.c_str());
    }
    void Write(const char* data, std::size_t count) {
        while (count > 0) {
            const ssize_t done = ::write(m_fd, data, count);
            if (done < 0) {
                if (errno == EINTR) continue;
                throw CFileException(CauseFromErrno(errno), m_shownName);
            }
            data += done;
            count -= static_cast<std::size_t>(done);
        }
    }
    void Commit() {
        if (::fsync(m_fd) != 0 || ::close(m_fd) != 0) {
            m_fd = -1;
            throw CFileException(CauseFromErrno(errno), m_shownName);
        }
        m_fd = -1;
        if (::rename(m_path.c_str(), m_target.c_str()) != 0)
            throw CFileException(CauseFromErrno(errno), m_shownName);
        m_committed = true;
    }

private:
    std::string m_target, m_shownName, m_path;
    int m_fd = -1;
    bool m_committed = false;
};
}

void CopyFileReplacing(const std::string& source, const std::string& destination) {
    CFile in(source, modeRead | typeBinary);
    CTemporaryFile out(ReplacedFile(destination), destination);
    std::string block(256 * 1024, '\0');
    for (;;) {
        const std::size_t got = in.Read(block.data(), block.size());
        if (got == 0) break;
        out.Write(block.data(), got);
    }
    in.Close();
    out.Commit();
}

void ReplaceFileContents(const std::string& path, const std::string& contents) {
    CTemporaryFile out(ReplacedFile(path), path);
    out.Write(contents.data(), contents.size());
    out.Commit();
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    try {
        CFile file(path, modeRead | typeBinary);
        contents.clear();
        char block[64 * 1024];
        for (;;) {
            const std::size_t got = file.Read(block, sizeof block);
            if (got == 0) break;
            contents.append(block, got);
        }
        return true;
    } catch (const CFileException&) {
        return false;
    }
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
