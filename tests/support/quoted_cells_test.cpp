#include "support/quoted_cells.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(QuotedCells, RecordsSplitAsSpreadsheetsQuote) {
    const struct {
        const char* title;
        std::string text;
        std::vector<std::string> fields; // none: a comment
        std::string delimiter = ",";
    } cases[] = {
        {"a quoted delimiter, blanks outside trimmed", " \"a,b\" , c ", {"a,b", "c"}},
        {"blanks, quotes and a line break inside kept", "\"  \"\"x\"\"\r\n\",\"\"", {"  \"x\"\r\n", ""}},
        {"a quoted number", "12,\"34\"", {"12", "34"}},
        {"a quote inside an unquoted field is data", "a\"b,c", {"a\"b", "c"}},
        {"a quoted comment mark is data", "a,\"//b\",\" //c\"", {"a", "//b", " //c"}},
        {"a comment after a quote", "\"a\" //c", {"a"}},
        {"a quoted header is a comment", "\"//ID\",\"Name\"", {}},
        {"blanks before the comment mark", "  //x", {}},
        {"a tab delimiter is no blank", "a\t\t \"b\"\t", {"a", "", "b", ""}, "\t"},
        {"a multi-byte delimiter", "\"a::b\"::c", {"a::b", "c"}, "::"},
    };
    for (const auto& c : cases) {
        CQuotedRecord record;
        record.Start();
        std::string text = c.text;
        EXPECT_EQ(record.Split(text, text.size(), c.delimiter), CQuotedRecord::complete) << c.title;
        std::vector<std::string_view> fields = {"stale"};
        EXPECT_EQ(record.DataFields(text, fields, false), !c.fields.empty()) << c.title;
        EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.end()), c.fields) << c.title;
    }
}

} // namespace
