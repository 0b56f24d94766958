#include "platform/system.h"

#include <filesystem>

#include "platform/error_code_cause.h"
#include "platform/file.h"

// What every system does alike, through the file class and the replacement file.

void ReplaceFileContents(const std::string& path, const std::string& contents) {
    CReplacementFile out(path);
    out.Write(contents);
    out.Commit();
}

int CopyMissingFiles(const std::string& sourceFolder, const std::string& destinationFolder) {
    namespace fs = std::filesystem;
    const fs::path source = SystemPath(sourceFolder);
    const fs::path destination = SystemPath(destinationFolder);
    std::error_code error;
    int copied = 0;
    fs::create_directories(destination, error);
    if (error) throw CFileException(CauseFromErrorCode(error), destinationFolder);
    fs::recursive_directory_iterator walk(source, error);
    if (error == std::errc::no_such_file_or_directory) return 0;
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        const fs::file_status status = walk->symlink_status(error);
        if (error) break;
        // Folders are made as their files need them; links and devices are no examples.
        if (!fs::is_regular_file(status)) continue;
        const fs::path target = destination / walk->path().lexically_relative(source);
        if (ProbeEntry(target.string()) != EntryKind::none) continue;
        fs::create_directories(target.parent_path(), error);
        if (error) throw CFileException(CauseFromErrorCode(error), target.parent_path().string());
        std::string contents;
        if (!ReadFileIfExists(walk->path().string(), contents)) continue; // removed meanwhile
        // Written new, the copy is the user's: it gets the process's permissions, not those of
        // the installed file.
        ReplaceFileContents(target.string(), contents);
        ++copied;
    }
    if (error) throw CFileException(CauseFromErrorCode(error), sourceFolder);
    return copied;
}

bool ReadFileIfExists(const std::string& path, std::string& contents) {
    contents.clear();
    CFile file;
    try {
        file.Open(path, modeRead | typeBinary);
    } catch (const CFileException& error) {
        if (error.Cause() == CFileException::fileNotFound) return false;
        throw;
    }
    char block[64 * 1024];
    for (;;) {
        const std::size_t got = file.Read(block, sizeof block);
        if (got == 0) break;
        contents.append(block, got);
    }
    return true;
}

