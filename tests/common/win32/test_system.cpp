#include "tests/common/test_system.h"

#include <cstdlib>

// An empty value removes the variable here.
void SetEnvironment(const char* name, const char* value) { ::_putenv_s(name, value ? value : ""); }

bool SystemHasFifos() { return false; }

bool MakeFifo(const std::string&) { return false; }

bool SystemLocksFiles() { return false; }
