#pragma once
#include <string>

// One generation of an output file is kept beside it, as its path followed by ".bak".

class CFile;

// Before an output file is written, while it is open and held against other runs but not yet
// emptied: true when the work may go on. A file the open created needs nothing; one that existed
// is backed up, or the user is asked whether to replace it. On failure the text says why.
bool PrepareOutput(const CFile& output, unsigned openMode, bool makeBackup, std::string& text);
// Copies the file to its ".bak", replacing an older copy. On failure the text names the file
// and the cause, and the older copy stays as it was.
bool MakeBackup(const std::string& path, std::string& text);
// Asks before a create (Delete) or read-write (Update) open of an existing file; true on Yes
// or when the mode changes nothing that exists.
bool ConfirmOverwrite(const std::string& path, unsigned openMode);
// Copies the ".bak" back over the file, which stays as it was when the copy fails; the file is
// held against other runs meanwhile. The path may be relative to the program's folder.
bool RevertFromBackup(const std::string& path, std::string& text);
