#include "engine/binary_to_text.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "vocabulary/message_box.h"
#include "definition/target_info.h"
#include "tests/common/allocation_failure.h"
#include "tests/common/test_support.h"
#include "tests/engine/engine_test_support.h"

namespace {

const char* const kExampleDefinition = "ID,4,R,u,1,ID\r\n"
                                       "Flags,1,R,2,4,F1 F2 F3 F4\r\n"
                                       "Name,8,N,s,1,Name\r\n";
const std::string kExampleRecord = Bytes({1, 0, 0, 0, 0x63, 'A', 'B', 'C', 0, 0, 0, 0, 0});

// A one-item record of n bytes whose single byte value is at offset 0: records numbered by
// their first byte.
std::string NumberedRecords(int count, int size) {
    std::string bytes;
    for (int r = 0; r < count; ++r) {
        bytes += static_cast<char>(r);
        bytes += std::string(static_cast<std::size_t>(size - 1), 'x');
    }
    return bytes;
}

const char* const kNumberedDefinition = "No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n";

class BinaryToTextTest : public ::testing::Test {
public:
    bool Load(const CTargetSetup& setup) { return LoadTarget(env, target, setup); }
    std::string BinaryPath() const { return env.m_folder.Path() + "data.bin"; }
    std::string TextPath() const { return env.m_folder.Path() + "text.csv"; }
    void WriteBinary(const std::string& bytes) { env.m_folder.Write("data.bin", bytes); }
    std::string Text() const { return ReadFile(TextPath()); }
    bool Convert(CScriptedProgress& progress) {
        target.m_message = "[ Binary => Text ]";
        return ConvertTargetToText(target, progress);
    }

    CTestEnvironment env;
    CTargetInfo target;
};

TEST_F(BinaryToTextTest, TheExampleRecordBecomesItsLine) {
    ASSERT_TRUE(Load(CTargetSetup(kExampleDefinition, 13)));
    WriteBinary(kExampleRecord);
    CScriptedProgress progress;
    EXPECT_TRUE(Convert(progress)) << target.m_message;
    EXPECT_EQ(target.m_message, "");
    EXPECT_EQ(Text(), "//ID,F1,F2,F3,F4,Name\r\n1,3,0,2,1,ABC\r\n");
    EXPECT_EQ(progress.m_starts, 1);
    EXPECT_EQ(progress.m_closes, 1);
    EXPECT_EQ(progress.m_refreshes.at(0).label, "[ Binary => Text ]");
    EXPECT_EQ(progress.m_refreshes.at(0).total, 1u);
    EXPECT_TRUE(progress.m_refreshes.at(0).recordUnit);
}

// Bytes before the start position and after the data end belong to no record; a line feed
// inside a cell becomes CR LF like every line end.
TEST_F(BinaryToTextTest, EveryRecordFromTheStartPositionGivesOneLine) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 3).StartAt(2).Delimiter("T")));
    WriteBinary("##" + Bytes({7, 'a', 'b', 'c', 8, 'd', '\n', 'e', 9, 'f', 0, 'g'}) + "trailer");
    CScriptedProgress progress;
    EXPECT_TRUE(Convert(progress)) << target.m_message;
    EXPECT_EQ(Text(), "//No\tRest\r\n7\tabc\r\n8\td\r\ne\r\n9\tf\r\n");
}

struct CellCase {
    const char* title;
    std::string definition;
    int recordSize;
    std::string record;
    std::string line;
    std::map<std::string, std::string> files {};
};

TEST_F(BinaryToTextTest, ItemsBecomeTheirCells) {
    const CellCase cases[] = {
        {"2-byte unsigned, N", "a,2,N,u,1,A\r\n", 2, Bytes({1, 2}), "258"},
        {"2-byte unsigned, R", "a,2,R,u,1,A\r\n", 2, Bytes({1, 2}), "513"},
        {"4-byte signed, N", "a,4,N,n,1,A\r\n", 4, Bytes({0xFF, 0xFF, 0xFF, 0xFE}), "-2"},
        {"4-byte signed, R", "a,4,R,n,1,A\r\n", 4, Bytes({0, 0, 0, 0x80}), "-2147483648"},
        {"3-byte signed, R, smallest", "a,3,R,n,1,A\r\n", 3, Bytes({0, 0, 0x80}), "-8388608"},
        {"3-byte signed, R, largest", "a,3,R,n,1,A\r\n", 3, Bytes({0xFF, 0xFF, 0x7F}), "8388607"},
        {"3-byte unsigned, N", "a,3,N,u,1,A\r\n", 3, Bytes({0x12, 0x34, 0x56}), "1193046"},
        {"1-byte unsigned, R", "a,1,R,u,1,A\r\n", 1, Bytes({1}), "1"},
        {"1-byte unsigned, N: bits reversed", "a,1,N,u,1,A\r\n", 1, Bytes({1}), "128"},
        {"1-byte signed, R", "a,1,R,n,1,A\r\n", 1, Bytes({0x80}), "-128"},
        {"2-byte signed, R", "a,2,R,n,1,A\r\n", 2, Bytes({0xFF, 0x7F}), "32767"},
        {"4-byte unsigned, R", "a,4,R,u,1,A\r\n", 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "4294967295"},
        {"bit fields from the least significant end", "a,1,R,3,3,A B C\r\n", 1, Bytes({0xB5}), "5,6,2"},
        {"bit fields of a 2-byte N item", "a,2,N,4,4,A B C D\r\n", 2, Bytes({0x12, 0x34}), "4,3,2,1"},
        {"31-bit fields of a 4-byte item", "a,4,R,31,2,A B\r\n", 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}),
         "2147483647,1"},
        {"text N up to the first zero", "a,6,N,s,1,A\r\n", 6, Bytes({'A', 'B', 'C', 0, 'D', 'E'}), "ABC"},
        {"text R swaps byte pairs", "a,6,R,s,1,A\r\n", 6, "BADCFE", "ABCDEF"},
        {"text R of odd length drops the last byte", "a,5,R,s,1,A\r\n", 5, "BADCE", "ABCD"},
        {"a text cell keeps the delimiter", "a,3,N,s,1,A\r\nb,1,R,u,1,B\r\n", 4, Bytes({'x', ',', 'y', 5}),
         "x,y,5"},
        {"a filler gives no cell", "a,1,R,u,1,A\r\nf,2,R,u,0,\r\nb,1,R,u,1,B\r\n", 4, Bytes({1, 2, 3, 4}), "1,4"},
        {"a code's meaning", "a,2,R,u,1,A,ok.tsv\r\nb,2,R,u,1,B,ok.tsv\r\n", 4, Bytes({3, 0, 7, 0}), "OK,7",
         {{"ok.tsv", "3\tOK\r\n"}}},
        {"a code missing from its table shows signed", "a,4,R,u,1,A,ok.tsv\r\n", 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}),
         "-1", {{"ok.tsv", "3\tOK\r\n"}}},
        {"signed meanings", "a,1,R,n,1,A,neg.tsv\r\n", 1, Bytes({0xFF}), "Minus one",
         {{"neg.tsv", "-1\tMinus one\r\n"}}},
        {"each bit field has its own table", "a,1,R,2,4,A B C D,one.tsv**two.tsv\r\n", 1, Bytes({0x25}), "One,1,Two,0",
         {{"one.tsv", "1\tOne\r\n"}, {"two.tsv", "2\tTwo\r\n"}}},
        {"code replacement in text", "a,6,N,s,1,A,kanji.tsv\r\n", 6, Bytes({'a', 0x82, 0xA0, 'b', 0, 0}), "aXb",
         {{"kanji.tsv", "33440\tX\r\n"}}},
    };
    for (const CellCase& c : cases) {
        SCOPED_TRACE(c.title);
        CTargetSetup setup(c.definition, c.recordSize);
        for (const auto& [name, contents] : c.files) setup.File(name, contents);
        ASSERT_TRUE(Load(setup));
        std::string line = "left over";
        EXPECT_TRUE(RecordToLine(target, reinterpret_cast<const std::uint8_t*>(c.record.data()), line));
        EXPECT_EQ(line, c.line);
    }
}

TEST_F(BinaryToTextTest, ASlotNamingNoTableGivesAnEmptyCell) {
    ASSERT_TRUE(Load(CTargetSetup("a,1,R,u,1,A\r\nb,1,R,u,1,B\r\n", 2)));
    target.m_recordDefinition.m_items[0].m_numberCodes[0] = 4;
    const std::string record = Bytes({3, 5});
    std::string line;
    EXPECT_TRUE(RecordToLine(target, reinterpret_cast<const std::uint8_t*>(record.data()), line));
    EXPECT_EQ(line, ",5");
}

// With TextQuoting=1, exactly the cells that would not read back unquoted stand in quotes:
// texts, replaced texts and meanings alike, however much longer the quotes make them.
TEST_F(BinaryToTextTest, WithQuotingTheCellsThatNeedQuotesGetThem) {
    const char* const definition = "Name,6,N,s,1,Name\r\nKind,1,R,u,1,Kind,kinds.tsv\r\nCode,3,N,s,1,Code,kanji.tsv\r\n";
    const struct {
        const char* title;
        std::string name;
        int kind;
        std::string code;
        std::string delimiter;
        std::string line;
    } cases[] = {
        {"nothing to quote", "a b", 2, "c", ",", "a b,Plain,c"},
        {"the delimiter", "a,b", 2, "c", ",", "\"a,b\",Plain,c"},
        {"a tab in a tab-delimited text", "a\tb", 2, "c", "T", "\"a\tb\"\tPlain\tc"},
        {"only quotes", "\"\"\"\"\"\"", 2, "c", ",", "\"" + std::string(12, '"') + "\",Plain,c"},
        {"a line break", "a\r\nb", 2, "c", ",", "\"a\r\nb\",Plain,c"},
        {"a blank at the start", " ab", 2, "c", ",", "\" ab\",Plain,c"},
        {"a meaning with the delimiter", "ab", 1, "c", ",", "ab,\"Sword, long\",c"},
        {"a replaced text with quotes", "ab", 2, "\x82\xA0" "c", ",", "ab,Plain,\"\"\"q\"\", \"\"q\"\"c\""},
        {"the end byte stays unquoted", "a\x1A", 2, "c", ",", "a\x1A,Plain,c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(Load(CTargetSetup(definition, 10)
                             .Delimiter(c.delimiter)
                             .Key("TextQuoting", "1")
                             .File("kinds.tsv", "1\tSword, long\r\n2\tPlain\r\n")
                             .File("kanji.tsv", "33440\t\"q\", \"q\"\r\n")));
        std::string record = c.name;
        record.resize(6, '\0');
        record += static_cast<char>(c.kind);
        record += c.code;
        record.resize(10, '\0');
        std::string line;
        EXPECT_TRUE(RecordToLine(target, reinterpret_cast<const std::uint8_t*>(record.data()), line));
        EXPECT_EQ(line, c.line);
    }
}

// Definitions refuse numeric items that cannot be read; an item changed behind the
// definition's back still fails the record rather than reading past it.
TEST_F(BinaryToTextTest, AnUnreadableItemFailsTheRecord) {
    ASSERT_TRUE(Load(CTargetSetup("a,6,N,s,1,A\r\n", 6)));
    const std::string record = "abcdef";
    std::string line;
    target.m_recordDefinition.m_items[0].m_conversionType = convUnsigned;
    EXPECT_FALSE(RecordToLine(target, reinterpret_cast<const std::uint8_t*>(record.data()), line));
    target.m_recordDefinition.m_items[0].m_conversionType = 0;
    EXPECT_FALSE(RecordToLine(target, reinterpret_cast<const std::uint8_t*>(record.data()), line));
    target.m_recordDefinition.m_items[0].m_length = 7;
    target.m_recordDefinition.m_items[0].m_conversionType = convText;
    EXPECT_FALSE(RecordToLine(target, reinterpret_cast<const std::uint8_t*>(record.data()), line));
}

TEST_F(BinaryToTextTest, RecordsFollowTheIndexList) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 10)
                         .Key("BRecordIndexListFilePath", "list.tsv")
                         .File("list.tsv", "1\r\n6\t3\r\n10\r\n")));
    WriteBinary(NumberedRecords(10, 4));
    CScriptedProgress progress;
    EXPECT_TRUE(Convert(progress)) << target.m_message;
    EXPECT_EQ(Text(), "//No,Rest\r\n5,xxx\r\n2,xxx\r\n9,xxx\r\n");
    EXPECT_EQ(progress.m_refreshes.at(0).total, 3u);
}

TEST_F(BinaryToTextTest, RecordsAreDecryptedFirst) {
    ASSERT_TRUE(Load(
        CTargetSetup(kExampleDefinition, 13).Key("B2TDecryptTableFileRP", "dec.tbl").File("dec.tbl", ShiftingTable())));
    std::string stored;
    for (const char plain : kExampleRecord) {
        // The byte that decrypts to the plain one.
        int b = 0;
        while (Shifted(static_cast<std::uint8_t>(b)) != static_cast<std::uint8_t>(plain)) ++b;
        stored += static_cast<char>(b);
    }
    WriteBinary(stored);
    CScriptedProgress progress;
    EXPECT_TRUE(Convert(progress)) << target.m_message;
    EXPECT_EQ(Text(), "//ID,F1,F2,F3,F4,Name\r\n1,3,0,2,1,ABC\r\n");
}

struct FailureCase {
    const char* title;
    std::function<void(BinaryToTextTest&)> arrange;
    std::function<std::string(BinaryToTextTest&)> message;
    int linesKept; // record lines after the header line
};

TEST_F(BinaryToTextTest, FailuresNameTheRecordBegun) {
    const FailureCase cases[] = {
        {"the file ends within record 7",
         [](BinaryToTextTest& t) { t.WriteBinary(NumberedRecords(6, 4) + "xy"); },
         [](BinaryToTextTest& t) { return "Error At line 7. Can't read file\r\n" + t.BinaryPath(); }, 6},
        {"the file is shorter than one record", [](BinaryToTextTest& t) { t.WriteBinary("abc"); },
         [](BinaryToTextTest& t) { return "Error At line 1. Can't read file\r\n" + t.BinaryPath(); }, 0},
        {"the binary file is missing", [](BinaryToTextTest& t) { std::filesystem::remove(t.BinaryPath()); },
         [](BinaryToTextTest& t) { return "Error  Can't open file\r\n2 " + CFileException::Describe(2, t.BinaryPath()); }, -1},
        {"the text file cannot be opened",
         [](BinaryToTextTest& t) {
             t.WriteBinary(NumberedRecords(10, 4));
             t.target.m_fileInfo.m_textFilePath = t.env.m_folder.Path();
         },
         [](BinaryToTextTest& t) { return "Can't open file\r\n5 " + CFileException::Describe(5, t.env.m_folder.Path()); }, -1},
        {"a record that gives no line",
         [](BinaryToTextTest& t) {
             t.WriteBinary(NumberedRecords(10, 4));
             t.target.m_recordDefinition.m_items[1].m_conversionType = 0;
         },
         [](BinaryToTextTest&) { return std::string("Error At line 1. System"); }, 0},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 10)));
        // A text file that was there keeps the lines written; one the run created goes again.
        env.m_folder.Write("text.csv", "previous");
        c.arrange(*this);
        CScriptedProgress progress;
        EXPECT_FALSE(Convert(progress));
        EXPECT_EQ(target.m_message, c.message(*this));
        EXPECT_EQ(progress.m_closes, progress.m_starts);
        if (c.linesKept < 0) continue;
        std::string expected = "//No,Rest\r\n";
        for (int r = 0; r < c.linesKept; ++r) expected += std::to_string(r) + ",xxx\r\n";
        EXPECT_EQ(Text(), expected);
    }
}

TEST_F(BinaryToTextTest, FailureTextsUseTheTranslatedWords) {
    env.Translate("msg.Error=Fehler\r\n");
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 10)));
    WriteBinary(NumberedRecords(6, 4) + "xy");
    CScriptedProgress progress;
    EXPECT_FALSE(Convert(progress));
    EXPECT_EQ(target.m_message, "Fehler At line 7. Can't read file\r\n" + BinaryPath());
}

// A seek failure of the index list comes before the note of its record is set.
TEST_F(BinaryToTextTest, AnIndexEntryBeyondTheRecordsCannotBeSought) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 10)
                         .Key("BRecordIndexListFilePath", "list.tsv")
                         .File("list.tsv", "0\r\n4\r\n10\r\n")));
    WriteBinary(NumberedRecords(12, 4));
    env.m_folder.Write("text.csv", "previous");
    CScriptedProgress progress;
    EXPECT_FALSE(Convert(progress));
    EXPECT_EQ(target.m_message, "Error At line 1. Can't seek file position");
    EXPECT_EQ(Text(), "//No,Rest\r\n4,xxx\r\n");
}

TEST_F(BinaryToTextTest, AConfirmedStopKeepsTheLinesWrittenBeforeIt) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 10)));
    WriteBinary(NumberedRecords(10, 4));
    env.m_box.Answer(idYes);
    CScriptedProgress progress(3);
    EXPECT_FALSE(Convert(progress));
    EXPECT_EQ(target.m_message, "Stop ?");
    ASSERT_EQ(env.m_box.m_shown.size(), 1u);
    EXPECT_EQ(env.m_box.m_shown[0].text, "Stop ?");
    EXPECT_EQ(env.m_box.m_shown[0].style, unsigned(mbQuestion));
    EXPECT_EQ(Text(), "//No,Rest\r\n0,xxx\r\n1,xxx\r\n2,xxx\r\n");
    EXPECT_EQ(progress.m_closes, 1);
}

TEST_F(BinaryToTextTest, AStopAnsweredNoGoesOn) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 10)));
    WriteBinary(NumberedRecords(10, 4));
    env.m_box.Answer(idNo);
    CScriptedProgress progress(3);
    EXPECT_TRUE(Convert(progress)) << target.m_message;
    EXPECT_EQ(env.m_box.m_shown.size(), 1u);
    EXPECT_EQ(target.m_message, "");
    EXPECT_EQ(Text().size(), std::string("//No,Rest\r\n").size() + 10 * 7);
}

// Whichever allocation fails, the run ends with the shortage in its message, the lines
// written before it kept.
TEST_F(BinaryToTextTest, AMemoryShortageFailsTheRun) {
    ASSERT_TRUE(Load(CTargetSetup(kExampleDefinition, 13, 2)
                         .Key("B2TDecryptTableFileRP", "dec.tbl")
                         .File("dec.tbl", ReversingTable())));
    std::string stored;
    for (const char plain : kExampleRecord + kExampleRecord)
        stored += static_cast<char>(Reversed(static_cast<std::uint8_t>(plain)));
    WriteBinary(stored);
    const std::string header = "//ID,F1,F2,F3,F4,Name\r\n";
    const std::string line = "1,3,0,2,1,ABC\r\n";
    int shortages = 0;
    for (long before = 0;; ++before) {
        SCOPED_TRACE(before);
        CScriptedProgress progress;
        target.m_message = "job";
        FailAllocationAfter(before);
        const bool converted = ConvertTargetToText(target, progress);
        if (!DisarmAllocationFailure()) {
            EXPECT_TRUE(converted);
            EXPECT_EQ(Text(), header + line + line);
            break;
        }
        ++shortages;
        EXPECT_FALSE(converted);
        EXPECT_FALSE(progress.IsOpen());
        const std::string& message = target.m_message;
        // Opening the text file takes the run's first allocations.
        if (message.rfind("Can't open file\r\n", 0) != 0) {
            EXPECT_EQ(message.rfind("Error ", 0), 0u) << message;
        }
        if (before == 0) {
            EXPECT_EQ(message, "Can't open file\r\nMemory short");
        }
        EXPECT_EQ(message.substr(message.size() - 12), "Memory short") << message;
        // Whole lines only; the display's own shortage may come after the last one.
        const std::string text = Text();
        EXPECT_TRUE(text == "" || text == header || text == header + line || text == header + line + line) << text;
    }
    EXPECT_GT(shortages, 2);
}

} // namespace
