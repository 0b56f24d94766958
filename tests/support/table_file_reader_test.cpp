#include "support/table_file_reader.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "platform/file_exception.h"
#include "tests/common/test_support.h"

namespace {

std::vector<std::string> Strings(const std::vector<std::string_view>& views) {
    return std::vector<std::string>(views.begin(), views.end());
}

struct SplitCase {
    const char* title;
    std::string delimiter;
    std::string line;
    bool skipEmpty;
    std::vector<std::string> expected;
};

TEST(TableFileReaderSplitFields, SplitsTrimsAndSkips) {
    const SplitCase cases[] = {
        {"plain", ",", "a,b,c", false, {"a", "b", "c"}},
        {"delimiter at the end", ",", "a,b,", false, {"a", "b", ""}},
        {"delimiter at the start", ",", ",a", false, {"", "a"}},
        {"delimiter at both ends skipped", ",", ",a,", true, {"a"}},
        {"only the delimiter", ",", ",", false, {"", ""}},
        {"only the delimiter skipped", ",", ",", true, {}},
        {"blanks only", ",", "   ", false, {""}},
        {"blanks only skipped", ",", "   ", true, {}},
        {"empty line", ",", "", false, {""}},
        {"empty field kept", ",", "a,,b", false, {"a", "", "b"}},
        {"empty field skipped", ",", "a,,b", true, {"a", "b"}},
        {"blank field skipped", ",", "a, ,b", true, {"a", "b"}},
        {"blanks around comma fields", ",", " a , b ", false, {"a", "b"}},
        {"blanks around tab fields", "\t", " a \t b ", false, {"a", "b"}},
        {"tab inside a comma field stays", ",", "a\tb , c", false, {"a\tb", "c"}},
        {"every kind of white space", ",", "\v a \f,\r b\n", false, {"a", "b"}},
        {"comma is data with tab delimiter", "\t", "a,b\tc", false, {"a,b", "c"}},
        {"multi-byte delimiter", "::", "a::b::c", false, {"a", "b", "c"}},
        {"multi-byte delimiter without overlap", "::", "a:::b", false, {"a", ":b"}},
        {"multi-byte delimiter doubled", "::", "a::::b", false, {"a", "", "b"}},
        {"character delimiter", "\xE3\x80\x81", "\xE7\x94\xB2\xE3\x80\x81\xE4\xB9\x99", false,
         {"\xE7\x94\xB2", "\xE4\xB9\x99"}},
        {"characters around a comma", ",", "\xE7\x94\xB2 ,\xE4\xB9\x99", false, {"\xE7\x94\xB2", "\xE4\xB9\x99"}},
        {"empty delimiter keeps the line whole", "", " a,b ", false, {"a,b"}},
    };
    for (const SplitCase& c : cases) {
        std::vector<std::string_view> fields = {"stale"};
        SplitFields(c.delimiter, c.line, fields, c.skipEmpty);
        EXPECT_EQ(Strings(fields), c.expected) << c.title;
    }
}

TEST(TableFileReaderSplitFields, FieldsPointIntoTheLine) {
    const std::string line = " ab ,cd";
    std::vector<std::string_view> fields;
    SplitFields(",", line, fields, false);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].data(), line.data() + 1);
    EXPECT_EQ(fields[1].data(), line.data() + 5);
}

TEST(TableFileReaderSplitDataLine, TellsDataFromCommentsAndEmptyLines) {
    struct Case {
        const char* title;
        std::string line;
        bool skipEmpty;
        bool data;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"data", "a,b", false, true, {"a", "b"}},
        {"empty", "", false, false, {}},
        {"comment", "//a,b", false, false, {}},
        {"comment after a blank is cut, not skipped", " //a", false, true, {""}},
        {"cut at the comment mark", "a,b//c,d", false, true, {"a", "b"}},
        {"comment mark in the second field", "a,x//", false, true, {"a", "x"}},
        {"blanks only", "  ", false, true, {""}},
        {"blanks only, empty fields skipped", "  ", true, false, {}},
        {"nothing left before the comment, skipped", ",//a", true, false, {}},
        {"a single slash is data", "a/b", false, true, {"a/b"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string_view> fields = {"stale"};
        EXPECT_EQ(SplitDataLine(",", c.line, fields, c.skipEmpty), c.data) << c.title;
        EXPECT_EQ(Strings(fields), c.expected) << c.title;
    }
}

struct DataLine {
    std::uint32_t lineNumber;
    std::string fields; // joined with '|'
    bool operator==(const DataLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const DataLine& line) {
    return out << line.lineNumber << ":" << line.fields;
}

class TableFileReaderTest : public ::testing::Test {
protected:
    // Writes the file and opens it through a fresh reader.
    void OpenTable(const std::string& contents, const std::string& delimiter, bool quoting) {
        env.m_folder.Write("table.txt", contents);
        reader.Reset("Table");
        reader.m_delimiter = delimiter;
        reader.m_quoting = quoting;
        EXPECT_TRUE(reader.SetPath("table.txt"));
        reader.Open();
    }
    // Reads every data line of the file, noting also the line note of each.
    std::vector<DataLine> ReadAll(const std::string& contents, const std::string& delimiter, bool skipEmpty,
                                  bool quoting = false) {
        OpenTable(contents, delimiter, quoting);
        std::vector<DataLine> lines;
        notes.clear();
        while (reader.ReadNext(skipEmpty)) {
            std::string joined;
            for (std::size_t i = 0; i < reader.m_fields.size(); ++i)
                joined += (i ? "|" : "") + std::string(reader.m_fields[i]);
            lines.push_back({reader.m_lineNumber, joined});
            notes.push_back(reader.m_lineNote);
        }
        reader.Close();
        return lines;
    }

    CTestEnvironment env;
    CTableFileReader reader;
    std::vector<std::string> notes;
};

struct ReadCase {
    const char* title;
    std::string contents;
    std::string delimiter;
    bool skipEmpty;
    std::vector<DataLine> expected;
    std::string finalNote;
};

TEST_F(TableFileReaderTest, ReadsDataLines) {
    const ReadCase cases[] = {
        {"only comments and empty lines", "\n// x\n\n//y\n", ",", false, {}, "At line 5."},
        {"trailing comment", "abc //rest, more\n", ",", false, {{1, "abc"}}, "At line 2."},
        {"blanks before a comment kept", "   //x\n", ",", false, {{1, ""}}, "At line 2."},
        {"blanks before a comment skipped", "   //x\n", ",", true, {}, "At line 2."},
        {"comment inside a value", "x//y,z\n", ",", false, {{1, "x"}}, "At line 2."},
        {"data after three comment lines", "//a\n//b\n// c\nd,e\n", ",", false, {{4, "d|e"}}, "At line 5."},
        {"empty lines counted", "a\n\n\nb\n", ",", false, {{1, "a"}, {4, "b"}}, "At line 5."},
        {"blank line is data", "a\n \nb\n", ",", false, {{1, "a"}, {2, ""}, {3, "b"}}, "At line 4."},
        {"skipped empty fields", "a,,b\n,,\nc\n", ",", true, {{1, "a|b"}, {3, "c"}}, "At line 4."},
        {"CR LF", "a,b\r\n\r\n//c\r\nd, e \r\n", ",", false, {{1, "a|b"}, {4, "d|e"}}, "At line 5."},
        {"LF", "a,b\n\n//c\nd, e \n", ",", false, {{1, "a|b"}, {4, "d|e"}}, "At line 5."},
        {"CR inside a line stays", "a\rb,c\n", ",", false, {{1, "a\rb|c"}}, "At line 2."},
        {"last line without terminator", "a\nb", ",", false, {{1, "a"}, {2, "b"}}, "At line 3."},
        {"terminator at the end", "a\nb\n", ",", false, {{1, "a"}, {2, "b"}}, "At line 3."},
        {"Ctrl+Z ends the file", "a\n\x1A" "b\n", ",", false, {{1, "a"}}, "At line 2."},
        {"empty file", "", ",", false, {}, "At line 1."},
        {"tab delimiter", "1\t one \n2\ttwo\n", "\t", false, {{1, "1|one"}, {2, "2|two"}}, "At line 3."},
        // A UTF-8 byte order mark at the very start is no part of the first line, anywhere else it is.
        {"byte order mark before a comment", "\xEF\xBB\xBF//h\na\n", ",", false, {{2, "a"}}, "At line 3."},
        {"byte order mark before data", "\xEF\xBB\xBF" "a,b\n", ",", false, {{1, "a|b"}}, "At line 2."},
        {"byte order mark alone", "\xEF\xBB\xBF", ",", false, {}, "At line 2."},
        {"byte order mark later", "a\n\xEF\xBB\xBF" "b\n", ",", false, {{1, "a"}, {2, "\xEF\xBB\xBF" "b"}}, "At line 3."},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ReadAll(c.contents, c.delimiter, c.skipEmpty), c.expected) << c.title;
        EXPECT_EQ(reader.m_lineNote, c.finalNote) << c.title;
        EXPECT_EQ(reader.m_count, c.expected.size()) << c.title;
        EXPECT_TRUE(reader.m_fields.empty()) << c.title;
    }
}

// With quoting, a record goes on over the line ends inside its quotes, which it keeps as they
// stand in the file; its note names its first line, and the line numbers count every line.
TEST_F(TableFileReaderTest, QuotedRecordsSpanLines) {
    const struct {
        const char* title;
        std::string contents;
        std::vector<DataLine> expected;
        std::vector<std::string> notes;
        std::string finalNote;
    } cases[] = {
        {"as a spreadsheet saves it", "\xEF\xBB\xBF\"//ID\",\"Name\"\r\n1,\"Sword, long\"\r\n", {{2, "1|Sword, long"}},
         {"At line 2."}, "At line 3."},
        {"line breaks kept", "1,\"a\r\nb\"\r\n2,\"c\nd\",\"\r\n\r\ne\"\n3, f \n",
         {{2, "1|a\r\nb"}, {6, "2|c\nd|\r\n\r\ne"}, {7, "3|f"}}, {"At line 1.", "At line 3.", "At line 7."},
         "At line 8."},
        {"a comment after a record over lines", "\"a\nb\" //c\n// d\n\ne\n", {{2, "a\nb"}, {5, "e"}},
         {"At line 1.", "At line 5."}, "At line 6."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadAll(c.contents, ",", false, true), c.expected) << c.title;
        EXPECT_EQ(notes, c.notes) << c.title;
        EXPECT_EQ(reader.m_lineNote, c.finalNote) << c.title;
    }
}

// A quote that never closes, or text after a closing quote, fails at the line where its field
// began; reading goes on after the line that failed.
TEST_F(TableFileReaderTest, QuotingFaultsNameTheLineOfTheirField) {
    const struct {
        const char* title;
        std::string contents;
        std::string note;
        std::string after; // the next line read after the failure, or "" for the end
    } cases[] = {
        {"never closed", "1,ok\r\n2,\"never\r\nclosed\r\n", "At line 2.", ""},
        {"opened after a cell over lines", "1,\"a\r\nb\",\"c\r\nd\r\n", "At line 2.", ""},
        {"text after a quote closed lines later", "\"a\nb\nc\"d,e\nf\n", "At line 1.", "At line 4. f"},
    };
    for (const auto& c : cases) {
        OpenTable(c.contents, ",", true);
        try {
            while (reader.ReadNext(false)) {
            }
            ADD_FAILURE() << c.title << ": no failure";
        } catch (const CFailure& failure) {
            EXPECT_EQ(reader.m_lineNote + " " + failure.Text(), c.note + " TextQuoting.Inconsistent") << c.title;
        }
        const std::string after = reader.ReadNext(false) ? reader.m_lineNote + " " + std::string(reader.m_fields[0]) : "";
        EXPECT_EQ(after, c.after) << c.title;
        reader.Close();
    }
}

TEST_F(TableFileReaderTest, LineNoteNamesTheLineBeingRead) {
    env.m_folder.Write("table.txt", "//head\na\nb\n");
    reader.Reset("Table");
    ASSERT_TRUE(reader.SetPath("table.txt"));
    reader.Open();
    ASSERT_TRUE(reader.ReadNext(false));
    EXPECT_EQ(reader.m_lineNote, "At line 2.");
    reader.SetLineError(Word(wItemNum));
    EXPECT_EQ(reader.m_message, "At line 2. Item Num");
    EXPECT_EQ(reader.m_ok, 0);
    ASSERT_TRUE(reader.ReadNext(false));
    ASSERT_FALSE(reader.ReadNext(false));
    reader.Close();
    // The loaders close before they note the failure.
    reader.m_message = Word(wSum) + " " + Word(wCount0);
    reader.SetLineError("");
    EXPECT_EQ(reader.m_message, "At line 4. Sum Count 0");
}

TEST_F(TableFileReaderTest, OpenOfAMissingFileNamesThePath) {
    const std::string fullPath = env.m_folder.Write("gone.txt", "a\n");
    reader.Reset("Table");
    ASSERT_TRUE(reader.SetPath("gone.txt"));
    std::filesystem::remove(fullPath);
    try {
        reader.Open();
        FAIL() << "no failure";
    } catch (...) {
        reader.Close();
        reader.SetLineError(FailureText());
    }
    EXPECT_EQ(reader.m_open, 0);
    // The note is still empty, so the stored message starts with the blank.
    EXPECT_EQ(reader.m_message, " Can't open file\r\n2 " + CFileException::Describe(2, fullPath));
}

TEST_F(TableFileReaderTest, OpenFailureUsesTheTranslatedWord) {
    env.Translate("msg.Can't open file=Kann nicht\r\n");
    const std::string fullPath = env.m_folder.Write("gone.txt", "a\n");
    reader.Reset("Table");
    ASSERT_TRUE(reader.SetPath("gone.txt"));
    std::filesystem::remove(fullPath);
    try {
        reader.Open();
        FAIL() << "no failure";
    } catch (const CFailure& failure) {
        EXPECT_EQ(failure.Text(), "Kann nicht\r\n2 " + CFileException::Describe(2, fullPath));
    }
}

TEST_F(TableFileReaderTest, OpenOfAFileBeingWrittenNamesTheCause) {
    const std::string fullPath = env.m_folder.Write("busy.txt", "a\n");
    CFile writer(fullPath, modeWrite | modeCreate | modeNoTruncate | typeBinary);
    reader.Reset("Table");
    ASSERT_TRUE(reader.SetPath(fullPath));
    const CFileException sharing(CFileException::sharingViolation, fullPath);
    try {
        reader.Open();
        FAIL() << "no failure";
    } catch (const CFailure& failure) {
        EXPECT_EQ(failure.Text(), "Can't open file\r\n" + FileExceptionText(&sharing) + "\r\n" + fullPath);
    }
    EXPECT_EQ(reader.m_open, 0);
}

TEST_F(TableFileReaderTest, CloseAndResetReleaseTheFile) {
    const std::string fullPath = env.m_folder.Write("table.txt", "a\nb\n");
    reader.Reset("Table");
    ASSERT_TRUE(reader.SetPath("table.txt"));
    reader.Open();
    EXPECT_EQ(reader.m_open, 1);
    ASSERT_TRUE(reader.ReadNext(false));
    reader.Close();
    reader.Close();
    EXPECT_EQ(reader.m_open, 0);
    EXPECT_EQ(reader.m_lineNote, "At line 1.");
    EXPECT_EQ(reader.m_lineNumber, 1u);
    EXPECT_NO_THROW(CFile(fullPath, modeWrite | modeNoTruncate | modeCreate | typeBinary));
    EXPECT_THROW(reader.ReadNext(false), CFileException);

    reader.m_delimiter = ",";
    reader.m_quoting = true;
    ASSERT_TRUE(reader.SetPath("table.txt"));
    reader.Open();
    ASSERT_TRUE(reader.ReadNext(false));
    reader.Reset("");
    EXPECT_NO_THROW(CFile(fullPath, modeWrite | modeNoTruncate | modeCreate | typeBinary));
    EXPECT_EQ(reader.m_name, "Table");
    EXPECT_EQ(reader.m_delimiter, "\t");
    EXPECT_FALSE(reader.m_quoting);
    EXPECT_EQ(reader.m_lineNumber, 0u);
    EXPECT_EQ(reader.m_count, 0u);
    EXPECT_EQ(reader.m_lineNote, "");
    EXPECT_TRUE(reader.m_fields.empty());
    EXPECT_EQ(reader.m_open, 0);
    EXPECT_EQ(reader.m_pathAsWritten, "");
}

TEST_F(TableFileReaderTest, CountTextOnlyWhenLoaded) {
    ReadAll("1\n2\n//x\n3\n", "\t", false);
    reader.m_ok = 1;
    EXPECT_EQ(reader.CountText(), "3");
    reader.m_count = 4000000000u;
    EXPECT_EQ(reader.CountText(), "4000000000");
    reader.m_ok = 0;
    EXPECT_EQ(reader.CountText(), "");
}

} // namespace

namespace {

TEST(TableFileReaderNote, CountsPastThirtyTwoBits) {
    CTestEnvironment env;
    env.m_folder.Write("t.txt", "a\n");
    CTableFileReader reader;
    reader.Reset("Text");
    ASSERT_TRUE(reader.SetPath("t.txt"));
    reader.Open();
    reader.m_lineNumber = 4294967294u;
    ASSERT_TRUE(reader.ReadNext(false));
    EXPECT_EQ(reader.m_lineNote, "At line 4294967295.");
    EXPECT_FALSE(reader.ReadNext(false));
    EXPECT_EQ(reader.m_lineNote, "At line 4294967296.");
    reader.Close();
}

TEST(TableFileReaderNote, SplittingAnEmptyViewGivesOneEmptyField) {
    std::vector<std::string_view> fields;
    SplitFields(",", std::string_view(), fields, false);
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(fields[0], "");
    SplitFields(",", std::string_view(), fields, true);
    EXPECT_TRUE(fields.empty());
}

} // namespace
