#include "support/backup.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "vocabulary/message_box.h"
#include "platform/fault_injection.h"
#include "platform/file.h"
#include "platform/system.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"

namespace {

namespace fs = std::filesystem;

std::size_t EntryCount(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
    return count;
}

// PrepareOutput as the job driver calls it: on the output opened and held, not yet emptied.
bool Prepare(const std::string& path, unsigned mode, bool backup, std::string& text) {
    CFile output(path, mode | modeNoTruncate);
    const bool goOn = PrepareOutput(output, mode, backup, text);
    output.Discard();
    return goOn;
}

TEST(Backup, PrepareOutputOfMissingFileNeitherCopiesNorAsks) {
    CTestEnvironment env;
    const std::string path = env.m_folder.Path() + "data.csv";
    for (const bool backup : {true, false}) {
        std::string text = "before";
        EXPECT_TRUE(Prepare(path, modeWrite | shareDenyWrite | modeCreate | typeText, backup, text));
        EXPECT_EQ(text, "before");
    }
    EXPECT_TRUE(env.m_box.m_shown.empty());
    EXPECT_FALSE(fs::exists(path + ".bak"));
}

TEST(Backup, PrepareOutputWithBackupReplacesTheOldCopyWithoutAsking) {
    CTestEnvironment env;
    const std::string path = env.m_folder.Write("data.csv", "new contents");
    env.m_folder.Write("data.csv.bak", "an older and longer generation");
    std::string text;
    EXPECT_TRUE(Prepare(path, modeWrite | shareDenyWrite | modeCreate | typeText, true, text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(env.m_folder.Read("data.csv.bak"), "new contents");
    EXPECT_EQ(env.m_folder.Read("data.csv"), "new contents");
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

TEST(Backup, OverwriteQuestionDependsOnTheOpenMode) {
    struct Case {
        unsigned mode;
        const char* question; // empty: no question
    } cases[] = {
        {0x5021, "Target File Already Exist. Do you Delete it ?"},
        {0x9021, "Target File Already Exist. Do you Delete it ?"},
        {0xA022, "Target File Already Exist. Do you Update it ?"},
        {modeCreate | modeReadWrite | typeBinary, "Target File Already Exist. Do you Delete it ?"},
        {0x8020, ""},
        {modeWrite | typeBinary, ""},
        {modeNoTruncate | modeWrite | typeBinary, ""},
    };
    for (const Case& c : cases) {
        for (const int answer : {idYes, idNo}) {
            CTestEnvironment env;
            const std::string path = env.m_folder.Write("data.csv", "kept");
            env.m_box.Answer(answer);
            std::string text;
            const bool goOn = Prepare(path, c.mode, false, text);
            const bool asked = *c.question != '\0';
            EXPECT_EQ(goOn, !asked || answer == idYes) << c.mode;
            EXPECT_EQ(text, "") << c.mode;
            ASSERT_EQ(env.m_box.m_shown.size(), asked ? 1u : 0u) << c.mode;
            if (asked) {
                EXPECT_EQ(env.m_box.m_shown[0].text, c.question);
                EXPECT_EQ(env.m_box.m_shown[0].style, unsigned(mbQuestion));
            }
            EXPECT_EQ(env.m_folder.Read("data.csv"), "kept");
            EXPECT_FALSE(fs::exists(path + ".bak"));
        }
    }
}

TEST(Backup, OverwriteQuestionUsesTranslatedWords) {
    CTestEnvironment env;
    env.Translate("msg.Do you Delete it ?=Loeschen ?\r\n");
    const std::string path = env.m_folder.Write("data.csv", "kept");
    env.m_box.Answer(idYes);
    EXPECT_TRUE(ConfirmOverwrite(path, 0x5021));
    ASSERT_EQ(env.m_box.m_shown.size(), 1u);
    EXPECT_EQ(env.m_box.m_shown[0].text, "Target File Already Exist. Loeschen ?");
}

TEST(Backup, FailedBackupKeepsTheOldCopy) {
    CTestEnvironment env;
    const std::string folder = env.m_folder.Path();
    // A source that opens but cannot be read: the copy fails after it began.
    env.m_folder.Write("data.csv", "contents");
    env.m_folder.Write("data.csv.bak", "good generation");
    std::string text;
    ArmFault(FaultKind::read, 1, EIO);
    EXPECT_FALSE(MakeBackup(folder + "data.csv", text));
    DisarmFaults();
    EXPECT_EQ(text, "10 " + CFileException::Describe(CFileException::hardIO, folder + "data.csv"));
    EXPECT_EQ(env.m_folder.Read("data.csv.bak"), "good generation");
    EXPECT_EQ(EntryCount(folder), 2u); // no temporary file left behind

    // A source that is a folder.
    fs::create_directory(folder + "dir.csv");
    env.m_folder.Write("dir.csv.bak", "good generation");
    text.clear();
    EXPECT_FALSE(MakeBackup(folder + "dir.csv", text));
    EXPECT_EQ(text, "5 " + CFileException::Describe(CFileException::accessDenied, folder + "dir.csv"));
    EXPECT_EQ(env.m_folder.Read("dir.csv.bak"), "good generation");

    // A backup place taken by a folder: the copy is written but cannot be put in place.
    env.m_folder.Write("out.csv", "contents");
    env.m_folder.Write("out.csv.bak/inside", "untouched");
    text.clear();
    EXPECT_FALSE(MakeBackup(folder + "out.csv", text));
    EXPECT_EQ(text, "5 " + CFileException::Describe(CFileException::accessDenied, folder + "out.csv.bak"));
    EXPECT_EQ(env.m_folder.Read("out.csv.bak/inside"), "untouched");
    EXPECT_EQ(EntryCount(folder), 6u);

    // In a folder that does not exist.
    text.clear();
    EXPECT_FALSE(MakeBackup(folder + "missing/out.csv", text));
    EXPECT_EQ(text, std::to_string(MissingFolderCause()) + " " +
                        CFileException::Describe(MissingFolderCause(), folder + "missing/out.csv"));
}

TEST(Backup, RevertRefusals) {
    CTestEnvironment env;
    const std::string folder = env.m_folder.Path();
    struct Case {
        std::string path;
        std::string text;
    } cases[] = {
        {"", "Error FilePath Not set\r\n"},
        {"data", "Error FilePath\r\ndata"},
        {FileSystemRoot() + std::string("data.csv"), "Error FilePath\r\n" + std::string(FileSystemRoot()) + "data.csv"},
        {"data.csv", "Can't open file\r\n" + folder + "data.csv.bak"},
        {folder + "sub/data.csv", "Can't open file\r\n" + folder + "sub/data.csv.bak"},
        {"bakdir.csv", "It's not a file\r\n" + folder + "bakdir.csv.bak"},
    };
    fs::create_directory(folder + "bakdir.csv.bak");
    env.m_folder.Write("data.csv", "untouched");
    for (const Case& c : cases) {
        std::string text = "before";
        EXPECT_FALSE(RevertFromBackup(c.path, text)) << c.path;
        EXPECT_EQ(text, c.text) << c.path;
    }
    EXPECT_EQ(env.m_folder.Read("data.csv"), "untouched");
}

TEST(Backup, RevertRefusalIsTranslated) {
    CTestEnvironment env;
    env.Translate("msg.Not set=Fehlt\r\nmsg.FilePath=Pfad\r\n");
    std::string text;
    EXPECT_FALSE(RevertFromBackup("", text));
    EXPECT_EQ(text, "Error Pfad Fehlt\r\n");
}

TEST(Backup, RevertRestoresTheBackupAndKeepsIt) {
    CTestEnvironment env;
    env.m_folder.Write("sub/data.csv", "changed and longer than before");
    env.m_folder.Write("sub/data.csv.bak", "original");
    for (const char* path : {"sub/data.csv", "sub\\data.csv"}) {
        std::string text = "before";
        EXPECT_TRUE(RevertFromBackup(path, text)) << path;
        EXPECT_EQ(text, "before");
        EXPECT_EQ(env.m_folder.Read("sub/data.csv"), "original");
        EXPECT_EQ(env.m_folder.Read("sub/data.csv.bak"), "original");
    }
    // An absolute path; the file itself may be missing.
    env.m_folder.Write("gone.csv.bak", "restored");
    std::string text;
    EXPECT_TRUE(RevertFromBackup(env.m_folder.Path() + "gone.csv", text));
    EXPECT_EQ(env.m_folder.Read("gone.csv"), "restored");
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

// A file without an extension, or a hidden one, is reverted when it exists.
TEST(Backup, RevertOfFilesWithoutExtension) {
    if (!ExistingFilesNeedNoExtension()) GTEST_SKIP() << "only names with an extension name files here";
    CTestEnvironment env;
    for (const std::string name : {"logs/wtmp", "logs/.wtmp"}) {
        env.m_folder.Write(name + ".bak", "original");
        for (const std::string& path : {name, env.m_folder.Path() + name}) {
            env.m_folder.Write(name, "changed");
            std::string text = "before";
            EXPECT_TRUE(RevertFromBackup(path, text)) << path;
            EXPECT_EQ(text, "before");
            EXPECT_EQ(env.m_folder.Read(name), "original");
        }
    }
    // A name without an extension that names no file is still no file path, backup or not.
    env.m_folder.Write("gone.bak", "original");
    std::string text;
    EXPECT_FALSE(RevertFromBackup("gone", text));
    EXPECT_EQ(text, "Error FilePath\r\ngone");
}

TEST(Backup, BackupThenRevertRoundTrip) {
    CTestEnvironment env;
    const std::string path = env.m_folder.Write("data.csv", "first");
    std::string text;
    ASSERT_TRUE(Prepare(path, 0x5021, true, text));
    env.m_folder.Write("data.csv", "second");
    ASSERT_TRUE(RevertFromBackup(path, text));
    EXPECT_EQ(env.m_folder.Read("data.csv"), "first");
}

TEST(Backup, FailedRevertKeepsTheFile) {
    CTestEnvironment env;
    const std::string folder = env.m_folder.Path();
    env.m_folder.Write("data.csv", "good copy");
    env.m_folder.Write("data.csv.bak", "backup");
    std::string text;
    ArmFault(FaultKind::read, 1, EIO);
    EXPECT_FALSE(RevertFromBackup("data.csv", text));
    DisarmFaults();
    EXPECT_EQ(text, "10 " + CFileException::Describe(CFileException::hardIO, folder + "data.csv.bak"));
    EXPECT_EQ(env.m_folder.Read("data.csv"), "good copy");
    EXPECT_EQ(EntryCount(folder), 2u);

    // Put in place it cannot be: the file stays, and one the revert created is gone again.
    for (const bool existed : {true, false}) {
        if (!existed) fs::remove(folder + "data.csv");
        text.clear();
        ArmFault(FaultKind::rename, 1, EACCES);
        EXPECT_FALSE(RevertFromBackup("data.csv", text));
        DisarmFaults();
        EXPECT_EQ(text, "5 " + CFileException::Describe(CFileException::accessDenied, folder + "data.csv"));
        EXPECT_EQ(fs::exists(folder + "data.csv"), existed);
        if (existed) {
            EXPECT_EQ(env.m_folder.Read("data.csv"), "good copy");
        }
        EXPECT_EQ(EntryCount(folder), existed ? 2u : 1u);
    }

    // The file to revert is a folder: it stays with what it holds.
    env.m_folder.Write("dir.csv/inside", "untouched");
    env.m_folder.Write("dir.csv.bak", "backup");
    text.clear();
    EXPECT_FALSE(RevertFromBackup("dir.csv", text));
    EXPECT_EQ(text, "It's not a file\r\n" + folder + "dir.csv");
    EXPECT_EQ(env.m_folder.Read("dir.csv/inside"), "untouched");
    EXPECT_EQ(env.m_folder.Read("dir.csv.bak"), "backup");
}

} // namespace
