#include <gtest/gtest.h>
#include <string>
#include <windows.h>

#include "platform/file.h"
#include "platform/private_profile.h"
#include "platform/system.h"
#include "support/paths.h"
#include "support/table_file_reader.h"
#include "tests/common/test_support.h"

// Paths and names under a double-byte ANSI code page: with CP932 many characters end in the byte
// of a backslash, as 表 (95 5C) does, and that byte is no separator. The ctest entry
// support.cp932 runs these under Wine with the Japanese code page; elsewhere they are skipped.

namespace {

const std::string kTable = "\x95\x5C";                 // 表
const std::string kTableShown = "\x95\x5C\x8E\xA6";    // 表示
const std::string kA = "\x83\x41";                     // ア: its second byte is the letter A
const std::string kSmallTsu = "\x83\x62";              // ッ
const std::string kDash = "\x81\x5D";                  // ‐: its second byte is ']'
const std::string kBo = "\x83\x7C";                    // ボ: its second byte is '|'

class DoubleBytePaths : public ::testing::Test {
protected:
    void SetUp() override {
        if (::GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 932";
    }
};

TEST_F(DoubleBytePaths, ATrailByteIsNoSeparator) {
    EXPECT_TRUE(IsLeadByte(kTable[0]));
    EXPECT_FALSE(IsLeadByte('a'));
    const std::string file = "C:\\data\\" + kTableShown + "\\" + kTable + ".txt";
    EXPECT_EQ(PathPart(file, partFolder), "\\data\\" + kTableShown + "\\");
    EXPECT_EQ(PathPart(file, partName), kTable);
    EXPECT_EQ(PathPart(file, partNameExtension), kTable + ".txt");
    EXPECT_EQ(PathStem(file), "C:\\data\\" + kTableShown + "\\" + kTable);
    EXPECT_EQ(ClassifyPath(kTable + ".txt"), 12);
    EXPECT_EQ(ClassifyPath("C:\\" + kTable + ".txt"), 13);
    EXPECT_EQ(ClassifyPath("C:\\" + kTable + "\\x.txt"), 15);

    // Trimming the folder's end: a name ending in 表 has no separator to remove, one to add.
    EXPECT_EQ(AddBackslash("C:\\" + kTable), "C:\\" + kTable + "\\");
    EXPECT_EQ(RemoveBackslash("C:\\" + kTable), "C:\\" + kTable);
    EXPECT_EQ(RemoveBackslash("C:\\" + kTable + "\\"), "C:\\" + kTable);
    EXPECT_EQ(AddBackslash(kTable + "/"), kTable + "/");

    // A lead byte cut off at the end stands alone.
    EXPECT_EQ(AfterLastSeparator("a\\" + kTable.substr(0, 1)), 2u);
}

TEST_F(DoubleBytePaths, TheProgramFolderMayEndInATrailByte) {
    const std::string original = ProgramFilePath();
    const std::string name = original.substr(AfterLastSeparator(original));
    SetProgramFolder("C:\\" + kTable);
    EXPECT_EQ(ProgramDirectory(), "C:\\" + kTable + "\\");
    EXPECT_EQ(ProgramName() + ".exe", name);
    SetProgramFolder(original.substr(0, original.size() - name.size()));
}

// A real file in a folder named 表示, created, written and read through the file class.
TEST_F(DoubleBytePaths, FilesInAFolderNamedWithATrailByte) {
    CTempFolder temp;
    const std::string folder = temp.Path() + kTableShown;
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr)) << ::GetLastError() << " " << folder;
    const std::string path = AddBackslash(folder) + kTable + ".csv";
    {
        CFile out(path, modeCreate | modeWrite | shareDenyWrite | typeText);
        out.Write("a\t" + kTableShown + "\n");
        out.Close();
    }
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_TRUE(FolderExists(AddBackslash(folder)));
    EXPECT_TRUE(FileExists(path));
    std::string text;
    EXPECT_TRUE(CheckFileAccess(path, modeRead | typeText, text)) << text;
    CFile in(path, modeRead | shareDenyWrite | typeText);
    std::string line;
    ASSERT_TRUE(in.ReadLine(line));
    EXPECT_EQ(line, "a\t" + kTableShown);
    in.Close();

    // The text reader splits the target's own files by characters.
    const std::string table = AddBackslash(folder) + kTable + ".tsv";
    {
        CFile out(table, modeCreate | modeWrite | typeBinary);
        out.Write(kBo + "|" + kTable + "\r\n");
        out.Close();
    }
    CTableFileReader reader;
    reader.Reset("Table");
    reader.m_delimiter = "|";
    reader.m_systemText = true;
    ASSERT_TRUE(reader.SetPath(table)) << reader.m_message;
    reader.Open();
    ASSERT_TRUE(reader.ReadNext(false));
    ASSERT_EQ(reader.m_fields.size(), 2u);
    EXPECT_EQ(reader.m_fields[0], kBo);
    EXPECT_EQ(reader.m_fields[1], kTable);
    reader.Close();
    ::DeleteFileA(table.c_str());
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

// Data text files are UTF-8 and split by bytes; the system's texts by characters.
TEST_F(DoubleBytePaths, DelimitersNeverSplitACharacter) {
    std::vector<std::string_view> fields;
    const std::string barred = kBo + "|x";
    SplitFields("|", barred, fields, false, true);
    EXPECT_EQ(fields, (std::vector<std::string_view> {kBo, "x"}));
    const std::string backslashed = kTable + "\\" + kTable;
    SplitFields("\\", backslashed, fields, false, true);
    EXPECT_EQ(fields, (std::vector<std::string_view> {kTable, kTable}));
    SplitFields("|", barred, fields, false, false);
    EXPECT_EQ(fields.size(), 3u);
}

// Paths compared without regard to case, as the job's two files are, compare characters.
TEST_F(DoubleBytePaths, CaseIsIgnoredOnlyInLetters) {
    EXPECT_TRUE(EqualIgnoringCase("C:\\Data\\" + kA + ".CSV", "c:\\data\\" + kA + ".csv"));
    EXPECT_FALSE(EqualIgnoringCase(kA, "\x83\x61"));
    EXPECT_FALSE(EqualIgnoringCase(kA + "x", "\x83\x61X"));
}

// Section and key names match without regard to the case of letters, but the second byte of a
// double-byte character is no letter, and a ']' there ends no section name.
TEST_F(DoubleBytePaths, ProfileNamesCompareCharacters) {
    const CProfile profile("[" + kA + "]\r\nkey=first\r\n[" + kDash + "x]\r\n" + kA + "=second\r\n");
    EXPECT_EQ(profile.GetString(kA, "KEY"), "first");
    EXPECT_EQ(profile.GetString("\x83\x61", "key"), ""); // 83 61 is another character
    EXPECT_EQ(profile.GetString(kDash + "X", kA), "second");
    EXPECT_EQ(profile.GetString(kDash + "X", kSmallTsu), "");
}

} // namespace
