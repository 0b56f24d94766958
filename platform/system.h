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

// The program's own file path: the executable, or what SetProgramFolder made of it.
std::string ProgramFilePath();
// Makes the given folder the program's folder (the executable's name is kept).
void SetProgramFolder(const std::string& folder);

enum class EntryKind { none, file, folder };
EntryKind ProbeEntry(const std::string& path);

// Copies a file. The copy is written beside the destination and renamed into place, so a
// copy that fails half-way leaves the destination as it was. Throws CFileException.
void CopyFileReplacing(const std::string& source, const std::string& destination);
// Replaces a file's contents at once: a temporary file beside it, renamed into place.
void ReplaceFileContents(const std::string& path, const std::string& contents);
// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

struct CLocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
CLocalTime LocalNow();
// Fixes the clock for tests; a null pointer returns to the real clock.
void FixLocalTime(const CLocalTime* fixed);
