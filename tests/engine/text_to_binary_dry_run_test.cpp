#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

#include "vocabulary/message_box.h"
#include "definition/target_info.h"
#include "engine/check_report.h"
#include "engine/text_to_binary.h"
#include "tests/common/test_support.h"
#include "tests/engine/engine_test_support.h"

namespace {

// Records of 4 bytes: a number in the first byte and three letters.
const char* const kNumberedDefinition = "No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n";
const char* const kHeader = "//No,Rest\r\n";
const char* const kIndexedDefinition = "ID,4,R,u,1,ID\r\nName,4,N,s,1,Name\r\n";

class DryRunTest : public ::testing::Test {
public:
    bool Load(const CTargetSetup& setup) { return LoadTarget(env, target, setup); }
    std::string BinaryPath() const { return env.m_folder.Path() + "data.bin"; }
    std::string TextPath() const { return env.m_folder.Path() + "text.csv"; }
    void WriteBinary(const std::string& bytes) { env.m_folder.Write("data.bin", bytes); }
    void WriteText(const std::string& text) { env.m_folder.Write("text.csv", text); }
    bool DryRun(CCheckReport& report, bool firstColumnIsIndex = false, CScriptedProgress* progress = nullptr) {
        CScriptedProgress ownProgress;
        target.m_message = "[ Check ]";
        return DryRunToBinary(target, firstColumnIsIndex, report, progress ? *progress : ownProgress);
    }
    // The names and contents of the files in the folder.
    std::set<std::pair<std::string, std::string>> Files() const {
        std::set<std::pair<std::string, std::string>> files;
        for (const auto& entry : std::filesystem::directory_iterator(env.m_folder.Path()))
            files.emplace(entry.path().filename().string(), ReadFile(entry.path().string()));
        return files;
    }

    CTestEnvironment env;
    CTargetInfo target;
};

// Every bad line is reported with exactly the text the real run gives when that line is the
// first bad one, and the lines after it are tried all the same.
TEST_F(DryRunTest, EveryBadLineIsReportedWithTheRealRunsText) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 5)));
    const std::string old = "\xEEold\xEEold\xEEold\xEEold\xEEold";
    WriteBinary(old);
    const std::vector<std::string> lines = {"0,abc", "256,abc", "2", "x,abc", "4,abcdef", "5,end"};
    const std::vector<std::size_t> bad = {1, 2, 3, 5}; // the last is the sixth of five records
    std::string text = kHeader;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteText(text);
    const auto filesBefore = Files();

    CCheckReport report(CCheckReport::dryRun);
    EXPECT_TRUE(DryRun(report)) << target.m_message;
    EXPECT_EQ(target.m_message, "");
    const std::vector<std::string> expected = {
        "At line 3. Range",
        "At line 4. Item Num",
        "At line 5. CodeReplacement",
        "At line 6. Rest: 6 bytes cut to 3",
        "At line 7. Can't write file\r\n" + TextPath(),
    };
    EXPECT_EQ(report.Lines(), expected);
    EXPECT_FALSE(report.Clean());
    std::string summary;
    for (const std::string& line : expected) summary += line + "\r\n";
    EXPECT_EQ(report.Text(), summary + "2 records would be written.\r\n6 lines checked, 4 would fail, 1 cell would be cut.");
    EXPECT_EQ(Files(), filesBefore);

    // The real run on the text with the bad lines before each one mended.
    std::size_t failure = 0;
    for (const std::size_t at : bad) {
        SCOPED_TRACE(lines[at]);
        std::string mended = kHeader;
        for (std::size_t i = 0; i < lines.size(); ++i)
            mended += (i < at && std::count(bad.begin(), bad.end(), i) ? "9,fix" : lines[i]) + "\r\n";
        WriteText(mended);
        WriteBinary(old);
        CScriptedProgress progress;
        target.m_message = "[ Text => Binary ]";
        EXPECT_FALSE(ConvertTargetToBinary(target, progress));
        if (failure == 3) ++failure; // the cut cell is no failure
        EXPECT_EQ(target.m_message, expected.at(failure));
        ++failure;
    }
}

TEST_F(DryRunTest, AGoodTextReportsTheRecordsItWouldWrite) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 3).StartAt(2)));
    WriteBinary("<>" + std::string(12, '-'));
    WriteText(std::string(kHeader) + "1,abc\r\n// a comment\r\n\r\n2,de\r\n3,f\r\n");
    const auto filesBefore = Files();
    CScriptedProgress progress;
    CCheckReport report(CCheckReport::dryRun);
    EXPECT_TRUE(DryRun(report, false, &progress)) << target.m_message;
    EXPECT_TRUE(report.Clean());
    EXPECT_EQ(report.Text(), "3 records would be written.\r\n3 lines checked, 0 would fail, 0 cells would be cut.");
    EXPECT_EQ(progress.m_refreshes.at(0).label, "[ Check ]");
    EXPECT_EQ(progress.m_refreshes.back().count, 3u);
    EXPECT_EQ(progress.m_closes, 1);
    EXPECT_EQ(Files(), filesBefore);
}

TEST_F(DryRunTest, CellsThatDoNotFitAreCut) {
    const struct {
        const char* title;
        const char* definition;
        int recordSize;
        std::string line;
        std::string cut; // the report line, or "" for none
    } cases[] = {
        {"N text of its length", "a,4,N,s,1,A\r\n", 4, "abcd", ""},
        {"N text longer", "a,4,N,s,1,A\r\n", 4, "abcdef", "At line 2. a: 6 bytes cut to 4"},
        {"R text of even length", "a,4,R,s,1,A\r\n", 4, "abcd", ""},
        {"R text of odd length leaves its last byte empty", "a,5,R,s,1,A\r\n", 5, "abcd", ""},
        {"R text filling an odd length", "a,5,R,s,1,A\r\n", 5, "abcde", "At line 2. a: 5 bytes cut to 4"},
        {"characters count in bytes", "a,4,N,s,1,A\r\n", 4, "\xC3\xA4\xC3\xB6\xC3\xBC", "At line 2. a: 6 bytes cut to 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(Load(CTargetSetup(c.definition, c.recordSize)));
        WriteText("//A\r\n" + c.line + "\r\n");
        CCheckReport report(CCheckReport::dryRun);
        EXPECT_TRUE(DryRun(report)) << target.m_message;
        EXPECT_EQ(report.Lines(), c.cut.empty() ? std::vector<std::string>() : std::vector<std::string> {c.cut});
        EXPECT_EQ(report.Clean(), c.cut.empty());
    }
}

// With quoting, a line whose quotes fail is reported and keeps its record: the lines after it
// go where they would go if it were mended, here the fourth line beyond the three records. A
// quote that never closes takes the rest of the file.
TEST_F(DryRunTest, WithQuotingQuoteFaultsAreReportedAsLines) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 3).Key("TextQuoting", "1")));
    WriteText("\"//No\",\"Rest\"\r\n0,\"a,b\"\r\n1,\"x\"y\r\n2,\"\r\nd\"\r\n3,\"abc\"\r\n4,\"never\r\nclosed\r\n");
    CCheckReport report(CCheckReport::dryRun);
    EXPECT_TRUE(DryRun(report)) << target.m_message;
    EXPECT_EQ(report.Lines(), (std::vector<std::string> {
                                  "At line 3. TextQuoting.Inconsistent",
                                  "At line 6. Can't write file\r\n" + TextPath(),
                                  "At line 7. TextQuoting.Inconsistent",
                              }));
    EXPECT_EQ(report.Text().substr(report.Text().find("2 records")),
              "2 records would be written.\r\n5 lines checked, 3 would fail, 0 cells would be cut.");
}

TEST_F(DryRunTest, TooFewLinesFailAtTheEndAsTheRealRunDoes) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 3)));
    WriteText(std::string(kHeader) + "1,abc\r\n");
    CCheckReport report(CCheckReport::dryRun);
    EXPECT_TRUE(DryRun(report)) << target.m_message;
    EXPECT_EQ(report.Lines(), std::vector<std::string> {"At line 3. Can't write file\r\n" + TextPath()});
    EXPECT_EQ(report.Text().substr(report.Text().find("1 record ")),
              "1 record would be written.\r\n1 line checked, 1 would fail, 0 cells would be cut.");
}

TEST_F(DryRunTest, TheFirstColumnNamesTheRecord) {
    ASSERT_TRUE(Load(CTargetSetup(kIndexedDefinition, 8, 5)));
    WriteBinary(std::string(40, '-'));
    WriteText("//ID,Name\r\n4,abcd\r\n5,efgh\r\n-1,ijkl\r\n0,mnop\r\n");
    CCheckReport report(CCheckReport::dryRun);
    EXPECT_TRUE(DryRun(report, true)) << target.m_message;
    // Fewer lines than records are no failure here, as in the real run.
    EXPECT_EQ(report.Lines(), (std::vector<std::string> {"At line 3. Can't seek file position", "At line 4. Range"}));
    EXPECT_EQ(report.Text().substr(report.Text().find("2 records")),
              "2 records would be written.\r\n4 lines checked, 2 would fail, 0 cells would be cut.");
    EXPECT_EQ(ReadFile(BinaryPath()), std::string(40, '-'));
    EXPECT_FALSE(std::filesystem::exists(env.m_folder.Path() + "text-BRecordIndexList.tsv"));
}

// Lines go to the records of the list; an entry that is no record fails its line only, and the
// lines beyond the list are not read.
TEST_F(DryRunTest, LinesFollowTheIndexList) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 4)
                         .Key("BRecordIndexListFilePath", "list.tsv")
                         .File("list.tsv", "0\r\n2\r\n7\r\n1\r\n")));
    WriteText(std::string(kHeader) + "1,abc\r\n2,def\r\n3,ghi\r\n300,beyond the list\r\n");
    CCheckReport report(CCheckReport::dryRun);
    EXPECT_TRUE(DryRun(report)) << target.m_message;
    EXPECT_EQ(report.Lines(), std::vector<std::string> {"At line 3. Can't seek file position"});
    EXPECT_EQ(report.Text().substr(report.Text().find("2 records")),
              "2 records would be written.\r\n3 lines checked, 1 would fail, 0 cells would be cut.");
}

// The binary file is read only for the bytes of fillers, at the records the lines go to.
TEST_F(DryRunTest, FillersAreReadFromTheBinaryFile) {
    ASSERT_TRUE(Load(CTargetSetup("a,1,R,u,1,A\r\nf,1,R,u,0,\r\n", 2, 3)));
    WriteText("//A\r\n1\r\n2\r\n3\r\n");
    WriteBinary("xxxx");
    CCheckReport report(CCheckReport::dryRun);
    EXPECT_TRUE(DryRun(report)) << target.m_message;
    EXPECT_EQ(report.Lines(), std::vector<std::string> {"At line 4. Can't read file\r\n" + BinaryPath()});

    std::filesystem::remove(BinaryPath());
    EXPECT_FALSE(DryRun(report));
    EXPECT_EQ(target.m_message.rfind(" Can't open file\r\n2 ", 0), 0u) << target.m_message;
    EXPECT_FALSE(std::filesystem::exists(BinaryPath()));

    // Without fillers nothing is read from it, and a missing binary file is no matter.
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 1)));
    WriteText(std::string(kHeader) + "1,abc\r\n");
    CCheckReport whole(CCheckReport::dryRun);
    EXPECT_TRUE(DryRun(whole)) << target.m_message;
    EXPECT_TRUE(whole.Clean());
    EXPECT_FALSE(std::filesystem::exists(BinaryPath()));
}

TEST_F(DryRunTest, AMissingTextFailsAsInTheRealRun) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 1)));
    CCheckReport report(CCheckReport::dryRun);
    EXPECT_FALSE(DryRun(report));
    EXPECT_EQ(target.m_message, " Can't open file\r\n" + TextPath());
}

TEST_F(DryRunTest, AConfirmedStopEndsTheDryRun) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 4)));
    WriteText(std::string(kHeader) + "x\r\nx\r\nx\r\nx\r\n");
    env.m_box.Answer(idYes);
    CScriptedProgress progress(2);
    CCheckReport report(CCheckReport::dryRun);
    EXPECT_FALSE(DryRun(report, false, &progress));
    EXPECT_EQ(target.m_message, "Stop ?");
    EXPECT_EQ(report.Lines().size(), 2u);
    EXPECT_EQ(progress.m_closes, 1);
}

} // namespace
