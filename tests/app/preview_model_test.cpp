#include "app/preview_model.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "app/app_state.h"
#include "platform/file_exception.h"
#include "tests/common/test_support.h"

namespace {

constexpr int kRecords = 2000;

// Records numbered by their first byte, then three letters.
std::string NumberedRecords(int count) {
    std::string bytes;
    for (int r = 0; r < count; ++r) bytes += std::string(1, static_cast<char>(r)) + "abc";
    return bytes;
}

class PreviewModelTest : public ::testing::Test {
public:
    PreviewModelTest() {
        env.m_folder.Write("def.txt", "No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n");
        env.m_folder.Write("data.bin", NumberedRecords(kRecords));
        WriteTarget(kRecords, "");
    }
    void WriteTarget(int count, const std::string& extraKeys) {
        env.m_folder.Write("target.ini", "[FileInfo]\r\nLabel=Numbers\r\nRecordDefinitionFileRP=def.txt\r\n"
                                         "BRecordSize=4\r\nBRecordCount=" + std::to_string(count) +
                                             "\r\nTDelimiter=,\r\nBinaryFilePath=data.bin\r\nTextFilePath=data.csv\r\n" +
                                             extraKeys);
    }
    std::string Path(const std::string& name) const { return env.m_folder.Path() + name; }

    CTestEnvironment env;
    CAppState app;
    CPreviewModel model {app};
};

TEST_F(PreviewModelTest, ShowsTheTargetsRecords) {
    model.Open(Path("target.ini"));
    ASSERT_EQ(model.Failure(), "");
    EXPECT_EQ(model.Title(), "Numbers");
    EXPECT_EQ(model.RowCount(), std::uint32_t {kRecords});
    EXPECT_EQ(model.RecordSize(), 4u);
    EXPECT_EQ(model.HeaderLine(), "//No,Rest");
    ASSERT_EQ(model.Columns().size(), 2u);
    EXPECT_EQ(model.Row(999).line, "231,abc");
    EXPECT_EQ(model.RowTitle(999), "1000");
    EXPECT_EQ(model.Row(999).position, 3996u);
}

// Scrolling reads the pages shown, and keeps only a few of them.
TEST_F(PreviewModelTest, PagesAreReadOnDemandAndFewAreKept) {
    model.Open(Path("target.ini"));
    const std::uint64_t opened = model.PagesRead();
    EXPECT_LE(opened, 1u);
    model.Row(500);
    EXPECT_EQ(model.PagesRead(), opened + 1);
    model.Row(501);
    EXPECT_EQ(model.PagesRead(), opened + 1);
    const std::uint32_t pages = (kRecords + CPreviewModel::kPageSize - 1) / CPreviewModel::kPageSize;
    for (std::uint32_t row = 0; row < kRecords; row += CPreviewModel::kPageSize) model.Row(row);
    const std::uint64_t scrolled = model.PagesRead();
    EXPECT_LE(scrolled, opened + pages + 1);
    // The page read last is still kept; the first, read before more than kPagesKept others, is not.
    model.Row(kRecords - 1);
    EXPECT_EQ(model.PagesRead(), scrolled);
    ASSERT_GT(pages, CPreviewModel::kPagesKept);
    model.Row(0);
    EXPECT_EQ(model.PagesRead(), scrolled + 1);
}

TEST_F(PreviewModelTest, RowTitlesNameTheRecordsOfTheIndexList) {
    env.m_folder.Write("list.tsv", "0\r\n7\r\n3\r\n7\r\n");
    WriteTarget(kRecords, "BRecordIndexListFilePath=list.tsv\r\n");
    model.Open(Path("target.ini"));
    ASSERT_EQ(model.Failure(), "");
    ASSERT_EQ(model.RowCount(), 3u);
    EXPECT_EQ(model.RowTitle(0), "1: 7");
    EXPECT_EQ(model.RowTitle(1), "2: 3");
    EXPECT_EQ(model.Row(2).line, "7,abc");
}

// What cannot be shown says why, as the job would, and the next load after a repair shows the
// records again.
TEST_F(PreviewModelTest, FailuresShowTheirTextAndRecover) {
    struct Case {
        const char* title;
        std::function<void(PreviewModelTest&)> breakIt;
        std::function<std::string(PreviewModelTest&)> text;
    };
    const Case cases[] = {
        {"a definition whose items do not fill the record",
         [](PreviewModelTest& t) { t.env.m_folder.Write("def.txt", "No,1,R,u,1,No\r\nRest,2,N,s,1,Rest\r\n"); },
         [](PreviewModelTest&) { return std::string("Record Def Error\r\nAt line 3. Length Inconsistent"); }},
        {"a missing binary file", [](PreviewModelTest& t) { std::filesystem::remove(t.Path("data.bin")); },
         [](PreviewModelTest& t) {
             return "Error [ Binary => Text ]\r\nText File Can not use\r\nError  Can't open file\r\n2 " +
                 CFileException::Describe(2, t.Path("data.bin"));
         }},
        {"a binary file shorter than a record", [](PreviewModelTest& t) { t.env.m_folder.Write("data.bin", "ab"); },
         [](PreviewModelTest& t) {
             return "Error [ Binary => Text ]\r\nText File Can not use\r\nError At line 1. Can't read file\r\n" +
                 t.Path("data.bin");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        env.m_folder.Write("def.txt", "No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n");
        env.m_folder.Write("data.bin", NumberedRecords(kRecords));
        model.Open(Path("target.ini"));
        ASSERT_EQ(model.Failure(), "");
        c.breakIt(*this);
        model.Reload();
        EXPECT_EQ(model.Failure(), c.text(*this));
        EXPECT_EQ(model.RowCount(), 0u);
        EXPECT_TRUE(model.Row(0).cells.empty());
        env.m_folder.Write("def.txt", "No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n");
        env.m_folder.Write("data.bin", NumberedRecords(kRecords));
        model.Reload();
        EXPECT_EQ(model.Failure(), "");
        EXPECT_EQ(model.Row(1).line, "1,abc");
    }
}

// The main window may load another index list for the slot, or clear it: the preview follows.
TEST_F(PreviewModelTest, AListInPlaceOfTheTargetsIsUsed) {
    env.m_folder.Write("list.tsv", "0\r\n7\r\n");
    env.m_folder.Write("other.tsv", "0\r\n3\r\n4\r\n");
    WriteTarget(kRecords, "BRecordIndexListFilePath=list.tsv\r\n");
    const std::pair<std::optional<std::string>, std::vector<std::string>> cases[] = {
        {std::nullopt, {"7,abc"}},
        {Path("other.tsv"), {"3,abc", "4,abc"}},
        {std::string(), {"0,abc", "1,abc"}},
    };
    for (const auto& [list, lines] : cases) {
        SCOPED_TRACE(list.value_or("(the target's)"));
        model.Open(CPreviewSource {Path("target.ini"), "", list, 0});
        ASSERT_EQ(model.Failure(), "");
        for (std::size_t row = 0; row < lines.size(); ++row) EXPECT_EQ(model.Row(row).line, lines[row]);
    }
    model.Open(CPreviewSource {Path("target.ini"), "", Path("missing.tsv"), 0});
    EXPECT_EQ(model.Failure().rfind("Can not use\r\n", 0), 0u) << model.Failure();
}

TEST_F(PreviewModelTest, WatchesEveryFileTheTargetReads) {
    env.m_folder.Write("list.tsv", "0\r\n1\r\n");
    env.m_folder.Write("kinds.tsv", "1\tOne\r\n");
    env.m_folder.Write("def.txt", "No,1,R,u,1,No,kinds.tsv\r\nRest,3,N,s,1,Rest\r\n");
    WriteTarget(kRecords, "BRecordIndexListFilePath=list.tsv\r\n");
    model.Open(Path("target.ini"));
    std::vector<std::string> watched = model.WatchedFiles();
    std::sort(watched.begin(), watched.end());
    EXPECT_EQ(watched, (std::vector<std::string> {Path("data.bin"), Path("def.txt"), Path("kinds.tsv"),
                                                   Path("list.tsv"), Path("target.ini")}));
}

} // namespace
