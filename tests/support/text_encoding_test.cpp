#include "support/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"

namespace {
std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}
}

TEST(TextEncoding, NamesAndAliasesOfTheListOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"cp932", "CP932"},        {"Shift_JIS", "CP932"},   {"sjis", "CP932"},          {"Windows-31J", "CP932"},
        {"euc-jp", "EUC-JP"},      {"GBK", "CP936"},         {"gb18030", "GB18030"},     {"Big5", "CP950"},
        {"uhc", "CP949"},          {"windows-1252", "CP1252"}, {"CP1258", "CP1258"},     {"iso-8859-1", "ISO-8859-1"},
        {"ISO8859-16", "ISO-8859-16"}, {"koi8-r", "KOI8-R"}, {"utf8", "UTF-8"},
        // Not on the list: other encodings, where ASCII or zero bytes mean something else.
        {"UTF-16", ""},            {"UTF-16LE", ""},         {"UCS-2", ""},              {"ISO-8859-12", ""},
        {"ISO-8859-17", ""},       {"ISO-8859-01", ""},      {"CP1259", ""},             {"CP125", ""},
        {"EBCDIC-US", ""},         {"", ""},                 {"CP932 ", ""},
    };
    for (const auto& [name, listed] : cases) {
        CTextEncoding encoding;
        EXPECT_EQ(encoding.SetName(name), *listed != 0) << name;
        if (*listed) {
            EXPECT_EQ(encoding.Name(), listed) << name;
        }
    }
}

TEST(TextEncoding, CodePageFailuresNameTheirOffset) {
    CCodePage page;
    ASSERT_TRUE(page.Open("CP932"));
    std::size_t failedAt = 0;
    std::string text;
    // A lead byte at the end, then a lead byte with no valid trail.
    EXPECT_FALSE(page.ToSystem("ab" + Bytes({0x82}), text, failedAt));
    EXPECT_EQ(failedAt, 2u);
    EXPECT_EQ(text, "ab");
    text.clear();
    EXPECT_FALSE(page.ToSystem("a" + Bytes({0x82, 0x20}), text, failedAt));
    EXPECT_EQ(failedAt, 1u);
    // A character CP932 cannot express.
    std::string bytes;
    EXPECT_FALSE(page.FromSystem("x\xC3\xA9", bytes, failedAt)); // e with acute accent
    EXPECT_EQ(failedAt, 1u);
    EXPECT_FALSE(page.Open("UTF-99"));
    EXPECT_FALSE(page.IsOpen());
}

TEST(TextEncoding, CutsOnlyAtCharacterBoundaries) {
    CTextEncoding encoding;
    ASSERT_TRUE(encoding.SetName("CP932"));
    // "a", then 表 (0x95 0x5C, whose second byte is a backslash), then "b".
    const std::string bytes = Bytes({'a', 0x95, 0x5C, 'b'});
    const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t expected[] = {0, 1, 1, 3, 4};
    for (std::size_t limit = 0; limit <= bytes.size(); ++limit)
        EXPECT_EQ(encoding.BoundaryBefore(raw, bytes.size(), limit), expected[limit]) << limit;

    ASSERT_TRUE(encoding.SetName("GB18030"));
    const std::string four = Bytes({0x81, 0x30, 0x81, 0x30, 'z'});
    EXPECT_EQ(encoding.CharacterLength(reinterpret_cast<const std::uint8_t*>(four.data()), 5), 4u);
    EXPECT_EQ(encoding.BoundaryBefore(reinterpret_cast<const std::uint8_t*>(four.data()), 5, 3), 0u);
}
