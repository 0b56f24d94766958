#include "definition/target_info.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/file.h"
#include "platform/system.h"
#include "tests/common/test_support.h"

namespace {

std::string Identity(bool reversed = false) {
    std::string table(256, '\0');
    for (int i = 0; i < 256; ++i) table[i] = static_cast<char>(reversed ? 255 - i : i);
    return table;
}

// A target of several item kinds, a filler, two number-code files, a decryption table and an
// index list.
class TargetInfoTest : public ::testing::Test {
protected:
    CTestEnvironment env;

    void SetUp() override {
        env.m_folder.Write("defs/items.txt", "// one record of 16 bytes\r\n"
                                             "ID,4,R,u,1,ID\r\n"
                                             "Level,2,N,n,1,Level\r\n"
                                             "Flags,1,R,2,4,F1 F2 F3 F4,defs/flags.tsv*defs/flags.tsv**defs/kinds.tsv\r\n"
                                             "Kind,1,R,u,1,Kind,defs/kinds.tsv\r\n"
                                             "Spare,2,R,u,0,\r\n"
                                             "Name,6,N,s,1,Name\r\n");
        env.m_folder.Write("defs/kinds.tsv", "0\tSword\r\n1\tShield\r\n");
        env.m_folder.Write("defs/flags.tsv", "0\tOff\r\n1\tOn\r\n");
        env.m_folder.Write("defs/dec.tbl", Identity(true));
        env.m_folder.Write("defs/pick.tsv", "1\r\n3\t1\r\n");
    }

    std::string WriteInfo(const std::string& keys) {
        return env.m_folder.Write("target.ini", "[FileInfo]\r\n" + keys);
    }
};

const char* const kSampleKeys = "Label=Game items\r\n"
                                "RecordDefinitionFileRP=defs/items.txt\r\n"
                                "BStartPosition=8\r\n"
                                "BRecordSize=16\r\n"
                                "BRecordCount=3\r\n"
                                "TDelimiter=T\r\n"
                                "B2TDecryptTableFileRP=defs/dec.tbl\r\n"
                                "BinaryFilePath=items.dat\r\n"
                                "TextFilePath=items.tsv\r\n"
                                "BRecordIndexListFilePath=defs/pick.tsv\r\n";

TEST_F(TargetInfoTest, ASampleTargetLoadsWithItsInfoText) {
    WriteInfo(kSampleKeys);
    CTargetInfo target(1);
    target.Reset("FileInfo1");
    ASSERT_TRUE(target.Load("target.ini")) << target.m_message;
    EXPECT_TRUE(target.CheckReady()) << target.m_message;
    EXPECT_EQ(target.DisplayName(), "Game items");
    EXPECT_EQ(target.m_name, "Game items");
    EXPECT_EQ(target.m_fileInfo.m_infoText, "8\n16\n3\nT\nDecrypt\n2");
    EXPECT_EQ(target.m_fileInfo.m_textDelimiter, "\t");
    EXPECT_EQ(target.m_fileInfo.m_dataEnd, 8u + 16u * 3u);
    EXPECT_EQ(target.m_fileInfo.m_binaryFilePath, "items.dat");
    EXPECT_EQ(target.m_fileInfo.m_textFilePath, "items.tsv");
    EXPECT_EQ(target.m_recordDefinition.m_headerLine, "//ID\tLevel\tF1\tF2\tF3\tF4\tKind\tName");
    EXPECT_EQ(target.m_recordDefinition.m_totalColumnCount, 8);
    EXPECT_EQ(target.m_recordDefinition.m_filler, 1);
    EXPECT_EQ(target.m_numberCodes.TableCount(), 2u);
    EXPECT_EQ(target.m_codeTables.m_ok, 1);
    EXPECT_EQ(target.m_indexList.m_entries, (std::vector<std::uint32_t> {2, 0}));
    EXPECT_EQ(target.m_indexList.CountText(), "2");
}

// Every file a target names may lack an extension, or be hidden, as long as it exists.
TEST_F(TargetInfoTest, FilesWithoutExtensionLoad) {
    if (!ExistingFilesNeedNoExtension()) GTEST_SKIP() << "only names with an extension name files here";
    env.m_folder.Write("defs/items", "ID,4,R,u,1,ID\r\n"
                                     "Level,2,N,n,1,Level\r\n"
                                     "Flags,1,R,2,4,F1 F2 F3 F4,defs/.flags*defs/.flags**defs/kinds\r\n"
                                     "Kind,1,R,u,1,Kind,defs/kinds\r\n"
                                     "Spare,2,R,u,0,\r\n"
                                     "Name,6,N,s,1,Name\r\n");
    env.m_folder.Write("defs/.flags", env.m_folder.Read("defs/flags.tsv"));
    env.m_folder.Write("defs/kinds", env.m_folder.Read("defs/kinds.tsv"));
    env.m_folder.Write("defs/dec", Identity(true));
    env.m_folder.Write("defs/enc", Identity(true));
    env.m_folder.Write("defs/pick", "1\r\n3\t1\r\n");
    env.m_folder.Write("target", "[FileInfo]\r\nRecordDefinitionFileRP=defs/items\r\nBRecordSize=16\r\n"
                                 "BRecordCount=3\r\nB2TDecryptTableFileRP=defs/dec\r\n"
                                 "T2BEncryptTableFileRP=" + env.m_folder.Path() + "defs/enc\r\n"
                                 "BRecordIndexListFilePath=defs/pick\r\n");
    CTargetInfo target(1);
    target.Reset("FileInfo1");
    ASSERT_TRUE(target.Load("target")) << target.m_message;
    EXPECT_TRUE(target.CheckReady()) << target.m_message;
    EXPECT_EQ(target.m_fileInfo.FullPath(), env.m_folder.Path() + "target");
    EXPECT_EQ(target.m_numberCodes.TableCount(), 2u);
    EXPECT_EQ(target.m_codeTables.m_ok, 1);
    EXPECT_EQ(target.m_indexList.m_entries, (std::vector<std::uint32_t> {2, 0}));
}

TEST_F(TargetInfoTest, TheFewestKeysThatLoad) {
    env.m_folder.Write("one.txt", "Value,4,R,u,1,Value\r\n");
    WriteInfo("RecordDefinitionFileRP=one.txt\r\nBRecordSize=4\r\nBRecordCount=2\r\n");
    CTargetInfo target(2);
    ASSERT_TRUE(target.Load("target.ini")) << target.m_message;
    EXPECT_EQ(target.m_fileInfo.m_infoText, "\n4\n2\n\n--\n0");
    EXPECT_EQ(target.m_fileInfo.m_startPosition, 0);
    EXPECT_EQ(target.m_fileInfo.m_textDelimiter, ",");
    EXPECT_EQ(target.m_codeTables.m_ok, 0);
    EXPECT_EQ(target.DisplayName(), "FileInfo2 Not set");
    ASSERT_TRUE(target.Load("target.ini"));
    EXPECT_EQ(target.DisplayName(), "FileInfo2 Not set"); // also after a reload
    EXPECT_TRUE(target.CheckReady());
    EXPECT_FALSE(target.m_fileInfo.m_textFileBom);
    EXPECT_FALSE(target.m_fileInfo.m_textQuoting);
    for (const char* value : {"0", "1"}) {
        WriteInfo("RecordDefinitionFileRP=one.txt\r\nBRecordSize=4\r\nBRecordCount=2\r\nTextFileBOM=" +
                  std::string(value) + "\r\nTextQuoting=" + (value[0] == '1' ? "0" : "1") + "\r\n");
        ASSERT_TRUE(target.Load("target.ini")) << target.m_message;
        EXPECT_EQ(target.m_fileInfo.m_textFileBom, value[0] == '1');
        EXPECT_EQ(target.m_fileInfo.m_textQuoting, value[0] == '0');
        EXPECT_EQ(target.m_fileInfo.m_infoText, "\n4\n2\n\n--\n0"); // the panel is unchanged
    }
}

TEST_F(TargetInfoTest, TextDelimiterChoices) {
    env.m_folder.Write("one.txt", "Value,4,R,u,1,Value\r\n");
    const std::pair<const char*, const char*> cases[] = {
        {"T", "\t"}, {"t", "\t"}, {"TAB", ","}, {"\\t", ","}, {",", ","}, {"", ","},
    };
    for (const auto& [value, delimiter] : cases) {
        WriteInfo(std::string("RecordDefinitionFileRP=one.txt\r\nBRecordSize=4\r\nBRecordCount=1\r\nTDelimiter=") +
                  value + "\r\n");
        CTargetInfo target;
        ASSERT_TRUE(target.Load("target.ini")) << value;
        EXPECT_EQ(target.m_fileInfo.m_textDelimiter, delimiter) << value;
    }
}

TEST_F(TargetInfoTest, FailuresOfTheTargetInfoFile) {
    env.m_folder.Write("one.txt", "Value,4,R,u,1,Value\r\n");
    env.m_folder.Write("ten.txt", "A,4,R,u,1,A\r\nB,6,N,s,1,B\r\n");
    env.m_folder.Write("short.tbl", std::string(255, 'x'));
    env.m_folder.Write("bad.tsv", "0\r\n5\r\n-1\r\n");
    const std::string def = "RecordDefinitionFileRP=one.txt\r\n";
    struct Case {
        std::string keys;
        std::string message;
    } cases[] = {
        {"BRecordSize=4\r\nBRecordCount=1\r\n", "FileInfo1 Error\r\nRecordDefinitionFileRP.Not set"},
        {def + "BStartPosition=-1\r\nBRecordSize=4\r\nBRecordCount=1\r\n", "FileInfo1 Error\r\nBStartPosition.Range"},
        {def + "BRecordCount=1\r\n", "FileInfo1 Error\r\nBRecordSize.Not set"},
        {def + "BRecordSize=4\r\n", "FileInfo1 Error\r\nBRecordCount.Not set"},
        {def + "BRecordSize=0x10\r\nBRecordCount=1\r\n", "FileInfo1 Error\r\nBRecordSize.Range"},
        {def + "BRecordSize=4\r\nBRecordCount=0\r\n", "FileInfo1 Error\r\nBRecordCount.Range"},
        {def + "BRecordSize=4\r\nBRecordCount=2147483648\r\n", "FileInfo1 Error\r\nBRecordCount.Range"},
        {def + "BStartPosition=2\r\nBRecordSize=2147483647\r\nBRecordCount=2\r\n",
         "FileInfo1 Error\r\nBStartPosition + BRecordSize x BRecordCount.Max.length over"},
        // Exactly 4294967295 passes the extent check; the definition then fails.
        {def + "BStartPosition=1\r\nBRecordSize=2147483647\r\nBRecordCount=2\r\n",
         "Record Def Error\r\nAt line 2. Length Inconsistent"},
        {"RecordDefinitionFileRP=ten.txt\r\nBRecordSize=12\r\nBRecordCount=1\r\n",
         "Record Def Error\r\nAt line 3. Length Inconsistent"},
        {"RecordDefinitionFileRP=missing.txt\r\nBRecordSize=4\r\nBRecordCount=1\r\n", "Record Def Error\r\nFilePath "},
        {def + "BRecordSize=4\r\nBRecordCount=1\r\nB2TDecryptTableFileRP=short.tbl\r\n",
         "ManageCrypt Error\r\nDecrypt Error\r\nCan't read file\r\nshort.tbl"},
        {def + "BRecordSize=4\r\nBRecordCount=1\r\nBRecordIndexListFilePath=bad.tsv\r\n",
         "BRecordIndexList Error\r\nAt line 3. Range"},
        {def + "BRecordSize=4\r\nBRecordCount=1\r\nTextFileBOM=yes\r\n", "FileInfo1 Error\r\nTextFileBOM.Range"},
        {def + "BRecordSize=4\r\nBRecordCount=1\r\nTextFileBOM=2\r\n", "FileInfo1 Error\r\nTextFileBOM.Range"},
        {def + "BRecordSize=4\r\nBRecordCount=1\r\nTextQuoting=true\r\n", "FileInfo1 Error\r\nTextQuoting.Range"},
        {def + "BRecordSize=4\r\nBRecordCount=1\r\nTextQuoting=01\r\n", "FileInfo1 Error\r\nTextQuoting.Range"},
        // Encodings whose bytes 00 to 7F are not ASCII, or that are no encodings.
        {def + "BRecordSize=4\r\nBRecordCount=1\r\nBTextEncoding=UTF-16\r\n", "FileInfo1 Error\r\nBTextEncoding.Range"},
        {def + "BRecordSize=4\r\nBRecordCount=1\r\nFileEncoding=Klingon\r\n", "FileInfo1 Error\r\nFileEncoding.Range"},
    };
    for (const Case& c : cases) {
        WriteInfo(c.keys);
        CTargetInfo target(1);
        EXPECT_FALSE(target.Load("target.ini")) << c.keys;
        EXPECT_EQ(target.m_message, c.message) << c.keys;
        EXPECT_EQ(target.m_ok, 0);
        EXPECT_FALSE(target.CheckReady());
        EXPECT_EQ(target.m_message, c.message) << c.keys;
    }

    CTargetInfo missing(3);
    EXPECT_FALSE(missing.Load("absent.ini"));
    EXPECT_EQ(missing.m_message, "FileInfo3 Error\r\nFilePath ");
}

TEST_F(TargetInfoTest, TranslatedWordsInTargetMessages) {
    env.Translate("msg.Not set=Fehlt\r\nmsg.FileInfo=Ziel\r\nmsg.Error=Fehler\r\n");
    env.m_folder.Write("one.txt", "Value,4,R,u,1,Value\r\n");
    WriteInfo("RecordDefinitionFileRP=one.txt\r\nBRecordCount=1\r\n");
    CTargetInfo target(2);
    EXPECT_FALSE(target.Load("target.ini"));
    EXPECT_EQ(target.m_message, "Ziel2 Fehler\r\nBRecordSize.Fehlt");
}

TEST_F(TargetInfoTest, NumberCodeFailuresLetTheLoadSucceedButNotTheReadiness) {
    env.m_folder.Write("codes.txt", "A,1,R,u,1,A,nope.tsv\r\nB,1,R,u,1,B,defs/kinds.tsv\r\n");
    WriteInfo("RecordDefinitionFileRP=codes.txt\r\nBRecordSize=2\r\nBRecordCount=1\r\n");
    CTargetInfo target(1);
    ASSERT_TRUE(target.Load("target.ini")) << target.m_message;
    EXPECT_EQ(target.m_fileInfo.m_infoText, "\n2\n1\n\n--\n1");
    EXPECT_FALSE(target.CheckReady());
    // The first failure stays although a later file of the definition loaded.
    EXPECT_EQ(target.m_message, "NumCodeMean Error\r\nFilePath ");
}

} // namespace

// The target's own files in a legacy encoding: everything read from them arrives as UTF-8, and
// bytes that are no character of it fail the load, naming the file's key or line.
TEST_F(TargetInfoTest, FilesReadFromTheirDeclaredEncoding) {
    const std::string name = "\x96\xBC\x91\x4F";         // 名前 in CP932
    const std::string nameUtf8 = "\xE5\x90\x8D\xE5\x89\x8D";
    const std::string sword = "\x8C\x95";                  // 剣
    const std::string swordUtf8 = "\xE5\x89\xA3";
    const std::string bad = "\x81\x7F";                    // no character of CP932
    const std::string keys = "BRecordSize=5\r\nBRecordCount=1\r\nFileEncoding=shift_jis\r\nBTextEncoding=cp932\r\n";
    struct Case {
        std::string label, definition, kinds;
        std::string message; // empty: it loads
    } cases[] = {
        {name, "Kind,1,R,u,1," + name + ",kinds.tsv\r\nName,4,N,s,1,N\r\n", "0\t" + sword + "\r\n", ""},
        {"a" + bad, "Kind,1,R,u,1,K\r\nName,4,N,s,1,N\r\n", "0\tx\r\n",
         "FileInfo1 Error\r\nLabel.Not a character (CP932), Byte 1: 81 7F"},
        {"L", "Kind,1,R,u,1,K\r\nName,4,N,s,1," + bad + "\r\n", "0\tx\r\n",
         "Record Def Error\r\nAt line 2. Not a character (CP932), Byte 13: 81 7F"},
        {"L", "Kind,1,R,u,1,K,kinds.tsv\r\nName,4,N,s,1,N\r\n", "0\tx\r\n\r\n1\t" + bad + "\r\n",
         "NumCodeMean Error\r\nAt line 3. Not a character (CP932), Byte 2: 81 7F"},
    };
    // The label is the system's text: UTF-8, or on Windows the ANSI code page, where it may lack it.
    std::string shownName;
    std::size_t failedAt = 0;
    const bool shown = Utf8ToSystemText(nameUtf8, shownName, failedAt);
    if (!shown) cases[0].message = "FileInfo1 Error\r\nLabel.Range";
    for (const Case& c : cases) {
        env.m_folder.Write("def.txt", c.definition);
        env.m_folder.Write("kinds.tsv", c.kinds);
        WriteInfo("Label=" + c.label + "\r\nRecordDefinitionFileRP=def.txt\r\n" + keys);
        CTargetInfo target(1);
        const bool loaded = target.Load("target.ini") && target.CheckReady();
        EXPECT_EQ(target.m_message, c.message) << c.label;
        if (!c.message.empty()) continue;
        EXPECT_TRUE(loaded);
        EXPECT_EQ(target.DisplayName(), shownName);
        EXPECT_EQ(target.m_recordDefinition.m_headerLine, "//" + nameUtf8 + ",N");
        EXPECT_EQ(*target.m_numberCodes.FindMeaning(0, 0), swordUtf8);
        const std::vector<std::pair<std::string, std::string>> encodings = {{"BTextEncoding", "CP932"},
                                                                            {"FileEncoding", "CP932"}};
        EXPECT_EQ(target.m_fileInfo.Encodings(), encodings);
    }
}

// Paths decoded from the declared encoding name files as the system names them; a path the
// system's code page cannot express fails at its key.
TEST_F(TargetInfoTest, DeclaredEncodingPathsAreTheSystemsPaths) {
    const std::string definitionUtf8 = "d\xC3\xA9" "f.txt";   // déf.txt
    const std::string codesUtf8 = "c\xC3\xB3" "d.tsv";        // cód.tsv
    std::string definition, codes;
    std::size_t failedAt = 0;
    const bool expressible = Utf8ToSystemText(definitionUtf8, definition, failedAt) &&
                             Utf8ToSystemText(codesUtf8, codes, failedAt);
    if (expressible) {
        for (const auto& [name, contents] : {std::pair {definition, "Kind,1,R,u,1,K," + codesUtf8 + "\r\n"},
                                             std::pair {codes, std::string("0\tzero\r\n")}}) {
            CFile file(env.m_folder.Path() + name, modeCreate | modeWrite | typeBinary);
            file.Write(contents);
            file.Close();
        }
    }
    WriteInfo("RecordDefinitionFileRP=" + definitionUtf8 + "\r\nBRecordSize=1\r\nBRecordCount=1\r\nFileEncoding=UTF-8\r\n");
    CTargetInfo target(1);
    const bool loaded = target.Load("target.ini") && target.CheckReady();
    EXPECT_EQ(loaded, expressible) << target.m_message;
    if (!expressible) {
        EXPECT_EQ(target.m_message, "FileInfo1 Error\r\nRecordDefinitionFileRP.Range");
        return;
    }
    EXPECT_EQ(target.m_fileInfo.m_recordDefinitionPath, definition);
    EXPECT_EQ(*target.m_numberCodes.FindMeaning(0, 0), "zero");
}

// A meaning that text items cannot store in their encoding fails its table at its line, also
// when the table was loaded first for a number item, which alone could use it.
TEST_F(TargetInfoTest, MeaningsTextItemsCannotExpress) {
    env.m_folder.Write("kinds.tsv", "0\tplain\r\n1\tcaf\xC3\xA9\r\n");
    const std::string failure = "NumCodeMean Error\r\nAt line 2. Not expressible (CP932), Byte 3: C3 A9 \"\xC3\xA9\" (U+00E9)";
    const struct {
        std::string definition;
        const char* size;
        std::string message;
    } cases[] = {
        {"Kind,1,R,u,1,K,kinds.tsv\r\n", "1", ""},
        {"Name,4,N,s,1,N,kinds.tsv\r\n", "4", failure},
        {"Kind,1,R,u,1,K,kinds.tsv\r\nName,4,N,s,1,N,kinds.tsv\r\n", "5", failure},
    };
    for (const auto& [definition, size, message] : cases) {
        env.m_folder.Write("def.txt", definition);
        WriteInfo("RecordDefinitionFileRP=def.txt\r\nBRecordSize=" + std::string(size) +
                  "\r\nBRecordCount=1\r\nBTextEncoding=CP932\r\n");
        CTargetInfo target(1);
        ASSERT_TRUE(target.Load("target.ini")) << target.m_message;
        EXPECT_EQ(target.CheckReady(), message.empty()) << definition;
        EXPECT_EQ(target.m_message, message) << definition;
    }
}
