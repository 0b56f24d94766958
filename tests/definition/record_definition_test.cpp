#include "definition/record_definition.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "vocabulary/messages.h"
#include "definition/number_code_set.h"
#include "platform/file.h"
#include "platform/fault_injection.h"
#include "platform/file_exception.h"
#include "tests/common/allocation_failure.h"
#include "tests/common/test_support.h"

namespace {

// "H1 H2 ... Hn": the headers of n columns.
std::string Headers(int n) {
    std::string headers;
    for (int i = 1; i <= n; ++i) headers += (i > 1 ? " H" : "H") + std::to_string(i);
    return headers;
}

// "//H1\tH2...": the header line of those columns.
std::string HeaderLine(int n) {
    std::string line = "//";
    for (int i = 1; i <= n; ++i) line += (i > 1 ? "\tH" : "H") + std::to_string(i);
    return line;
}

class RecordDefinitionTest : public ::testing::Test {
protected:
    bool Load(const std::string& contents, int recordSize, const std::string& textDelimiter = "\t") {
        env.m_folder.Write("def.txt", contents);
        codes.Reset();
        return definition.Load("def.txt", recordSize, textDelimiter, codes);
    }

    CTestEnvironment env;
    CNumberCodeSet codes;
    CRecordDefinition definition;
};

struct FailureCase {
    const char* title;
    std::string contents;
    int recordSize;
    std::string message;
};

TEST_F(RecordDefinitionTest, BadLinesAreReportedAtTheirLine) {
    const FailureCase cases[] = {
        {"five fields", "a,4,N,u,1\n", 4, "At line 1. Item Num"},
        {"five fields, the fifth 0", "a,4,N,u,0\n", 4, "At line 1. Item Num"},
        {"a line of blanks", "a,4,N,u,1,A\n   \n", 4, "At line 2. Item Num"},
        {"length empty", "a,,N,u,1,A\n", 4, "At line 1. Binary Item Length.Not set"},
        {"direction empty", "a,4, ,u,1,A\n", 4, "At line 1. Binary Read Direction.Not set"},
        {"conversion type empty", "a,4,N,,1,A\n", 4, "At line 1. Conversion Type.Not set"},
        {"item count empty", "a,4,N,u,,A\n", 4, "At line 1. Item Num.Not set"},
        {"length 0", "a,0,N,s,1,A\n", 4, "At line 1. Binary Item Length.Range"},
        {"length 2051", "a,2051,N,s,1,A\n", 2051, "At line 1. Binary Item Length.Range"},
        {"length not a number", "a,4x,N,u,1,A\n", 4, "At line 1. Binary Item Length.Range"},
        {"length in hexadecimal", "a,0x4,N,u,1,A\n", 4, "At line 1. Binary Item Length.Range"},
        {"direction in lower case", "a,4,n,u,1,A\n", 4, "At line 1. Binary Read Direction"},
        {"direction of two letters", "a,4,NR,u,1,A\n", 4, "At line 1. Binary Read Direction"},
        {"conversion type in upper case", "a,4,N,U,1,A\n", 4, "At line 1. Conversion Type.Range"},
        {"bit count 16 for two bytes", "a,2,N,16,1,A\n", 2, "At line 1. Conversion Type.Range"},
        {"bit count 0", "a,2,N,0,1,A\n", 2, "At line 1. Conversion Type.Range"},
        {"item count above eight per byte", "a,1,N,1,9,A B C D E F G H I\n", 1, "At line 1. Item Num.Range"},
        {"item count negative", "a,1,N,1,-1,A\n", 1, "At line 1. Item Num.Range"},
        {"seven 3-bit fields in two bytes", "a,2,N,3,7,A B C D E F G\n", 2, "At line 1. Item Num.Inconsistent"},
        {"headers without an earlier filler", "a,4,N,u,1,\n", 4, "At line 1. Text Column Header.Not set"},
        {"more headers than columns", "a,1,N,4,1,A B\n", 1, "At line 1. Text Column Header Item Num Inconsistent"},
        {"fewer headers than columns", "a,1,N,4,2,A\n", 1, "At line 1. Text Column Header Item Num Inconsistent"},
        {"three pieces for two columns", "a,1,N,4,2,A  B\n", 1,
         "At line 1. Text Column Header Item Num Inconsistent"},
        {"empty header after a filler needs one column", "f,1,N,s,0,\na,1,N,4,2,\n", 2,
         "At line 2. Text Column Header Item Num Inconsistent"},
        {"only fillers", "f,4,N,u,0,\n//end\n", 4, "At line 3. Sum Count 0"},
        {"lengths short of the record", "a,4,N,u,1,A\nb,6,N,s,1,B\n", 12, "At line 3. Length Inconsistent"},
        {"lengths beyond the record", "a,4,N,u,1,A\n", 3, "At line 2. Length Inconsistent"},
        // Numbers are converted from at most four bytes, whole values into one column, and an
        // item has 31 number-code slots.
        {"signed of five bytes", "a,5,N,n,1,A\n", 5, "At line 1. Binary Item Length.Range"},
        {"unsigned of five bytes", "a,5,R,u,1,A\n", 5, "At line 1. Binary Item Length.Range"},
        {"bit fields of five bytes", "a,5,N,3,2,A B\n", 5, "At line 1. Binary Item Length.Range"},
        {"bit count 128 is signed", "a,17,N,128,1,A\n", 17, "At line 1. Binary Item Length.Range"},
        {"bit fields of five bytes, too many", "a,5,N,3,40,A\n", 5, "At line 1. Binary Item Length.Range"},
        {"two columns of a signed item", "a,4,N,n,2,A B\n", 4, "At line 1. Item Num.Range"},
        {"two columns of an unsigned item", "a,4,R,u,2,A B\n", 4, "At line 1. Item Num.Range"},
        {"two columns of a text item", "a,4,N,s,2,A B\n", 4, "At line 1. Item Num.Range"},
        {"two columns of a long signed item", "a,8,N,n,2,A B\n", 8, "At line 1. Item Num.Range"},
        {"32 number-code pieces", "a,4,N,1,32," + Headers(32) + ",x.txt" + std::string(31, '*') + "\n", 4,
         "At line 1. NumCodeMean.Range"},
        {"header check comes before the pieces", "a,4,N,1,32,H H,x.txt" + std::string(31, '*') + "\n", 4,
         "At line 1. Text Column Header Item Num Inconsistent"},
    };
    env.m_folder.Write("x.txt", "1\tOne\n");
    for (const FailureCase& c : cases) {
        EXPECT_FALSE(Load(c.contents, c.recordSize)) << c.title;
        EXPECT_EQ(definition.m_message, c.message) << c.title;
        EXPECT_EQ(definition.m_ok, 0) << c.title;
        EXPECT_EQ(definition.m_open, 0) << c.title;
        // A rejected line loads none of its number-code files.
        EXPECT_EQ(codes.TableCount(), 0u) << c.title;
    }
    EXPECT_EQ(definition.ComposeError(), "Record Def Error\r\nAt line 1. Text Column Header Item Num Inconsistent");
}

TEST_F(RecordDefinitionTest, MessagesUseTheTranslatedWords) {
    env.Translate("msg.Range=Bereich\r\n");
    EXPECT_FALSE(Load("a,2051,N,s,1,A\n", 2051));
    EXPECT_EQ(definition.m_message, "At line 1. Binary Item Length.Bereich");
    EXPECT_FALSE(Load("a,4,N,u,1,A\nb,4,N,n,2,B C\n", 8));
    EXPECT_EQ(definition.ComposeError(), "Record Def Error\r\nAt line 2. Item Num.Bereich");
    EXPECT_FALSE(Load("a,4,N,1,32," + Headers(32) + "," + std::string(31, '*') + "\n", 4));
    EXPECT_EQ(definition.m_message, "At line 1. NumCodeMean.Bereich");
}

TEST_F(RecordDefinitionTest, PathFailuresHaveNoLineNote) {
    codes.Reset();
    EXPECT_FALSE(definition.Load("missing.txt", 4, "\t", codes));
    EXPECT_EQ(definition.m_message, "FilePath ");
    EXPECT_EQ(definition.ComposeError(), "Record Def Error\r\nFilePath ");

    const std::string longName = std::string(300, 'd') + ".txt";
    EXPECT_FALSE(definition.Load(longName, 4, "\t", codes));
    EXPECT_EQ(definition.m_message, "FilePath FilePath Max.length over");
}

TEST_F(RecordDefinitionTest, FileThatCannotBeOpened) {
    const std::string fullPath = env.m_folder.Write("def.txt", "a,4,N,u,1,A\n");
    CFile writer(fullPath, modeWrite | modeCreate | modeNoTruncate | typeBinary);
    const CFileException sharing(CFileException::sharingViolation, fullPath);
    codes.Reset();
    EXPECT_FALSE(definition.Load("def.txt", 4, "\t", codes));
    EXPECT_EQ(definition.m_message, " Can't open file\r\n" + FileExceptionText(&sharing) + "\r\n" + fullPath);
}

TEST_F(RecordDefinitionTest, ReadFailureGivesTheFileExceptionText) {
    // The file opens, but its first read fails as a failing device's would.
    const std::string fullPath = env.m_folder.Write("def.txt", "a,4,N,u,1,A\n");
    const CFileException failure(CFileException::hardIO, fullPath);
    codes.Reset();
    ArmFault(FaultKind::read, 1, EIO);
    EXPECT_FALSE(definition.Load("def.txt", 4, "\t", codes));
    DisarmFaults();
    EXPECT_EQ(definition.m_message, "At line 1. " + FileExceptionText(&failure));
}

struct LoadCase {
    const char* title;
    std::string contents;
    int recordSize;
    std::string headerLine;
    int columns;
    std::string textDelimiter = "\t";
};

TEST_F(RecordDefinitionTest, GoodDefinitionsLoad) {
    const LoadCase cases[] = {
        {"one unsigned item", "name,4,N,u,1,Value\n", 4, "//Value", 1},
        {"two items", "a,2,N,u,1,A\nb,2,R,n,1,B\n", 4, "//A\tB", 2},
        {"comma as text delimiter", "a,1,N,4,2,A1 A2\nf,1,N,s,0,\nb,2,N,u,1,B\n", 4, "//A1,A2,B", 3, ","},
        {"six 3-bit fields in two bytes", "x,2,N,3,6,A B C D E F\n", 2, "//A\tB\tC\tD\tE\tF", 6},
        {"bit count 15 for two bytes", "x,2,N,15,1,A\n", 2, "//A", 1},
        {"32 one-bit fields", "x,4,N,1,32," + Headers(32) + ",*\n", 4, HeaderLine(32), 32},
        {"text of 2050 bytes", "t,2050,R,s,1,T\n", 2050, "//T", 1},
        {"text item without a column", "t,2050,R,s,0,\nv,1,N,u,1,V\n", 2051, "//V", 1},
        {"filler of any length", "f,100,N,n,0,x y\nv,1,N,u,1,V\n", 101, "//V", 1},
        {"empty header after a filler", "f,3,N,s,0,\nv,1,N,u,1,\nw,1,N,u,1,W\n", 5, "//\tW", 2},
        {"two blanks give an empty header", "x,1,N,2,3,A  B\n", 1, "//A\t\tB", 3},
        {"comment after the fields", "a,4,N,u,1,A // note, more\n", 4, "//A", 1},
        {"comment lines and blanks around fields", "// head\n a , 4 , N , u , 1 , A \n", 4, "//A", 1},
        {"fields after the seventh ignored", "a,4,N,u,1,A,,x,y\n", 4, "//A", 1},
        {"31 empty number-code pieces", "a,4,N,1,31," + Headers(31) + "," + std::string(30, '*') + "\n", 4,
         HeaderLine(31), 31},
        {"signed number with a plus sign", "a,+4,N,n,+1,A\n", 4, "//A", 1},
        {"bit count 64 is text", "a,9,N,64,1,A\n", 9, "//A", 1},
        {"CR LF lines", "a,1,N,u,1,A\r\nb,1,N,u,1,B\r\n", 2, "//A\tB", 2},
    };
    for (const LoadCase& c : cases) {
        EXPECT_TRUE(Load(c.contents, c.recordSize, c.textDelimiter)) << c.title << ": " << definition.m_message;
        EXPECT_EQ(definition.m_textDelimiter, c.textDelimiter) << c.title;
        EXPECT_EQ(definition.m_ok, 1) << c.title;
        EXPECT_EQ(definition.m_message, "") << c.title;
        EXPECT_EQ(definition.m_headerLine, c.headerLine) << c.title;
        EXPECT_EQ(definition.m_totalColumnCount, c.columns) << c.title;
        EXPECT_EQ(definition.m_totalLength, c.recordSize) << c.title;
    }
}

TEST_F(RecordDefinitionTest, ItemsKeepTheirFieldsAndOffsets) {
    ASSERT_TRUE(Load("id,4,R,u,1,Id\n"
                     ",3,N,s,0,\n"
                     "flags,2,N,5,4,F1 F2 F3 F4\n"
                     "amount,2,N,n,1,Amount\n"
                     "text,9,R,s,1,Text\n"
                     "big,9,N,64,1,Big\n",
                     29));
    struct Expected {
        std::string name;
        int length, direction, type, count, offset;
        std::vector<std::string> headers;
    };
    const Expected expected[] = {
        {"id", 4, readReverse, convUnsigned, 1, 0, {"Id"}},
        {"", 3, readNormal, convText, 0, 4, {}},
        {"flags", 2, readNormal, 5, 4, 7, {"F1", "F2", "F3", "F4"}},
        {"amount", 2, readNormal, convSigned, 1, 9, {"Amount"}},
        {"text", 9, readReverse, convText, 1, 11, {"Text"}},
        {"big", 9, readNormal, convText, 1, 20, {"Big"}},
    };
    ASSERT_EQ(definition.m_items.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const CRecordItem& item = definition.m_items[i];
        const Expected& e = expected[i];
        EXPECT_EQ(item.m_name, e.name) << i;
        EXPECT_EQ(item.m_length, e.length) << i;
        EXPECT_EQ(item.m_readDirection, e.direction) << i;
        EXPECT_EQ(item.m_conversionType, e.type) << i;
        EXPECT_EQ(item.m_itemCount, e.count) << i;
        EXPECT_EQ(item.m_offset, e.offset) << i;
        EXPECT_EQ(item.m_headers, e.headers) << i;
        for (int slot : item.m_numberCodes) EXPECT_EQ(slot, -1) << i;
    }
    EXPECT_EQ(definition.m_filler, 1);
    EXPECT_EQ(definition.m_totalColumnCount, 8);
    EXPECT_EQ(definition.m_headerLine, "//Id\tF1\tF2\tF3\tF4\tAmount\tText\tBig");
}

TEST_F(RecordDefinitionTest, FailedLoadKeepsTheItemsBeforeIt) {
    EXPECT_FALSE(Load("a,1,N,u,1,A\nb,1,N,u,1,B\nc,1,X,u,1,C\n", 3));
    EXPECT_EQ(definition.m_message, "At line 3. Binary Read Direction");
    ASSERT_EQ(definition.m_items.size(), 2u);
    EXPECT_EQ(definition.m_items[1].m_offset, 1);
    EXPECT_EQ(definition.m_totalLength, 2);
    EXPECT_FALSE(definition.HasIndexItem());
}

TEST_F(RecordDefinitionTest, ResetEmptiesEverything) {
    ASSERT_TRUE(Load("f,1,N,s,0,\na,4,N,u,1,A\n", 5, ","));
    definition.Reset();
    EXPECT_EQ(definition.m_name, "Record Def");
    EXPECT_EQ(definition.m_delimiter, ",");
    EXPECT_EQ(definition.m_ok, 0);
    EXPECT_TRUE(definition.m_items.empty());
    EXPECT_EQ(definition.m_filler, 0);
    EXPECT_EQ(definition.m_totalLength, 0);
    EXPECT_EQ(definition.m_totalColumnCount, 0);
    EXPECT_EQ(definition.m_headerLine, "//");
    EXPECT_EQ(definition.m_textDelimiter, "\t");
    EXPECT_EQ(definition.m_pathAsWritten, "");
}

struct IndexCase {
    const char* title;
    std::string contents;
    int recordSize;
    bool expected;
};

TEST_F(RecordDefinitionTest, IndexItemIsAReversedUnsignedFirstColumn) {
    const IndexCase cases[] = {
        {"reversed unsigned", "i,4,R,u,1,I\nv,2,N,n,1,V\n", 6, true},
        {"two-byte reversed unsigned", "i,2,R,u,1,I\n", 2, true},
        {"read normally", "i,4,N,u,1,I\n", 4, false},
        {"signed", "i,4,R,n,1,I\n", 4, false},
        {"text", "i,4,R,s,1,I\n", 4, false},
        {"bit fields", "i,4,R,8,1,I\n", 4, false},
        {"filler first", "i,4,R,u,0,\nv,4,R,u,1,V\n", 8, false},
        {"not first", "v,2,N,n,1,V\ni,4,R,u,1,I\n", 6, false},
    };
    for (const IndexCase& c : cases) {
        ASSERT_TRUE(Load(c.contents, c.recordSize)) << c.title << ": " << definition.m_message;
        EXPECT_EQ(definition.HasIndexItem(), c.expected) << c.title;
    }
    // Only a loaded definition offers it.
    EXPECT_FALSE(Load("i,4,R,u,1,I\n", 5));
    EXPECT_FALSE(definition.HasIndexItem());
    definition.Reset();
    EXPECT_FALSE(definition.HasIndexItem());
}

TEST_F(RecordDefinitionTest, NumberCodeFilesFillTheSlotsOfTheirColumns) {
    env.m_folder.Write("x.txt", "1\tApple\n2\tPear\n");
    env.m_folder.Write("y.txt", "7\tSeven\n");
    ASSERT_TRUE(Load("a,2,N,8,2,A B,x.txt*y.txt\n"
                     "b,2,N,8,2,C D,*y.txt\n"
                     "c,1,N,u,1,E,x.txt\n"
                     "d,1,N,2,4,F G H I, * x.txt * * y.txt\n",
                     6));
    const auto& items = definition.m_items;
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].m_numberCodes[0], 0);
    EXPECT_EQ(items[0].m_numberCodes[1], 1);
    EXPECT_EQ(items[0].m_numberCodes[2], -1);
    EXPECT_EQ(items[1].m_numberCodes[0], -1);
    EXPECT_EQ(items[1].m_numberCodes[1], 1);
    EXPECT_EQ(items[2].m_numberCodes[0], 0);
    EXPECT_EQ(items[3].m_numberCodes[0], -1);
    EXPECT_EQ(items[3].m_numberCodes[1], 0);
    EXPECT_EQ(items[3].m_numberCodes[2], -1);
    EXPECT_EQ(items[3].m_numberCodes[3], 1);
    EXPECT_EQ(codes.TableCount(), 2u);
    std::string meaning;
    EXPECT_TRUE(codes.CodeToMeaning(items[0].m_numberCodes[1], 7, meaning));
    EXPECT_EQ(meaning, "Seven");
}

TEST_F(RecordDefinitionTest, FailedNumberCodeFileLeavesTheDefinitionLoaded) {
    // 300 does not fit a one-byte unsigned item.
    env.m_folder.Write("big.txt", "300\tLarge\n");
    ASSERT_TRUE(Load("a,1,N,u,1,A,big.txt\nb,1,N,u,1,B,gone.txt\n", 2));
    EXPECT_EQ(definition.m_items[0].m_numberCodes[0], -1);
    EXPECT_EQ(definition.m_items[1].m_numberCodes[0], -1);
    EXPECT_EQ(codes.m_ok, 0);
    EXPECT_EQ(codes.TableCount(), 0u);
}

TEST_F(RecordDefinitionTest, MemoryShortageIsReportedNotThrown) {
    env.m_folder.Write("def.txt", "a,4,N,u,1,A\nb,1,N,u,1,B\n");
    // Each allocation of the load fails in turn: the load reports it and never throws.
    int shortages = 0;
    for (long granted = 0;; ++granted) {
        codes.Reset();
        FailAllocationAfter(granted);
        bool loaded = false;
        EXPECT_NO_THROW(loaded = definition.Load("def.txt", 5, "\t", codes));
        if (!DisarmAllocationFailure()) {
            EXPECT_TRUE(loaded);
            break;
        }
        EXPECT_FALSE(loaded) << granted;
        EXPECT_EQ(definition.m_open, 0);
        if (definition.m_message.find("Memory short") != std::string::npos) ++shortages;
    }
    EXPECT_GT(shortages, 0);
}

} // namespace
