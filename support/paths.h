#pragma once
#include <string>

// Path part sets for PathPart and ProgramPathPart.
enum PathPartSet : int {
    partDrive = 1,
    partFolder = 2,
    partDriveFolder = 3,
    partName = 4,
    partDriveFolderName = 7,
    partExtension = 8,
    partNameExtension = 12,
    partFolderNameExtension = 14,
    partAll = 15,
};

constexpr std::size_t kMaxPathLength = 260;

int ClassifyPath(const std::string& path);
// ClassifyPath of a path that is to name a file. Where the platform takes an existing regular file
// as complete without an extension, a path naming one counts as having a name and an extension; a
// path without a drive is looked up under the program's folder. Any other path classifies as
// written, so the names of files still to be made keep their rules.
int ClassifyFilePath(const std::string& path);
std::string PathPart(const std::string& path, int set);
// The path without its extension, the start of every name derived from it. A name that is all
// extension, as a hidden file's, stays whole, so that no derived name starts with its suffix.
std::string PathStem(const std::string& path);
std::string ProgramPathPart(int set);
std::string ProgramDirectory(); // ends with the separator
std::string NormalizePath(const std::string& path, bool rooted);
std::string MakeRelative(const std::string& path);
std::string AddBackslash(const std::string& path);
std::string RemoveBackslash(const std::string& path);
bool FileExists(const std::string& path);
// True when something other than a regular file stands at the path: a folder, a FIFO, a device
// or a socket, none of which the program reads or writes as a file.
bool IsNoFile(const std::string& path);
bool FolderExists(const std::string& path);
bool CheckPathLength(const std::string& path, std::string& text);
bool CheckFileAccess(const std::string& path, unsigned openMode, std::string& text);
bool ValidateFile(const std::string& path, unsigned openMode, std::string& text, bool show);

// True for the path kinds that name a file: absolute, or relative to the program's folder.
inline bool IsRootedKind(int kind) { return kind == 1 || kind == 3 || kind == 7 || kind == 15; }
