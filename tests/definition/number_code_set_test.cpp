#include "definition/number_code_set.h"

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>
#include <string>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "support/value_conversions.h"
#include "platform/file.h"
#include "platform/file_exception.h"
#include "tests/common/allocation_failure.h"
#include "tests/common/test_support.h"

namespace {

class NumberCodeSetTest : public ::testing::Test {
protected:
    NumberCodeSetTest() { set.Reset(); }

    // Writes the file and loads it for an item; the slot starts as -1 like an item's.
    bool Load(const std::string& name, const std::string& contents, std::uint32_t length, int type) {
        env.m_folder.Write(name, contents);
        slot = -1;
        return set.LoadTable(name, length, type, slot);
    }

    CTestEnvironment env;
    CNumberCodeSet set;
    int slot = -1;
};

TEST_F(NumberCodeSetTest, LoadsCodesAndLooksThemUp) {
    ASSERT_TRUE(Load("fruit.txt", "// fruit\r\n1\tApple\r\n\r\n 2 \t Pear  // ripe\r\n-3\tLemon\r\n", 1, convSigned));
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(set.m_ok, 1);
    EXPECT_EQ(set.m_message, "");
    EXPECT_EQ(set.TableCount(), 1u);

    struct LookUp {
        int index;
        std::int32_t code;
        bool found;
        std::string text;
    };
    const LookUp cases[] = {
        {0, 1, true, "Apple"}, {0, 2, true, "Pear"},  {0, -3, true, "Lemon"}, {0, 3, false, "3"},
        {0, -7, false, "-7"},  {-1, 1, false, ""},     {1, 1, false, ""},
    };
    for (const LookUp& c : cases) {
        std::string text = "stale";
        EXPECT_EQ(set.CodeToMeaning(c.index, c.code, text), c.found) << c.index << " " << c.code;
        EXPECT_EQ(text, c.text) << c.index << " " << c.code;
        const std::string* meaning = set.FindMeaning(c.index, c.code);
        EXPECT_EQ(meaning != nullptr, c.found) << c.index << " " << c.code;
        if (meaning) {
            EXPECT_EQ(*meaning, c.text);
        }
    }
}

TEST_F(NumberCodeSetTest, FirstMeaningOfARepeatedCodeWins) {
    ASSERT_TRUE(Load("twice.txt", "5\tFirst\n5\tSecond\n", 4, convUnsigned));
    EXPECT_EQ(*set.FindMeaning(slot, 5), "First");
    EXPECT_EQ(set.Table(slot)->m_meanings.size(), 1u);
}

struct FailureCase {
    const char* title;
    std::string contents;
    std::uint32_t length;
    int type;
    std::string message;
};

TEST_F(NumberCodeSetTest, FaultyFilesAreReportedAtTheirLine) {
    const FailureCase cases[] = {
        {"single field", "1\tApple\n2\n", 1, convUnsigned, "At line 2. Item Num"},
        {"empty meaning", "1\t\n", 1, convUnsigned, "At line 1. Not set"},
        {"meaning only a comment", "//h\n1\t  // none\n", 1, convUnsigned, "At line 2. Not set"},
        {"code not a number", "x\tApple\n", 1, convUnsigned, "At line 1. Range"},
        {"code with trailing letters", "12a\tApple\n", 4, convSigned, "At line 1. Range"},
        {"code beyond 32 bits", "2147483648\tBig\n", 4, convSigned, "At line 1. Range"},
        {"code too big for one byte", "1\tA\n300\tBig\n", 1, convUnsigned, "At line 2. Range"},
        {"negative code for an unsigned item", "-1\tMinus\n", 2, convUnsigned, "At line 1. Range"},
        {"code beyond the bit fields", "8\tEight\n", 1, 3, "At line 1. Range"},
        {"only comments", "// a\n\n//b\n", 1, convUnsigned, "At line 4. Sum Count 0"},
        {"empty file", "", 1, convUnsigned, "At line 1. Sum Count 0"},
    };
    for (const FailureCase& c : cases) {
        set.Reset();
        EXPECT_FALSE(Load("bad.txt", c.contents, c.length, c.type)) << c.title;
        EXPECT_EQ(set.m_message, c.message) << c.title;
        EXPECT_EQ(set.m_ok, 0) << c.title;
        EXPECT_EQ(slot, -1) << c.title;
        EXPECT_EQ(set.TableCount(), 0u) << c.title;
        EXPECT_TRUE(set.m_files.empty()) << c.title;
        EXPECT_EQ(set.m_open, 0) << c.title;
    }
}

TEST_F(NumberCodeSetTest, FailureUsesTheTranslatedWords) {
    env.Translate("msg.Range=Bereich\r\n");
    set.Reset();
    EXPECT_FALSE(Load("bad.txt", "1\tA\n256\tB\n", 1, convUnsigned));
    EXPECT_EQ(set.m_message, "At line 2. Bereich");
    EXPECT_EQ(set.ComposeError(), "NumCodeMean Error\r\nAt line 2. Bereich");
}

TEST_F(NumberCodeSetTest, ComposedErrorNamesTheSet) {
    EXPECT_FALSE(Load("bad.txt", "1\tApple\n2\n", 1, convUnsigned));
    EXPECT_EQ(set.ComposeError(), "NumCodeMean Error\r\nAt line 2. Item Num");
}

TEST_F(NumberCodeSetTest, UnusablePathsAreReportedWithoutLineNote) {
    const struct {
        const char* title;
        std::string path;
        std::string message;
    } cases[] = {
        {"missing file", "missing.txt", "FilePath "},
        {"name without extension", "codes", "FilePath "},
        {"too long", std::string(300, 'a') + ".txt", "FilePath FilePath Max.length over"},
    };
    for (const auto& c : cases) {
        set.Reset();
        slot = -1;
        EXPECT_FALSE(set.LoadTable(c.path, 1, convUnsigned, slot)) << c.title;
        EXPECT_EQ(set.m_message, c.message) << c.title;
        EXPECT_EQ(set.m_ok, 0) << c.title;
        EXPECT_EQ(slot, -1) << c.title;
    }
}

TEST_F(NumberCodeSetTest, FileThatCannotBeOpenedNamesTheCause) {
    const std::string fullPath = env.m_folder.Write("busy.txt", "1\tA\n");
    CFile writer(fullPath, modeWrite | modeCreate | modeNoTruncate | typeBinary);
    const CFileException sharing(CFileException::sharingViolation, fullPath);
    EXPECT_FALSE(set.LoadTable("busy.txt", 1, convUnsigned, slot));
    EXPECT_EQ(set.m_message, " Can't open file\r\n" + FileExceptionText(&sharing) + "\r\n" + fullPath);
    EXPECT_EQ(slot, -1);
}

TEST_F(NumberCodeSetTest, CodesAreCheckedForTheItemThatFirstNamesTheFile) {
    EXPECT_FALSE(Load("wide.txt", "300\tBig\n", 1, convUnsigned));
    EXPECT_EQ(set.m_message, "At line 1. Range");
    set.Reset();
    ASSERT_TRUE(Load("wide.txt", "300\tBig\n", 2, convUnsigned));
    EXPECT_EQ(*set.FindMeaning(slot, 300), "Big");
}

TEST_F(NumberCodeSetTest, EachFileIsReadOncePerFullPath) {
    const std::string fullPath = env.m_folder.Write("shared.txt", "300\tBig\n");
    int first = -1, second = -1, third = -1, other = -1;
    ASSERT_TRUE(set.LoadTable("shared.txt", 2, convUnsigned, first));
    // Neither read again nor checked against the second item.
    env.m_folder.Write("shared.txt", "x\n");
    ASSERT_TRUE(set.LoadTable("shared.txt", 1, convUnsigned, second));
    ASSERT_TRUE(set.LoadTable(fullPath, 1, convUnsigned, third));
    env.m_folder.Write("other.txt", "1\tOne\n");
    ASSERT_TRUE(set.LoadTable("other.txt", 1, convUnsigned, other));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(third, 0);
    EXPECT_EQ(other, 1);
    EXPECT_EQ(set.TableCount(), 2u);
    EXPECT_EQ(set.m_files.size(), 2u);
    EXPECT_EQ(*set.FindMeaning(0, 300), "Big");
    EXPECT_EQ(*set.FindMeaning(1, 1), "One");
}

TEST_F(NumberCodeSetTest, LineNumbersCountWithinEachFile) {
    ASSERT_TRUE(Load("good.txt", "1\tA\n2\tB\n3\tC\n", 1, convUnsigned));
    set.Reset();
    ASSERT_TRUE(Load("good.txt", "1\tA\n2\tB\n3\tC\n", 1, convUnsigned));
    EXPECT_FALSE(Load("bad.txt", "1\n", 1, convUnsigned));
    EXPECT_EQ(set.m_message, "At line 1. Item Num");
}

TEST_F(NumberCodeSetTest, FirstFailureStaysUntilReset) {
    EXPECT_FALSE(Load("bad.txt", "1\tA\n2\n", 1, convUnsigned));
    EXPECT_TRUE(Load("good.txt", "1\tA\n", 1, convUnsigned));
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(set.m_ok, 0);
    EXPECT_EQ(set.m_message, "At line 2. Item Num");
    EXPECT_FALSE(set.LoadTable("missing.txt", 1, convUnsigned, slot));
    EXPECT_EQ(set.m_message, "At line 2. Item Num");
    EXPECT_EQ(set.ComposeError(), "NumCodeMean Error\r\nAt line 2. Item Num");

    set.Reset();
    EXPECT_EQ(set.m_message, "");
    EXPECT_EQ(set.TableCount(), 0u);
    EXPECT_TRUE(Load("good.txt", "1\tA\n", 1, convUnsigned));
    EXPECT_EQ(set.m_ok, 1);
}

TEST_F(NumberCodeSetTest, PathFailureSurvivesAFileAlreadyLoaded) {
    ASSERT_TRUE(Load("good.txt", "1\tA\n", 1, convUnsigned));
    EXPECT_FALSE(set.LoadTable("missing.txt", 1, convUnsigned, slot));
    // Accepting the path of the known file would otherwise clear the failure.
    EXPECT_TRUE(set.LoadTable("good.txt", 1, convUnsigned, slot));
    EXPECT_EQ(set.m_ok, 0);
    EXPECT_EQ(set.m_message, "FilePath ");
}

TEST_F(NumberCodeSetTest, MeaningToCodeFindsExactMeanings) {
    ASSERT_TRUE(Load("m.txt", "3\tSame\n1\tSame\n2\tPear\n", 1, convUnsigned));
    const struct {
        int index;
        std::string text;
        bool found;
        std::int32_t code;
    } cases[] = {
        {0, "Pear", true, 2}, {0, "Same", true, 1}, {0, "pear", false, 0},
        {0, "Pear ", false, 0}, {-1, "Pear", false, 99}, {1, "Pear", false, 99},
    };
    for (const auto& c : cases) {
        std::int32_t code = 99;
        EXPECT_EQ(set.MeaningToCode(c.index, c.text, code), c.found) << c.index << " " << c.text;
        EXPECT_EQ(code, c.code) << c.index << " " << c.text;
    }
}

TEST_F(NumberCodeSetTest, ParseCodeTakesMeaningsThenNumbers) {
    ASSERT_TRUE(Load("fruit.txt", "1\tApple\n2\tPear\n300\tMelon\n7\t5\n", 2, convUnsigned));
    const struct {
        const char* text;
        int index;
        std::uint32_t length;
        int type;
        std::int32_t code;     // when no failure
        const char* failure;   // or the failure's text
    } cases[] = {
        {"Apple", 0, 1, convUnsigned, 1, nullptr},
        {"7", 0, 1, convUnsigned, 7, nullptr},
        {"5", 0, 1, convUnsigned, 7, nullptr},
        {" 42", -1, 1, convUnsigned, 42, nullptr},
        {"-5", -1, 1, convSigned, -5, nullptr},
        {"Apple", -1, 1, convUnsigned, 0, "CodeReplacement"},
        {"Banana", 0, 1, convUnsigned, 0, "CodeReplacement"},
        {"", 0, 1, convUnsigned, 0, "CodeReplacement"},
        {"42 ", 3, 1, convUnsigned, 0, "CodeReplacement"},
        {"Melon", 0, 1, convUnsigned, 0, "Range"},
        {"256", -1, 1, convUnsigned, 0, "Range"},
        {"-1", 0, 4, convUnsigned, 0, "Range"},
    };
    for (const auto& c : cases) {
        std::int32_t code = 1234;
        if (!c.failure) {
            EXPECT_NO_THROW(set.ParseCode(code, c.text, c.index, c.length, c.type)) << c.text;
            EXPECT_EQ(code, c.code) << c.text;
            continue;
        }
        try {
            set.ParseCode(code, c.text, c.index, c.length, c.type);
            ADD_FAILURE() << "no failure for " << c.text;
        } catch (const CFailure& failure) {
            EXPECT_EQ(failure.Text(), c.failure) << c.text;
        }
        EXPECT_EQ(code, 1234) << c.text;
    }
}

TEST_F(NumberCodeSetTest, ParseCodeFailureUsesTheTranslatedWord) {
    env.Translate("msg.Range=Bereich\r\n");
    std::int32_t code = 0;
    try {
        set.ParseCode(code, "256", -1, 1, convUnsigned);
        ADD_FAILURE() << "no failure";
    } catch (const CFailure& failure) {
        EXPECT_EQ(failure.Text(), "Bereich");
    }
}

TEST_F(NumberCodeSetTest, CodesStandForTheirHighOrderBytesUpToAZero) {
    const struct {
        const char* code;
        std::string bytes;
    } cases[] = {
        {"65", "A"},
        {"-1", "\xFF"},
        {"-128", "\x80"},
        {"127", "\x7F"},
        {"128", ""}, // 00 80
        {"200", ""}, // 00 C8
        {"33440", "\x82\xA0"},
        {"65535", "\xFF\xFF"},
        {"16961", "BA"},
        {"4276803", "ABC"},
        {"16777215", "\xFF\xFF\xFF"},
        {"16777216", "\x01"},
        {"1090519106", "A"}, // 41 00 00 42
        {"-129", "\xFF\xFF\xFF\x7F"},
        {"1094861636", "ABCD"},
    };
    for (const auto& c : cases) {
        set.Reset();
        ASSERT_TRUE(Load("chars.txt", std::string(c.code) + "\tM\n", 8, convText)) << c.code;
        std::string text = "<" + c.bytes + ">";
        EXPECT_TRUE(set.ReplaceCodes(0, slot, text));
        EXPECT_EQ(text, c.bytes.empty() ? "<>" : "<M>") << c.code;
        text = "<M>";
        EXPECT_TRUE(set.ReplaceCodes(1, slot, text));
        EXPECT_EQ(text, c.bytes.empty() ? "<M>" : "<" + c.bytes + ">") << c.code;
    }
}

TEST_F(NumberCodeSetTest, ReplacesEveryOccurrenceBothWays) {
    ASSERT_TRUE(Load("chars.txt", "33440\tX\n", 8, convText));
    std::string text = "a\x82\xA0" "b\x82\xA0\x82\xA0";
    EXPECT_TRUE(set.ReplaceCodes(0, slot, text));
    EXPECT_EQ(text, "aXbXX");
    EXPECT_TRUE(set.ReplaceCodes(1, slot, text));
    EXPECT_EQ(text, "a\x82\xA0" "b\x82\xA0\x82\xA0");
    EXPECT_FALSE(set.ReplaceCodes(0, 1, text));
    EXPECT_FALSE(set.ReplaceCodes(1, -1, text));
    EXPECT_EQ(text, "a\x82\xA0" "b\x82\xA0\x82\xA0");
}

TEST_F(NumberCodeSetTest, ReplacementDoesNotRescanItsOwnOutput) {
    // The meaning holds the code's own byte.
    ASSERT_TRUE(Load("chars.txt", "65\tAA\n", 8, convText));
    std::string text = "xAy";
    EXPECT_TRUE(set.ReplaceCodes(0, slot, text));
    EXPECT_EQ(text, "xAAy");
    EXPECT_TRUE(set.ReplaceCodes(1, slot, text));
    EXPECT_EQ(text, "xAy");
}

TEST_F(NumberCodeSetTest, CodeZeroOnlyRemovesItsMeaningOnTheWayBack) {
    ASSERT_TRUE(Load("chars.txt", "0\tNUL\n", 8, convText));
    std::string text = std::string("a\0b", 3) + "NUL";
    EXPECT_TRUE(set.ReplaceCodes(0, slot, text));
    EXPECT_EQ(text, std::string("a\0bNUL", 6));
    text = "NULaNULb";
    EXPECT_TRUE(set.ReplaceCodes(1, slot, text));
    EXPECT_EQ(text, "ab");
}

TEST_F(NumberCodeSetTest, ResetForgetsEverything) {
    ASSERT_TRUE(Load("good.txt", "1\tA\n", 1, convUnsigned));
    set.Reset();
    EXPECT_EQ(set.m_name, "NumCodeMean");
    EXPECT_EQ(set.m_delimiter, "\t");
    EXPECT_EQ(set.m_ok, 0);
    EXPECT_EQ(set.TableCount(), 0u);
    EXPECT_TRUE(set.m_files.empty());
    EXPECT_EQ(set.FindMeaning(0, 1), nullptr);
}

TEST_F(NumberCodeSetTest, MemoryShortageIsReportedNotFatal) {
    const std::string fullPath = env.m_folder.Write("good.txt", "1\tApple\n2\tPear\n3\tLemon with a long meaning\n");
    bool reportedAtALine = false;
    for (long granted = 0;; ++granted) {
        set.Reset();
        slot = -1;
        FailAllocationAfter(granted);
        const bool loaded = set.LoadTable("good.txt", 1, convUnsigned, slot);
        const bool failed = DisarmAllocationFailure();
        if (!failed) {
            ASSERT_TRUE(loaded);
            EXPECT_EQ(*set.FindMeaning(slot, 3), "Lemon with a long meaning");
            break;
        }
        ASSERT_FALSE(loaded) << granted;
        EXPECT_EQ(set.m_ok, 0) << granted;
        EXPECT_EQ(slot, -1) << granted;
        EXPECT_EQ(set.TableCount(), 0u) << granted;
        const std::string& message = set.m_message;
        if (message.rfind("At line ", 0) == 0) {
            reportedAtALine = true;
            EXPECT_EQ(message.substr(message.find('.') + 1), " Memory short") << granted;
        } else if (message.rfind(" Can't open file", 0) == 0) {
            // The reader names every failure of the opening this way.
            EXPECT_EQ(message, " Can't open file\r\n" + fullPath) << granted;
        } else {
            EXPECT_EQ(message, " Memory short") << granted;
        }
    }
    EXPECT_TRUE(reportedAtALine);
}

} // namespace
