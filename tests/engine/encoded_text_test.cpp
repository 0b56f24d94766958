#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "definition/target_info.h"
#include "engine/check_report.h"
#include "engine/round_trip_check.h"
#include "engine/text_to_binary.h"
#include "platform/code_page.h"
#include "support/text_encoding.h"
#include "support/text_codec.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"
#include "tests/engine/engine_test_support.h"

namespace {

class EncodedTextTest : public ::testing::Test {
public:
    bool Load(const CTargetSetup& setup) { return LoadTarget(env, target, setup); }
    void WriteBinary(const std::string& bytes) { env.m_folder.Write("data.bin", bytes); }
    void WriteText(const std::string& text) { env.m_folder.Write("text.csv", text); }
    std::string Binary() const { return ReadFile(env.m_folder.Path() + "data.bin"); }
    std::string Text() const { return ReadFile(env.m_folder.Path() + "text.csv"); }
    bool ToText() {
        CScriptedProgress progress;
        target.m_message = "[ Binary => Text ]";
        return ConvertTargetToText(target, progress);
    }
    bool ToBinary() {
        CScriptedProgress progress;
        target.m_message = "[ Text => Binary ]";
        return ConvertTargetToBinary(target, progress);
    }

    CTestEnvironment env;
    CTargetInfo target;
};

// Every character of one or two bytes of every listed encoding that comes back as its bytes, as
// the platform converts it: each stands alone in a record, read both ways ("N" and "R"), and the
// file goes to text and back to the same bytes.
TEST_F(EncodedTextTest, EveryCharacterOfEveryEncodingRoundTrips) {
    for (const char* name : kListedEncodings) {
        SCOPED_TRACE(name);
        CTextEncoding encoding;
        CCodePage page;
        ASSERT_TRUE(encoding.SetName(name));
        if (!page.Open(encoding.Name())) {
            ASSERT_TRUE(SystemMayLackEncoding(name));
            // A target declaring an encoding the system lacks is refused at its key.
            EXPECT_FALSE(Load(CTargetSetup("Text,4,N,s,1,Text\r\n", 4).Key("BTextEncoding", name)));
            EXPECT_EQ(target.m_message, "FileInfo1 Error\r\nBTextEncoding.Range");
            continue;
        }
        std::string binary, expected = "//Text\tRev\r\n";
        int characters = 0;
        for (int lead = 0x21; lead < 0x100; ++lead) {
            for (int trail = -1; trail < 0x100; ++trail) {
                if (trail == 0 || (lead < 0x80 && trail >= 0)) continue;
                std::string bytes(1, static_cast<char>(lead));
                if (trail > 0) bytes += static_cast<char>(trail);
                if (encoding.CharacterLength(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) !=
                    bytes.size())
                    continue;
                std::string text, back;
                std::size_t failedAt = 0;
                if (!page.ToSystem(bytes, text, failedAt) || !page.FromSystem(text, back, failedAt) || back != bytes)
                    continue;
                // "R" stores the pairs of the text swapped.
                const std::string padded = bytes + std::string(4 - bytes.size(), '\0');
                binary += padded + padded[1] + padded[0] + padded[3] + padded[2];
                expected += text + "\t" + text + "\r\n";
                ++characters;
            }
        }
        ASSERT_TRUE(Load(CTargetSetup("Text,4,N,s,1,Text\r\nRev,4,R,s,1,Rev\r\n", 8, characters)
                             .Delimiter("T")
                             .Key("BTextEncoding", name)));
        WriteBinary(binary);
        ASSERT_TRUE(ToText()) << target.m_message;
        EXPECT_TRUE(Text() == expected);
        WriteBinary(std::string(binary.size(), '\0'));
        ASSERT_TRUE(ToBinary()) << target.m_message;
        EXPECT_TRUE(Binary() == binary);
        if (std::string(name) == "CP932") {
            EXPECT_GT(characters, 9000); // with the single-byte katakana
        }
    }
}

// Bytes that are no character, and characters whose bytes would not come back, fail the record
// with the item, the offset and the bytes; a code of the item's table is no such fault, and
// matches only whole characters.
TEST_F(EncodedTextTest, RecordsBinaryToText) {
    const std::string codes = "1\t<BR>\r\n64\t<AT>\r\n";
    struct Case {
        const char* encoding;
        std::string bytes; // of a 6-byte item
        std::string result; // the cell, or the failure text
    } cases[] = {
        // ァ is 83 40, whose second byte is "@", code 64.
        {"CP932", Bytes({0x83, 0x40, '@', 0x01, 'a', 0}), "\xE3\x82\xA1<AT><BR>a"},
        {"CP932", Bytes({'a', 0xED, 0x40, 0, 0, 0}), "Error At line 1. Name: Not kept (CP932), Byte 1: ED 40"},
        {"CP932", Bytes({'a', 'b', 0x81, 0x7F, 0, 0}), "Error At line 1. Name: Not a character (CP932), Byte 2: 81 7F"},
        {"CP932", Bytes({'a', 'b', 'c', 'd', 'e', 0x82}), "Error At line 1. Name: Not a character (CP932), Byte 5: 82"},
        // A code of two bytes that is one character.
        {"EUC-JP", Bytes({0x8F, 0xB0, 0xA1, 0xA4, 0xA2, 0}),
         EucJpHasThreeByteCharacters() ? "\xE4\xB8\x82\xE3\x81\x82"
                                       : "Error At line 1. Name: Not a character (EUC-JP), Byte 0: 8F B0 A1"},
        {"GB18030", Bytes({'x', 0x81, 0x30, 0x81, 0x30, 0}), "x\xC2\x80"},
        {"UTF-8", Bytes({'x', 0xE8, 0xA1, 0, 0, 0}), "Error At line 1. Name: Not a character (UTF-8), Byte 1: E8 A1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        if (SystemMayLackEncoding(c.encoding) && !CTextCodec::Find(c.encoding)) continue;
        ASSERT_TRUE(Load(CTargetSetup("Name,6,N,s,1,Name,codes.tsv\r\n", 6)
                             .Key("BTextEncoding", c.encoding)
                             .File("codes.tsv", codes)));
        WriteBinary(c.bytes);
        if (c.result.starts_with("Error")) {
            EXPECT_FALSE(ToText());
            EXPECT_EQ(target.m_message, c.result);
            continue;
        }
        ASSERT_TRUE(ToText()) << target.m_message;
        EXPECT_EQ(Text(), "//Name\r\n" + c.result + "\r\n");
        WriteBinary(std::string(6, '\xEE'));
        ASSERT_TRUE(ToBinary()) << target.m_message;
        EXPECT_EQ(Hex(Binary()), Hex(c.bytes));
    }
}

// Text that is too long is cut between characters, never inside one, for both read directions,
// and the dry run reports the cut; a character the encoding lacks fails its line.
TEST_F(EncodedTextTest, CellsToRecords) {
    const std::string a = "\xE3\x81\x82"; // あ, 82 A0 in CP932
    struct Case {
        const char* definition;
        std::string cell;
        std::string bytes;  // of the 5-byte item, or the failure text
        std::string report; // of the dry run
    } cases[] = {
        {"Name,5,N,s,1,Name\r\n", a + a + a, Bytes({0x82, 0xA0, 0x82, 0xA0, 0}), "At line 2. Name: 6 bytes cut to 4"},
        {"Name,5,N,s,1,Name\r\n", "x" + a + a, Bytes({'x', 0x82, 0xA0, 0x82, 0xA0}), ""},
        {"Name,5,N,s,1,Name\r\n", "xy" + a + a, Bytes({'x', 'y', 0x82, 0xA0, 0}), "At line 2. Name: 6 bytes cut to 4"},
        // "R" holds 4 bytes of text: x and one あ, stored as pairs swapped.
        {"Name,5,R,s,1,Name\r\n", "x" + a + a, Bytes({0x82, 'x', 0, 0xA0, 0}), "At line 2. Name: 5 bytes cut to 3"},
        {"Name,5,N,s,1,Name\r\n", "caf\xC3\xA9",
         "At line 2. Name: Not expressible (CP932), Byte 3: C3 A9 \"\xC3\xA9\" (U+00E9)",
         "At line 2. Name: Not expressible (CP932), Byte 3: C3 A9 \"\xC3\xA9\" (U+00E9)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        ASSERT_TRUE(Load(CTargetSetup(c.definition, 5).Key("BTextEncoding", "CP932")));
        WriteText("//Name\r\n" + c.cell + "\r\n");
        WriteBinary(std::string(5, '\xEE'));
        CCheckReport report(CCheckReport::dryRun);
        CScriptedProgress progress;
        ASSERT_TRUE(DryRunToBinary(target, false, report, progress)) << target.m_message;
        EXPECT_EQ(report.Lines(), c.report.empty() ? std::vector<std::string>() : std::vector<std::string> {c.report});
        if (c.bytes.starts_with("At line")) {
            EXPECT_FALSE(ToBinary());
            EXPECT_EQ(target.m_message, c.bytes);
            continue;
        }
        ASSERT_TRUE(ToBinary()) << target.m_message;
        EXPECT_EQ(Hex(Binary()), Hex(c.bytes));
    }
}

// The round-trip check names the records that Binary => Text would refuse for their encoding.
TEST_F(EncodedTextTest, TheCheckReportsEncodingFaults) {
    ASSERT_TRUE(Load(CTargetSetup("No,1,R,u,1,No\r\nName,4,N,s,1,Name\r\n", 5, 3).Key("BTextEncoding", "CP932")));
    WriteBinary(Bytes({0, 'o', 'k', 0, 0, 1, 0x87, 0x90, 0, 0, 2, 0x82, 0xA0, 0, 0}));
    CCheckReport report(CCheckReport::roundTrip);
    CScriptedProgress progress;
    target.m_message = "[ Check ]";
    ASSERT_TRUE(CheckRoundTrip(target, report, progress)) << target.m_message;
    // 87 90 is an NEC character that CP932 also has at 81 E0.
    const std::vector<std::string> expected = {"At line 2. Name: Not kept (CP932), Byte 0: 87 90 (encoding)."};
    EXPECT_EQ(report.Lines(), expected);
}

} // namespace
