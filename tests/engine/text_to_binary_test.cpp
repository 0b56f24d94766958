#include "engine/text_to_binary.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "vocabulary/failure.h"
#include "vocabulary/message_box.h"
#include "definition/record_index_list.h"
#include "definition/target_info.h"
#include "support/table_file_reader.h"
#include "tests/common/allocation_failure.h"
#include "tests/common/test_support.h"
#include "tests/engine/engine_test_support.h"

namespace {

const char* const kExampleDefinition = "ID,4,R,u,1,ID\r\n"
                                       "Flags,1,R,2,4,F1 F2 F3 F4\r\n"
                                       "Name,8,N,s,1,Name\r\n";
const std::string kExampleRecord = Bytes({1, 0, 0, 0, 0x63, 'A', 'B', 'C', 0, 0, 0, 0, 0});

// Records of 4 bytes: a number in the first byte and three letters.
const char* const kNumberedDefinition = "No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n";
const char* const kNumberedHeader = "//No,Rest\r\n";

// n old records of 4 bytes: 0xEE and "old".
std::string OldRecords(int count) {
    std::string bytes;
    for (int r = 0; r < count; ++r) bytes += "\xEEold";
    return bytes;
}

std::string NewRecord(int number) { return static_cast<char>(number) + std::string("new"); }

// Data lines numbered from `from` that write NewRecord(n).
std::string NewLines(int from, int count) {
    std::string lines;
    for (int n = from; n < from + count; ++n) lines += std::to_string(n) + ",new\r\n";
    return lines;
}

class TextToBinaryTest : public ::testing::Test {
public:
    bool Load(const CTargetSetup& setup) { return LoadTarget(env, target, setup); }
    std::string BinaryPath() const { return env.m_folder.Path() + "data.bin"; }
    std::string TextPath() const { return env.m_folder.Path() + "text.csv"; }
    void WriteBinary(const std::string& bytes) { env.m_folder.Write("data.bin", bytes); }
    void WriteText(const std::string& text) { env.m_folder.Write("text.csv", text); }
    std::string Binary() const { return ReadFile(BinaryPath()); }
    bool Convert(CScriptedProgress& progress, bool firstColumnIsIndex = false, bool writeIndexList = false) {
        target.m_message = "[ Text => Binary ]";
        return ConvertTargetToBinary(target, progress, firstColumnIsIndex, writeIndexList);
    }
    bool Convert() {
        CScriptedProgress progress;
        return Convert(progress);
    }

    CTestEnvironment env;
    CTargetInfo target;
};

TEST_F(TextToBinaryTest, TheExampleLineBecomesItsRecord) {
    ASSERT_TRUE(Load(CTargetSetup(kExampleDefinition, 13)));
    WriteText("//ID,F1,F2,F3,F4,Name\r\n1,3,0,2,1,ABC\r\n");
    CScriptedProgress progress;
    EXPECT_TRUE(Convert(progress)) << target.m_message;
    EXPECT_EQ(target.m_message, "");
    // The driver's open mode creates a missing binary file.
    EXPECT_EQ(Hex(Binary()), Hex(kExampleRecord));
    EXPECT_EQ(progress.m_refreshes.at(0).label, "[ Text => Binary ]");
    EXPECT_EQ(progress.m_refreshes.at(0).total, 1u);
    EXPECT_EQ(progress.m_closes, 1);
}

// Bytes before the start position and after the data end belong to no record.
TEST_F(TextToBinaryTest, LinesFillTheRecordsFromTheStartPositionInPlace) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 2).StartAt(3).Delimiter("T")));
    WriteBinary("abc" + OldRecords(2) + "trailer");
    WriteText("//No\tRest\r\n\r\n// a comment\r\n 5 \t  ab  \r\n6\tcde\r\n");
    EXPECT_TRUE(Convert()) << target.m_message;
    EXPECT_EQ(Binary(), "abc" + Bytes({5, 'a', 'b', 0, 6, 'c', 'd', 'e'}) + "trailer");
}

struct RecordCase {
    const char* title;
    std::string definition;
    int recordSize;
    std::string line;     // fields joined by commas
    std::string expected; // the record's bytes, or the failure text
    std::map<std::string, std::string> files {};
};

TEST_F(TextToBinaryTest, FieldsBecomeTheirItems) {
    const RecordCase cases[] = {
        {"1-byte signed, smallest", "a,1,R,n,1,A\r\n", 1, "-128", Bytes({0x80})},
        {"1-byte signed, largest", "a,1,R,n,1,A\r\n", 1, "127", Bytes({0x7F})},
        {"1-byte unsigned, largest", "a,1,R,u,1,A\r\n", 1, "255", Bytes({0xFF})},
        {"1-byte unsigned, N reverses the bits", "a,1,N,u,1,A\r\n", 1, "1", Bytes({0x80})},
        {"2-byte unsigned, N", "a,2,N,u,1,A\r\n", 2, "258", Bytes({1, 2})},
        {"2-byte unsigned, R", "a,2,R,u,1,A\r\n", 2, "513", Bytes({1, 2})},
        {"2-byte signed, R", "a,2,R,n,1,A\r\n", 2, "-32768", Bytes({0, 0x80})},
        {"3-byte signed, R", "a,3,R,n,1,A\r\n", 3, "-1", Bytes({0xFF, 0xFF, 0xFF})},
        {"3-byte signed, N", "a,3,N,n,1,A\r\n", 3, "-8388608", Bytes({0x80, 0, 0})},
        {"3-byte unsigned keeps the low bytes", "a,3,R,u,1,A\r\n", 3, "2147483647", Bytes({0xFF, 0xFF, 0xFF})},
        {"4-byte signed, smallest", "a,4,R,n,1,A\r\n", 4, "-2147483648", Bytes({0, 0, 0, 0x80})},
        {"4-byte signed, N", "a,4,N,n,1,A\r\n", 4, "-2", Bytes({0xFF, 0xFF, 0xFF, 0xFE})},
        {"4-byte unsigned, largest", "a,4,R,u,1,A\r\n", 4, "4294967295", Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {"4-byte unsigned, -1", "a,4,N,u,1,A\r\n", 4, "-1", Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {"bit fields from the least significant end", "a,1,R,3,3,A B C\r\n", 1, "5,6,2", Bytes({0xB5})},
        {"bit fields of a 2-byte N item", "a,2,N,4,4,A B C D\r\n", 2, "4,3,2,1", Bytes({0x12, 0x34})},
        {"31-bit fields", "a,4,R,31,2,A B\r\n", 4, "2147483647,1", Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {"text N is cut at the length", "a,4,N,s,1,A\r\n", 4, "ABCDEF", "ABCD"},
        {"text N is padded with zeros", "a,4,N,s,1,A\r\n", 4, "AB", Bytes({'A', 'B', 0, 0})},
        {"text R swaps byte pairs", "a,4,R,s,1,A\r\n", 4, "ABCD", "BADC"},
        {"text R pairs an odd last character with a zero", "a,4,R,s,1,A\r\n", 4, "ABC",
         Bytes({'B', 'A', 0, 'C'})},
        {"text R of odd length leaves out its last byte", "a,5,R,s,1,A\r\n", 5, "ABCDE",
         Bytes({'B', 'A', 'D', 'C', 0})},
        {"an empty text", "a,2,N,s,1,A\r\nb,1,R,u,1,B\r\n", 3, ",9", Bytes({0, 0, 9})},
        {"a meaning", "a,2,R,u,1,A,ok.tsv\r\n", 2, "OK", Bytes({3, 0}), {{"ok.tsv", "3\tOK\r\n"}}},
        {"a number where a table is", "a,2,R,u,1,A,ok.tsv\r\n", 2, "7", Bytes({7, 0}), {{"ok.tsv", "3\tOK\r\n"}}},
        {"a 4-byte meaning", "a,4,R,u,1,A,ok.tsv\r\n", 4, "OK", Bytes({3, 0, 0, 0}), {{"ok.tsv", "3\tOK\r\n"}}},
        {"each bit field has its own table", "a,1,R,2,4,A B C D,one.tsv**two.tsv\r\n", 1, "One,1,Two,0",
         Bytes({0x25}), {{"one.tsv", "1\tOne\r\n"}, {"two.tsv", "2\tTwo\r\n"}}},
        {"code replacement in text", "a,6,N,s,1,A,kanji.tsv\r\n", 6, "aXb", Bytes({'a', 0x82, 0xA0, 'b', 0, 0}),
         {{"kanji.tsv", "33440\tX\r\n"}}},
        {"1-byte signed beyond its range", "a,1,R,n,1,A\r\n", 1, "128", "Range"},
        {"1-byte unsigned beyond its range", "a,1,R,u,1,A\r\n", 1, "256", "Range"},
        {"2-byte unsigned below its range", "a,2,R,u,1,A\r\n", 2, "-1", "Range"},
        {"a bit field beyond its width", "a,1,R,3,3,A B C\r\n", 1, "5,8,2", "Range"},
        {"letters that are no meaning", "a,2,R,u,1,A,ok.tsv\r\n", 2, "Fine", "CodeReplacement",
         {{"ok.tsv", "3\tOK\r\n"}}},
        {"letters without a table", "a,1,R,n,1,A\r\n", 1, "x", "CodeReplacement"},
        {"letters for a 4-byte unsigned item", "a,4,R,u,1,A\r\n", 4, "x", "Range"},
        {"4-byte unsigned beyond its range", "a,4,R,u,1,A\r\n", 4, "4294967296", "Range"},
        {"a field too few", "a,1,R,3,3,A B C\r\n", 1, "5,6", "Item Num"},
        {"a field too many", "a,1,R,u,1,A\r\n", 1, "5,6", "Item Num"},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.title);
        CTargetSetup setup(c.definition, c.recordSize);
        for (const auto& [name, contents] : c.files) setup.File(name, contents);
        ASSERT_TRUE(Load(setup));
        std::vector<std::string_view> fields;
        SplitFields(",", c.line, fields, false);
        std::string record(static_cast<std::size_t>(c.recordSize) + 1, '\xEE');
        std::string result;
        try {
            LineToRecord(target, reinterpret_cast<std::uint8_t*>(record.data()),
                         static_cast<std::uint32_t>(c.recordSize), fields);
            result = record.substr(0, static_cast<std::size_t>(c.recordSize));
            EXPECT_EQ(record.back(), '\xEE');
        } catch (...) {
            result = FailureText();
        }
        EXPECT_EQ(Hex(result), Hex(c.expected)) << result;
    }
}

TEST_F(TextToBinaryTest, FillersKeepTheBytesOfTheRecordBuffer) {
    ASSERT_TRUE(Load(CTargetSetup("a,1,R,u,1,A\r\nf,2,R,u,0,\r\nb,1,R,u,1,B\r\n", 4)));
    std::vector<std::string_view> fields {"1", "4"};
    std::string record = "\xEE\xEE\xEE\xEE";
    LineToRecord(target, reinterpret_cast<std::uint8_t*>(record.data()), 4, fields);
    EXPECT_EQ(Hex(record), "01 EE EE 04");
}

// Records whose items do not walk to the record size, code replacement through a table that
// is not loaded and numeric items longer than 4 bytes cannot come from a loaded definition;
// they still fail, writing nothing beyond the record.
TEST_F(TextToBinaryTest, InconsistentItemsFail) {
    ASSERT_TRUE(Load(CTargetSetup("a,2,R,u,1,A\r\nb,2,N,s,1,B\r\n", 4)));
    std::vector<std::string_view> fields {"1", "xy"};
    std::string record(8, '\xEE');
    const auto lineToRecord = [&](std::uint32_t size) -> std::string {
        try {
            LineToRecord(target, reinterpret_cast<std::uint8_t*>(record.data()), size, fields);
            return "converted";
        } catch (...) {
            return FailureText();
        }
    };
    EXPECT_EQ(lineToRecord(5), "Convert");
    record.assign(8, '\xEE');
    EXPECT_EQ(lineToRecord(3), "Convert");
    EXPECT_EQ(Hex(record.substr(2)), "EE EE EE EE EE EE");
    target.m_recordDefinition.m_items[1].m_numberCodes[0] = 3;
    EXPECT_EQ(lineToRecord(4), "CodeReplacement");

    ASSERT_TRUE(Load(CTargetSetup("a,6,N,s,1,A\r\n", 6)));
    target.m_recordDefinition.m_items[0].m_conversionType = convUnsigned;
    fields = {"1"};
    record.assign(8, '\xEE');
    EXPECT_EQ(lineToRecord(6), "System");
    EXPECT_EQ(record, std::string(8, '\xEE'));
}

struct RunFailureCase {
    const char* title;
    std::string text;
    std::function<std::string(TextToBinaryTest&)> message;
    std::string records; // the binary file afterwards
};

TEST_F(TextToBinaryTest, FailuresNameTheLineOfTheTextFile) {
    const std::string old = OldRecords(3);
    const RunFailureCase cases[] = {
        {"a missing line", kNumberedHeader + NewLines(0, 2),
         [](TextToBinaryTest& t) { return "At line 4. Can't write file\r\n" + t.TextPath(); },
         NewRecord(0) + NewRecord(1) + OldRecords(1)},
        {"no data line", std::string(kNumberedHeader) + "// nothing\r\n",
         [](TextToBinaryTest& t) { return "At line 3. Can't write file\r\n" + t.TextPath(); }, old},
        {"a line beyond the record count", kNumberedHeader + NewLines(0, 4),
         [](TextToBinaryTest& t) { return "At line 5. Can't write file\r\n" + t.TextPath(); },
         NewRecord(0) + NewRecord(1) + NewRecord(2)},
        {"a field too few", kNumberedHeader + NewLines(0, 1) + "\r\n7\r\n" + NewLines(2, 1),
         [](TextToBinaryTest&) { return std::string("At line 4. Item Num"); }, NewRecord(0) + OldRecords(2)},
        {"a number out of range", kNumberedHeader + NewLines(0, 1) + "256,new\r\n",
         [](TextToBinaryTest&) { return std::string("At line 3. Range"); }, NewRecord(0) + OldRecords(2)},
        {"letters where a number belongs", kNumberedHeader + std::string("x,new\r\n"),
         [](TextToBinaryTest&) { return std::string("At line 2. CodeReplacement"); }, old},
    };
    for (const RunFailureCase& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 3).StartAt(1)));
        WriteBinary("<" + old + "trailer");
        WriteText(c.text);
        CScriptedProgress progress;
        EXPECT_FALSE(Convert(progress));
        EXPECT_EQ(target.m_message, c.message(*this));
        EXPECT_EQ(progress.m_closes, progress.m_starts);
        EXPECT_EQ(Binary(), "<" + c.records + "trailer");
    }
}

// A file as a spreadsheet saves it with every text cell quoted: the header a comment, numbers
// quoted or not, quotes, delimiters, blanks and line breaks inside the quotes kept.
TEST_F(TextToBinaryTest, WithQuotingASpreadsheetsFileConverts) {
    const CTargetSetup setup =
        CTargetSetup("ID,1,R,u,1,ID\r\nName,6,N,s,1,Name\r\nKind,1,R,u,1,Kind,kinds.tsv\r\nPrice,2,R,u,1,Price\r\n",
                     10, 5)
            .File("kinds.tsv", "0\tWeapon\r\n1\tShield, big\r\n");
    const std::string text = "\"//ID\",\"Name\",\"Kind\",\"Price\"\r\n"
                             "1,\"Sword\",\"Weapon\",120\r\n"
                             "2,\"a \"\"X\"\"\",\"Shield, big\",80\r\n"
                             "\"3\" , \"a, b\" ,\"Weapon\",\"7\"\r\n"
                             "4,\" pad \",\"Weapon\",0\r\n"
                             "5,\"a\r\nb\",\"Weapon\",258\r\n";
    ASSERT_TRUE(Load(CTargetSetup(setup).Key("TextQuoting", "1")));
    WriteBinary(std::string(50, '\xEE'));
    WriteText(text);
    EXPECT_TRUE(Convert()) << target.m_message;
    EXPECT_EQ(Hex(Binary()), Hex(Bytes({1, 'S', 'w', 'o', 'r', 'd', 0, 0, 120, 0}) +
                                 Bytes({2, 'a', ' ', '"', 'X', '"', 0, 1, 80, 0}) +
                                 Bytes({3, 'a', ',', ' ', 'b', 0, 0, 0, 7, 0}) +
                                 Bytes({4, ' ', 'p', 'a', 'd', ' ', 0, 0, 0, 0}) +
                                 Bytes({5, 'a', '\r', '\n', 'b', 0, 0, 0, 2, 1})));

    // Without the key the quoted header is no comment.
    ASSERT_TRUE(Load(setup));
    EXPECT_FALSE(Convert());
    EXPECT_EQ(target.m_message, "At line 1. Item Num");
}

TEST_F(TextToBinaryTest, FilesThatCannotBeOpened) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 1)));
    WriteText(kNumberedHeader + NewLines(0, 1));
    target.m_fileInfo.m_binaryFilePath = env.m_folder.Path();
    EXPECT_FALSE(Convert());
    EXPECT_EQ(target.m_message, "Can't open file\r\n5 " + CFileException::Describe(5, env.m_folder.Path()));

    // A missing text file names its full path; an unusable path keeps the reader's text.
    target.m_fileInfo.m_binaryFilePath = BinaryPath();
    const struct {
        std::string textPath;
        std::string message;
    } textCases[] = {
        {env.m_folder.Path() + "missing.csv", " Can't open file\r\n" + env.m_folder.Path() + "missing.csv"},
        {"missing.csv", " Can't open file\r\n" + env.m_folder.Path() + "missing.csv"},
        {"missing", " FilePath "},
    };
    for (const auto& c : textCases) {
        SCOPED_TRACE(c.textPath);
        target.m_fileInfo.m_textFilePath = c.textPath;
        EXPECT_FALSE(Convert());
        EXPECT_EQ(target.m_message, c.message);
        EXPECT_FALSE(std::filesystem::exists(BinaryPath()));
    }
}

TEST_F(TextToBinaryTest, FailureTextsUseTheTranslatedWords) {
    env.Translate("msg.Range=Bereich\r\n");
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 3)));
    WriteText(kNumberedHeader + std::string("256,new\r\n"));
    EXPECT_FALSE(Convert());
    EXPECT_EQ(target.m_message, "At line 2. Bereich");
}

// Lines go to the records the list names; records no line addresses keep their bytes, and
// lines beyond the list are read but not converted.
TEST_F(TextToBinaryTest, LinesFollowTheIndexList) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 10)
                         .Key("BRecordIndexListFilePath", "list.tsv")
                         .File("list.tsv", "1\r\n8\t3\r\n")));
    WriteBinary(OldRecords(10) + "trailer");
    WriteText(kNumberedHeader + NewLines(7, 3));
    CScriptedProgress progress;
    EXPECT_TRUE(Convert(progress)) << target.m_message;
    EXPECT_EQ(Binary(), OldRecords(2) + NewRecord(8) + OldRecords(4) + NewRecord(7) + OldRecords(2) + "trailer");
    EXPECT_EQ(progress.m_refreshes.at(0).total, 2u);

    WriteText(kNumberedHeader + NewLines(1, 1));
    EXPECT_FALSE(Convert());
    EXPECT_EQ(target.m_message, "At line 3. Can't write file\r\n" + TextPath());
    EXPECT_EQ(Binary().substr(28, 4), NewRecord(1));
}

TEST_F(TextToBinaryTest, AnIndexEntryBeyondTheRecordsCannotBeSought) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 3)
                         .Key("BRecordIndexListFilePath", "list.tsv")
                         .File("list.tsv", "0\r\n1\r\n3\r\n")));
    WriteBinary(OldRecords(4));
    WriteText(kNumberedHeader + NewLines(0, 2));
    EXPECT_FALSE(Convert());
    EXPECT_EQ(target.m_message, "At line 3. Can't seek file position");
    EXPECT_EQ(Binary(), OldRecords(1) + NewRecord(0) + OldRecords(2));
}

const char* const kIndexedDefinition = "ID,4,R,u,1,ID\r\nName,4,N,s,1,Name\r\n";

TEST_F(TextToBinaryTest, TheFirstColumnNamesTheRecordAndTheListIsWritten) {
    ASSERT_TRUE(Load(CTargetSetup(kIndexedDefinition, 8, 5)));
    ASSERT_TRUE(target.m_recordDefinition.HasIndexItem());
    WriteBinary(std::string(40, '-'));
    WriteText("//ID,Name\r\n4,abcd\r\n1,efgh\r\n4,ijkl\r\n");
    CScriptedProgress progress;
    EXPECT_TRUE(Convert(progress, true, true)) << target.m_message;
    EXPECT_EQ(Binary(), std::string(8, '-') + Bytes({1, 0, 0, 0}) + "efgh" + std::string(16, '-') +
                            Bytes({4, 0, 0, 0}) + "ijkl");
    const std::string listPath = env.m_folder.Path() + "text-BRecordIndexList.tsv";
    EXPECT_EQ(ReadFile(listPath), "// BasePointOfBRecordIndex\r\n0\r\n// BRecordIndexList\r\n4\r\n1\r\n4\r\n");
    CRecordIndexList list;
    list.Reset();
    ASSERT_TRUE(list.Load(listPath)) << list.m_message;
    EXPECT_EQ(list.m_basePoint, 0);
    EXPECT_EQ(list.m_entries, (std::vector<std::uint32_t> {4, 1, 4}));
}

TEST_F(TextToBinaryTest, TheFirstColumnMustNameARecord) {
    const struct {
        const char* title;
        std::string line;
        std::string message;
    } cases[] = {
        {"the record count", "5,abcd", "At line 3. Can't seek file position"},
        {"a negative number", "-1,abcd", "At line 3. Range"},
        {"letters", "x,abcd", "At line 3. Range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(Load(CTargetSetup(kIndexedDefinition, 8, 5)));
        WriteBinary(std::string(40, '-') + "trailer");
        WriteText("//ID,Name\r\n0,abcd\r\n" + c.line + "\r\n");
        CScriptedProgress progress;
        EXPECT_FALSE(Convert(progress, true, true));
        EXPECT_EQ(target.m_message, c.message);
        EXPECT_EQ(Binary(), Bytes({0, 0, 0, 0}) + "abcd" + std::string(32, '-') + "trailer");
        EXPECT_FALSE(std::filesystem::exists(env.m_folder.Path() + "text-BRecordIndexList.tsv"));
    }
}

// The existing record is read back and decrypted, so its filler bytes survive; the finished
// record is encrypted.
TEST_F(TextToBinaryTest, FillersKeepTheStoredBytesThroughTheCodeTables) {
    ASSERT_TRUE(Load(CTargetSetup("a,1,R,u,1,A\r\nf,2,R,u,0,\r\nb,1,R,u,1,B\r\nend,1,R,u,0,\r\n", 5, 2)
                         .Key("B2TDecryptTableFileRP", "dec.tbl")
                         .File("dec.tbl", ShiftingTable())));
    const std::string stored = "0123456789";
    WriteBinary(stored);
    WriteText("//A,B\r\n100,200\r\n1,2\r\n");
    EXPECT_TRUE(Convert()) << target.m_message;
    // Stored bytes decrypt through Shifted, so a plain value v is stored as v - 77.
    const auto enc = [](int plain) { return static_cast<char>(static_cast<std::uint8_t>(plain - 77)); };
    EXPECT_EQ(Hex(Binary()), Hex(std::string {enc(100), '1', '2', enc(200), '4', enc(1), '6', '7', enc(2), '9'}));
}

TEST_F(TextToBinaryTest, FillersNeedTheExistingRecord) {
    ASSERT_TRUE(Load(CTargetSetup("a,1,R,u,1,A\r\nf,3,R,u,0,\r\n", 4, 2)));
    WriteBinary("");
    WriteText("//A\r\n1\r\n");
    EXPECT_FALSE(Convert());
    EXPECT_EQ(target.m_message, "At line 2. Can't read file\r\n" + BinaryPath());
    EXPECT_EQ(Binary(), "");
}

TEST_F(TextToBinaryTest, AConfirmedStopKeepsTheRecordsWrittenBeforeIt) {
    ASSERT_TRUE(Load(CTargetSetup(kNumberedDefinition, 4, 5)));
    WriteBinary(OldRecords(5));
    WriteText(kNumberedHeader + NewLines(0, 5));
    env.m_box.Answer(idYes);
    CScriptedProgress progress(2);
    EXPECT_FALSE(Convert(progress));
    EXPECT_EQ(target.m_message, "Stop ?");
    ASSERT_EQ(env.m_box.m_shown.size(), 1u);
    EXPECT_EQ(env.m_box.m_shown[0].text, "Stop ?");
    EXPECT_EQ(Binary(), NewRecord(0) + NewRecord(1) + OldRecords(3));
    EXPECT_EQ(progress.m_closes, 1);
}

TEST_F(TextToBinaryTest, AMemoryShortageFailsTheRun) {
    ASSERT_TRUE(Load(CTargetSetup(kExampleDefinition, 13, 2)
                         .Key("B2TDecryptTableFileRP", "dec.tbl")
                         .File("dec.tbl", ReversingTable())));
    std::string encrypted;
    for (const char plain : kExampleRecord) encrypted += static_cast<char>(Reversed(static_cast<std::uint8_t>(plain)));
    WriteText("//ID,F1,F2,F3,F4,Name\r\n1,3,0,2,1,ABC\r\n1,3,0,2,1,ABC\r\n");
    int shortages = 0;
    for (long before = 0;; ++before) {
        SCOPED_TRACE(before);
        WriteBinary(std::string(26, '-'));
        CScriptedProgress progress;
        target.m_message = "job";
        FailAllocationAfter(before);
        const bool converted = ConvertTargetToBinary(target, progress);
        if (!DisarmAllocationFailure()) {
            EXPECT_TRUE(converted);
            EXPECT_EQ(Hex(Binary()), Hex(encrypted + encrypted));
            break;
        }
        ++shortages;
        EXPECT_FALSE(converted);
        EXPECT_FALSE(progress.IsOpen());
        const std::string& message = target.m_message;
        // Opening the binary file takes the run's first allocations.
        if (before == 0) {
            EXPECT_EQ(message, "Can't open file\r\nMemory short");
        }
        EXPECT_EQ(message.substr(message.size() - 12), "Memory short") << message;
        const std::string binary = Binary();
        // Whole records only; the display's own shortage may come after the last one.
        EXPECT_TRUE(binary == std::string(26, '-') || binary == encrypted + std::string(13, '-') ||
                    binary == encrypted + encrypted)
            << Hex(binary);
    }
    EXPECT_GT(shortages, 2);
}

} // namespace
