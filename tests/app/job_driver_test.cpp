#include "app/job_driver.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "vocabulary/message_box.h"
#include "support/backup.h"
#include "definition/target_info.h"
#include "support/progress.h"
#include "platform/file.h"
#include "platform/system.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"

namespace {

namespace fs = std::filesystem;

const std::string kTwoRecords("\x01\0\0\0\x02\0\0\0", 8);
const std::string kStamp = "-0305-090703";

class JobDriverTest : public ::testing::Test {
protected:
    JobDriverTest() {
        const CLocalTime fixed {2024, 3, 5, 9, 7, 3};
        FixLocalTime(&fixed);
        env.m_folder.Write("def.txt", "ID,4,R,u,1,ID\r\n");
        env.m_folder.Write("in.dat", kTwoRecords);
        env.m_folder.Write("index.txt", "0\r\n1\r\n");
        LoadTarget(",", "");
        request.binaryPath = "in.dat";
        request.slotButton = 1038;
        request.slotCaption = "FileInfo1";
        ToText();
    }
    ~JobDriverTest() override { FixLocalTime(nullptr); }

    void LoadTarget(const std::string& delimiter, const std::string& extraKeys) {
        env.m_folder.Write("target.ini", "[FileInfo]\r\nRecordDefinitionFileRP=def.txt\r\nBRecordSize=4\r\n"
                                         "BRecordCount=2\r\nTDelimiter=" + delimiter + "\r\n" + extraKeys);
        ASSERT_TRUE(target.Load("target.ini")) << target.m_message;
    }
    void ToText() {
        request.button = ctlBinaryToText;
        request.buttonCaption = "Binary => Text";
    }
    void ToBinary() {
        request.button = ctlTextToBinary;
        request.buttonCaption = "Text => Binary";
    }
    CJobResult Run() { return ConvertCommand(target, request, progress); }
    std::string Dir() const { return env.m_folder.Path(); }
    std::vector<std::string> ShownTexts() const {
        std::vector<std::string> texts;
        for (const CMessageBoxRequest& box : env.m_box.m_shown) texts.push_back(box.text);
        return texts;
    }
    static std::string Confirmation(const std::string& title, const std::string& out) {
        return "FileInfo1    \r\n\r\n\r\n" + title + "\r\n\r\n\r\nPut File =\r\n\r\n\r\n" + out +
            "\r\n\r\n\r\nConvert ?";
    }

    CTestEnvironment env;
    CTargetInfo target {1};
    CJobRequest request;
    CProgress progress;
};

TEST_F(JobDriverTest, TargetNotReadyShowsNothing) {
    target.Reset("FileInfo1");
    target.m_fileInfo.m_message = "Not set";
    request.textPath = "out.csv";
    const CJobResult result = Run();
    EXPECT_EQ(result.outcome, JobOutcome::notReady);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(result.focus, 0);
    EXPECT_EQ(target.m_message, "FileInfo1 Error\r\nNot set");
    EXPECT_TRUE(env.m_box.m_shown.empty());
    EXPECT_EQ(target.m_fileInfo.m_textFilePath, "");
}

TEST_F(JobDriverTest, ConfirmationDeclined) {
    request.textPath = "out/res.csv";
    const CJobResult result = Run();
    ASSERT_EQ(env.m_box.m_shown.size(), 1u);
    EXPECT_EQ(env.m_box.m_shown[0].text, Confirmation("[ Binary => Text ]", "out/res.csv"));
    EXPECT_EQ(env.m_box.m_shown[0].style, unsigned(mbQuestion));
    EXPECT_EQ(result.outcome, JobOutcome::canceled);
    EXPECT_EQ(result.message,
              "Canceled \r\nFileInfo1    \n\r\n[ Binary => Text ]\n\r\nPut File =\n\r\nout/res.csv\n\r\nConvert ?");
    EXPECT_EQ(result.focus, 0);
    EXPECT_FALSE(fs::exists(Dir() + "out"));
    // The checked paths stay in the slot.
    EXPECT_EQ(target.m_fileInfo.m_binaryFilePath, Dir() + "in.dat");
    EXPECT_EQ(target.m_fileInfo.m_textFilePath, Dir() + "out/res.csv");
}

TEST_F(JobDriverTest, ConfirmationWithTranslatedWordsAndCaption) {
    env.Translate("msg.Put=Schreiben\r\nmsg.Canceled=Abgebrochen\r\n");
    request.buttonCaption = "Binaer => Text";
    request.textPath = "/elsewhere/res.csv";
    const CJobResult result = Run();
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {"FileInfo1    \r\n\r\n\r\n[ Binaer => Text ]\r\n\r\n\r\n"
                                                      "Schreiben File =\r\n\r\n\r\n/elsewhere/res.csv\r\n\r\n\r\n"
                                                      "Convert ?"});
    EXPECT_EQ(result.message, "Abgebrochen \r\nFileInfo1    \n\r\n[ Binaer => Text ]\n\r\nSchreiben File =\n\r\n"
                              "/elsewhere/res.csv\n\r\nConvert ?");
}

TEST_F(JobDriverTest, NoSlotChecked) {
    request.slotButton = 0;
    const CJobResult result = Run();
    EXPECT_TRUE(env.m_box.m_shown.empty());
    EXPECT_EQ(result.outcome, JobOutcome::canceled);
    EXPECT_EQ(result.message, "Canceled \r\nFileInfo Not set");
}

TEST_F(JobDriverTest, BinaryToTextEndsAndNamesTheOutput) {
    fs::create_directory(Dir() + "out");
    struct Case {
        std::string delimiter;
        std::string textField;
        std::string output;
    } cases[] = {
        {",", "", Dir() + "in" + kStamp + ".csv"},
        {"T", "", Dir() + "in" + kStamp + ".tsv"},
        {",", Dir() + "out/", Dir() + "out/in" + kStamp + ".csv"},
        {",", Dir() + "out/res", Dir() + "out/res" + kStamp + ".csv"},
        {",", Dir() + "out/res  ", Dir() + "out/res" + kStamp + ".csv"},
        {"t", "res", Dir() + "res" + kStamp + ".tsv"},
        {",", "out\\res.csv", Dir() + "out\\res.csv"},
        {",", "res.csv", Dir() + "res.csv"},
    };
    for (const Case& c : cases) {
        LoadTarget(c.delimiter, "");
        env.m_box.m_shown.clear();
        env.m_box.Answer(idYes);
        request.textPath = c.textField;
        const CJobResult result = Run();
        EXPECT_EQ(result.outcome, JobOutcome::ended) << c.textField;
        EXPECT_EQ(result.message, "End [ Binary => Text ]") << c.textField << "\n" << target.m_message;
        EXPECT_EQ(result.focus, 0);
        EXPECT_EQ(target.m_fileInfo.m_textFilePath, c.output);
        EXPECT_EQ(target.m_message, "");
        const std::string shown = c.output.substr(Dir().size()); // inside the program's folder
        EXPECT_EQ(ShownTexts(), std::vector<std::string> {Confirmation("[ Binary => Text ]", shown)});
        EXPECT_EQ(env.m_folder.Read(SystemPath(c.output)), "//ID\r\n1\r\n2\r\n") << c.output;
        fs::remove(SystemPath(c.output));
    }
}

TEST_F(JobDriverTest, PathProblemsCancelWithFocus) {
    const std::string root = FileSystemRoot();
    env.m_folder.Write("text.csv", "//ID\r\n7\r\n");
    struct Case {
        bool toBinary;
        std::string binaryField, textField;
        std::string message;
        int focus;
    } cases[] = {
        {false, "in.dat", Dir() + "In.Dat", "Canceled\r\nBinary File = Text File", ctlTextPath},
        {true, Dir() + "TEXT.csv", "text.CSV", "Canceled\r\nBinary File = Text File", ctlTextPath},
        {false, root + "in.dat", "out.csv", "Canceled\r\nError Binary FilePath", ctlBinaryPath},
        {false, "in", "out.csv", "Canceled\r\nError Binary FilePath", ctlBinaryPath},
        {false, "", "out.csv", "Canceled\r\nError Binary FilePath", ctlBinaryPath},
        {false, root + "missing-folder/in.dat", "out.csv", "Canceled\r\nError FilePath", ctlBinaryPath},
        {false, "in.dat", root + "out", "Canceled\r\nError Text FilePath", ctlTextPath},
        {false, "in.dat", root + "missing-folder/out.csv", "", 0},
        {true, "in.dat", root + "text.csv", "Canceled\r\nError Text FilePath", ctlTextPath},
        {true, root + "out", "text.csv", "Canceled\r\nError Binary FilePath", ctlBinaryPath},
        {true, root + "missing-folder/", "text.csv", "", 0},
    };
    for (const Case& c : cases) {
        if (c.toBinary) ToBinary(); else ToText();
        request.binaryPath = c.binaryField;
        request.textPath = c.textField;
        env.m_box.m_shown.clear();
        const CJobResult result = Run();
        if (c.message.empty()) {
            // Passes the checks and stops at the (declined) confirmation.
            EXPECT_EQ(env.m_box.m_shown.size(), 1u) << c.binaryField << " " << c.textField;
            continue;
        }
        EXPECT_EQ(result.outcome, JobOutcome::canceled);
        EXPECT_EQ(result.message, c.message) << c.binaryField << " " << c.textField;
        EXPECT_EQ(result.focus, c.focus) << c.binaryField << " " << c.textField;
        EXPECT_TRUE(env.m_box.m_shown.empty());
        // The slot keeps the fields as typed.
        EXPECT_EQ(target.m_fileInfo.m_binaryFilePath, c.binaryField);
        EXPECT_EQ(target.m_fileInfo.m_textFilePath, c.textField);
    }
    EXPECT_EQ(env.m_folder.Read("in.dat"), kTwoRecords);
    EXPECT_EQ(env.m_folder.Read("text.csv"), "//ID\r\n7\r\n");
}

TEST_F(JobDriverTest, PathProblemTextsAreTranslated) {
    const std::string root = FileSystemRoot();
    env.Translate("msg.Canceled=Abgebrochen\r\nmsg.File=Datei\r\nmsg.FilePath=Pfad\r\n");
    request.textPath = Dir() + "IN.dat";
    EXPECT_EQ(Run().message, "Abgebrochen\r\nBinary Datei = Text Datei");
    request.binaryPath = root + "in.dat";
    EXPECT_EQ(Run().message, "Abgebrochen\r\nError Binary Pfad");
}

TEST_F(JobDriverTest, TextToBinaryDerivesOnlyFromTheStart) {
    env.m_folder.Write("text.csv", "//ID\r\n7\r\n9\r\n");
    ToBinary();
    request.binaryPath = "";
    request.textPath = "text.csv";
    struct Case {
        std::string keys;
        bool derives;
    } cases[] = {
        {"BStartPosition=4\r\n", false},
        {"BRecordIndexListFilePath=index.txt\r\n", false},
        {"", true},
    };
    for (const Case& c : cases) {
        LoadTarget(",", c.keys);
        env.m_box.Answer(idYes);
        const CJobResult result = Run();
        if (!c.derives) {
            EXPECT_EQ(result.outcome, JobOutcome::canceled) << c.keys;
            EXPECT_EQ(result.message, "Canceled\r\nError Binary") << c.keys;
            EXPECT_EQ(result.focus, ctlBinaryPath) << c.keys;
            env.m_box.m_answers.clear();
            continue;
        }
        const std::string out = Dir() + "text" + kStamp + ".dat";
        EXPECT_EQ(result.message, "End [ Text => Binary ]") << target.m_message;
        EXPECT_EQ(target.m_fileInfo.m_binaryFilePath, out);
        EXPECT_EQ(env.m_folder.Read(out), std::string("\x07\0\0\0\x09\0\0\0", 8));
    }
}

TEST_F(JobDriverTest, OutputOpenModes) {
    const std::string root = FileSystemRoot();
    env.m_folder.Write("text.csv", "//ID\r\n7\r\n");
    struct Case {
        int direction;
        std::string binaryField, textField;
        unsigned mode;
    } cases[] = {
        {0, "in.dat", "", 0x5021},
        {0, "in.dat", "text.csv", 0x5021},
        {1, "in.dat", "text.csv", 0xA022},
        {1, "new.dat", "text.csv", 0x9021},
        {1, "", "text.csv", 0x9021},
        {0, root + "in.dat", "text.csv", 0},
        {1, "in.dat", "missing.csv", 0xA022},
    };
    for (const Case& c : cases) {
        target.m_fileInfo.m_binaryFilePath = c.binaryField;
        target.m_fileInfo.m_textFilePath = c.textField;
        CConversionJob job(target, request, progress);
        unsigned mode = 0x1234;
        EXPECT_EQ(job.ValidatePaths(c.direction, mode), c.mode != 0);
        EXPECT_EQ(mode, c.mode) << c.direction << " " << c.binaryField << " " << c.textField;
    }
}

// An existing file is taken as it is named, extension or not; a name still to be made is derived
// as before.
TEST_F(JobDriverTest, ExistingFilesNeedNoExtension) {
    if (!ExistingFilesNeedNoExtension()) GTEST_SKIP() << "only names with an extension name files here";
    env.m_folder.Write("wtmp", kTwoRecords);
    env.m_folder.Write(".wtmp", kTwoRecords);
    env.m_folder.Write("plain", "//ID\r\n7\r\n");
    fs::create_directory(Dir() + "out");
    struct Case {
        const char* label;
        int direction;
        std::string binaryField, textField, output;
        unsigned mode;
    } cases[] = {
        {"binary input, derived text", 0, "wtmp", "", Dir() + "wtmp" + kStamp + ".csv", 0x5021},
        {"hidden binary input, derived text", 0, ".wtmp", "", Dir() + ".wtmp" + kStamp + ".csv", 0x5021},
        {"hidden binary input, text into a folder", 0, Dir() + ".wtmp", "out/", Dir() + "out/.wtmp" + kStamp + ".csv",
         0x5021},
        {"existing text output", 0, "wtmp", "plain", Dir() + "plain", 0x5021},
        {"new text output", 0, "wtmp", "out/res", Dir() + "out/res" + kStamp + ".csv", 0x5021},
        {"text input, existing binary output", 1, "wtmp", "plain", Dir() + "wtmp", 0xA022},
        {"hidden binary output", 1, ".wtmp", Dir() + "plain", Dir() + ".wtmp", 0xA022},
        {"new binary output", 1, "new", "plain", Dir() + "new" + kStamp + ".dat", 0x9021},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        target.m_fileInfo.m_binaryFilePath = c.binaryField;
        target.m_fileInfo.m_textFilePath = c.textField;
        CConversionJob job(target, request, progress);
        unsigned mode = 0;
        ASSERT_TRUE(job.ValidatePaths(c.direction, mode));
        EXPECT_EQ(mode, c.mode);
        EXPECT_EQ(c.direction == 0 ? target.m_fileInfo.m_textFilePath : target.m_fileInfo.m_binaryFilePath, c.output);
    }

    // Both directions in full: the text replaces the existing file, the binary file is updated.
    request.binaryPath = "wtmp";
    request.textPath = "plain";
    request.makeBackup = true;
    env.m_box.Answer(idYes);
    EXPECT_EQ(Run().message, "End [ Binary => Text ]");
    EXPECT_EQ(env.m_folder.Read("plain"), "//ID\r\n1\r\n2\r\n");
    EXPECT_EQ(env.m_folder.Read("plain.bak"), "//ID\r\n7\r\n");
    env.m_folder.Write("plain", "//ID\r\n7\r\n9\r\n");
    ToBinary();
    env.m_box.Answer(idYes);
    EXPECT_EQ(Run().message, "End [ Text => Binary ]");
    EXPECT_EQ(env.m_folder.Read("wtmp"), std::string("\x07\0\0\0\x09\0\0\0", 8));
    EXPECT_EQ(env.m_folder.Read("wtmp.bak"), kTwoRecords);
}

// What names no regular file is refused as before, with or without an extension.
TEST_F(JobDriverTest, NoFileWithoutExtensionIsRefusedAsBefore) {
    if (!SystemHasFifos()) GTEST_SKIP() << "no FIFOs on this system";
    ASSERT_TRUE(MakeFifo(Dir() + "pipe"));
    fs::create_directory(Dir() + "folder");
    struct Case {
        bool toBinary;
        std::string binaryField, textField, message;
        int focus;
    } cases[] = {
        {false, "missing", "out.csv", "Canceled\r\nError Binary FilePath", ctlBinaryPath},
        {false, "pipe", "out.csv", "Canceled\r\nError Binary FilePath", ctlBinaryPath},
        {false, Dir() + ".missing", "out.csv", "Canceled\r\nError Binary FilePath", ctlBinaryPath},
        {false, "folder", "out.csv", "Canceled\r\nError Binary FilePath", ctlBinaryPath},
        {false, "in.dat", Dir() + ".missing", "Canceled\r\nError Text FilePath", ctlTextPath},
        {true, "in.dat", "pipe", "Canceled\r\nError Text FilePath", ctlTextPath},
        {true, "pipe", "in.dat", "Canceled\r\nError Binary", ctlBinaryPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.binaryField + " " + c.textField);
        c.toBinary ? ToBinary() : ToText();
        LoadTarget(",", c.toBinary ? "BStartPosition=4\r\n" : "");
        request.binaryPath = c.binaryField;
        request.textPath = c.textField;
        const CJobResult result = Run();
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(result.focus, c.focus);
        EXPECT_TRUE(env.m_box.m_shown.empty());
    }
}

TEST_F(JobDriverTest, TextToBinaryUpdatesInPlaceAfterTheQuestion) {
    // The index list sends the one line to record 1.
    LoadTarget(",", "BRecordIndexListFilePath=index.txt\r\n");
    env.m_folder.Write("text.csv", "//ID\r\n7\r\n");
    ToBinary();
    request.textPath = "text.csv";
    for (const int answer : {idNo, idYes}) {
        env.m_box.m_shown.clear();
        env.m_box.Answer(idYes);
        env.m_box.Answer(answer);
        const CJobResult result = Run();
        ASSERT_EQ(env.m_box.m_shown.size(), 2u);
        EXPECT_EQ(env.m_box.m_shown[0].text, Confirmation("[ Text => Binary ]", "in.dat"));
        EXPECT_EQ(env.m_box.m_shown[1].text, "Target File Already Exist. Do you Update it ?");
        if (answer == idNo) {
            EXPECT_EQ(result.outcome, JobOutcome::canceled);
            EXPECT_EQ(result.message, "Canceled\n\n[ Text => Binary ]");
            EXPECT_EQ(env.m_folder.Read("in.dat"), kTwoRecords);
        } else {
            EXPECT_EQ(result.outcome, JobOutcome::ended);
            EXPECT_EQ(result.message, "End [ Text => Binary ]");
            // The record not written keeps its bytes.
            EXPECT_EQ(env.m_folder.Read("in.dat"), std::string("\x01\0\0\0\x07\0\0\0", 8));
        }
    }
    EXPECT_FALSE(fs::exists(Dir() + "in.dat.bak"));
}

TEST_F(JobDriverTest, BackupReplacesTheOverwriteQuestion) {
    env.m_folder.Write("out.csv", "previous run");
    request.textPath = "out.csv";
    request.makeBackup = true;
    env.m_box.Answer(idYes);
    const CJobResult result = Run();
    EXPECT_EQ(result.message, "End [ Binary => Text ]");
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {Confirmation("[ Binary => Text ]", "out.csv")});
    EXPECT_EQ(env.m_folder.Read("out.csv.bak"), "previous run");
    EXPECT_EQ(env.m_folder.Read("out.csv"), "//ID\r\n1\r\n2\r\n");
}

TEST_F(JobDriverTest, DeclinedOverwriteOrFailedBackupCancels) {
    env.m_folder.Write("out.csv", "previous run");
    request.textPath = "out.csv";
    env.m_box.Answer(idYes);
    CJobResult result = Run();
    EXPECT_EQ(ShownTexts().back(), "Target File Already Exist. Do you Delete it ?");
    EXPECT_EQ(result.outcome, JobOutcome::canceled);
    EXPECT_EQ(result.message, "Canceled\n\n[ Binary => Text ]");
    EXPECT_EQ(env.m_folder.Read("out.csv"), "previous run");

    // The backup's place is taken by a folder.
    env.m_folder.Write("out.csv.bak/inside", "");
    request.makeBackup = true;
    env.m_box.Answer(idYes);
    result = Run();
    EXPECT_EQ(result.outcome, JobOutcome::canceled);
    EXPECT_EQ(result.message, "Canceled\n5 " + CFileException::Describe(5, Dir() + "out.csv.bak") +
                                  "\n[ Binary => Text ]");
    EXPECT_EQ(env.m_folder.Read("out.csv"), "previous run");
}

// A display whose user stops the run as soon as it shows.
class CStoppedProgress : public CProgress {
protected:
    bool OnStart(const CProgressState&) override {
        RequestConfirmedStop();
        return true;
    }
};

TEST_F(JobDriverTest, EngineFailureAndStop) {
    request.textPath = "out.csv";
    env.m_box.Answer(idYes);
    CStoppedProgress stopped;
    CJobResult result = ConvertCommand(target, request, stopped);
    EXPECT_EQ(result.outcome, JobOutcome::failed);
    EXPECT_EQ(result.message, "Error [ Binary => Text ]\r\nText File Can not use\r\nStop ?");
    EXPECT_EQ(target.m_message, "");

    // A missing input passes the checks; the engine reports it.
    request.binaryPath = "missing.dat";
    request.textPath = "out2.csv";
    env.m_box.Answer(idYes);
    result = Run();
    EXPECT_EQ(result.outcome, JobOutcome::failed);
    EXPECT_EQ(result.message, "Error [ Binary => Text ]\r\nText File Can not use\r\nError  Can't open file\r\n2 " +
                                  CFileException::Describe(2, Dir() + "missing.dat"));
    // The text file the failed job created is gone again.
    EXPECT_FALSE(std::filesystem::exists(Dir() + "out2.csv"));
}

TEST_F(JobDriverTest, OutcomeTextsAreTranslated) {
    env.Translate("msg.End=Fertig\r\nmsg.Can not use=unbrauchbar\r\nmsg.Error=Fehler\r\n");
    request.buttonCaption = "Binaer => Text";
    request.textPath = "out.csv";
    std::vector<bool> cursor;
    request.waitCursor = [&cursor](bool busy) { cursor.push_back(busy); };
    env.m_box.Answer(idYes);
    EXPECT_EQ(Run().message, "Fertig [ Binaer => Text ]");
    EXPECT_EQ(cursor, (std::vector<bool> {true, false}));

    env.m_folder.Write("short.dat", "\x01\x02");
    request.binaryPath = "short.dat";
    request.makeBackup = true;
    env.m_box.Answer(idYes);
    EXPECT_EQ(Run().message, "Fehler [ Binaer => Text ]\r\nText File unbrauchbar\r\n"
                             "Fehler At line 1. Can't read file\r\n" + Dir() + "short.dat");
}

// Everything in the folder, for checks that nothing was touched.
std::map<std::string, std::string> FolderContents(const CTempFolder& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        contents[entry.path().filename().string()] = entry.is_regular_file() ? folder.Read(entry.path().string()) : "<entry>";
    return contents;
}

TEST_F(JobDriverTest, WhatIsNoFileIsRefusedBeforeAnythingIsWritten) {
    if (!SystemHasFifos()) GTEST_SKIP() << "no FIFOs on this system";
    ASSERT_TRUE(MakeFifo(Dir() + "pipe.dat"));
    ASSERT_TRUE(MakeFifo(Dir() + "pipe.csv"));
    fs::create_directory(Dir() + "folder.csv");
    fs::create_directory(Dir() + "listed-BRecordIndexList.tsv");
    env.m_folder.Write("listed.csv", "//ID\r\n1\r\n");
    struct Case {
        const char* label;
        bool toBinary;
        std::string binary, text, refused;
        int focus;
    } cases[] = {
        {"a FIFO as the binary input", false, "pipe.dat", "out.csv", "pipe.dat", ctlBinaryPath},
        {"a folder as the text output", false, "in.dat", "folder.csv", "folder.csv", ctlTextPath},
        {"a FIFO as the text output", false, "in.dat", "pipe.csv", "pipe.csv", ctlTextPath},
        {"a FIFO as the text input", true, "in.dat", "pipe.csv", "pipe.csv", ctlTextPath},
        {"a FIFO as the binary output", true, "pipe.dat", "listed.csv", "pipe.dat", ctlBinaryPath},
        {"a folder where the index list goes", true, "in.dat", "listed.csv", "listed-BRecordIndexList.tsv",
         ctlTextPath},
    };
    const auto before = FolderContents(env.m_folder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        c.toBinary ? ToBinary() : ToText();
        request.binaryPath = c.binary;
        request.textPath = c.text;
        request.firstColumnIsIndex = request.writeIndexList = c.toBinary;
        const CJobResult result = Run();
        EXPECT_EQ(result.outcome, JobOutcome::canceled);
        EXPECT_EQ(result.message, "Canceled\r\nError It's not a file\r\n" + Dir() + c.refused);
        EXPECT_EQ(result.focus, c.focus);
        EXPECT_TRUE(env.m_box.m_shown.empty());
        EXPECT_EQ(FolderContents(env.m_folder), before);
    }
}

// A confirmation during which another run takes the output file for writing.
class CRacingBox : public IMessageBox {
public:
    explicit CRacingBox(std::string path) : m_path(std::move(path)), m_previous(SetMessageBox(this)) {}
    ~CRacingBox() override { SetMessageBox(m_previous); }
    int Show(const CMessageBoxRequest&) override {
        m_otherRun.emplace(m_path, modeWrite | modeNoTruncate | typeText);
        return idYes;
    }

private:
    std::string m_path;
    IMessageBox* m_previous;
    std::optional<CFile> m_otherRun;
};

TEST_F(JobDriverTest, AnOutputAnotherRunWritesIsNeitherBackedUpNorTouched) {
    env.m_folder.Write("out.csv", "being written");
    env.m_folder.Write("out.csv.bak", "the only good generation");
    request.textPath = "out.csv";
    request.makeBackup = true;
    {
        CRacingBox box(Dir() + "out.csv");
        const CJobResult result = Run();
        EXPECT_EQ(result.outcome, JobOutcome::failed);
        EXPECT_EQ(result.message, "Error [ Binary => Text ]\r\nText File Can not use\r\nCan't open file\r\n11 " +
                                      CFileException::Describe(11, Dir() + "out.csv"));
        EXPECT_EQ(env.m_folder.Read("out.csv.bak"), "the only good generation");
        EXPECT_EQ(env.m_folder.Read("out.csv"), "being written");

        // Nor is it reverted under the other run.
        std::string text;
        EXPECT_FALSE(RevertFromBackup(Dir() + "out.csv", text));
        EXPECT_EQ(text, "11 " + CFileException::Describe(11, Dir() + "out.csv"));
        EXPECT_EQ(env.m_folder.Read("out.csv"), "being written");
    }
}

} // namespace
