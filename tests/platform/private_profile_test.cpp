#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/common/test_support.h"

namespace {
std::string GetProfileString(const std::string& file, const std::string& section, const std::string& key) {
    return CProfile::Read(file).GetString(section, key);
}

std::vector<std::string> GetProfileSectionNames(const std::string& file, std::size_t size = kProfileValueBuffer) {
    return CProfile::Read(file).SectionNames(size);
}
}

namespace {

// The lines of a settings file, joined with the given line end.
std::string Lines(const std::vector<std::string>& lines, const std::string& lineEnd, bool lastLineEnd = true) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || lastLineEnd) text += lineEnd;
    }
    return text;
}

const std::vector<std::string> kSample = {
    "; a comment before any section",
    "Stray=outside",
    "[General]",
    "Name=plain",
    "  Spaced  =  \t value with blanks \t ",
    "Quoted=\" keep inner blanks \"",
    "Single='single'",
    "Mixed=\"mismatch'",
    "OneQuote=\"",
    "Empty=",
    "EmptyQuotes=\"\"",
    "Blanks=   ",
    "no equals here",
    "Dup=first",
    "dup=second",
    "Eq=a=b",
    "",
    "  [ Other Section ]  ",
    "Name=other",
    "[general]",
    "Late=hidden",
};

struct CReadCase {
    const char* section;
    const char* key;
    const char* expected;
};

const CReadCase kReadCases[] = {
    {"General", "Name", "plain"},
    {"GENERAL", "nAmE", "plain"},
    {"General", "Spaced", "value with blanks"},
    {"General", "Quoted", " keep inner blanks "},
    {"General", "Single", "single"},
    {"General", "Mixed", "\"mismatch'"},
    {"General", "OneQuote", "\""},
    {"General", "Empty", ""},
    {"General", "EmptyQuotes", ""},
    {"General", "Blanks", ""},
    {"General", "no equals here", ""},
    {"General", "Dup", "first"},
    {"General", "Eq", "a=b"},
    {"General", "Stray", ""},
    {"General", "Late", ""}, // only the first matching section is searched
    {"other section", "NAME", "other"},
    {"General", "Missing", ""},
    {"Missing", "Name", ""},
    {"General", "", ""},
};

struct CFileVariant {
    const char* name;
    const char* bom;
    const char* lineEnd;
    bool lastLineEnd;
};

const CFileVariant kVariants[] = {
    {"CR LF", "", "\r\n", true},
    {"LF", "", "\n", true},
    {"BOM and CR LF", "\xEF\xBB\xBF", "\r\n", true},
    {"BOM and LF", "\xEF\xBB\xBF", "\n", true},
    {"last line without line end", "", "\r\n", false},
};

TEST(PrivateProfile, ReadsValuesInEveryFileForm) {
    CTempFolder folder;
    for (const CFileVariant& variant : kVariants) {
        const std::string path =
            folder.Write("sample.ini", variant.bom + Lines(kSample, variant.lineEnd, variant.lastLineEnd));
        for (const CReadCase& c : kReadCases)
            EXPECT_EQ(GetProfileString(path, c.section, c.key), c.expected)
                << variant.name << ": [" << c.section << "] " << c.key;
    }
}

TEST(PrivateProfile, ReadsTheLastLineWithoutLineEnd) {
    CTempFolder folder;
    const std::string path = folder.Write("last.ini", "[S]\r\nA=1\r\nB= two ");
    EXPECT_EQ(GetProfileString(path, "S", "B"), "two");
    EXPECT_EQ(GetProfileString(folder.Write("bom.ini", "\xEF\xBB\xBF[S]\nA=1"), "s", "a"), "1");
}

TEST(PrivateProfile, MissingFileReadsAsAbsent) {
    CTempFolder folder;
    EXPECT_EQ(GetProfileString(folder.Path() + "none.ini", "S", "A"), "");
    EXPECT_TRUE(GetProfileSectionNames(folder.Path() + "none.ini").empty());
}

TEST(PrivateProfile, CutsValuesAt259Bytes) {
    CTempFolder folder;
    const std::string exact(259, 'e');
    const std::string longer = std::string(259, 'l') + "tail";
    const std::string quoted = std::string(258, 'q') + "xy";
    const std::string path = folder.Write(
        "long.ini", "[S]\r\nExact=" + exact + "\r\nLonger=" + longer + "\r\nQuoted=\"" + quoted + "\"\r\n");
    EXPECT_EQ(GetProfileString(path, "S", "Exact"), exact);
    EXPECT_EQ(GetProfileString(path, "S", "Longer"), std::string(259, 'l'));
    // The quotation marks go before the value is cut.
    EXPECT_EQ(GetProfileString(path, "S", "Quoted"), std::string(258, 'q') + "x");
}

TEST(PrivateProfile, ListsSectionNamesAsWritten) {
    CTempFolder folder;
    const std::string path = folder.Write("names.ini", "\xEF\xBB\xBF[First]\nA=1\n  [ Second Name ]  \n[]\n[first]\n");
    const std::vector<std::string> expected = {"First", "Second Name", "first"};
    EXPECT_EQ(GetProfileSectionNames(path), expected);
}

TEST(PrivateProfile, SectionNamesOnlyWhollyInsideTheListBuffer) {
    struct CCase {
        std::size_t bufferSize;
        std::vector<std::string> names;
        std::size_t returned;
    };
    const std::string a(100, 'a'), b(100, 'b');
    const CCase cases[] = {
        // a at 0..99, b at 101..200, the third name from 202: it must end by byte 257.
        {260, {a, b, std::string(56, 'c')}, 3},
        {260, {a, b, std::string(57, 'c')}, 2},
        // Once a name is dropped the list is full: a shorter name after it is dropped too.
        {260, {a, b, std::string(57, 'c'), "d"}, 2},
        {260, {std::string(258, 'x')}, 1},
        {260, {std::string(259, 'x')}, 0},
        {10, {"abc", "de", "f"}, 3},
        {10, {"abc", "de", "fg"}, 2},
        {2, {"a"}, 0},
        {1, {"a"}, 0},
    };
    CTempFolder folder;
    for (const CCase& c : cases) {
        std::string text;
        for (const std::string& name : c.names) text += "[" + name + "]\r\nKey=1\r\n";
        const std::string path = folder.Write("list.ini", text);
        const std::vector<std::string> expected(c.names.begin(), c.names.begin() + static_cast<long>(c.returned));
        EXPECT_EQ(GetProfileSectionNames(path, c.bufferSize), expected)
            << "buffer " << c.bufferSize << ", names " << c.names.size();
    }
}

struct CWriteCase {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    std::vector<std::string> expected;
};

const std::vector<std::string> kWritable = {
    "; settings",
    "[First]",
    "  Key = old value ",
    "Other=1",
    "",
    "[Second]",
    "A=1",
    "; trailing comment",
    "",
    "[first]",
    "Key=second copy",
};

TEST(PrivateProfile, WriteChangesOnlyItsLineAndKeepsLineEnds) {
    const CWriteCase cases[] = {
        {"change a key", "FIRST", "key", "new",
         {"; settings", "[First]", "  Key=new", "Other=1", "", "[Second]", "A=1", "; trailing comment", "",
          "[first]", "Key=second copy"}},
        {"empty value", "First", "Other", "",
         {"; settings", "[First]", "  Key = old value ", "Other=", "", "[Second]", "A=1", "; trailing comment", "",
          "[first]", "Key=second copy"}},
        {"add a key", "second", "B", " two ",
         {"; settings", "[First]", "  Key = old value ", "Other=1", "", "[Second]", "A=1", "B= two ",
          "; trailing comment", "", "[first]", "Key=second copy"}},
        {"add a section", "Third", "K", "v",
         {"; settings", "[First]", "  Key = old value ", "Other=1", "", "[Second]", "A=1", "; trailing comment", "",
          "[first]", "Key=second copy", "[Third]", "K=v"}},
    };
    CTempFolder folder;
    for (const char* lineEnd : {"\r\n", "\n"}) {
        for (const CWriteCase& c : cases) {
            const std::string path = folder.Write("write.ini", Lines(kWritable, lineEnd));
            ASSERT_TRUE(WriteProfileString(path, c.section, c.key, c.value)) << c.name;
            EXPECT_EQ(folder.Read(path), Lines(c.expected, lineEnd)) << c.name << (lineEnd[0] == '\r' ? " CR LF" : " LF");
        }
    }
}

TEST(PrivateProfile, WrittenValuesReadBack) {
    CTempFolder folder;
    const std::string path = folder.Write("round.ini", Lines(kWritable, "\r\n"));
    ASSERT_TRUE(WriteProfileString(path, "DialogPosition", "left", "-12"));
    ASSERT_TRUE(WriteProfileString(path, "dialogposition", "LEFT", "34"));
    ASSERT_TRUE(WriteProfileString(path, "First", "Other", ""));
    EXPECT_EQ(GetProfileString(path, "DialogPosition", "left"), "34");
    EXPECT_EQ(GetProfileString(path, "First", "Other"), "");
    EXPECT_EQ(GetProfileString(path, "Second", "A"), "1");
    const std::vector<std::string> names = {"First", "Second", "first", "DialogPosition"};
    EXPECT_EQ(GetProfileSectionNames(path), names);
}

TEST(PrivateProfile, WriteCompletesALastLineWithoutLineEnd) {
    struct CCase {
        const char* before;
        const char* section;
        const char* after;
    };
    const CCase cases[] = {
        {"[S]\nA=1", "S", "[S]\nA=1\nB=2\n"},
        {"[S]\nA=1", "T", "[S]\nA=1\n[T]\nB=2\n"},
        {"[S]\r\nA=1", "T", "[S]\r\nA=1\r\n[T]\r\nB=2\r\n"},
        {"[S]", "s", "[S]\r\nB=2\r\n"},
        {"[S]\r\n[T]\r\n", "S", "[S]\r\nB=2\r\n[T]\r\n"},
        {"\xEF\xBB\xBF[S]\nA=1\n", "S", "\xEF\xBB\xBF[S]\nA=1\nB=2\n"},
        {"\xEF\xBB\xBF", "T", "\xEF\xBB\xBF[T]\r\nB=2\r\n"},
        {"", "T", "[T]\r\nB=2\r\n"},
        // A last line ending in a CR alone gets its LF, not a second line end.
        {"[S]\r\nA=1\r", "S", "[S]\r\nA=1\r\nB=2\r\n"},
        {"[S]\nA=1\r", "T", "[S]\nA=1\r\n[T]\nB=2\n"},
    };
    CTempFolder folder;
    for (const CCase& c : cases) {
        const std::string path = folder.Write("end.ini", c.before);
        ASSERT_TRUE(WriteProfileString(path, c.section, "B", "2")) << c.before;
        EXPECT_EQ(folder.Read(path), c.after) << c.before;
    }
}

TEST(PrivateProfile, WriteCreatesAMissingFile) {
    CTempFolder folder;
    const std::string path = folder.Path() + "new.ini";
    ASSERT_TRUE(WriteProfileString(path, "FileInfoDefaultRP", "FileInfo1", "C:\\targets\\one.ini"));
    EXPECT_EQ(folder.Read(path), "[FileInfoDefaultRP]\r\nFileInfo1=C:\\targets\\one.ini\r\n");
    EXPECT_EQ(GetProfileString(path, "fileinfodefaultrp", "fileinfo1"), "C:\\targets\\one.ini");
    // A file that cannot be written, or read first, fails with its cause.
    EXPECT_THROW(WriteProfileString(folder.Path() + "no/such/folder.ini", "S", "K", "v"), CFileException);
    EXPECT_THROW(WriteProfileString(folder.Path(), "S", "K", "v"), CFileException);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(PrivateProfile, WriteRefusesLineBreaksAndEmptyNames) {
    struct CCase {
        const char* section;
        const char* key;
        const char* value;
    };
    const CCase cases[] = {
        {"S", "A", "x\r\n[Evil]"}, {"S", "A", "x\n"}, {"S", "A", "\r"},   {"S", "A\nB", "1"},
        {"S", "A\r", "1"},         {"S\n", "A", "1"}, {"S", "", "1"},     {"", "A", "1"},
    };
    CTempFolder folder;
    const std::string original = "[S]\r\nA=old\r\n";
    const std::string path = folder.Write("refuse.ini", original);
    for (const CCase& c : cases) {
        EXPECT_FALSE(WriteProfileString(path, c.section, c.key, c.value)) << c.section << "/" << c.key;
        EXPECT_EQ(folder.Read(path), original);
    }
    EXPECT_FALSE(WriteProfileString(folder.Path() + "absent.ini", "S", "A", "x\ny"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "absent.ini"));
}

} // namespace
