#include "support/paths.h"

#include <algorithm>

#include "vocabulary/message_box.h"
#include "vocabulary/messages.h"
#include "platform/file.h"
#include "platform/system.h"

namespace {
struct CPathParts {
    std::string drive, folder, name, extension;
};

CPathParts SplitPath(const std::string& path) {
    CPathParts parts;
    const std::size_t driveEnd = RootDriveLength(path);
    parts.drive = path.substr(0, driveEnd);
    const std::size_t folderEnd = std::max(driveEnd, AfterLastSeparator(path));
    parts.folder = path.substr(driveEnd, folderEnd - driveEnd);
    const std::string rest = path.substr(folderEnd);
    const std::size_t period = rest.rfind('.');
    if (period == std::string::npos) {
        parts.name = rest;
    } else {
        parts.name = rest.substr(0, period);
        parts.extension = rest.substr(period);
    }
    return parts;
}

std::size_t TrimmedLength(const std::string& text) {
    const char* blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return 0;
    return text.find_last_not_of(blanks) - first + 1;
}
}

int ClassifyPath(const std::string& path) {
    const CPathParts parts = SplitPath(path);
    int kind = 0;
    // A drive is two bytes, except the one-byte root that stands for it on POSIX.
    if (TrimmedLength(parts.drive) > 0) kind += 1;
    if (TrimmedLength(parts.folder) > 1) kind += 2;
    if (TrimmedLength(parts.name) > 0) kind += 4;
    if (TrimmedLength(parts.extension) > 1) kind += 8;
    return kind;
}

int ClassifyFilePath(const std::string& path) {
    const int kind = ClassifyPath(path);
    if (kind == partAll || (kind & partNameExtension) == 0 || !ExistingFilesNeedNoExtension()) return kind;
    const std::string file = (kind & partDrive) ? path : ProgramDirectory() + path;
    return FileExists(file) ? kind | partNameExtension : kind;
}

std::string PathPart(const std::string& path, int set) {
    const CPathParts parts = SplitPath(path);
    switch (set) {
    case partDrive: return parts.drive;
    case partFolder: return parts.folder;
    case partDriveFolder: return parts.drive + parts.folder;
    case partName: return parts.name;
    case partDriveFolderName: return parts.drive + parts.folder + parts.name;
    case partExtension: return parts.extension;
    case partNameExtension: return parts.name + parts.extension;
    case partFolderNameExtension: return parts.folder + parts.name + parts.extension;
    case partAll: return parts.drive + parts.folder + parts.name + parts.extension;
    default: return std::string();
    }
}

std::string PathStem(const std::string& path) {
    const CPathParts parts = SplitPath(path);
    return parts.drive + parts.folder + (parts.name.empty() ? parts.extension : parts.name);
}

std::string ProgramPathPart(int set) { return PathPart(ProgramFilePath(), set); }

std::string ProgramDirectory() { return ProgramPathPart(partDriveFolder); }

std::string NormalizePath(const std::string& path, bool rooted) {
    if (path.empty()) return path;
    const int kind = ClassifyFilePath(path);
    if (!rooted) {
        if (kind == 15) return path;
        if (kind == 12 || kind == 14) return ProgramDirectory() + path;
        return std::string();
    }
    if (IsRootedKind(kind)) return path;
    if (kind % 2 == 0) return ProgramDirectory() + path;
    return std::string();
}

std::string MakeRelative(const std::string& path) {
    if (!IsRootedKind(ClassifyPath(path))) return path;
    const std::string directory = ProgramDirectory();
    if (path.compare(0, directory.size(), directory) == 0) return path.substr(directory.size());
    return path;
}

namespace {
// The last byte alone could be the second byte of a double-byte character.
bool EndsWithSeparator(const std::string& path) { return !path.empty() && AfterLastSeparator(path) == path.size(); }
}

std::string AddBackslash(const std::string& path) {
    if (path.empty() || EndsWithSeparator(path)) return path;
    return path + PathSeparator();
}

std::string RemoveBackslash(const std::string& path) {
    if (EndsWithSeparator(path)) return path.substr(0, path.size() - 1);
    return path;
}

bool FileExists(const std::string& path) { return ProbeEntry(path) == EntryKind::file; }

bool IsNoFile(const std::string& path) {
    const EntryKind kind = ProbeEntry(path);
    return kind == EntryKind::folder || kind == EntryKind::other;
}

bool FolderExists(const std::string& path) {
    if (path.empty()) return false;
    std::string folder = RemoveBackslash(path);
    if (folder.empty()) folder = path; // the root folder itself
    return ProbeEntry(folder) == EntryKind::folder;
}

bool CheckPathLength(const std::string& path, std::string& text) {
    if (path.empty()) {
        text = Word(wFilePath) + " " + Word(wNotSet);
        return false;
    }
    if (path.size() > kMaxPathLength) {
        text = Word(wFilePath) + " " + Word(wMaxLengthOver);
        return false;
    }
    text.clear();
    return true;
}

bool CheckFileAccess(const std::string& path, unsigned openMode, std::string& text) {
    text = Word(wFilePath);
    if (ClassifyFilePath(path) != 15) return false;
    if (!FolderExists(PathPart(path, partDriveFolder))) return false;
    if (IsNoFile(path)) {
        text = Word(wNotAFile) + "\r\n" + path;
        return false;
    }
    const unsigned access = openMode & kFileAccessMask;
    if (FileExists(path)) {
        unsigned probe = openMode & ~(modeCreate | modeNoTruncate | kFileAccessMask);
        if (access == modeReadWrite) probe |= modeReadWrite;
        try {
            if (!(probe & (typeText | typeBinary))) throw CFileException(CFileException::invalidFile, path);
            CFile file(path, probe);
            file.Abort(); // a probe: nothing was written
        } catch (const CFileException& error) {
            text = Word(wCantOpenFile) + "\r\n" + FileExceptionText(&error);
            return false;
        }
        text.clear();
        return true;
    }
    if (access == modeReadWrite) {
        text = Word(wCantOpenFile) + " or " + Word(wNotAFile);
        return false;
    }
    text.clear();
    return true;
}

bool ValidateFile(const std::string& path, unsigned openMode, std::string& text, bool show) {
    if (CheckPathLength(path, text) && CheckFileAccess(path, openMode, text)) return true;
    if (show) ShowError(text + "\n" + path);
    return false;
}
