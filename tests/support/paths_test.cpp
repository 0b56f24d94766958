#include "support/paths.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/file.h"
#include "platform/system.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"

namespace {

TEST(Paths, ClassifyPath) {
    const std::string root = FileSystemRoot();
    const std::pair<std::string, int> cases[] = {
        {root + "data/in.dat", 15}, {root + "in.dat", 13}, {"defs.txt", 12},    {"sub/defs.txt", 14},
        {"sub\\defs.txt", 14},      {root, 1},            {root + "data/", 3}, {root + "data/res", 7},
        {"\\defs.txt", 12},         {"C:\\x.txt", 13},    {"C:\\x\\y.txt", 15}, {"C:", 1},
        {"data", 4},                {"data.", 4},         {"", 0},             {".txt", 8},
        {"sub/ /x.txt", 14},        {"  ", 0},            {"a b.c d", 12},
    };
    for (const auto& [path, kind] : cases) EXPECT_EQ(ClassifyPath(path), kind) << path;
    // A leading slash is the root on POSIX; on Windows, without a drive, it is relative.
    EXPECT_EQ(ClassifyPath("/in.dat"), RootDriveLength("/") == 1 ? 13 : 12);
}

// A path naming an existing regular file is complete without an extension; every other path
// classifies as written.
TEST(Paths, ClassifyFilePathTakesExistingFilesAsComplete) {
    CTestEnvironment env;
    const std::string dir = env.m_folder.Path();
    env.m_folder.Write("data", "x");
    env.m_folder.Write(".hidden", "x");
    env.m_folder.Write("logs/wtmp", "x");
    env.m_folder.Write("in.dat", "x");
    env.m_folder.Write("old.", "x");
    std::filesystem::create_directory(dir + "folder");
    if (!SystemHasFifos()) GTEST_SKIP() << "no FIFOs on this system";
    ASSERT_TRUE(MakeFifo(dir + "pipe"));
    const std::pair<std::string, int> cases[] = {
        {dir + "data", 15}, {dir + ".hidden", 15}, {dir + "logs/wtmp", 15}, {dir + "logs\\wtmp", 15},
        {"data", 12}, {".hidden", 12}, {"logs/wtmp", 14}, {dir + "old.", 15},
        // Names with an extension, as before, whether the file exists or not.
        {dir + "in.dat", 15}, {dir + "missing.dat", 15}, {"missing.dat", 12},
        // Nothing there, or no regular file: as written.
        {dir + "missing", 7}, {"missing", 4}, {dir + ".missing", 11}, {dir + "folder", 7}, {dir + "pipe", 7},
        {dir + "data ", 7}, {dir + "logs/", 3}, {"/", 1}, {"", 0},
    };
    for (const auto& [path, kind] : cases) EXPECT_EQ(ClassifyFilePath(path), kind) << path;
}

TEST(Paths, PathPartSets) {
    const std::string path = "C:\\data/sub\\in.dat";
    const std::pair<int, const char*> cases[] = {
        {1, "C:"},        {2, "\\data/sub\\"},    {3, "C:\\data/sub\\"},    {4, "in"},
        {7, "C:\\data/sub\\in"}, {8, ".dat"},      {12, "in.dat"},            {14, "\\data/sub\\in.dat"},
        {15, "C:\\data/sub\\in.dat"}, {5, ""},     {0, ""},
    };
    for (const auto& [set, part] : cases) EXPECT_EQ(PathPart(path, set), part) << set;
    EXPECT_EQ(PathPart("C:\\x\\y.z.txt", 3), "C:\\x\\");
    EXPECT_EQ(PathPart("C:\\x\\y.z.txt", 4), "y.z");
}

TEST(Paths, PathStemKeepsAHiddenNameWhole) {
    const std::pair<const char*, const char*> cases[] = {
        {"/data/in.dat", "/data/in"}, {"/data/a.b.c", "/data/a.b"}, {"/logs/wtmp", "/logs/wtmp"},
        {"/data/.hidden", "/data/.hidden"}, {"/data/.a.csv", "/data/.a"}, {"sub\\data.", "sub\\data"},
        {"/data/", "/data/"}, {"", ""},
    };
    for (const auto& [path, stem] : cases) EXPECT_EQ(PathStem(path), stem) << path;
}

TEST(Paths, NormalizeAndMakeRelative) {
    CTestEnvironment env;
    const std::string dir = env.m_folder.Path();
    const std::string root = FileSystemRoot();
    EXPECT_EQ(ProgramDirectory(), dir);
    struct Case {
        std::string path;
        std::string plain, rooted;
    } cases[] = {
        {"", "", ""},
        {root + "data/in.dat", root + "data/in.dat", root + "data/in.dat"},
        {"defs.txt", dir + "defs.txt", dir + "defs.txt"},
        {"sub\\defs.txt", dir + "sub\\defs.txt", dir + "sub\\defs.txt"},
        {"data", "", dir + "data"},
        {root + "data/res", "", root + "data/res"},
        {root + "in.dat", "", ""},
        {root, "", root},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormalizePath(c.path, false), c.plain) << c.path;
        EXPECT_EQ(NormalizePath(c.path, true), c.rooted) << c.path;
    }
    // Where existing files need no extension, hidden ones included, they name files; elsewhere
    // only a name with an extension does.
    env.m_folder.Write("data", "x");
    env.m_folder.Write(".hidden", "x");
    const bool complete = ExistingFilesNeedNoExtension();
    const Case existing[] = {
        {"data", complete ? dir + "data" : "", dir + "data"},
        {dir + "data", complete ? dir + "data" : "", dir + "data"},
        {".hidden", complete ? dir + ".hidden" : "", dir + ".hidden"},
        {dir + ".hidden", complete ? dir + ".hidden" : "", complete ? dir + ".hidden" : ""},
        {dir + ".missing", "", ""},
    };
    for (const Case& c : existing) {
        EXPECT_EQ(NormalizePath(c.path, false), c.plain) << c.path;
        EXPECT_EQ(NormalizePath(c.path, true), c.rooted) << c.path;
    }
    EXPECT_EQ(MakeRelative(dir + "a.txt"), "a.txt");
    EXPECT_EQ(MakeRelative(dir), "");
    EXPECT_EQ(MakeRelative(root + "elsewhere/a.txt"), root + "elsewhere/a.txt");
    // The folder is compared byte for byte, letter case included, on every system.
    std::string otherCase = dir;
    const std::size_t letter = otherCase.find_last_of("abcdefghijklmnopqrstuvwxyz");
    ASSERT_NE(letter, std::string::npos);
    otherCase[letter] = static_cast<char>(std::toupper(otherCase[letter]));
    EXPECT_EQ(MakeRelative(otherCase + "a.txt"), otherCase + "a.txt");
}

TEST(Paths, Separators) {
    const std::string root = FileSystemRoot();
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(AddBackslash(root + "data"), root + "data" + PathSeparator());
    for (const char* end : {"/", "\\"}) {
        EXPECT_EQ(AddBackslash(root + "data" + end), root + "data" + end);
        EXPECT_EQ(RemoveBackslash(root + "data" + end), root + "data");
    }
    EXPECT_EQ(RemoveBackslash(root + "data"), root + "data");
    EXPECT_EQ(RemoveBackslash(""), "");
}

TEST(Paths, ExistenceChecks) {
    CTestEnvironment env;
    const std::string file = env.m_folder.Write("sub/a.txt", "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(env.m_folder.Path() + "sub"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(env.m_folder.Path() + "sub\\a.txt")); // backslashes reach the file system as slashes
    EXPECT_TRUE(FolderExists(env.m_folder.Path() + "sub/"));
    EXPECT_TRUE(FolderExists(env.m_folder.Path() + "sub"));
    EXPECT_TRUE(FolderExists("/"));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FolderExists(""));
}

TEST(Paths, CheckPathLength) {
    CTestEnvironment env;
    std::string text = "old";
    EXPECT_TRUE(CheckPathLength(std::string(260, 'a'), text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(CheckPathLength(std::string(261, 'a'), text));
    EXPECT_EQ(text, "FilePath Max.length over");
    EXPECT_FALSE(CheckPathLength("", text));
    EXPECT_EQ(text, "FilePath Not set");
    env.Translate("msg.Not set=Fehlt\r\n");
    EXPECT_FALSE(CheckPathLength("", text));
    EXPECT_EQ(text, "FilePath Fehlt");
}

TEST(Paths, CheckFileAccess) {
    CTestEnvironment env;
    const std::string existing = env.m_folder.Write("in.dat", "abc");
    const std::string missing = env.m_folder.Path() + "new.dat";
    std::string text;

    EXPECT_TRUE(CheckFileAccess(existing, modeRead | typeBinary, text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(CheckFileAccess(missing, modeReadWrite | typeBinary, text));
    EXPECT_EQ(text, "Can't open file or It's not a file");
    EXPECT_TRUE(CheckFileAccess(missing, modeWrite | modeCreate | typeBinary, text));
    EXPECT_FALSE(CheckFileAccess("in.dat", modeRead | typeBinary, text));
    EXPECT_EQ(text, "FilePath");
    EXPECT_FALSE(CheckFileAccess(env.m_folder.Path() + "nofolder/x.dat", modeRead | typeBinary, text));
    EXPECT_EQ(text, "FilePath");
    // Without an extension only an existing file passes: a name still to be made is derived first.
    const std::string data = env.m_folder.Write("data", "abc");
    EXPECT_EQ(CheckFileAccess(data, modeReadWrite | typeBinary, text), ExistingFilesNeedNoExtension());
    EXPECT_EQ(text, ExistingFilesNeedNoExtension() ? "" : "FilePath");
    EXPECT_FALSE(CheckFileAccess(env.m_folder.Path() + "new", modeWrite | modeCreate | typeText, text));
    EXPECT_EQ(text, "FilePath");
    EXPECT_FALSE(CheckFileAccess(existing, modeRead, text)); // neither text nor binary
    EXPECT_EQ(text.rfind("Can't open file\r\n6 ", 0), 0u) << text;

    // A file another run writes cannot be opened for updating.
    CFile writer(existing, modeReadWrite | shareDenyWrite | typeBinary);
    EXPECT_FALSE(CheckFileAccess(existing, modeReadWrite | typeBinary, text));
    EXPECT_EQ(text, "Can't open file\r\n11 " + CFileException::Describe(11, existing));
}

TEST(Paths, ValidateFileShowsTheTextAndThePath) {
    CTestEnvironment env;
    std::string text;
    EXPECT_FALSE(ValidateFile("", modeRead | typeText, text, true));
    EXPECT_FALSE(ValidateFile("x.txt", modeRead | typeText, text, false));
    ASSERT_EQ(env.m_box.m_shown.size(), 1u);
    EXPECT_EQ(env.m_box.m_shown[0].text, "FilePath Not set\n");
    EXPECT_EQ(env.m_box.m_shown[0].style, unsigned(mbError));
}

} // namespace
