#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CFile;

// The platform's view of the process and the file system, apart from the file class.

// The separator the platform puts between folders ('/' here, '\\' on Windows).
char PathSeparator();
// True for a byte that separates folders when a path is split ('/' and '\\').
bool IsPathSeparator(char c);
// The length of the drive the path begins with: a letter and a colon on every system, and on
// POSIX also the one slash that stands for the root. A leading backslash on Windows is no drive.
std::size_t RootDriveLength(const std::string& path);
// True for the first byte of a double-byte character of the system's code page (on Windows with
// a code page such as CP932); never on POSIX, where texts are UTF-8 and no byte of a character
// can be taken for a separator.
bool IsLeadByte(char c);
// Where the character after the one starting at the offset begins: a lead byte takes the byte
// after it along, so that its second byte ('\\' in many CP932 characters) is never read alone.
inline std::size_t NextCharacter(std::string_view text, std::size_t at) {
    return at + (IsLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1);
}
// Whether two texts are the same but for the case of ASCII letters; the second byte of a
// double-byte character is no letter, so such characters match exactly.
bool EqualIgnoringCase(std::string_view a, std::string_view b);
// The offset of the first character that is the byte, or npos: a search that walks characters.
std::size_t FindCharacter(std::string_view text, char c, std::size_t from = 0);
// The offset just after the last separator of the path, walked character by character; 0 when
// it has none.
std::size_t AfterLastSeparator(const std::string& path);
// The path as the file system must see it (backslashes become slashes here).
std::string SystemPath(const std::string& path);
// True where a path naming an existing regular file is a complete file path even when the file's
// name has no extension; where false, only a name with an extension makes a file path.
bool ExistingFilesNeedNoExtension();

// The executable's path as the system reports it.
std::string ExecutablePath();
// The program's own file path: the executable, or what SetProgramFolder made of it.
std::string ProgramFilePath();
// The program's name, as message boxes show it: its file name without folder and extension.
std::string ProgramName();
// Makes the given folder the program's folder (the executable's name is kept).
void SetProgramFolder(const std::string& folder);

// The folder where programs keep their users' settings: on POSIX $XDG_CONFIG_HOME when it is an
// absolute path, else .config in the user's home folder; on Windows %APPDATA% when it names a
// drive. Empty when the user has none.
std::string UserConfigFolder();
// The environment variables UserConfigFolder reads, as a user is told to set them.
const char* UserConfigVariables();

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
    // Puts the new file in place. A file the caller holds open at the target (against other
    // runs) stays held through the rename on POSIX; Windows cannot replace a file held open, so
    // there it is released just before, and the rename is refused if another run has opened the
    // file meanwhile: either way the target is the old file or the whole new one.
    void Commit(CFile* held = nullptr);

private:
    std::string m_target;     // as the caller named it, for messages
    std::string m_systemPath; // where the rename lands: through a link, the file it points to
    std::string m_temporary;
    int m_fd = -1;
    bool m_committed = false;
};

// The permissions a copy of the file takes: its own on POSIX; none on Windows, where a new file
// takes its folder's defaults. Throws CFileException.
std::optional<unsigned> CopiedPermissions(const std::string& path);
// Copies a file, with its permissions, through a replacement file; a file held open at the
// destination is handed to Commit. Throws CFileException.
void CopyFileReplacing(const std::string& source, const std::string& destination, CFile* held = nullptr);
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
