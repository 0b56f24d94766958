#include "support/value_conversions.h"

#include <gtest/gtest.h>

#include "platform/system.h"
#include "tests/common/test_support.h"

namespace {

constexpr std::int32_t kUntouched = 12345;

struct SignedCase {
    const char* text;
    int mode;
    std::int32_t low, high;
    bool ok;
    std::int32_t value; // expected when ok
};

TEST(ValueConversions, ParseSignedTable) {
    const SignedCase cases[] = {
        // Range mode bounds.
        {"12", parseRange, 1, 2050, true, 12},
        {"2050", parseRange, 1, 2050, true, 2050},
        {"1", parseRange, 1, 2050, true, 1},
        {"0", parseRange, 1, 2050, false, 0},
        {"2051", parseRange, 1, 2050, false, 0},
        {"-5", parseRange, -5, -5, true, -5},
        // Leading white space only.
        {" 42", parseAny, 0, 0, true, 42},
        {"\t42", parseAny, 0, 0, true, 42},
        {"\n42", parseAny, 0, 0, true, 42},
        {"\v42", parseAny, 0, 0, true, 42},
        {"\f42", parseAny, 0, 0, true, 42},
        {"\r42", parseAny, 0, 0, true, 42},
        {" \t -42", parseAny, 0, 0, true, -42},
        {"42 ", parseAny, 0, 0, false, 0},
        {"42\r", parseAny, 0, 0, false, 0},
        {"- 4", parseAny, 0, 0, false, 0},
        {"   ", parseAny, 0, 0, false, 0},
        // Signs.
        {"+7", parseAny, 0, 0, true, 7},
        {"-0", parseAny, 0, 0, true, 0},
        {"+", parseAny, 0, 0, false, 0},
        {"-", parseAny, 0, 0, false, 0},
        {"+-1", parseAny, 0, 0, false, 0},
        {"--1", parseAny, 0, 0, false, 0},
        // Not decimal.
        {"", parseAny, 0, 0, false, 0},
        {"abc", parseAny, 0, 0, false, 0},
        {"12ab", parseAny, 0, 0, false, 0},
        {"0x10", parseAny, 0, 0, false, 0},
        {"1.5", parseAny, 0, 0, false, 0},
        // 32-bit limits and the 11-byte limit.
        {"2147483647", parseAny, 0, 0, true, 2147483647},
        {"2147483648", parseAny, 0, 0, false, 0},
        {"-2147483648", parseAny, 0, 0, true, INT32_MIN},
        {"-2147483649", parseAny, 0, 0, false, 0},
        {"99999999999", parseAny, 0, 0, false, 0},
        {"00000000001", parseAny, 0, 0, true, 1},
        {"000000000001", parseAny, 0, 0, false, 0},
        {"          1", parseAny, 0, 0, true, 1},
        {"           1", parseAny, 0, 0, false, 0},
        // The fixed modes.
        {"-128", parseInt8, 0, 0, true, -128},
        {"127", parseInt8, 0, 0, true, 127},
        {"128", parseInt8, 0, 0, false, 0},
        {"-129", parseInt8, 0, 0, false, 0},
        {"0", parseUInt8, 0, 0, true, 0},
        {"255", parseUInt8, 0, 0, true, 255},
        {"256", parseUInt8, 0, 0, false, 0},
        {"-1", parseUInt8, 0, 0, false, 0},
        {"-32768", parseInt16, 0, 0, true, -32768},
        {"32767", parseInt16, 0, 0, true, 32767},
        {"32768", parseInt16, 0, 0, false, 0},
        {"-32769", parseInt16, 0, 0, false, 0},
        {"-1", parseUInt16, 0, 0, false, 0},
        {"65535", parseUInt16, 0, 0, true, 65535},
        {"65536", parseUInt16, 0, 0, false, 0},
        {"-2147483648", 5, 0, 0, true, INT32_MIN},
        {"-1", 6, 0, 0, false, 0},
        {"0", 6, 0, 0, true, 0},
        {"-1", parseNonNegative, 0, 0, false, 0},
        {"2147483647", parseNonNegative, 0, 0, true, 2147483647},
        {"-7", 99, 0, 0, true, -7},
        // Only the range mode looks at low and high.
        {"500", parseAny, 1, 2, true, 500},
        {"500", parseUInt16, 1, 2, true, 500},
    };
    for (const SignedCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << c.text << "\" mode " << c.mode);
        std::int32_t value = kUntouched;
        EXPECT_EQ(ParseSigned(c.text, value, c.mode, c.low, c.high), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : kUntouched);
    }
}

TEST(ValueConversions, ParseSignedReadsOnlyTheGivenView) {
    const char buffer[] = "123456";
    std::int32_t value = 0;
    ASSERT_TRUE(ParseSigned(std::string_view(buffer, 3), value, parseAny, 0, 0));
    EXPECT_EQ(value, 123);
    ASSERT_TRUE(ParseSigned(std::string_view(buffer + 3, 2), value, parseAny, 0, 0));
    EXPECT_EQ(value, 45);
}

struct UnsignedCase {
    const char* text;
    bool checkRange;
    std::uint32_t low, high;
    bool ok;
    std::uint32_t value;
};

TEST(ValueConversions, ParseUnsignedTable) {
    const UnsignedCase cases[] = {
        {"4294967295", false, 0, 0, true, 4294967295u},
        {"4294967296", false, 0, 0, false, 0},
        {"-1", false, 0, 0, true, 4294967295u},
        {"-4294967295", false, 0, 0, true, 1},
        {"-4294967296", false, 0, 0, false, 0},
        {"+0", false, 0, 0, true, 0},
        {" 17", false, 0, 0, true, 17},
        {"17 ", false, 0, 0, false, 0},
        {"", false, 0, 0, false, 0},
        {"0x10", false, 0, 0, false, 0},
        {"00000000009", false, 0, 0, true, 9},
        {"000000000009", false, 0, 0, false, 0},
        {"100", true, 0, 100, true, 100},
        {"101", true, 0, 100, false, 0},
        {"0", true, 1, 100, false, 0},
        {"-1", true, 0, 100, false, 0},
        {"-1", true, 0, 4294967295u, true, 4294967295u},
        {"101", false, 0, 100, true, 101},
    };
    for (const UnsignedCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << c.text << "\"");
        std::uint32_t value = kUntouched;
        EXPECT_EQ(ParseUnsigned(c.text, value, c.checkRange, c.low, c.high), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : static_cast<std::uint32_t>(kUntouched));
    }
}

void ExpectSystemErrorBox(const CScriptedMessageBox& box, const std::string& text) {
    ASSERT_EQ(box.m_shown.size(), 1u);
    EXPECT_EQ(box.m_shown[0].text, text);
    EXPECT_EQ(box.m_shown[0].style, static_cast<unsigned>(mbError));
}

TEST(ValueConversions, ParseSignedReversedBoundsShowSystemError) {
    CTestEnvironment env;
    std::int32_t value = kUntouched;
    // The guard comes before the mode, so a valid text in another mode fails too.
    EXPECT_FALSE(ParseSigned("5", value, parseAny, 10, 9));
    EXPECT_EQ(value, kUntouched);
    ExpectSystemErrorBox(env.m_box, "System Error");
}

TEST(ValueConversions, ParseUnsignedReversedBoundsCompareUnsigned) {
    CTestEnvironment env;
    std::uint32_t value = kUntouched;
    // 0x80000000 is above 1 when compared unsigned: no box.
    EXPECT_TRUE(ParseUnsigned("7", value, false, 1, 0x80000000u));
    EXPECT_TRUE(env.m_box.m_shown.empty());
    EXPECT_FALSE(ParseUnsigned("7", value, false, 0x80000000u, 1));
    EXPECT_EQ(value, 7u);
    ExpectSystemErrorBox(env.m_box, "System Error");
}

TEST(ValueConversions, ReversedBoundsBoxUsesTranslatedWords) {
    CTestEnvironment env;
    env.Translate("msg.Error=Fehler\r\n");
    std::int32_t value = 0;
    EXPECT_FALSE(ParseSigned("5", value, parseRange, 0, -1));
    ExpectSystemErrorBox(env.m_box, "System Fehler");
}

TEST(ValueConversions, CheckItemValue) {
    struct Case {
        std::int32_t value;
        std::uint32_t length;
        int type;
        bool ok;
    };
    const Case cases[] = {
        {INT32_MIN, 1, convText, true},
        {255, 1, convUnsigned, true},
        {256, 1, convUnsigned, false},
        {65535, 2, convUnsigned, true},
        {65536, 2, convUnsigned, false},
        {-1, 2, convUnsigned, false},
        {-1, 4, convUnsigned, false},
        {INT32_MAX, 3, convUnsigned, true},
        {-128, 1, convSigned, true},
        {127, 1, convSigned, true},
        {128, 1, convSigned, false},
        {-129, 1, convSigned, false},
        {-32768, 2, convSigned, true},
        {32767, 2, convSigned, true},
        {32768, 2, convSigned, false},
        {-32769, 2, convSigned, false},
        {-5, 4, convSigned, true},
        {-8388609, 3, convSigned, true},
        {INT32_MIN, 3, convSigned, true},
        {7, 1, 3, true},
        {8, 1, 3, false},
        {-1, 1, 3, false},
        {127, 1, 7, true},
        {128, 1, 7, false},
        {0, 1, 8, false},
        {0, 1, 0, false},
        {0, 1, -3, false},
        {32767, 2, 15, true},
        {INT32_MAX, 4, 31, true},
        {0, 4, 32, false},
        {INT32_MAX, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << ", " << c.length << ", " << c.type);
        EXPECT_EQ(CheckItemValue(c.value, c.length, c.type), c.ok);
    }
}

TEST(ValueConversions, BitFieldsFit) {
    struct Case {
        std::uint32_t length, bits, count;
        bool ok;
    };
    const Case cases[] = {
        {1, 3, 3, true},  {1, 3, 4, false}, {2, 4, 4, true}, {2, 4, 5, false},
        {4, 31, 2, true}, {4, 31, 3, false}, {1, 1, 8, true}, {1, 1, 9, false},
        {3, 5, 5, true},  {3, 5, 6, false}, {1, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << ", " << c.bits << ", " << c.count);
        EXPECT_EQ(BitFieldsFit(c.length, c.bits, c.count), c.ok);
    }
}

TEST(ValueConversions, ReverseBytes) {
    const std::uint8_t source[5] = {0x12, 0x34, 0x56, 0x78, 0x9A};
    std::uint8_t destination[5] = {0, 0, 0, 0, 0};

    EXPECT_EQ(ReverseBytes(destination, source, 3), 3u);
    EXPECT_EQ(destination[0], 0x56);
    EXPECT_EQ(destination[1], 0x34);
    EXPECT_EQ(destination[2], 0x12);
    EXPECT_EQ(destination[3], 0x00);

    EXPECT_EQ(ReverseBytes(destination, source, 2), 2u);
    EXPECT_EQ(destination[0], 0x34);
    EXPECT_EQ(destination[1], 0x12);

    EXPECT_EQ(ReverseBytes(destination, source, 4), 4u);
    const std::uint8_t four[5] = {0x78, 0x56, 0x34, 0x12, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(destination, destination + 5), std::vector<std::uint8_t>(four, four + 5));

    for (std::uint32_t n : {0u, 1u, 5u}) {
        std::uint8_t untouched[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(ReverseBytes(untouched, source, n), 0u);
        for (std::uint8_t byte : untouched) EXPECT_EQ(byte, 0xEE);
    }
    EXPECT_EQ(ReverseBytes(nullptr, source, 2), 0u);
    EXPECT_EQ(ReverseBytes(destination, nullptr, 2), 0u);
}

TEST(ValueConversions, ReverseBits) {
    EXPECT_EQ(ReverseBits(0x01), 0x80);
    EXPECT_EQ(ReverseBits(0x80), 0x01);
    EXPECT_EQ(ReverseBits(0x03), 0xC0);
    EXPECT_EQ(ReverseBits(0x0F), 0xF0);
    EXPECT_EQ(ReverseBits(0xA5), 0xA5);
    EXPECT_EQ(ReverseBits(0x12), 0x48);
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<std::uint8_t>(byte);
        EXPECT_EQ(ReverseBits(ReverseBits(b)), b) << byte;
        for (int bit = 0; bit < 8; ++bit)
            EXPECT_EQ((ReverseBits(b) >> bit) & 1, (b >> (7 - bit)) & 1) << byte << " bit " << bit;
    }
}

class TimestampSuffixTest : public testing::Test {
protected:
    void SetUp() override {
        const CLocalTime fixed {2024, 1, 1, 9, 7, 3};
        FixLocalTime(&fixed);
    }
    void TearDown() override { FixLocalTime(nullptr); }
};

TEST_F(TimestampSuffixTest, Parts) {
    EXPECT_EQ(TimestampSuffix(false, true, true, true, true, true), "-0101-090703");
    EXPECT_EQ(TimestampSuffix(true, true, true, true, true, true), "-20240101-090703");
    EXPECT_EQ(TimestampSuffix(false, false, false, true, true, true), "-090703");
    EXPECT_EQ(TimestampSuffix(false, true, true, false, false, false), "-0101");
    EXPECT_EQ(TimestampSuffix(false, false, false, false, false, false), "-");
    EXPECT_EQ(TimestampSuffix(true, false, false, false, false, true), "-2024-03");
    EXPECT_EQ(TimestampSuffix(false, false, true, false, true, false), "-01-07");
}

TEST_F(TimestampSuffixTest, PadsSmallYearAndKeepsTwoDigitFields) {
    const CLocalTime fixed {987, 12, 31, 23, 59, 58};
    FixLocalTime(&fixed);
    EXPECT_EQ(TimestampSuffix(true, true, true, true, true, true), "-09871231-235958");
}

} // namespace
