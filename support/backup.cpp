#include "support/backup.h"

#include "app/message_box.h"
#include "app/messages.h"
#include "platform/file.h"
#include "platform/system.h"
#include "support/paths.h"

namespace {
const char* const kBackupExtension = ".bak";
}

bool PrepareOutput(const std::string& path, unsigned openMode, bool makeBackup, std::string& text) {
    if (!FileExists(path)) return true;
    if (makeBackup) return MakeBackup(path, text);
    return ConfirmOverwrite(path, openMode);
}

bool MakeBackup(const std::string& path, std::string& text) {
    // The copy goes to a temporary file renamed into place: a failed copy keeps the old backup.
    try {
        CopyFileReplacing(path, path + kBackupExtension);
        return true;
    } catch (...) {
        text = Word(wSystem);
        return false;
    }
}

bool ConfirmOverwrite(const std::string&, unsigned openMode) {
    const bool creates = (openMode & modeCreate) != 0;
    const bool updates = (openMode & kFileAccessMask) == modeReadWrite;
    if (!creates && !updates) return true;
    const std::string question =
        Word(wTargetFileAlreadyExist) + " " + Word(creates ? wDoYouDeleteIt : wDoYouUpdateIt);
    return ShowMessage(question, mbQuestion) == idYes;
}

bool RevertFromBackup(const std::string& path, std::string& text) {
    if (path.empty()) {
        text = Word(wError) + " " + Word(wFilePath) + " " + Word(wNotSet) + "\r\n";
        return false;
    }
    const std::string fullPath = NormalizePath(path, false);
    if (fullPath.empty()) {
        text = Word(wError) + " " + Word(wFilePath) + "\r\n" + path;
        return false;
    }
    const std::string backupPath = fullPath + kBackupExtension;
    if (!FileExists(backupPath)) {
        text = Word(wCantOpenFile) + "\r\n" + backupPath;
        return false;
    }
    try {
        CopyFileReplacing(backupPath, fullPath);
        return true;
    } catch (...) {
        text = Word(wSystem);
        return false;
    }
}
