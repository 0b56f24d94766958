#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "definition/record_index_list.h"
#include "definition/target_info.h"
#include "engine/binary_to_text.h"
#include "engine/text_to_binary.h"
#include "tests/common/test_support.h"
#include "tests/engine/engine_test_support.h"

namespace {

// Every kind of item: signed and unsigned numbers of 1 to 4 bytes in both directions, bit
// fields, text in both directions, fillers in the middle and at the end, number codes for whole
// values and single bit fields, and code replacement in text. The first item numbers the record.
const char* const kDefinition = "ID,4,R,u,1,ID\r\n"
                                "S1R,1,R,n,1,S1R\r\n"
                                "S1N,1,N,n,1,S1N\r\n"
                                "U1R,1,R,u,1,U1R,kinds.tsv\r\n"
                                "U1N,1,N,u,1,U1N\r\n"
                                "S2R,2,R,n,1,S2R\r\n"
                                "S2N,2,N,n,1,S2N\r\n"
                                "U2R,2,R,u,1,U2R\r\n"
                                "U2N,2,N,u,1,U2N,kinds.tsv\r\n"
                                "S3R,3,R,n,1,S3R\r\n"
                                "S3N,3,N,n,1,S3N\r\n"
                                "U3R,3,R,u,1,U3R\r\n"
                                "U3N,3,N,u,1,U3N\r\n"
                                "S4R,4,R,n,1,S4R\r\n"
                                "S4N,4,N,n,1,S4N,signs.tsv\r\n"
                                "U4N,4,N,u,1,U4N,big.tsv\r\n"
                                "Pad,3,R,u,0,\r\n"
                                "Bits1,1,R,3,3,B1 B2 B3,flags.tsv*flags.tsv\r\n"
                                "Bits2,2,N,5,4,C1 C2 C3 C4\r\n"
                                "Bits4,4,R,7,5,D1 D2 D3 D4 D5,*flags.tsv\r\n"
                                "Name,8,N,s,1,Name\r\n"
                                "Code,6,R,s,1,Code\r\n"
                                "Repl,6,N,s,1,Repl,kanji.tsv\r\n"
                                "Tail,2,R,u,0,\r\n";
constexpr int kRecordSize = 4 + 4 * 1 + 4 * 2 + 4 * 3 + 3 * 4 + 3 + 1 + 2 + 4 + 8 + 6 + 6 + 2;
constexpr int kRecordCount = 40;
constexpr int kStart = 5;
// Offsets of some items.
constexpr int kU1ROffset = 6;
constexpr int kU4NOffset = 36;
constexpr int kPadOffset = 4 + 4 + 8 + 12 + 12;
constexpr int kTailOffset = kRecordSize - 2;
constexpr int kNameOffset = kPadOffset + 3 + 1 + 2 + 4;
constexpr int kCodeOffset = kNameOffset + 8;
constexpr int kReplOffset = kCodeOffset + 6;

const char* const kLetters = "abcdefghijklmnopqrstuvwABCDEFGHIJKLMNOPQRSTUVW0123456789";

class RoundTripTest : public ::testing::Test {
protected:
    void SetUp() override {
        const bool withIndexList = !m_indexList.empty();
        CTargetSetup setup(kDefinition, kRecordSize, kRecordCount);
        setup.StartAt(kStart)
            .Key("B2TDecryptTableFileRP", "dec.tbl")
            .File("dec.tbl", ShiftingTable())
            .File("kinds.tsv", "0\tSword\r\n1\tShield\r\n2\tPotion\r\n")
            .File("signs.tsv", "-5\tMinusFive\r\n100\tHundred\r\n")
            .File("big.tsv", "7\tSeven\r\n2147483647\tMaxInt\r\n")
            .File("flags.tsv", "1\tOn\r\n")
            .File("kanji.tsv", "33440\tX\r\n");
        if (withIndexList) setup.Key("BRecordIndexListFilePath", "list.tsv").File("list.tsv", m_indexList);
        ASSERT_TRUE(LoadTarget(env, target, setup));
        ASSERT_EQ(target.m_fileInfo.m_dataEnd, static_cast<std::uint32_t>(kStart + kRecordSize * kRecordCount));
        m_original = "LEAD!" + StoredRecords() + "trailer";
        env.m_folder.Write("data.bin", m_original);
    }

    // Random records that survive the round trip: numbered by their first item, texts of
    // letters ending in zeros, stored through the encryption table (the inverse of Shifted).
    std::string StoredRecords() {
        std::mt19937 random(20240607);
        std::string stored;
        for (int r = 0; r < kRecordCount; ++r) {
            std::string plain(kRecordSize, '\0');
            for (char& byte : plain) byte = static_cast<char>(random());
            plain[0] = static_cast<char>(r);
            plain[1] = plain[2] = plain[3] = 0;
            // Some values with meanings, and the extremes.
            if (r % 3 == 0) plain[kU1ROffset] = 1; // Shield
            if (r % 4 == 0) plain.replace(kU4NOffset, 4, Bytes({0, 0, 0, 7})); // Seven
            if (r % 5 == 0) plain.replace(kU4NOffset, 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
            const auto text = [&](int length, bool replaced) {
                std::string cell;
                const int size = static_cast<int>(random() % static_cast<unsigned>(length + 1));
                while (static_cast<int>(cell.size()) < size) {
                    if (replaced && random() % 3 == 0 && static_cast<int>(cell.size()) + 2 <= size)
                        cell += Bytes({0x82, 0xA0});
                    else
                        cell += kLetters[random() % 56];
                }
                cell.resize(static_cast<std::size_t>(length), '\0');
                return cell;
            };
            plain.replace(kNameOffset, 8, text(8, false));
            std::string code = text(6, false);
            for (std::size_t k = 0; k < code.size(); k += 2) std::swap(code[k], code[k + 1]);
            plain.replace(kCodeOffset, 6, code);
            plain.replace(kReplOffset, 6, text(6, true));
            for (const char byte : plain) stored += static_cast<char>(static_cast<std::uint8_t>(byte - 77));
        }
        return stored;
    }

    std::string BinaryPath() const { return env.m_folder.Path() + "data.bin"; }
    std::string TextPath() const { return env.m_folder.Path() + "text.csv"; }

    // Overwrites every byte of the named records except the fillers, so that only a
    // conversion can bring them back.
    void Scramble(const std::vector<int>& records) {
        std::string bytes = ReadFile(BinaryPath());
        for (const int r : records) {
            for (int i = 0; i < kRecordSize; ++i) {
                const bool filler = (i >= kPadOffset && i < kPadOffset + 3) || i >= kTailOffset;
                if (!filler) bytes[static_cast<std::size_t>(kStart + r * kRecordSize + i)] = '\xEE';
            }
        }
        env.m_folder.Write("data.bin", bytes);
    }

    bool ToText() {
        CScriptedProgress progress;
        return ConvertTargetToText(target, progress);
    }
    bool ToBinary(bool firstColumnIsIndex = false, bool writeIndexList = false) {
        CScriptedProgress progress;
        return ConvertTargetToBinary(target, progress, firstColumnIsIndex, writeIndexList);
    }

    CTestEnvironment env;
    CTargetInfo target;
    std::string m_indexList; // the list file, when the target has one
    std::string m_original;
};

std::vector<int> AllRecords() {
    std::vector<int> records;
    for (int r = 0; r < kRecordCount; ++r) records.push_back(r);
    return records;
}

TEST_F(RoundTripTest, BinaryToTextAndBackGivesTheSameBytes) {
    ASSERT_TRUE(ToText()) << target.m_message;
    const std::string text = ReadFile(TextPath());
    // Meanings, replaced codes and both text directions appear in the text.
    for (const char* piece : {",Shield,", ",Seven,", ",On,", "X"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece;
    Scramble(AllRecords());
    ASSERT_TRUE(ToBinary()) << target.m_message;
    EXPECT_EQ(Hex(ReadFile(BinaryPath())), Hex(m_original));
}

TEST_F(RoundTripTest, AByteOrderMarkIsWrittenOnRequestAndAlwaysRead) {
    ASSERT_TRUE(ToText()) << target.m_message;
    const std::string plain = ReadFile(TextPath());
    ASSERT_EQ(plain.rfind("//", 0), 0u);
    target.m_fileInfo.m_textFileBom = true;
    ASSERT_TRUE(ToText()) << target.m_message;
    EXPECT_EQ(ReadFile(TextPath()), "\xEF\xBB\xBF" + plain);
    Scramble(AllRecords());
    ASSERT_TRUE(ToBinary()) << target.m_message;
    EXPECT_EQ(Hex(ReadFile(BinaryPath())), Hex(m_original));
}

class RoundTripByIndexListTest : public RoundTripTest {
protected:
    void SetUp() override {
        m_indexList = "1\r\n8\t4\r\n40\r\n1\r\n";
        RoundTripTest::SetUp();
    }
};

TEST_F(RoundTripByIndexListTest, TheListedRecordsComeBack) {
    ASSERT_TRUE(ToText()) << target.m_message;
    std::string text = ReadFile(TextPath());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
    EXPECT_EQ(text.substr(text.find('\n') + 1, 2), "7,");
    Scramble({7, 3, 39, 0});
    ASSERT_TRUE(ToBinary()) << target.m_message;
    EXPECT_EQ(Hex(ReadFile(BinaryPath())), Hex(m_original));
}

// The text's lines in another order go back by their first column, and the list written
// then converts the records back in that order.
TEST_F(RoundTripTest, TheFirstColumnPlacesTheRecordsAndItsListReadsThemBack) {
    ASSERT_TRUE(target.m_recordDefinition.HasIndexItem());
    ASSERT_TRUE(ToText()) << target.m_message;
    const std::string text = ReadFile(TextPath());
    std::vector<std::string> lines;
    for (std::size_t at = text.find("\r\n") + 2; at < text.size();) {
        const std::size_t end = text.find("\r\n", at) + 2;
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kRecordCount));
    std::vector<std::uint32_t> order;
    std::string reordered = target.m_recordDefinition.m_headerLine + "\r\n";
    for (int k = 0; k < kRecordCount; ++k) {
        const int r = (k * 7 + 3) % kRecordCount;
        order.push_back(static_cast<std::uint32_t>(r));
        reordered += lines[static_cast<std::size_t>(r)];
    }
    env.m_folder.Write("text.csv", reordered);
    Scramble(AllRecords());
    ASSERT_TRUE(ToBinary(true, true)) << target.m_message;
    EXPECT_EQ(Hex(ReadFile(BinaryPath())), Hex(m_original));

    CRecordIndexList written;
    written.Reset();
    ASSERT_TRUE(written.Load(env.m_folder.Path() + "text-BRecordIndexList.tsv")) << written.m_message;
    EXPECT_EQ(written.m_entries, order);

    ASSERT_TRUE(target.m_indexList.Load(env.m_folder.Path() + "text-BRecordIndexList.tsv"));
    ASSERT_TRUE(ToText()) << target.m_message;
    EXPECT_EQ(ReadFile(TextPath()), reordered);
}

} // namespace
