#pragma once
#include <cstdint>
#include <string>

// The platform's view of the process and the file system, apart from the file class.

// The separator the platform puts between folders ('/' here, '\\' on Windows).
char PathSeparator();
// True for a byte that separates folders when a path is split ('/' and '\\').
bool IsPathSeparator(char c);
// True when the path begins with what the platform takes as a drive.
std::size_t RootDriveLength(const std::string& path);
// The path as the file system must see it (backslashes become slashes here).
std::string SystemPath(const std::string& path);
// True where a path naming an existing regular file is a complete file path even when the file's
// name has no extension; where false, only a name with an extension makes a file path.
bool ExistingFilesNeedNoExtension();

// The program's own file path: the executable, or what SetProgramFolder made of it.
std::string ProgramFilePath();
// The program's name, as message boxes show it: its file name without folder and extension.
std::string ProgramName();
// Makes the given folder the program's folder (the executable's name is kept).
void SetProgramFolder(const std::string& folder);

// The folder where programs keep their users' settings: $XDG_CONFIG_HOME when it is an absolute
// path, else .config in the user's home folder. Empty when the user has no home folder.
std::string UserConfigFolder();

// What a path names: nothing, a regular file, a folder, or something else (a FIFO, a device,
// a socket) that the program never takes for a file.
enum class EntryKind { none, file, folder, other };
EntryKind ProbeEntry(const std::string& path);

// What the file system tells of a file's last change, to notice changes by looking again: two
// equal stamps mean no change the file system records. A file that cannot be looked at has the
// cause in its stamp (a missing one too), so that its coming back counts as a change.
struct CFileStamp {
    std::uint64_t writeTime = 0; // in the system's own units
    std::uint64_t size = 0;
    int cause = 0; // CFileException's cause; none when the file was looked at

    bool operator==(const CFileStamp&) const = default;
};
CFileStamp FileStampOf(const std::string& path);

// A file written whole beside the one it replaces, then renamed into place by Commit, so that
// the target is either as it was or complete, never half-written. Without Commit the new file
// is removed again. Failures throw CFileException naming the target.
class CReplacementFile {
public:
    // The new file gets the given permissions, or, without them, those of the file it replaces
    // (new files: the defaults of the process).
    explicit CReplacementFile(const std::string& target, const unsigned* permissions = nullptr);
    ~CReplacementFile();
    CReplacementFile(const CReplacementFile&) = delete;
    CReplacementFile& operator=(const CReplacementFile&) = delete;

    void Write(const char* data, std::size_t count);
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    void Commit();

private:
    std::string m_target;     // as the caller named it, for messages
    std::string m_systemPath; // where the rename lands: through a link, the file it points to
    std::string m_temporary;
    int m_fd = -1;
    bool m_committed = false;
};

// Copies a file, with its permissions, through a replacement file. Throws CFileException.
void CopyFileReplacing(const std::string& source, const std::string& destination);
// Replaces a file's contents at once through a replacement file.
void ReplaceFileContents(const std::string& path, const std::string& contents);
// Copies every file under the source folder that the destination folder lacks, making folders
// as needed; files already there are left alone, and each copy appears whole or not at all.
// The destination folder is made even when there is no source folder to copy from. Returns how
// many files were copied. Throws CFileException.
int CopyMissingFiles(const std::string& sourceFolder, const std::string& destinationFolder);
// Reads a whole file; false only when there is no such file. A file that exists but cannot be
// read throws CFileException: a read failure never passes for an absent file.
bool ReadFileIfExists(const std::string& path, std::string& contents);

struct CLocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
CLocalTime LocalNow();
// Fixes the clock for tests; a null pointer returns to the real clock.
void FixLocalTime(const CLocalTime* fixed);
