#include "platform/system.h"

#include <filesystem>

#include "platform/error_code_cause.h"
#include "platform/file.h"

// What every system does alike, through the file class and the replacement file.

namespace {
std::string& ProgramPathStore() {
    static std::string path = ExecutablePath();
    return path;
}
}

std::string ProgramFilePath() { return ProgramPathStore(); }

std::string ProgramName() {
    const std::string& path = ProgramPathStore();
    std::string name = path.substr(AfterLastSeparator(path));
    const std::size_t period = name.rfind('.');
    if (period != std::string::npos) name.erase(period);
    return name;
}

void SetProgramFolder(const std::string& folder) {
    std::string& path = ProgramPathStore();
    const std::string name = path.substr(AfterLastSeparator(path));
    std::string dir = folder;
    if (dir.empty() || AfterLastSeparator(dir) != dir.size()) dir += PathSeparator();
    path = dir + name;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); i = NextCharacter(a, i)) {
        if (NextCharacter(a, i) - i == 2) {
            if (a.substr(i, 2) != b.substr(i, 2)) return false;
        } else if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::size_t FindCharacter(std::string_view text, char c, std::size_t from) {
    for (std::size_t at = from; at < text.size(); at = NextCharacter(text, at))
        if (text[at] == c) return at;
    return std::string_view::npos;
}

std::size_t AfterLastSeparator(const std::string& path) {
    std::size_t after = 0;
    for (std::size_t at = 0; at < path.size(); at = NextCharacter(path, at))
        if (IsPathSeparator(path[at])) after = at + 1;
    return after;
}

void CopyFileReplacing(const std::string& source, const std::string& destination, CFile* held) {
    CFile in(source, modeRead | typeBinary);
    const std::optional<unsigned> permissions = CopiedPermissions(source);
    CReplacementFile out(destination, permissions ? &*permissions : nullptr);
    std::string block(256 * 1024, '\0');
    for (;;) {
        const std::size_t got = in.Read(block.data(), block.size());
        if (got == 0) break;
        out.Write(block.data(), got);
    }
    in.Abort(); // only read: closing it cannot lose anything
    out.Commit(held);
}

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

