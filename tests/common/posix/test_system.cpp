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
