#include "engine/round_trip_check.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "vocabulary/message_box.h"
#include "definition/target_info.h"
#include "engine/check_report.h"
#include "tests/common/test_support.h"
#include "tests/engine/engine_test_support.h"

namespace {

// Records of 3 bytes: a number and a text of two bytes.
const char* const kNumberedDefinition = "No,1,R,u,1,No\r\nName,2,N,s,1,Name\r\n";

struct ReasonCase {
    const char* title;
    std::string definition;
    std::string record;
    std::string line; // the report line, or "" for a record that comes back
    std::map<std::string, std::string> files {};
    std::string delimiter = ",";
};

class RoundTripCheckTest : public ::testing::Test {
public:
    bool Load(const CTargetSetup& setup) { return LoadTarget(env, target, setup); }
    std::string BinaryPath() const { return env.m_folder.Path() + "data.bin"; }
    std::string TextPath() const { return env.m_folder.Path() + "text.csv"; }
    void WriteBinary(const std::string& bytes) { env.m_folder.Write("data.bin", bytes); }
    bool Check(CCheckReport& report, CScriptedProgress& progress) {
        target.m_message = "[ Check ]";
        return CheckRoundTrip(target, report, progress);
    }
    bool Check(CCheckReport& report) {
        CScriptedProgress progress;
        return Check(report, progress);
    }
    // Loads the case's target, with TextQuoting=1 or without, and checks its record.
    void CheckCase(const ReasonCase& c, bool quoting, CCheckReport& report) {
        CTargetSetup setup(c.definition, static_cast<int>(c.record.size()));
        setup.Delimiter(c.delimiter);
        if (quoting) setup.Key("TextQuoting", "1");
        for (const auto& [name, contents] : c.files) setup.File(name, contents);
        ASSERT_TRUE(Load(setup));
        WriteBinary(c.record);
        EXPECT_TRUE(Check(report)) << target.m_message;
        EXPECT_EQ(target.m_message, "");
    }

    CTestEnvironment env;
    CTargetInfo target;
};

const char* const kNumberAndName = "No,1,R,u,1,No\r\nName,4,N,s,1,Name\r\n";

// Every reason with its record, item and bytes: byte offsets count within the record.
const std::vector<ReasonCase>& ReasonCases() {
    static const std::vector<ReasonCase> cases = {
        {"a text up to its end comes back", kNumberAndName, Bytes({7, 'A', 'B', 0, 0}), ""},
        {"a full text comes back", kNumberAndName, Bytes({7, 'A', 'B', 'C', 'D'}), ""},
        {"text after its end, N", kNumberAndName, Bytes({7, 'A', 0, 'x', 0}),
         "At line 1. Name, byte 3: 78 => 00 (text after its end)."},
        {"text after an empty text", kNumberAndName, Bytes({7, 0, 'x', 0, 'y'}),
         "At line 1. Name, bytes 2-4: 78 00 79 => 00 00 00 (text after its end)."},
        {"text after its end, R", "Name,4,R,s,1,Name\r\n", Bytes({'B', 'A', 'x', 0}),
         "At line 1. Name, byte 2: 78 => 00 (text after its end)."},
        {"an odd R text ending at its pair's zero comes back", "Name,5,R,s,1,Name\r\n", Bytes({'B', 'A', 0, 'C', 0}),
         ""},
        {"odd last byte", "Name,5,R,s,1,Name\r\n", Bytes({'B', 'A', 'D', 'C', 'Z'}),
         "At line 1. Name, byte 4: 5A => 00 (odd last byte)."},
        {"odd last byte and text after its end", "Name,5,R,s,1,Name\r\n", Bytes({0, 'A', 'x', 0, 'Z'}),
         "At line 1. Name, bytes 2-4: 78 00 5A => 00 00 00 (text after its end, odd last byte)."},
        {"bits outside the fields", "Flags,1,R,2,3,F1 F2 F3\r\n", Bytes({0xE4}),
         "At line 1. Flags, byte 0: E4 => 24 (bits outside the fields)."},
        {"bits outside the fields of an N item", "Flags,2,N,4,3,F1 F2 F3\r\n", Bytes({0x91, 0x23}),
         "At line 1. Flags, byte 0: 91 => 01 (bits outside the fields)."},
        {"bit fields that fill the item come back", "Flags,1,R,2,4,F1 F2 F3 F4\r\n", Bytes({0xE4}), ""},
        {"shared meaning of a number", "Kind,1,R,u,1,Kind,kinds.tsv\r\n", Bytes({2}),
         "At line 1. Kind, byte 0: 02 => 01 (shared meaning).", {{"kinds.tsv", "1\tSword\r\n2\tSword\r\n"}}},
        {"the first code of a shared meaning comes back", "Kind,1,R,u,1,Kind,kinds.tsv\r\n", Bytes({1}), "",
         {{"kinds.tsv", "1\tSword\r\n2\tSword\r\n"}}},
        {"a number shown as the meaning of another code", "Kind,1,R,u,1,Kind,kinds.tsv\r\n", Bytes({2}),
         "At line 1. Kind, byte 0: 02 => 01 (shared meaning).", {{"kinds.tsv", "1\t2\r\n"}}},
        {"shared meaning of a bit field", "Flags,1,R,4,2,Lo Hi,*kinds.tsv\r\n", Bytes({0x23}),
         "At line 1. Flags, byte 0: 23 => 13 (shared meaning).", {{"kinds.tsv", "1\tOn\r\n2\tOn\r\n"}}},
        {"shared meaning in a text", "Name,4,N,s,1,Name,kanji.tsv\r\n", Bytes({0x82, 0xA1, 'a', 0}),
         "At line 1. Name, byte 1: A1 => A0 (shared meaning).", {{"kanji.tsv", "33440\tX\r\n33441\tX\r\n"}}},
        {"the delimiter in a cell", kNumberAndName, Bytes({7, 'A', ',', 'B', 0}),
         "At line 1. Name, bytes 1-4: 41 2C 42 00 (delimiter or line break in a cell). Would fail: Item Num"},
        {"a tab in a cell of a tab-delimited text", kNumberAndName, Bytes({7, 'A', '\t', 'B', 0}),
         "At line 1. Name, bytes 1-4: 41 09 42 00 (delimiter or line break in a cell). Would fail: Item Num", {}, "T"},
        {"a comma in a cell of a tab-delimited text comes back", kNumberAndName, Bytes({7, 'A', ',', 'B', 0}), "", {},
         "T"},
        {"the delimiter of a meaning", "Kind,1,R,u,1,Kind,kinds.tsv\r\nNo,1,R,u,1,No\r\n", Bytes({1, 5}),
         "At line 1. Kind, byte 0: 01 (delimiter or line break in a cell). Would fail: Item Num",
         {{"kinds.tsv", "1\tSword, long\r\n"}}},
        {"a line break in a cell", kNumberAndName, Bytes({7, 'A', '\n', 'B', 0}),
         "At line 1. Name, bytes 1-4: 41 0A 42 00 (delimiter or line break in a cell). Would not read back as one "
         "line."},
        {"the end byte of a text file in a cell", kNumberAndName, Bytes({7, 'A', 0x1A, 0, 0}),
         "At line 1. Name, bytes 1-4: 41 1A 00 00 (end-of-text byte 1A in a cell). Would not read back as one line."},
        {"a comment mark in the last cell", kNumberAndName, Bytes({7, 'a', '/', '/', 'b'}),
         "At line 1. Name, bytes 2-4: 2F 2F 62 => 00 00 00 (comment mark // in a cell)."},
        {"a comment mark in a cell before the last", "Name,4,N,s,1,Name\r\nNo,1,R,u,1,No\r\n",
         Bytes({'a', '/', '/', 0, 7}),
         "At line 1. Name, bytes 0-3: 61 2F 2F 00 (comment mark // in a cell). Would fail: Item Num"},
        {"a comment mark at the start of the line", "Name,4,N,s,1,Name\r\nNo,1,R,u,1,No\r\n",
         Bytes({'/', '/', 'x', 0, 7}),
         "At line 1. Name, bytes 0-3: 2F 2F 78 00 (comment mark // in a cell). Would be skipped as an empty line or "
         "a comment."},
        {"blanks at the start of a cell", kNumberAndName, Bytes({7, ' ', 'A', 'B', 0}),
         "At line 1. Name, bytes 1-3: 20 41 42 => 41 42 00 (blanks at the edge of a cell)."},
        {"a tab at the end of a cell", kNumberAndName, Bytes({7, 'A', '\t', 0, 0}),
         "At line 1. Name, byte 2: 09 => 00 (blanks at the edge of a cell)."},
        {"a tab inside a cell comes back", kNumberAndName, Bytes({7, 'A', '\t', 'B', 0}), ""},
        {"CR LF in a cell", kNumberAndName, Bytes({7, 'a', '\r', '\n', 0}),
         "At line 1. Name, bytes 1-4: 61 0D 0A 00 (delimiter or line break in a cell). Would not read back as one "
         "line."},
        {"an R text beginning the line with a blank, a line break and a comment mark",
         "Name,6,R,s,1,Name\r\nNo,1,R,u,1,No\r\n", Bytes({',', ' ', '\n', '"', '/', '/', 5}),
         "At line 1. Name, bytes 0-5: 2C 20 0A 22 2F 2F (delimiter or line break in a cell). Would not read back as "
         "one line."},
        {"an empty line", "Name,2,N,s,1,Name\r\n", Bytes({0, 'x'}),
         "At line 1. Would be skipped as an empty line or a comment."},
        {"a code missing from its table comes back as a number", "Big,4,R,u,1,Big,big.tsv\r\n",
         Bytes({0xFE, 0xFF, 0xFF, 0xFF}), "", {{"big.tsv", "1\tOne\r\n"}}},
        {"two items in one record", "Name,2,N,s,1,Name\r\nFlags,1,R,3,2,F1 F2\r\n", Bytes({0, 'x', 0xC0}),
         "At line 1. Name, byte 1: 78 => 00 (text after its end); Flags, byte 2: C0 => 00 (bits outside the "
         "fields)."},
        {"a long item shows its first bytes", "Name,20,N,s,1,Name\r\n",
         Bytes({'A', 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}),
         "At line 1. Name, bytes 2-19: 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 ... => 00 00 00 00 00 00 00 "
         "00 00 00 00 00 00 00 00 00 ... (text after its end)."},
    };
    return cases;
}

TEST_F(RoundTripCheckTest, EachLossIsNamedWithItsItemBytesAndReason) {
    for (const ReasonCase& c : ReasonCases()) {
        SCOPED_TRACE(c.title);
        CCheckReport report(CCheckReport::roundTrip);
        CheckCase(c, false, report);
        const std::vector<std::string> expected =
            c.line.empty() ? std::vector<std::string>() : std::vector<std::string> {c.line};
        EXPECT_EQ(report.Lines(), expected);
        EXPECT_EQ(report.Clean(), c.line.empty());
        EXPECT_EQ(ReadFile(BinaryPath()), c.record);
    }
}

// Every record that the check finds losing bytes to what a cell holds (a delimiter, a line break,
// a comment mark, blanks at an edge) comes back with TextQuoting=1: the check finds nothing, and
// the bytes come back through both conversions. Only a first cell that begins with a comment mark
// still makes its line a comment; the end byte still ends a text-mode file.
TEST_F(RoundTripCheckTest, WithQuotingTheCellLossesComeBack) {
    std::size_t lost = 0;
    for (const ReasonCase& c : ReasonCases()) {
        if (c.line.find(" a cell)") == std::string::npos) continue;
        SCOPED_TRACE(c.title);
        const bool stillLost = c.record.starts_with("//") || c.line.find("end-of-text") != std::string::npos;
        lost += !stillLost;
        CCheckReport report(CCheckReport::roundTrip);
        CheckCase(c, true, report);
        EXPECT_EQ(report.Lines(), stillLost ? std::vector<std::string> {c.line} : std::vector<std::string>());
        if (stillLost) continue;

        CScriptedProgress progress;
        ASSERT_TRUE(ConvertTargetToText(target, progress)) << target.m_message;
        const std::string text = ReadFile(TextPath());
        WriteBinary(std::string(c.record.size(), '\xEE'));
        ASSERT_TRUE(ConvertTargetToBinary(target, progress)) << target.m_message;
        EXPECT_EQ(Hex(ReadFile(BinaryPath())), Hex(c.record));
        ASSERT_TRUE(ConvertTargetToText(target, progress)) << target.m_message;
        EXPECT_EQ(ReadFile(TextPath()), text);
    }
    EXPECT_EQ(lost, 10u);
}

TEST_F(RoundTripCheckTest, ALosslessFileReportsNothing) {
    // Every kind of item, fillers holding bytes no text carries, and the records stored through
    // code tables.
    ASSERT_TRUE(Load(CTargetSetup("ID,4,R,u,1,ID\r\nLevel,2,R,n,1,Level\r\nPrice,3,N,u,1,Price\r\n"
                                  "Flags,1,R,2,4,F1 F2 F3 F4\r\nKind,1,R,u,1,Kind,kinds.tsv\r\nPad,3,R,u,0,\r\n"
                                  "Name,6,R,s,1,Name\r\n",
                                  20, 3)
                         .StartAt(2)
                         .Key("B2TDecryptTableFileRP", "dec.tbl")
                         .File("dec.tbl", ShiftingTable())
                         .File("kinds.tsv", "0\tSword\r\n1\tShield\r\n")));
    std::string plain;
    plain += Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0, 1, 0, 0xE4, 0, 0xAA, 0xBB, 0xCC, 'B', 'A', 'D', 'C', 0, 'E'});
    plain += Bytes({2, 0, 0, 0, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0x1B, 1, 0x01, 0x02, 0x03, 0, 0, 0, 0, 0, 0});
    plain += Bytes({3, 0, 0, 0, 0x34, 0x12, 0, 0, 9, 0x00, 7, 0xFF, 0xFF, 0xFF, 'b', 'a', 0, 0, 0, 0});
    // Stored so that the decryption table, which adds 77, gives the plain bytes.
    std::string stored;
    for (const char c : plain) stored += static_cast<char>(static_cast<std::uint8_t>(c) - 77);
    WriteBinary("<>" + stored + "tail");
    CScriptedProgress progress;
    CCheckReport report(CCheckReport::roundTrip);
    EXPECT_TRUE(Check(report, progress)) << target.m_message;
    EXPECT_TRUE(report.Clean());
    EXPECT_EQ(report.Lines(), std::vector<std::string>());
    EXPECT_EQ(report.Text(), "3 records checked, 0 would change, 0 would fail.");
    EXPECT_EQ(progress.m_refreshes.at(0).label, "[ Check ]");
    EXPECT_EQ(progress.m_refreshes.back().count, 3u);
    EXPECT_EQ(progress.m_closes, 1);
    EXPECT_EQ(ReadFile(BinaryPath()), "<>" + stored + "tail");
}

// The report shows the bytes as stored, and compares them after encrypting the round trip.
TEST_F(RoundTripCheckTest, EncryptedRecordsShowTheirStoredBytes) {
    ASSERT_TRUE(Load(CTargetSetup("Name,4,N,s,1,Name\r\n", 4, 2)
                         .Key("B2TDecryptTableFileRP", "dec.tbl")
                         .File("dec.tbl", ReversingTable())));
    std::string stored;
    for (const char c : Bytes({'A', 'B', 0, 0, 'A', 0, 'x', 0}))
        stored += static_cast<char>(Reversed(static_cast<std::uint8_t>(c)));
    WriteBinary(stored);
    CCheckReport report(CCheckReport::roundTrip);
    EXPECT_TRUE(Check(report)) << target.m_message;
    EXPECT_EQ(report.Lines(), std::vector<std::string> {"At line 2. Name, byte 2: 87 => FF (text after its end)."});
    EXPECT_EQ(report.Text(), "At line 2. Name, byte 2: 87 => FF (text after its end).\r\n"
                             "2 records checked, 1 would change, 0 would fail.");
}

// With a record index list, the records are those of the list, each named also by its number.
TEST_F(RoundTripCheckTest, IndexListRecordsAreNamedByTheirNumbers) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 3, 5)
                         .Key("BRecordIndexListFilePath", "list.tsv")
                         .File("list.tsv", "0\r\n3\r\n1\r\n")));
    WriteBinary(Bytes({0, 'a', 0, 1, 0, 'x', 2, 'b', 0, 3, 0, 'y', 4, 'c', 0}));
    CCheckReport report(CCheckReport::roundTrip);
    EXPECT_TRUE(Check(report)) << target.m_message;
    EXPECT_EQ(report.Lines(), (std::vector<std::string> {
                                  "At line 1. Record 3. Name, byte 2: 79 => 00 (text after its end).",
                                  "At line 2. Record 1. Name, byte 2: 78 => 00 (text after its end).",
                              }));
    EXPECT_EQ(report.Text().substr(report.Text().rfind('\n') + 1), "2 records checked, 2 would change, 0 would fail.");
}

TEST_F(RoundTripCheckTest, OnlyTheFirstProblemsAreKept) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 3, 4)));
    WriteBinary(Bytes({0, 0, 'a', 1, 0, 'b', 2, 'c', 0, 3, 0, 'd'}));
    CCheckReport report(CCheckReport::roundTrip, 2);
    EXPECT_TRUE(Check(report)) << target.m_message;
    EXPECT_EQ(report.Text(), "At line 1. Name, byte 2: 61 => 00 (text after its end).\r\n"
                             "At line 2. Name, byte 2: 62 => 00 (text after its end).\r\n"
                             "... and 1 more, 3 problems in all\r\n"
                             "4 records checked, 3 would change, 0 would fail.");
}

TEST_F(RoundTripCheckTest, AFileShorterThanItsRecordsFailsAtTheMissingRecord) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 3, 4)));
    WriteBinary(Bytes({0, 'a', 0, 1, 0, 'b', 2, 'c'}));
    CScriptedProgress progress;
    CCheckReport report(CCheckReport::roundTrip);
    EXPECT_FALSE(Check(report, progress));
    EXPECT_EQ(target.m_message, "Error At line 3. Can't read file\r\n" + BinaryPath());
    EXPECT_EQ(report.Lines(), std::vector<std::string> {"At line 2. Name, byte 2: 62 => 00 (text after its end)."});
    EXPECT_EQ(progress.m_closes, 1);

    target.m_fileInfo.m_binaryFilePath = env.m_folder.Path() + "missing.bin";
    EXPECT_FALSE(Check(report));
    EXPECT_EQ(target.m_message.rfind("Error  Can't open file\r\n2 ", 0), 0u) << target.m_message;
}

TEST_F(RoundTripCheckTest, AConfirmedStopEndsTheCheck) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 3, 4)));
    WriteBinary(Bytes({0, 0, 'a', 1, 0, 'b', 2, 0, 'c', 3, 0, 'd'}));
    env.m_box.Answer(idYes);
    CScriptedProgress progress(2);
    CCheckReport report(CCheckReport::roundTrip);
    EXPECT_FALSE(Check(report, progress));
    EXPECT_EQ(target.m_message, "Stop ?");
    EXPECT_EQ(report.Lines().size(), 2u);
    EXPECT_EQ(progress.m_closes, 1);
}

} // namespace
