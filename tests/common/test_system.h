#pragma once
#include <string>

// What the tests need of the system beyond the platform layer; each system has its own source.

// Sets an environment variable, or removes it for a null value.
void SetEnvironment(const char* name, const char* value);
// Whether the file system has FIFOs; where it has, MakeFifo makes one.
bool SystemHasFifos();
bool MakeFifo(const std::string& path);
// Whether files are held by advisory locks taken after the open (else by the sharing the open
// itself asks for).
bool SystemLocksFiles();

// The variable naming the folder where users' settings are kept (XDG_CONFIG_HOME, APPDATA).
const char* UserConfigVariable();
// The root of the file system, as an absolute path begins: "/", or a drive's "C:\\".
const char* FileSystemRoot();
// Cause numbers where the systems' own errors differ.
// Opening a file in a folder that does not exist: no such file, or on Windows a bad path.
int MissingFolderCause();
// Reading from a file opened only for writing: an invalid handle, or on Windows access denied.
int ReadOfWriteOnlyFileCause();
// Encodings of the list that the system's conversions may lack: on Windows the ISO-8859 parts it
// has no code page for, and GB18030, which Wine does not convert. A target declaring one fails
// to load.
bool SystemMayLackEncoding(const std::string& name);
// Whether EUC-JP has its three-byte characters (JIS X 0212): Windows' code page 20932 has none.
bool EucJpHasThreeByteCharacters();
