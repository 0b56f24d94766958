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
