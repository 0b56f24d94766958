#include "support/quoted_cells.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(QuotedCells, CellsThatNeedQuotes) {
    const struct {
        std::string cell;
        std::string delimiter;
        bool needs;
    } cases[] = {
        {"", ",", false},        {"abc", ",", false},     {"a b", ",", false},     {"a/b", ",", false},
        {"a,b", ",", true},      {"a\tb", ",", false},    {"a\tb", "\t", true},    {"a,b", "\t", false},
        {"say \"hi\"", ",", true}, {"a\rb", ",", true},   {"a\nb", ",", true},     {"a//b", ",", true},
        {"//", ",", true},       {" a", ",", true},       {"a ", ",", true},       {"\va", ",", true},
        {"a\f", ",", true},      {" ", ",", true},        {"a:b", "::", false},    {"a::b", "::", true},
    };
    for (const auto& c : cases) EXPECT_EQ(CellNeedsQuotes(c.cell, c.delimiter), c.needs) << c.cell;
}

TEST(QuotedCells, QuotesAreDoubledInside) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "\"\""}, {"a,b", "\"a,b\""}, {"\"", "\"\"\"\""}, {"a\"\"b\"", "\"a\"\"\"\"b\"\"\""},
    };
    std::string quoted = "stale";
    for (const auto& [cell, expected] : cases) {
        QuoteCell(cell, quoted);
        EXPECT_EQ(quoted, expected) << cell;
    }
}

struct SplitCase {
    const char* title;
    std::string text;
    std::vector<std::string> fields; // none: a comment
    std::string delimiter = ",";
};

std::vector<std::string> Split(std::string text, const std::string& delimiter, CQuotedRecord::Outcome& outcome) {
    CQuotedRecord record;
    record.Start();
    outcome = record.Split(text, text.size(), delimiter);
    std::vector<std::string_view> fields = {"stale"};
    record.DataFields(text, fields, false);
    return std::vector<std::string>(fields.begin(), fields.end());
}

TEST(QuotedCells, RecordsSplitAsSpreadsheetsQuote) {
    const SplitCase cases[] = {
        {"unquoted", "a,b", {"a", "b"}},
        {"a quoted delimiter", "\"a,b\",c", {"a,b", "c"}},
        {"blanks outside the quotes trimmed", " \"x\" , y ", {"x", "y"}},
        {"blanks inside kept", "\"  x  \"", {"  x  "}},
        {"doubled quotes", "\"a\"\"b\"\"\"", {"a\"b\""}},
        {"empty quoted fields", "\"\",\"\"", {"", ""}},
        {"an empty last field", "a,", {"a", ""}},
        {"a quoted number", "12,\"34\"", {"12", "34"}},
        {"a line break kept", "\"a\r\nb\",c", {"a\r\nb", "c"}},
        {"a quote inside an unquoted field is data", "a\"b,c", {"a\"b", "c"}},
        {"a quoted comment mark is data", "a,\"//b\"", {"a", "//b"}},
        {"a first field of blank and comment mark is data", "\" //x\"", {" //x"}},
        {"a comment after the data", "a,b//c", {"a", "b"}},
        {"a comment after a quote", "\"a\" // c", {"a"}},
        {"a quoted header is a comment", "\"//ID\",\"Name\"", {}},
        {"an unquoted header is a comment", "//ID,Name", {}},
        {"blanks before the comment mark", "  //x", {}},
        {"a tab delimiter is no blank", "a\t\t \"b\"\t", {"a", "", "b", ""}, "\t"},
        {"a quoted tab", "\"a\tb\"\tc", {"a\tb", "c"}, "\t"},
        {"a multi-byte delimiter", "\"a::b\"::c", {"a::b", "c"}, "::"},
        {"an empty delimiter keeps one field", " \"a,b\" ", {"a,b"}, ""},
    };
    for (const SplitCase& c : cases) {
        CQuotedRecord::Outcome outcome;
        EXPECT_EQ(Split(c.text, c.delimiter, outcome), c.fields) << c.title;
        EXPECT_EQ(outcome, CQuotedRecord::complete) << c.title;
    }
}

TEST(QuotedCells, FaultsNameTheFieldWhereTheyBegan) {
    const struct {
        const char* title;
        std::string text;
        CQuotedRecord::Outcome outcome;
        std::size_t fieldStart;
    } cases[] = {
        {"an open quote", "\"abc", CQuotedRecord::openQuote, 0},
        {"a doubled quote last", "a,\"b\"\"", CQuotedRecord::openQuote, 2},
        {"text after the closing quote", "\"a\"b", CQuotedRecord::strayText, 0},
        {"text after a blank", "x, \"a\" b", CQuotedRecord::strayText, 3},
        {"no delimiter at all", " \"a\"\"b\" c", CQuotedRecord::strayText, 1},
    };
    for (const auto& c : cases) {
        CQuotedRecord record;
        record.Start();
        std::string text = c.text;
        EXPECT_EQ(record.Split(text, text.size(), ","), c.outcome) << c.title;
        EXPECT_EQ(record.FieldStart(), c.fieldStart) << c.title;
    }
}

// Cells put in quotes where they need them and joined read back as themselves, except a first
// cell that begins with a comment mark: quoted or not, it makes the line a comment.
TEST(QuotedCells, QuotedCellsReadBackAsThemselves) {
    const std::vector<std::string> cells = {"plain", "a,b",  "a\tb", "\"",   "\"\"x\"", "a\r\nb", "a\nb", "a\rb",
                                            "x//",   " lead", "tail\t", "\v", "",       " \"a,\"b\" ", "//"};
    for (const std::string delimiter : {",", "\t"}) {
        std::string line = "first";
        for (const std::string& cell : cells) {
            std::string quoted;
            if (CellNeedsQuotes(cell, delimiter)) QuoteCell(cell, quoted);
            else quoted = cell;
            line += delimiter + quoted;
        }
        std::vector<std::string> expected = {"first"};
        expected.insert(expected.end(), cells.begin(), cells.end());
        CQuotedRecord::Outcome outcome;
        EXPECT_EQ(Split(line, delimiter, outcome), expected) << line;
        EXPECT_EQ(Split("\"//x\"" + delimiter + line, delimiter, outcome), std::vector<std::string>()) << line;
    }
}

} // namespace
