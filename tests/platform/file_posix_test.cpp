#include "platform/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "platform/system.h"
#include "tests/common/test_support.h"

// What only POSIX systems have: links, permissions, the base directory rules, and path names
// that take a backslash for a slash.

namespace {

std::size_t EntryCount(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(File, MissingFolderOnTheWayIsAMissingFile) {
    CTempFolder folder;
    try {
        CFile file(folder.Path() + "no/such/x.dat", modeCreate | modeWrite);
        FAIL() << "a file in a missing folder opened";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.Cause(), CFileException::fileNotFound);
    }
}

TEST(FileSystem, SystemPathTakesSlashes) {
    EXPECT_EQ(SystemPath("C:\\data\\sub\\file.dat"), "C:/data/sub/file.dat");
    EXPECT_EQ(SystemPath("/plain/path"), "/plain/path");
}

TEST(FileSystem, ReplaceFileContents) {
    CTempFolder folder;
    const std::string path = folder.Write("target.ini", "old");
    ReplaceFileContents(path, "new\r\ncontents");
    EXPECT_EQ(folder.Read(path), "new\r\ncontents");
    ReplaceFileContents(folder.Path() + "created.ini", "made");
    EXPECT_EQ(folder.Read("created.ini"), "made");

    // Through a link the linked file is replaced and the link stays.
    const std::string link = folder.Path() + "link.ini";
    std::filesystem::create_symlink(path, link);
    ReplaceFileContents(link, "via link");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(folder.Read(path), "via link");

    EXPECT_THROW(ReplaceFileContents(folder.Path() + "no/such/file.ini", "x"), CFileException);
    EXPECT_EQ(EntryCount(folder.Path()), 3u);

    std::string read;
    EXPECT_TRUE(ReadFileIfExists(path, read));
    EXPECT_EQ(read, "via link");
    EXPECT_FALSE(ReadFileIfExists(folder.Path() + "absent", read));
    EXPECT_THROW(ReadFileIfExists(folder.Path(), read), CFileException);
}

TEST(FileSystem, UserConfigFolderFollowsTheBaseDirectoryRules) {
    struct Case {
        const char* config;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {"/cfg", "/home/u", "/cfg"},
        {"relative/cfg", "/home/u", "/home/u/.config"}, // a relative value is invalid
        {"", "/home/u", "/home/u/.config"},
        {nullptr, "/home/u", "/home/u/.config"},
    };
    for (const Case& c : cases) {
        CScopedEnvironmentVariable config("XDG_CONFIG_HOME", c.config);
        CScopedEnvironmentVariable home("HOME", c.home);
        EXPECT_EQ(UserConfigFolder(), c.expected) << (c.config ? c.config : "(unset)");
    }
}

TEST(FileSystem, CopyMissingFilesLeavesPresentFilesAlone) {
    CTempFolder folder;
    const std::string source = folder.Path() + "installed/";
    folder.Write("installed/settings.ini", "installed settings");
    folder.Write("installed/deep/er/table.dat", "table");
    const std::string readOnly = folder.Write("installed/readonly.txt", "locked");
    ::chmod(readOnly.c_str(), 0444);
    std::filesystem::create_symlink(readOnly, source + "link.txt");
    folder.Write("home/settings.ini", "the user's settings");

    EXPECT_EQ(CopyMissingFiles(source, folder.Path() + "home/"), 2);
    EXPECT_EQ(folder.Read("home/settings.ini"), "the user's settings");
    EXPECT_EQ(folder.Read("home/deep/er/table.dat"), "table");
    EXPECT_EQ(folder.Read("home/readonly.txt"), "locked");
    EXPECT_EQ(ProbeEntry(folder.Path() + "home/link.txt"), EntryKind::none);
    // The copy is the user's to edit, whatever the installed file's permissions.
    struct stat st {};
    ASSERT_EQ(::stat((folder.Path() + "home/readonly.txt").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_EQ(CopyMissingFiles(source, folder.Path() + "home/"), 0);

    // No source: nothing to copy, but the destination is made.
    EXPECT_EQ(CopyMissingFiles(folder.Path() + "absent/", folder.Path() + "fresh/home/"), 0);
    EXPECT_EQ(ProbeEntry(folder.Path() + "fresh/home/"), EntryKind::folder);
    // A destination that cannot be made is a file error naming it.
    folder.Write("blocked", "");
    try {
        CopyMissingFiles(source, folder.Path() + "blocked/home");
        FAIL() << "copied below a file";
    } catch (const CFileException& e) {
        EXPECT_NE(e.FileName().find("blocked/home"), std::string::npos) << e.FileName();
    }
}

}
