#include "engine/record_preview.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "vocabulary/failure.h"
#include "definition/target_info.h"
#include "platform/fault_injection.h"
#include "platform/file_exception.h"
#include "tests/common/test_support.h"
#include "tests/engine/engine_test_support.h"

namespace {

// Records numbered by their first byte, the rest of each filled with letters.
std::string NumberedRecords(int count, int size) {
    std::string bytes;
    for (int r = 0; r < count; ++r) {
        bytes += static_cast<char>(r);
        for (int b = 1; b < size; ++b) bytes += static_cast<char>('a' + (r + b) % 26);
    }
    return bytes;
}

class RecordPreviewTest : public ::testing::Test {
public:
    bool Load(const CTargetSetup& setup) { return LoadTarget(env, target, setup); }
    void WriteBinary(const std::string& bytes) { env.m_folder.Write("data.bin", bytes); }
    std::string BinaryPath() const { return env.m_folder.Path() + "data.bin"; }

    // Every record of the preview, read in pages of the given size.
    std::vector<CPreviewRecord> ReadAll(CRecordPreview& preview, std::uint32_t pageSize) {
        std::vector<CPreviewRecord> all, page;
        for (std::uint32_t first = 0; first < preview.Count(); first += pageSize) {
            preview.Read(first, pageSize, page);
            all.insert(all.end(), page.begin(), page.end());
        }
        return all;
    }

    CTestEnvironment env;
    CTargetInfo target;
};

struct PreviewCase {
    const char* title;
    CTargetSetup setup;
    std::string binary;
};

// What the preview shows is what Binary => Text writes: its lines, record for record, and the
// cells they are made of.
TEST_F(RecordPreviewTest, RecordsAreTheLinesOfBinaryToText) {
    const PreviewCase cases[] = {
        {"numbers, bit fields and text",
         CTargetSetup("ID,4,R,u,1,ID\r\nFlags,1,R,2,4,F1 F2 F3 F4\r\nName,8,N,s,1,Name\r\n", 13, 3),
         NumberedRecords(3, 13)},
        {"signed numbers both ways, a filler", CTargetSetup("a,2,N,n,1,A\r\nf,1,R,u,0,\r\nb,3,R,n,1,B\r\n", 6, 4),
         NumberedRecords(4, 6)},
        {"from a start position", CTargetSetup("No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n", 4, 5).StartAt(3),
         "hdr" + NumberedRecords(5, 4)},
        {"number codes and code replacement",
         CTargetSetup("No,1,R,u,1,No,kinds.tsv\r\nText,3,N,s,1,Text,kana.tsv\r\n", 4, 4)
             .File("kinds.tsv", "1\tOne\r\n3\tThree\r\n")
             .File("kana.tsv", "98\tB\r\n"),
         NumberedRecords(4, 4)},
        {"an index list with repeated entries",
         CTargetSetup("No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n", 4, 10)
             .Key("BRecordIndexListFilePath", "list.tsv")
             .File("list.tsv", "1\r\n6\t3\r\n9\r\n2\r\n2\r\n"),
         NumberedRecords(10, 4)},
        {"code tables", CTargetSetup("No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n", 4, 5)
                            .Key("B2TDecryptTableFileRP", "dec.tbl")
                            .File("dec.tbl", ShiftingTable()),
         NumberedRecords(5, 4)},
        {"quoted cells", CTargetSetup("No,1,R,u,1,No\r\nText,4,N,s,1,Text\r\n", 5, 3).Key("TextQuoting", "1"),
         std::string("\x01" "a,b\x00" "\x02" " x \x00" "\x03" "q\"\x00\x00", 15)},
    };
    for (const PreviewCase& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(Load(c.setup));
        WriteBinary(c.binary);
        CScriptedProgress progress;
        target.m_message = "[ Binary => Text ]";
        ASSERT_TRUE(ConvertTargetToText(target, progress)) << target.m_message;
        const std::string text = ReadFile(target.m_fileInfo.m_textFilePath);

        CRecordPreview preview(target);
        std::string shown = target.m_recordDefinition.m_headerLine + "\r\n";
        const std::string& delimiter = target.m_recordDefinition.m_textDelimiter;
        for (const CPreviewRecord& record : ReadAll(preview, 2)) {
            EXPECT_EQ(record.failure, "");
            shown += record.line + "\r\n";
            ASSERT_EQ(record.cells.size(), preview.Columns().size());
            ASSERT_EQ(record.bytes.size(), static_cast<std::size_t>(c.setup.recordSize));
            EXPECT_EQ(std::string(record.bytes.begin(), record.bytes.end()),
                      c.binary.substr(record.position, record.bytes.size()));
            std::string joined;
            for (const std::string& cell : record.cells) joined += (joined.empty() ? "" : delimiter) + cell;
            if (target.m_fileInfo.m_textQuoting == 0) {
                EXPECT_EQ(joined, record.line);
            }
        }
        EXPECT_EQ(shown, text);
    }
}

TEST_F(RecordPreviewTest, ColumnsNameTheirItemsAndBytes) {
    ASSERT_TRUE(Load(CTargetSetup("ID,4,R,u,1,ID\r\nf,2,R,u,0,\r\nFlags,1,R,2,2,F1 F2\r\nName,3,N,s,1,Name\r\n", 10)));
    CRecordPreview preview(target);
    struct Expected {
        const char* header;
        std::size_t item;
        int field;
        std::uint32_t offset, length;
    };
    const Expected expected[] = {{"ID", 0, 0, 0, 4}, {"F1", 2, 0, 6, 1}, {"F2", 2, 1, 6, 1}, {"Name", 3, 0, 7, 3}};
    ASSERT_EQ(preview.Columns().size(), std::size(expected));
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        SCOPED_TRACE(k);
        const CPreviewColumn& column = preview.Columns()[k];
        EXPECT_EQ(column.header, expected[k].header);
        EXPECT_EQ(column.item, expected[k].item);
        EXPECT_EQ(column.field, expected[k].field);
        EXPECT_EQ(column.offset, expected[k].offset);
        EXPECT_EQ(column.length, expected[k].length);
    }
}

// A record Binary => Text would fail carries its failure; the records around it are shown.
TEST_F(RecordPreviewTest, RecordsThatWouldFailCarryTheirText) {
    ASSERT_TRUE(Load(CTargetSetup("No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n", 4, 6)
                         .Key("BRecordIndexListFilePath", "list.tsv")
                         .File("list.tsv", "0\r\n0\r\n9\r\n2\r\n")));
    WriteBinary(NumberedRecords(4, 4));
    CRecordPreview preview(target);
    const std::vector<CPreviewRecord> records = ReadAll(preview, 10);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].cells.at(0), "0");
    EXPECT_EQ(records[1].failure, "At line 2. Can't seek file position");
    EXPECT_TRUE(records[1].cells.empty());
    EXPECT_EQ(records[2].cells.at(0), "2");

    // A short file: the records past its end cannot be read, as Binary => Text finds.
    ASSERT_TRUE(Load(CTargetSetup("No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n", 4, 6)));
    WriteBinary(NumberedRecords(4, 4) + "xy");
    CRecordPreview shortPreview(target);
    const std::vector<CPreviewRecord> shortRecords = ReadAll(shortPreview, 4);
    ASSERT_EQ(shortRecords.size(), 6u);
    EXPECT_EQ(shortRecords[3].failure, "");
    EXPECT_EQ(shortRecords[4].failure, "At line 5. Can't read file\r\n" + BinaryPath());
    EXPECT_EQ(shortRecords[5].failure, "At line 6. Can't read file\r\n" + BinaryPath());

    // A missing file is the failure of every page, in Binary => Text's words.
    std::filesystem::remove(BinaryPath());
    std::vector<CPreviewRecord> page;
    try {
        shortPreview.Read(0, 1, page);
        ADD_FAILURE() << "a missing file was read";
    } catch (...) {
        EXPECT_EQ(FailureText(), "Can't open file\r\n2 " + CFileException::Describe(2, BinaryPath()));
    }
}

// Items whose bytes would not come back through the text are marked in every column they give.
TEST_F(RecordPreviewTest, ItemsThatWouldNotComeBackAreMarked) {
    ASSERT_TRUE(Load(CTargetSetup("No,1,R,u,1,No\r\nFlags,1,R,2,2,F1 F2\r\nName,4,N,s,1,Name\r\n", 6, 2)));
    // Record 1 comes back; record 2 has bits outside its fields and text after its name's end.
    WriteBinary(std::string("\x01\x05" "ab\0\0" "\x02\xF5" "a\0z\0", 12));
    CRecordPreview preview(target);
    const std::vector<CPreviewRecord> records = ReadAll(preview, 2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].marked, (std::vector<char> {0, 0, 0, 0}));
    EXPECT_EQ(records[1].marked, (std::vector<char> {0, 1, 1, 1}));
}

// A page reads its own records and no others: as few reads of the system at the end of a long
// file as at its start.
TEST_F(RecordPreviewTest, OnlyTheRequestedPageIsRead) {
    constexpr int kRecords = 200000;
    ASSERT_TRUE(Load(CTargetSetup("No,1,R,u,1,No\r\nRest,3,N,s,1,Rest\r\n", 4, kRecords)));
    WriteBinary(NumberedRecords(kRecords, 4));
    CRecordPreview preview(target);
    std::vector<CPreviewRecord> page;
    for (const std::uint32_t first : {0u, 100000u, static_cast<std::uint32_t>(kRecords - 20)}) {
        SCOPED_TRACE(first);
        DisarmFaults();
        preview.Read(first, 20, page);
        EXPECT_LE(FaultCalls(FaultKind::read), 2u);
        ASSERT_EQ(page.size(), 20u);
        EXPECT_EQ(page.front().number, first + 1);
        EXPECT_EQ(page.front().cells.at(0), std::to_string(first % 256));
    }
}

} // namespace
