#include "tests/common/test_system.h"

#include <cstdlib>
#include <sys/stat.h>

void SetEnvironment(const char* name, const char* value) {
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

bool SystemHasFifos() { return true; }

bool MakeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0600) == 0; }

bool SystemLocksFiles() { return true; }

const char* UserConfigVariable() { return "XDG_CONFIG_HOME"; }

const char* FileSystemRoot() { return "/"; }

int MissingFolderCause() { return 2; }

int ReadOfWriteOnlyFileCause() { return 6; }

bool SystemMayLackEncoding(const std::string&) { return false; }

bool EucJpHasThreeByteCharacters() { return true; }
