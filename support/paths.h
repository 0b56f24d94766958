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
std::string PathPart(const std::string& path, int set);
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
