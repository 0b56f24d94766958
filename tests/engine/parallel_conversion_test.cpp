// Conversions in blocks across worker threads give the bytes and the outcome of the same run one
// record after the other.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "vocabulary/message_box.h"
#include "definition/target_info.h"
#include "tests/common/test_support.h"
#include "tests/engine/engine_test_support.h"

namespace {

// Every kind of item: numbers of each length and order, bit fields, number codes, a filler,
// texts in both orders, and a text with code replacement. 32 bytes.
const char* const kEveryKind = "U4,4,R,u,1,U4\r\n"
                               "U2,2,N,u,1,U2\r\n"
                               "S1,1,R,n,1,S1\r\n"
                               "S3,3,N,n,1,S3\r\n"
                               "Bits,2,R,3,5,B1 B2 B3 B4 B5\r\n"
                               "Kind,1,R,u,1,Kind,kinds.tsv\r\n"
                               "Fill,2,R,u,0,\r\n"
                               "Name,6,N,s,1,Name\r\n"
                               "RName,5,R,s,1,RName\r\n"
                               "Note,6,N,s,1,Note,codes.tsv\r\n";
constexpr int kSize = 32;
constexpr int kCount = 50;
constexpr std::uint32_t kBlock = 4;
const CConversionThreads kInTurn {1, 0};
const CConversionThreads kInBlocks {3, kBlock};

CTargetSetup EveryKind(int count = kCount) {
    return CTargetSetup(kEveryKind, kSize, count)
        .File("kinds.tsv", "0\tSword\r\n1\tShield\r\n2\tPotion\r\n")
        .File("codes.tsv", "1\t<red>\r\n10\t<br>\r\n");
}

std::string IndexList(const std::vector<int>& entries) {
    std::string list = "// BasePointOfBRecordIndex\r\n0\r\n// BRecordIndexList\r\n";
    for (const int entry : entries) list += std::to_string(entry) + "\r\n";
    return list;
}

// Records of random bytes; tidy ones have letters (and a replaced code) in their texts, so that
// their lines read back.
std::string Records(int count, bool tidy, unsigned seed = 7) {
    std::mt19937 random(seed);
    std::string bytes;
    for (int r = 0; r < count; ++r) {
        std::string record;
        for (int k = 0; k < kSize; ++k) record += static_cast<char>(random());
        if (tidy)
            for (int k = 15; k < kSize; ++k) record[k] = k == 27 ? '\x01' : static_cast<char>('a' + random() % 26);
        bytes += record;
    }
    return bytes;
}

// The data lines of a text, and the text they make again.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}
std::string Joined(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}
std::string WithFirstCell(const std::string& line, const std::string& cell) { return cell + line.substr(line.find(',')); }

// Where two outputs differ first, or npos.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t k = 0; k < common; ++k)
        if (a[k] != b[k]) return k;
    return a.size() == b.size() ? std::string::npos : common;
}

struct COutcome {
    bool converted = false;
    std::string message;
    std::string output;
    std::string indexList;
    std::vector<CProgressState> refreshes;
};

class ParallelConversionTest : public ::testing::Test {
public:
    std::string Path(const char* name) const { return env.m_folder.Path() + name; }

    COutcome ToText(const CConversionThreads& threads, std::uint32_t stopAfter) {
        std::filesystem::remove(Path("text.csv"));
        env.m_box.Answer(idYes);
        CScriptedProgress progress(stopAfter);
        target.m_message = "[ Binary => Text ]";
        const bool converted = ConvertTargetToText(target, progress, kTextOutputMode, threads);
        return {converted, target.m_message, ReadFile(Path("text.csv")), "", progress.m_refreshes};
    }

    COutcome ToBinary(const CConversionThreads& threads, const std::string& before, bool firstColumn,
                      std::uint32_t stopAfter) {
        env.m_folder.Write("data.bin", before);
        std::filesystem::remove(Path("text-BRecordIndexList.tsv"));
        env.m_box.Answer(idYes);
        CScriptedProgress progress(stopAfter);
        target.m_message = "[ Text => Binary ]";
        const bool converted = ConvertTargetToBinary(target, progress, firstColumn, firstColumn, kBinaryOutputMode, threads);
        return {converted, target.m_message, ReadFile(Path("data.bin")), ReadFile(Path("text-BRecordIndexList.tsv")),
                progress.m_refreshes};
    }

    // The run in blocks against the run in turn: the same outcome, and the blocks were used.
    void ExpectSame(const COutcome& inTurn, const COutcome& inBlocks, bool succeeds) {
        EXPECT_EQ(inTurn.converted, succeeds) << inTurn.message;
        EXPECT_EQ(inBlocks.converted, inTurn.converted);
        EXPECT_EQ(inBlocks.message, inTurn.message);
        EXPECT_EQ(FirstDifference(inBlocks.output, inTurn.output), std::string::npos)
            << inBlocks.output.size() << " bytes against " << inTurn.output.size();
        EXPECT_EQ(inBlocks.indexList, inTurn.indexList);
        // Run in blocks, the display counts whole blocks; in turn, single records.
        if (inTurn.refreshes.back().count >= 2 * kBlock) {
            EXPECT_LT(inBlocks.refreshes.size(), inTurn.refreshes.size() / 2);
        }
    }

    CTestEnvironment env;
    CTargetInfo target;
};

struct CToTextCase {
    const char* name;
    CTargetSetup setup;
    std::string binary;
    bool succeeds = true;
    std::uint32_t stopAfter = 0;
};

TEST_F(ParallelConversionTest, BinaryToTextGivesTheLinesOfARunInTurn) {
    // An invalid double-byte character: a lead byte and a blank.
    const auto brokenAt = [](int record) {
        std::string bytes = Records(kCount, true);
        bytes[static_cast<std::size_t>(record * kSize + 16)] = '\x81';
        bytes[static_cast<std::size_t>(record * kSize + 17)] = ' ';
        return bytes;
    };
    const std::vector<int> repeated {5, 5, 0, 49, 7, 7, 7, 12, 3, 3, 48, 1, 2, 9, 9, 30, 31, 30, 5};
    const CToTextCase cases[] = {
        {"every kind, random bytes (with LF and CR in texts)", EveryKind(), Records(kCount, false)},
        {"through the code tables", EveryKind().Key("B2TDecryptTableFileRP", "dec.tbl").File("dec.tbl", ShiftingTable()),
         Records(kCount, false)},
        {"by an index list with repeated entries",
         EveryKind().Key("BRecordIndexListFilePath", "list.tsv").File("list.tsv", IndexList(repeated)),
         Records(kCount, false)},
        {"from a start position", EveryKind().StartAt(3), "abc" + Records(kCount, false)},
        {"with quoting", EveryKind().Key("TextQuoting", "1"), Records(kCount, false)},
        {"a text the encoding cannot convert, first record", EveryKind().Key("BTextEncoding", "CP932"), brokenAt(0),
         false},
        {"... a middle record", EveryKind().Key("BTextEncoding", "CP932"), brokenAt(21), false},
        {"... the last record", EveryKind().Key("BTextEncoding", "CP932"), brokenAt(kCount - 1), false},
        {"a binary file that ends inside a record", EveryKind(), Records(kCount, false).substr(0, 37 * kSize + 5),
         false},
        {"an index list entry beyond the records",
         EveryKind(10).Key("BRecordIndexListFilePath", "list.tsv").File("list.tsv", IndexList({1, 2, 3, 4, 5, 6, 7, 8, 9, 3, 1, 10, 2})),
         Records(10, false), false},
        {"a stop in the middle", EveryKind(), Records(kCount, false), false, 24},
    };
    for (const CToTextCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(LoadTarget(env, target, c.setup));
        env.m_folder.Write("data.bin", c.binary);
        const COutcome inTurn = ToText(kInTurn, c.stopAfter);
        const COutcome inBlocks = ToText(kInBlocks, c.stopAfter);
        ExpectSame(inTurn, inBlocks, c.succeeds);
    }
}

struct CToBinaryCase {
    const char* name;
    CTargetSetup setup;
    std::string text;
    bool succeeds = true;
    bool firstColumn = false;
    std::uint32_t stopAfter = 0;
};

TEST_F(ParallelConversionTest, TextToBinaryWritesTheRecordsOfARunInTurn) {
    // The lines of tidy records, as Binary => Text writes them.
    ASSERT_TRUE(LoadTarget(env, target, EveryKind()));
    env.m_folder.Write("data.bin", Records(kCount, true));
    const COutcome written = ToText(kInTurn, 0);
    ASSERT_TRUE(written.converted) << written.message;
    const std::vector<std::string> all = Lines(written.output);
    const std::string header = all[0] + "\r\n";
    const std::vector<std::string> lines(all.begin() + 1, all.end());
    const std::string text = header + Joined(lines);
    const auto badCellAt = [&](std::size_t line) {
        std::vector<std::string> edited = lines;
        edited[line] = WithFirstCell(edited[line], "x");
        return header + Joined(edited);
    };
    // Record numbers in the first column, out of order and repeated.
    std::vector<std::string> numbered;
    for (std::size_t k = 0; k < lines.size(); ++k)
        numbered.push_back(WithFirstCell(lines[k], std::to_string(k * 7 % 20)));
    std::vector<std::string> outOfRange = numbered;
    outOfRange[30] = WithFirstCell(outOfRange[30], "-1");
    const std::vector<std::string> fewer(lines.begin(), lines.begin() + 45);
    std::vector<std::string> more = lines;
    more.insert(more.end(), lines.begin(), lines.begin() + 3);
    // What reading line by line skips or takes as it stands.
    const std::string untidy = "\xEF\xBB\xBF" + header + "\r\n// a comment\r\n" + Joined(std::vector(lines.begin(), lines.begin() + 20), "\n") +
                               "\r\n\r\n" + Joined(std::vector(lines.begin() + 20, lines.end() - 1)) + lines.back() +
                               "\x1A" "garbage\r\n";

    const std::vector<int> repeated {5, 5, 0, 49, 7, 7, 7, 12, 3, 3, 48, 1, 2, 9, 9, 30, 31, 30, 5, 4, 4, 4};
    const CToBinaryCase cases[] = {
        {"every kind, over the fillers of random bytes", EveryKind(), text},
        {"through the code tables", EveryKind().Key("B2TDecryptTableFileRP", "dec.tbl").File("dec.tbl", ShiftingTable()),
         text},
        {"by an index list with repeated entries",
         EveryKind().Key("BRecordIndexListFilePath", "list.tsv").File("list.tsv", IndexList(repeated)), text},
        {"... through the code tables",
         EveryKind()
             .Key("BRecordIndexListFilePath", "list.tsv")
             .File("list.tsv", IndexList(repeated))
             .Key("B2TDecryptTableFileRP", "dec.tbl")
             .File("dec.tbl", ShiftingTable()),
         text},
        {"by the first column, writing the index list", EveryKind(), header + Joined(numbered), true, true},
        {"a byte order mark, comments, empty lines, LF line ends and an end byte", EveryKind(), untidy},
        {"a last line of a CR without LF, which is no empty line", EveryKind(), text + "\r", false},
        {"a bad cell at the first line", EveryKind(), badCellAt(0), false},
        {"... a middle line", EveryKind(), badCellAt(22), false},
        {"... the last line", EveryKind(), badCellAt(lines.size() - 1), false},
        {"a first column out of range", EveryKind(), header + Joined(outOfRange), false, true},
        {"fewer lines than records", EveryKind(), header + Joined(fewer), false},
        {"more lines than records", EveryKind(), header + Joined(more), false},
        {"an index list entry beyond the records",
         EveryKind().Key("BRecordIndexListFilePath", "list.tsv").File("list.tsv", IndexList({1, 2, 3, 4, 5, 6, 7, 60, 2})),
         text, false},
        // The header line is the first of the first block: blocks end after 3, 7, 11 ... records.
        {"a stop in the middle", EveryKind(), text, false, false, 27},
    };
    const std::string before = Records(kCount, false, 11);
    for (const CToBinaryCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(LoadTarget(env, target, c.setup));
        env.m_folder.Write("text.csv", c.text);
        const COutcome inTurn = ToBinary(kInTurn, before, c.firstColumn, c.stopAfter);
        const COutcome inBlocks = ToBinary(kInBlocks, before, c.firstColumn, c.stopAfter);
        ExpectSame(inTurn, inBlocks, c.succeeds);
    }
}

// Blocks of every size, from one record to more than the file holds, and every number of workers
// up to more than the blocks: the same bytes.
TEST_F(ParallelConversionTest, EveryBlockSizeGivesTheSameBytes) {
    ASSERT_TRUE(LoadTarget(env, target, EveryKind().Key("B2TDecryptTableFileRP", "dec.tbl").File("dec.tbl", ShiftingTable())));
    const std::string binary = Records(kCount, true);
    env.m_folder.Write("data.bin", binary);
    const COutcome text = ToText(kInTurn, 0);
    ASSERT_TRUE(text.converted) << text.message;
    const std::string before = Records(kCount, false, 5);
    for (const std::uint32_t block : {1u, 2u, 3u, 7u, 49u, 50u, 51u, 1000u}) {
        for (const unsigned workers : {2u, 5u}) {
            SCOPED_TRACE("block " + std::to_string(block) + ", workers " + std::to_string(workers));
            env.m_folder.Write("data.bin", binary);
            EXPECT_EQ(ToText({workers, block}, 0).output, text.output);
            const COutcome back = ToBinary({workers, block}, before, false, 0);
            EXPECT_TRUE(back.converted) << back.message;
            const COutcome backInTurn = ToBinary(kInTurn, before, false, 0);
            EXPECT_EQ(FirstDifference(back.output, backInTurn.output), std::string::npos);
        }
    }
}

} // namespace
