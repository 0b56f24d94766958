#include "support/named_item.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/ini_section.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"

namespace {

TEST(NamedItem, ResetKeepsTheNameWhenGivenNone) {
    CTestEnvironment env;
    CNamedItem item;
    item.Reset("Record Def");
    item.m_ok = 1;
    item.m_message = "old";
    item.Reset("");
    EXPECT_EQ(item.m_name, "Record Def");
    EXPECT_EQ(item.m_ok, 0);
    EXPECT_EQ(item.ComposeError(), "Record Def Error\r\n");
    item.m_message = "Range";
    env.Translate("msg.Error=Fehler\r\n");
    EXPECT_EQ(item.ComposeError(), "Record Def Fehler\r\nRange");
}

TEST(FileItem, SetPathAndFullPath) {
    CTestEnvironment env;
    const std::string dir = env.m_folder.Path();
    env.m_folder.Write("defs.txt", "x");
    env.m_folder.Write("sub/defs.txt", "x");
    CFileItem item;
    item.Reset("Record Def");

    EXPECT_TRUE(item.SetPath("defs.txt"));
    EXPECT_EQ(item.m_pathKind, pathRelative);
    EXPECT_EQ(item.FullPath(), dir + "defs.txt");
    EXPECT_TRUE(item.SetPath("sub\\defs.txt"));
    EXPECT_EQ(item.FullPath(), dir + "sub\\defs.txt");
    EXPECT_TRUE(item.SetPath(dir + "sub/defs.txt"));
    EXPECT_EQ(item.m_pathKind, pathAbsolute);
    EXPECT_EQ(item.m_ok, 1);

    EXPECT_FALSE(item.SetPath("missing.txt"));
    EXPECT_EQ(item.m_message, "FilePath ");
    EXPECT_EQ(item.m_pathKind, pathNone);
    EXPECT_EQ(item.FullPath(), "");
    EXPECT_EQ(item.m_message, "FilePath\r\nmissing.txt");

    EXPECT_FALSE(item.SetPath(FileSystemRoot() + std::string("defs.txt"))); // a file in the root is no usable path
    EXPECT_EQ(item.m_message, "FilePath ");
    EXPECT_FALSE(item.SetPath(dir + std::string(300, 'a') + ".txt"));
    EXPECT_EQ(item.m_message, "FilePath FilePath Max.length over");
}

// Files without an extension, hidden ones too, are taken when they exist.
TEST(FileItem, SetPathTakesExistingFilesWithoutExtension) {
    CTestEnvironment env;
    const std::string dir = env.m_folder.Path();
    env.m_folder.Write("defs/items", "x");
    env.m_folder.Write(".items", "x");
    if (!SystemHasFifos()) GTEST_SKIP() << "no FIFOs on this system";
    ASSERT_TRUE(MakeFifo(dir + "pipe"));
    struct Case {
        std::string path;
        int kind;
        std::string fullPath;
    } cases[] = {
        {"defs/items", pathRelative, dir + "defs/items"},
        {dir + "defs/items", pathAbsolute, dir + "defs/items"},
        {".items", pathRelative, dir + ".items"},
        {dir + ".items", pathAbsolute, dir + ".items"},
        {"defs/missing", pathNone, ""},
        {dir + "defs", pathNone, ""},
        {dir + "pipe", pathNone, ""},
    };
    CFileItem item;
    for (const Case& c : cases) {
        item.Reset("Record Def");
        EXPECT_EQ(item.SetPath(c.path), c.kind != pathNone) << c.path;
        EXPECT_EQ(item.m_pathKind, c.kind) << c.path;
        EXPECT_EQ(item.m_message, c.kind != pathNone ? "" : "FilePath ") << c.path;
        EXPECT_EQ(item.FullPath(), c.fullPath) << c.path;
    }
}

TEST(IniSection, ReadsItsSection) {
    CTestEnvironment env;
    env.m_folder.Write("t.ini", "[FileInfo]\r\nBRecordSize = 32\r\n[Other]\r\nBRecordSize=1\r\n");
    CIniSection section;
    section.Reset("FileInfo");
    EXPECT_EQ(section.m_name, "FileInfo");
    ASSERT_TRUE(section.SetPath("t.ini"));
    ASSERT_TRUE(section.Resolve());
    EXPECT_EQ(section.GetString("brecordsize"), "32");
    EXPECT_EQ(section.GetString(""), "");
    EXPECT_EQ(section.GetString("Missing"), "");
    section.SetSection("Other");
    EXPECT_EQ(section.GetString("BRecordSize"), "1");
}

} // namespace
