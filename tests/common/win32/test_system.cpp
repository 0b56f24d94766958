#include "tests/common/test_system.h"

#include <cstdlib>

// An empty value removes the variable here.
void SetEnvironment(const char* name, const char* value) { ::_putenv_s(name, value ? value : ""); }

bool SystemHasFifos() { return false; }

bool MakeFifo(const std::string&) { return false; }

bool SystemLocksFiles() { return false; }

const char* UserConfigVariable() { return "APPDATA"; }

const char* FileSystemRoot() { return "C:\\"; }

int MissingFolderCause() { return 3; }

int ReadOfWriteOnlyFileCause() { return 5; }

// Windows has no code pages for ISO-8859-10, -11, -14 and -16; Wine has none for GB18030 either.
bool SystemMayLackEncoding(const std::string& name) {
    for (const char* lacked : {"GB18030", "ISO-8859-10", "ISO-8859-11", "ISO-8859-14", "ISO-8859-16"})
        if (name == lacked) return true;
    return false;
}

bool EucJpHasThreeByteCharacters() { return false; }
