#include "definition/record_index_list.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "vocabulary/message_box.h"
#include "vocabulary/messages.h"
#include "platform/file.h"
#include "platform/file_exception.h"
#include "tests/common/test_support.h"

namespace {

class RecordIndexListTest : public ::testing::Test {
protected:
    RecordIndexListTest() { list.Reset(); }

    bool Load(const std::string& contents) {
        env.m_folder.Write("index.txt", contents);
        return list.Load("index.txt");
    }

    CTestEnvironment env;
    CRecordIndexList list;
};

struct GoodCase {
    const char* title;
    std::string contents;
    int basePoint;
    std::vector<std::uint32_t> entries;
};

TEST_F(RecordIndexListTest, LoadsRecordNumbersInFileOrder) {
    const GoodCase cases[] = {
        {"as written back", "// BasePointOfBRecordIndex\r\n0\r\n// BRecordIndexList\r\n7\r\n0\r\n3\r\n", 0, {7, 0, 3}},
        {"base point 1", "1\n1\n5\n3\n", 1, {0, 4, 2}},
        {"several per line", "0\n7\t\t0\n \t3 \t\n", 0, {7, 0, 3}},
        {"blank lines and comments between", "0\n7 // first\n   \n\n0\t// 9\n3", 0, {7, 0, 3}},
        {"more fields after the base point", "1\t8\tx\n2\n", 1, {1}},
        {"base point after blanks", "\t 1 \n2147483647\n", 1, {2147483646}},
        {"highest record", "0\n2147483647\n", 0, {2147483647}},
        {"signs", "+1\n+2\n", 1, {1}},
    };
    for (const GoodCase& c : cases) {
        EXPECT_TRUE(Load(c.contents)) << c.title << ": " << list.m_message;
        EXPECT_EQ(list.m_ok, 1) << c.title;
        EXPECT_EQ(list.m_message, "") << c.title;
        EXPECT_EQ(list.m_basePoint, c.basePoint) << c.title;
        EXPECT_EQ(list.m_entries, c.entries) << c.title;
        EXPECT_EQ(list.EntryCount(), c.entries.size()) << c.title;
        EXPECT_EQ(list.m_count, c.entries.size()) << c.title;
        EXPECT_EQ(list.CountText(), std::to_string(c.entries.size())) << c.title;
        EXPECT_EQ(list.m_open, 0) << c.title;
    }
}

struct BadCase {
    const char* title;
    std::string contents;
    std::string message;
};

const BadCase kBadCases[] = {
    {"only comments", "// a\n\n//b\n", "At line 4. BasePointOfBRecordIndex Not set"},
    {"empty file", "", "At line 1. BasePointOfBRecordIndex Not set"},
    {"only blanks and TABs", " \t \n\t\n", "At line 3. BasePointOfBRecordIndex Not set"},
    {"base point 2", "//x\n2\n1\n", "At line 2. BasePointOfBRecordIndex Range"},
    {"base point negative", "-1\n1\n", "At line 1. BasePointOfBRecordIndex Range"},
    {"base point not a number", "one\n1\n", "At line 1. BasePointOfBRecordIndex Range"},
    {"record below base point 1", "1\n1\n0\n", "At line 3. Range"},
    {"negative record", "0\n4\t-1\n", "At line 2. Range"},
    {"record beyond 31 bits", "0\n2147483648\n", "At line 2. Range"},
    {"record not a number", "0\n1\n2x\n", "At line 3. Range"},
    {"no record numbers", "0\n// none\n", "At line 3. Sum Count 0"},
};

TEST_F(RecordIndexListTest, FaultyFilesAreReportedAtTheirLine) {
    for (const BadCase& c : kBadCases) {
        EXPECT_FALSE(Load(c.contents)) << c.title;
        EXPECT_EQ(list.m_message, c.message) << c.title;
        EXPECT_EQ(list.m_ok, 0) << c.title;
        EXPECT_EQ(list.CountText(), "") << c.title;
        EXPECT_EQ(list.m_open, 0) << c.title;
    }
}

TEST_F(RecordIndexListTest, FailureUsesTheTranslatedWords) {
    env.Translate("msg.Range=Bereich\r\n");
    EXPECT_FALSE(Load("0\n1\n-4\n"));
    EXPECT_EQ(list.m_message, "At line 3. Bereich");
    EXPECT_FALSE(Load("5\n1\n"));
    EXPECT_EQ(list.m_message, "At line 1. BasePointOfBRecordIndex Bereich");
    EXPECT_EQ(list.ComposeError(), "BRecordIndexList Error\r\nAt line 1. BasePointOfBRecordIndex Bereich");
}

TEST_F(RecordIndexListTest, UnusablePathsAreReportedWithoutLineNote) {
    const struct {
        const char* title;
        std::string path;
        std::string message;
    } cases[] = {
        {"missing file", "missing.txt", "FilePath "},
        {"name without extension", "index", "FilePath "},
        {"too long", std::string(300, 'a') + ".txt", "FilePath FilePath Max.length over"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(list.Load(c.path)) << c.title;
        EXPECT_EQ(list.m_message, c.message) << c.title;
        EXPECT_EQ(list.m_ok, 0) << c.title;
    }
}

TEST_F(RecordIndexListTest, FileThatCannotBeOpenedNamesTheCause) {
    const std::string fullPath = env.m_folder.Write("busy.txt", "0\n1\n");
    CFile writer(fullPath, modeWrite | modeCreate | modeNoTruncate | typeBinary);
    const CFileException sharing(CFileException::sharingViolation, fullPath);
    EXPECT_FALSE(list.Load("busy.txt"));
    EXPECT_EQ(list.m_message, " Can't open file\r\n" + FileExceptionText(&sharing) + "\r\n" + fullPath);
}

TEST_F(RecordIndexListTest, EveryLoadStartsAfresh) {
    ASSERT_TRUE(Load("1\n3\n4\n"));
    EXPECT_FALSE(list.Load("missing.txt"));
    EXPECT_TRUE(list.m_entries.empty());
    EXPECT_EQ(list.m_basePoint, 0);
    EXPECT_EQ(list.CountText(), "");
    ASSERT_TRUE(Load("0\n9\n"));
    EXPECT_EQ(list.m_entries, (std::vector<std::uint32_t>{9}));
}

TEST_F(RecordIndexListTest, EntryAtOutsideTheListShowsAnErrorBox) {
    ASSERT_TRUE(Load("1\n1\n5\n3\n"));
    EXPECT_EQ(list.EntryAt(0), 0u);
    EXPECT_EQ(list.EntryAt(2), 2u);
    EXPECT_TRUE(env.m_box.m_shown.empty());

    EXPECT_EQ(list.EntryAt(3), 4294967295u);
    ASSERT_EQ(env.m_box.m_shown.size(), 1u);
    EXPECT_EQ(env.m_box.m_shown[0].text, "System Error");
    EXPECT_EQ(env.m_box.m_shown[0].style, static_cast<unsigned>(mbError));

    list.Reset();
    EXPECT_EQ(list.EntryAt(0), CRecordIndexList::kNoEntry);
    EXPECT_EQ(env.m_box.m_shown.size(), 2u);
}

TEST_F(RecordIndexListTest, ResetEmptiesTheList) {
    ASSERT_TRUE(Load("1\n2\n"));
    list.Reset();
    EXPECT_EQ(list.m_name, "BRecordIndexList");
    EXPECT_EQ(list.m_delimiter, "\t");
    EXPECT_EQ(list.m_ok, 0);
    EXPECT_EQ(list.m_basePoint, 0);
    EXPECT_TRUE(list.m_entries.empty());
    EXPECT_EQ(list.m_count, 0u);
}

} // namespace
