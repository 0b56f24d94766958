#include "support/backup.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "platform/fault_injection.h"
#include "platform/file_exception.h"
#include "tests/common/test_support.h"

// What only POSIX systems have: files that open but cannot be read, and permissions.

namespace {

namespace fs = std::filesystem;

// A file whose reads fail even for root: its bytes can be opened but not read.
const char* const kUnreadable = "/proc/self/mem";

std::size_t EntryCount(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
    return count;
}

TEST(Backup, UnreadableFilesFailTheCopyAndTheRevert) {
    if (!fs::exists(kUnreadable)) GTEST_SKIP() << kUnreadable;
    CTestEnvironment env;
    const std::string folder = env.m_folder.Path();
    fs::create_symlink(kUnreadable, folder + "data.csv");
    env.m_folder.Write("data.csv.bak", "good generation");
    std::string text;
    EXPECT_FALSE(MakeBackup(folder + "data.csv", text));
    EXPECT_EQ(text, "10 " + CFileException::Describe(CFileException::hardIO, folder + "data.csv"));
    EXPECT_EQ(env.m_folder.Read("data.csv.bak"), "good generation");
    EXPECT_EQ(EntryCount(folder), 2u); // no temporary file left behind

    env.m_folder.Write("out.csv", "good copy");
    fs::create_symlink(kUnreadable, folder + "out.csv.bak");
    text.clear();
    EXPECT_FALSE(RevertFromBackup("out.csv", text));
    EXPECT_EQ(text, "10 " + CFileException::Describe(CFileException::hardIO, folder + "out.csv.bak"));
    EXPECT_EQ(env.m_folder.Read("out.csv"), "good copy");
    EXPECT_EQ(EntryCount(folder), 4u);
}

TEST(Backup, FailedBackupKeepsTheModeOfTheCopiedFile) {
    CTestEnvironment env;
    const std::string path = env.m_folder.Write("data.csv", "contents");
    env.m_folder.Write("data.csv.bak", "older");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    fs::permissions(path + ".bak", fs::perms::owner_all);
    std::string text;
    ASSERT_TRUE(MakeBackup(path, text)) << text;
    EXPECT_EQ(fs::status(path + ".bak").permissions(), fs::perms::owner_read | fs::perms::group_read);

    // A copy whose permissions cannot be set is no copy: the older one stays.
    fs::permissions(path + ".bak", fs::perms::owner_all);
    env.m_folder.Write("data.csv.bak", "older");
    ArmFault(FaultKind::mode, 1, EPERM);
    EXPECT_FALSE(MakeBackup(path, text));
    DisarmFaults();
    EXPECT_EQ(text, "5 " + CFileException::Describe(CFileException::accessDenied, path + ".bak"));
    EXPECT_EQ(env.m_folder.Read("data.csv.bak"), "older");
    EXPECT_EQ(EntryCount(env.m_folder.Path()), 2u);
}

} // namespace
