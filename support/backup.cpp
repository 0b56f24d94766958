#include "support/backup.h"

#include "vocabulary/failure.h"
#include "vocabulary/message_box.h"
#include "vocabulary/messages.h"
#include "platform/file.h"
#include "platform/system.h"
#include "support/paths.h"

namespace {
const char* const kBackupExtension = ".bak";
}

bool PrepareOutput(const CFile& output, unsigned openMode, bool makeBackup, std::string& text) {
    if (output.Created()) return true;
    if (makeBackup) return MakeBackup(output.Path(), text);
    return ConfirmOverwrite(output.Path(), openMode);
}

bool MakeBackup(const std::string& path, std::string& text) {
    // The copy goes to a temporary file renamed into place: a failed copy keeps the old backup.
    try {
        CopyFileReplacing(path, path + kBackupExtension);
        return true;
    } catch (...) {
        text = FailureText();
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
    for (const std::string* file : {&backupPath, &fullPath}) {
        if (!IsNoFile(*file)) continue;
        text = Word(wNotAFile) + "\r\n" + *file;
        return false;
    }
    if (!FileExists(backupPath)) {
        text = Word(wCantOpenFile) + "\r\n" + backupPath;
        return false;
    }
    CFile held;
    try {
        // No other run may write the file while its backup replaces it.
        held.Open(fullPath, modeRead | modeCreate | modeNoTruncate | shareDenyWrite | typeBinary);
        CopyFileReplacing(backupPath, fullPath, &held);
        held.Abort();
        return true;
    } catch (...) {
        text = FailureText();
        held.Discard();
        return false;
    }
}
