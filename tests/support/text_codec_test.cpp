#include "support/text_codec.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"

namespace {
std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}

// The codec's conversion of one character, as a string; empty with the fault when it fails.
std::string Decoded(const CTextCodec& codec, const std::string& bytes, std::size_t& length, CodecFault& fault) {
    char text[4];
    char* out = text;
    length = codec.Decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out, fault);
    return std::string(text, out);
}

std::string Encoded(const CTextCodec& codec, const std::string& text, CodecFault& fault) {
    std::string bytes;
    std::size_t failedAt = 0;
    return codec.EncodeAll(text, bytes, failedAt, fault) ? bytes : std::string();
}
}

// Every listed encoding the platform converts, swept over every one- and two-byte sequence: ASCII
// is itself, the character lengths agree with the platform's tables, and the codec agrees with
// the platform: a character converts to the same text and back to its bytes, bytes that are none
// are refused, and so are a code page's duplicate, whose bytes would come back as its twin's, and
// a character the platform converts only one way. An encoding the platform lacks has no codec.
TEST(TextCodec, EveryShortCharacterOfEveryEncoding) {
    for (const char* name : kListedEncodings) {
        const CTextCodec* codec = CTextCodec::Find(name);
        CCodePage page;
        if (!page.Open(name)) {
            EXPECT_TRUE(SystemMayLackEncoding(name)) << name;
            EXPECT_EQ(codec, nullptr) << name;
            continue;
        }
        ASSERT_NE(codec, nullptr) << name;
        const CTextEncoding& encoding = codec->Encoding();
        std::size_t failedAt = 0, length = 0;
        CodecFault fault = CodecFault::none;
        for (int b = 1; b < 0x80; ++b) {
            const std::string ascii(1, static_cast<char>(b));
            EXPECT_EQ(Decoded(*codec, ascii, length, fault), ascii) << name << " " << b;
            EXPECT_EQ(Encoded(*codec, ascii, fault), ascii) << name << " " << b;
        }
        int doubleByte = 0, twins = 0;
        for (int lead = 0x80; lead < 0x100; ++lead) {
            for (int trail = -1; trail < 0x100; ++trail) {
                if (trail == 0) continue;
                const std::string bytes = trail < 0 ? Bytes({lead}) : Bytes({lead, trail});
                const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());
                // Only whole characters: a single byte that begins a longer one, or a pair that
                // is two characters, is left to the other iterations.
                if (encoding.CharacterLength(raw, bytes.size()) != bytes.size()) continue;
                std::string text;
                const std::string decoded = Decoded(*codec, bytes, length, fault);
                if (!page.ToSystem(bytes, text, failedAt)) {
                    EXPECT_EQ(length, 0u) << name << " " << lead << " " << trail;
                    EXPECT_EQ(fault, CodecFault::notACharacter) << name << " " << lead << " " << trail;
                    continue;
                }
                doubleByte += bytes.size() == 2;
                std::string back;
                if (!page.FromSystem(text, back, failedAt)) back.clear(); // converted one way only
                if (back == bytes) {
                    EXPECT_EQ(length, bytes.size()) << name << " " << lead << " " << trail;
                    EXPECT_EQ(decoded, text) << name << " " << lead << " " << trail;
                    EXPECT_EQ(Encoded(*codec, text, fault), bytes) << name << " " << lead << " " << trail;
                    continue;
                }
                ++twins;
                EXPECT_EQ(length, 0u) << name << " " << lead << " " << trail;
                EXPECT_EQ(fault, CodecFault::notKept) << name << " " << lead << " " << trail;
                // The twin's text is that of the bytes it comes back as.
                std::string again;
                if (back.empty()) continue;
                ASSERT_TRUE(page.ToSystem(back, again, failedAt));
                EXPECT_EQ(again, text) << name << " " << lead << " " << trail;
            }
        }
        if (encoding.Name() == "CP932") {
            // About 9,600 two-byte characters with the user-defined area; the NEC and IBM
            // extensions make about 400 of them duplicates.
            EXPECT_GT(doubleByte, 7000);
            EXPECT_GT(twins, 300);
        }
    }
}

// Characters longer than two bytes go to the platform, and cut-off ones are refused.
TEST(TextCodec, LongCharactersAndFaults) {
    struct Case {
        const char* encoding;
        std::string bytes;
        std::string text; // empty: refused with the fault
        CodecFault fault;
    };
    const Case cases[] = {
        {"GB18030", Bytes({0x81, 0x30, 0x81, 0x30}), "\xC2\x80", CodecFault::none},
        {"GB18030", Bytes({0x81, 0x30, 0x81}), "", CodecFault::notACharacter},
        {"EUC-JP", Bytes({0x8F, 0xB0, 0xA1}), EucJpHasThreeByteCharacters() ? "\xE4\xB8\x82" : "",
         CodecFault::notACharacter},
        {"UTF-8", "\xE8\xA1\xA8", "\xE8\xA1\xA8", CodecFault::none},
        {"UTF-8", "\xE8\xA1", "", CodecFault::notACharacter},
        {"UTF-8", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", CodecFault::none},
        {"CP932", Bytes({0x82}), "", CodecFault::notACharacter},
        {"CP932", Bytes({0x82, 0x20}), "", CodecFault::notACharacter},
    };
    for (const Case& c : cases) {
        const CTextCodec* codec = CTextCodec::Find(c.encoding);
        if (!codec && SystemMayLackEncoding(c.encoding)) continue;
        ASSERT_NE(codec, nullptr) << c.encoding;
        std::size_t length = 0;
        CodecFault fault = CodecFault::none;
        EXPECT_EQ(Decoded(*codec, c.bytes, length, fault), c.text) << c.encoding;
        EXPECT_EQ(length, c.text.empty() ? 0u : c.bytes.size()) << c.encoding;
        if (c.text.empty()) {
            EXPECT_EQ(fault, c.fault) << c.encoding;
        } else {
            EXPECT_EQ(Encoded(*codec, c.text, fault), c.bytes) << c.encoding;
        }
    }

    const CTextCodec* cp932 = CTextCodec::Find("sjis");
    ASSERT_NE(cp932, nullptr);
    EXPECT_EQ(cp932, CTextCodec::Find("CP932"));
    EXPECT_EQ(CTextCodec::Find("UTF-16"), nullptr);
    std::string bytes;
    std::size_t failedAt = 0;
    CodecFault fault = CodecFault::none;
    // A character CP932 lacks, and bytes that are no UTF-8, both after a two-byte character.
    EXPECT_FALSE(cp932->EncodeAll("\xE8\xA1\xA8\xC3\xA9", bytes, failedAt, fault));
    EXPECT_EQ(failedAt, 3u);
    EXPECT_EQ(fault, CodecFault::notExpressible);
    EXPECT_EQ(bytes, Bytes({0x95, 0x5C}));
    EXPECT_EQ(cp932->FaultText(fault, "\xE8\xA1\xA8\xC3\xA9", failedAt, 3),
              "Not expressible (CP932), Byte 3: C3 A9 \"\xC3\xA9\" (U+00E9)");
    EXPECT_FALSE(cp932->EncodeAll("a\xFF", bytes, failedAt, fault));
    EXPECT_EQ(cp932->FaultText(fault, "a\xFF", failedAt, failedAt), "Not a character (UTF-8), Byte 1: FF");
    // A duplicate is refused when converted, but read as its text from the target's own files.
    const std::string twin = Bytes({'x', 0xED, 0x40});
    std::size_t length = 0;
    EXPECT_EQ(Decoded(*cp932, twin.substr(1), length, fault), "");
    EXPECT_EQ(cp932->FaultText(fault, twin, 1, 1), "Not kept (CP932), Byte 1: ED 40");
    std::string text;
    EXPECT_TRUE(cp932->ReadAll(twin, text, failedAt, fault));
    EXPECT_EQ(text, "x\xE7\xBA\x8A");
    EXPECT_FALSE(cp932->ReadAll(Bytes({'x', 0x81, 0x7F}), text, failedAt, fault));
    EXPECT_EQ(failedAt, 1u);
}
