#include "app/main_window_model.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "vocabulary/message_box.h"
#include "platform/file_exception.h"
#include "platform/system.h"
#include "support/file_chooser.h"
#include "support/paths.h"
#include "tests/common/scripted_progress.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"

namespace {

namespace fs = std::filesystem;

const std::string kThreeRecords("\x01\0\0\0\x02\0\0\0\x03\0\0\0", 12);
const std::string kStamp = "-0305-090703";
const std::string kSettings = "[FileInfoDefaultRP]\r\nFileInfo1=a.ini\r\nFileInfo2=b.ini\r\nFileInfo3=c.ini\r\n";
const std::string kTargetA = "[FileInfo]\r\nLabel=Alpha\r\nRecordDefinitionFileRP=def.txt\r\nBRecordSize=4\r\n"
                             "BRecordCount=3\r\nTDelimiter=,\r\nBinaryFilePath=in.dat\r\nTextFilePath=out.csv\r\n";
const std::string kConfirmToText = "Alpha    \r\n\r\n\r\n[ Binary => Text ]\r\n\r\n\r\nPut File =\r\n\r\n\r\nout.csv"
                                   "\r\n\r\n\r\nConvert ?";
const std::string kBuiltInLabelColumn = " BStartPosition\n BRecordSize\n BRecordCount\n TDelimiter\n Decrypt/Encrypt\n"
                                        " NumberCode File\n BRecordIndex\n";

class MainWindowModelTest : public ::testing::Test {
protected:
    MainWindowModelTest() {
        const CLocalTime fixed {2024, 3, 5, 9, 7, 3};
        FixLocalTime(&fixed);
        std::string table(256, '\0');
        for (int i = 0; i < 256; ++i) table[i] = static_cast<char>((i + 1) & 0xFF);
        env.m_folder.Write("dec.tbl", table);
        env.m_folder.Write("def.txt", "ID,4,R,u,1,ID\r\n");
        env.m_folder.Write("plain.txt", "ID,4,N,u,1,ID\r\n"); // no record index in the first column
        env.m_folder.Write("in.dat", kThreeRecords);
        env.m_folder.Write("index.txt", "0\r\n2\r\n0\r\n");
        env.m_folder.Write("a.ini", kTargetA);
        env.m_folder.Write("b.ini", "[FileInfo]\r\nLabel=Beta\r\nRecordDefinitionFileRP=plain.txt\r\nBRecordSize=4\r\n"
                                    "BRecordCount=3\r\nB2TDecryptTableFileRP=dec.tbl\r\nBTextEncoding=sjis\r\n"
                                    "FileEncoding=windows-1252\r\n");
        env.m_folder.Write("c.ini", "[FileInfo]\r\nLabel=Gamma\r\nRecordDefinitionFileRP=def.txt\r\nBRecordSize=4\r\n"
                                    "BRecordCount=3\r\nBRecordIndexListFilePath=index.txt\r\n");
    }
    ~MainWindowModelTest() override { FixLocalTime(nullptr); }

    // Starts the program with the given settings file (none when the text is empty).
    void Start(const std::string& settings) {
        if (!settings.empty()) env.m_folder.Write("morvane.ini", settings);
        model.reset();
        app.reset(); // its vocabulary hands the active place back first
        app = std::make_unique<CAppState>();
        app->LoadSettings(Dir() + "morvane.ini");
        model = std::make_unique<CMainWindowModel>(*app, progress, shell);
        model->Initialize();
        env.m_box.m_shown.clear();
    }
    std::string Dir() const { return env.m_folder.Path(); }
    std::vector<std::string> ShownTexts() const {
        std::vector<std::string> texts;
        for (const CMessageBoxRequest& box : env.m_box.m_shown) texts.push_back(box.text);
        return texts;
    }
    std::string Area() const { return model->Text(idMessageArea); }
    CFileInfoSection& Info(int slot) { return app->m_slots[slot].m_fileInfo; }

    CTestEnvironment env;
    CScriptedProgress progress;
    CScriptedShell shell;
    CScriptedFileChooser chooser;
    std::unique_ptr<CAppState> app;
    std::unique_ptr<CMainWindowModel> model;
};

TEST_F(MainWindowModelTest, WithoutSettingsEverySlotIsEmpty) {
    Start("");
    EXPECT_EQ(model->Text(idSlot1), "FileInfo1");
    EXPECT_EQ(model->Text(idSlot2), "FileInfo2");
    EXPECT_EQ(model->Text(idSlot3), "FileInfo3");
    EXPECT_TRUE(model->IsChecked(idSlot1));
    EXPECT_EQ(model->CurrentSlot(), 0);
    EXPECT_EQ(Area(), "FileInfoDefaultRP Not set");
    EXPECT_EQ(model->Text(idLabelColumn), kBuiltInLabelColumn);
    EXPECT_EQ(model->Text(idValueColumn), "\n");
    EXPECT_EQ(app->m_labels, nullptr);
    for (int id = idDecryptBinary; id <= idEncryptToDecrypt; ++id) EXPECT_FALSE(model->IsEnabled(id)) << id;
    EXPECT_TRUE(model->IsEnabled(idBinaryToText));
    EXPECT_TRUE(model->IsEnabled(idTextToBinary));
    EXPECT_TRUE(model->IsChecked(idBackupOption));
    EXPECT_FALSE(model->IsEnabled(idIndexColumnOption));
    EXPECT_FALSE(model->IsEnabled(idWriteIndexListOption));
    for (int id = CUiLabelSet::kFirstControlId; id <= idTargetFrame; ++id)
        EXPECT_EQ(model->Text(id), CUiLabelSet::DefaultCaption(id)) << id;

    // A target that is not ready refuses the job without a word.
    model->Command(idBinaryToText);
    EXPECT_TRUE(env.m_box.m_shown.empty());
    EXPECT_EQ(Area(), "FileInfoDefaultRP Not set");

    model->Command(idSlot2);
    EXPECT_EQ(model->CurrentSlot(), 1);
    EXPECT_TRUE(model->IsChecked(idSlot2));
    EXPECT_FALSE(model->IsChecked(idSlot1));
    EXPECT_EQ(Area(), "FileInfo2 Error\r\n");

    // Reload and Save Path have no file to work on.
    model->Command(idReloadTarget);
    EXPECT_EQ(Area(), "FilePath Not set");
    model->Command(idReloadIndexList);
    EXPECT_EQ(Area(), "FilePath Not set");
    model->Command(idSaveBinary);
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {"FileInfo2 Error\r\nFilePath\r\n"});
    EXPECT_EQ(env.m_box.m_shown[0].style, unsigned(mbError));
    EXPECT_FALSE(fs::exists(Dir() + "morvane.ini"));
}

TEST_F(MainWindowModelTest, EachSlotShowsItsTarget) {
    Start(kSettings);
    struct Case {
        int slotButton;
        std::string caption, target, binary, text, indexList, values;
        bool decrypt, invertDecrypt, indexOption;
        std::string toolTip = ""; // the declared encodings; the value column keeps its layout
    } cases[] = {
        {idSlot1, "Alpha", "a.ini", "in.dat", "out.csv", "", "\n4\n3\n,\n--\n0\n--", false, false, true},
        {idSlot2, "Beta", "b.ini", "", "", "", "\n4\n3\n\nDecrypt\n0\n--", true, true, false,
         "BTextEncoding: CP932\nFileEncoding: CP1252"},
        {idSlot3, "Gamma", "c.ini", "", "", "index.txt", "\n4\n3\n\n--\n0\n2", false, false, false},
    };
    for (const Case& c : cases) {
        model->Command(c.slotButton);
        EXPECT_EQ(model->Text(c.slotButton), c.caption);
        EXPECT_EQ(Area(), "") << c.caption;
        EXPECT_EQ(model->Text(idTargetField), c.target);
        EXPECT_EQ(model->Text(idBinaryField), c.binary);
        EXPECT_EQ(model->Text(idTextField), c.text);
        EXPECT_EQ(model->Text(idIndexListField), c.indexList);
        EXPECT_EQ(model->Text(idValueColumn), c.values);
        EXPECT_EQ(model->InfoToolTip(), c.toolTip);
        EXPECT_EQ(model->IsEnabled(idDecryptBinary), c.decrypt) << c.caption;
        EXPECT_EQ(model->IsEnabled(idEncryptBinary), c.decrypt) << c.caption;
        EXPECT_EQ(model->IsEnabled(idDecryptToEncrypt), c.invertDecrypt) << c.caption;
        EXPECT_FALSE(model->IsEnabled(idEncryptToDecrypt)) << c.caption;
        EXPECT_EQ(model->IsEnabled(idIndexColumnOption), c.indexOption) << c.caption;
        EXPECT_FALSE(model->IsEnabled(idWriteIndexListOption)) << c.caption;
    }
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

TEST_F(MainWindowModelTest, SwitchingSlotsKeepsTypedPaths) {
    Start(kSettings);
    model->EditField(idBinaryField, "typed.dat");
    model->EditField(idTextField, "typed.csv");
    model->Command(idSlot2);
    EXPECT_EQ(model->Text(idBinaryField), "");
    EXPECT_EQ(Info(0).m_binaryFilePath, "typed.dat");
    model->Command(idSlot1);
    EXPECT_EQ(model->Text(idBinaryField), "typed.dat");
    EXPECT_EQ(model->Text(idTextField), "typed.csv");
}

// The preview shows the current slot's target with the fields' files, and each load refreshes it.
TEST_F(MainWindowModelTest, ThePreviewFollowsTheSlot) {
    Start(kSettings);
    EXPECT_EQ(model->Text(idPreview), "Preview");
    CPreviewSource first = model->PreviewSource();
    EXPECT_EQ(first.targetPath, Dir() + "a.ini");
    EXPECT_EQ(first.binaryPath, "in.dat");
    EXPECT_EQ(first.indexListPath, "");
    model->EditField(idBinaryField, "other.dat");
    EXPECT_EQ(model->PreviewSource().binaryPath, "other.dat");
    model->Command(idSlot3);
    const CPreviewSource third = model->PreviewSource();
    EXPECT_EQ(third.targetPath, Dir() + "c.ini");
    EXPECT_EQ(third.indexListPath, "index.txt");
    model->Command(idReloadTarget);
    EXPECT_NE(model->PreviewSource(), third);
    model->Command(idClearIndexList);
    EXPECT_EQ(model->PreviewSource().indexListPath, "");

    // What the preview shows of it is what the slot's Binary => Text would convert.
    CPreviewModel preview(*app);
    model->Command(idSlot1);
    model->EditField(idBinaryField, "in.dat");
    preview.Open(model->PreviewSource());
    ASSERT_EQ(preview.Failure(), "");
    EXPECT_EQ(preview.RowCount(), 3u);
    EXPECT_EQ(preview.Row(2).line, "3");
}

TEST_F(MainWindowModelTest, IndexOptionsFollowTheIndexList) {
    Start(kSettings);
    model->SetChecked(idIndexColumnOption, true);
    EXPECT_TRUE(model->IsEnabled(idWriteIndexListOption));
    model->SetChecked(idWriteIndexListOption, true);
    model->SetChecked(idIndexColumnOption, false);
    EXPECT_FALSE(model->IsChecked(idWriteIndexListOption));
    EXPECT_FALSE(model->IsEnabled(idWriteIndexListOption));

    // Choosing a record index list turns both options off.
    model->SetChecked(idIndexColumnOption, true);
    model->SetChecked(idWriteIndexListOption, true);
    chooser.m_answers.push_back(Dir() + "index.txt");
    model->Command(idBrowseIndexList);
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {"2 Record Loaded"});
    EXPECT_EQ(env.m_box.m_shown[0].style, unsigned(mbInformation));
    EXPECT_EQ(model->Text(idIndexListField), "index.txt");
    EXPECT_EQ(Info(0).m_indexListPath, "index.txt");
    EXPECT_EQ(model->Text(idValueColumn), "\n4\n3\n,\n--\n0\n2");
    for (int id : {idIndexColumnOption, idWriteIndexListOption}) {
        EXPECT_FALSE(model->IsChecked(id));
        EXPECT_FALSE(model->IsEnabled(id));
    }
    // A disabled option cannot be clicked.
    model->SetChecked(idIndexColumnOption, true);
    EXPECT_FALSE(model->IsChecked(idIndexColumnOption));

    model->Command(idClearIndexList);
    EXPECT_EQ(model->Text(idIndexListField), "");
    EXPECT_EQ(Info(0).m_indexListPath, "");
    EXPECT_EQ(model->Text(idValueColumn), "\n4\n3\n,\n--\n0\n--");
    EXPECT_TRUE(model->IsEnabled(idIndexColumnOption));
    EXPECT_FALSE(model->IsChecked(idIndexColumnOption));
    EXPECT_FALSE(model->IsEnabled(idWriteIndexListOption));

    // Without an index item the option stays off after clearing.
    model->Command(idSlot2);
    model->Command(idClearIndexList);
    EXPECT_FALSE(model->IsEnabled(idIndexColumnOption));
}

TEST_F(MainWindowModelTest, IndexListFailureIsReported) {
    Start(kSettings);
    env.m_folder.Write("bad.txt", "0\r\nx\r\n");
    model->Command(idSlot3);
    env.m_folder.Write("index.txt", "");
    model->Command(idReloadIndexList);
    const std::string emptyList = "BRecordIndexList Error\r\nAt line 1. BasePointOfBRecordIndex Not set";
    chooser.m_answers.push_back(Dir() + "bad.txt");
    model->Command(idBrowseIndexList);
    const std::string badList = "BRecordIndexList Error\r\nAt line 2. Range";
    EXPECT_EQ(ShownTexts(), (std::vector<std::string> {" Can not use\n" + emptyList, " Can not use\n" + badList}));
    EXPECT_EQ(env.m_box.m_shown[1].style, unsigned(mbError));
    EXPECT_EQ(Area(), badList);
    EXPECT_EQ(model->Text(idValueColumn), "\n4\n3\n\n--\n0\n");
    EXPECT_EQ(model->Text(idIndexListField), "bad.txt");
}

TEST_F(MainWindowModelTest, TranslationsChangeCaptionsAndLabels) {
    Start("[Translations]\r\nmsg.FileInfo=Ziel\r\nmsg.End=Fertig\r\nbtn.Reload=Neu laden\r\n"
          "btn.Binary2Text=Binaer => Text\r\ninfo.BRecordSize=Satzgroesse\r\nframe.ini=Ziele\r\n"
          "[FileInfoDefaultRP]\r\nFileInfo1=a.ini\r\nFileInfo2=\r\n");
    EXPECT_EQ(model->Text(idSlot1), "Alpha");
    EXPECT_EQ(model->Text(idSlot2), "Ziel2");
    EXPECT_EQ(model->Text(idReloadTarget), "Neu laden");
    EXPECT_EQ(model->Text(idReloadIndexList), "Neu laden");
    EXPECT_EQ(model->Text(idBinaryToText), "Binaer => Text");
    EXPECT_EQ(model->Text(idTextToBinary), "Text => Binary");
    EXPECT_EQ(model->Text(idTargetFrame), "Ziele");
    EXPECT_EQ(model->Text(idLabelColumn),
              " BStartPosition\n Satzgroesse\n BRecordCount\n TDelimiter\n Decrypt/Encrypt\n NumberCode File\n"
              " BRecordIndex\n");

    model->Command(idReloadTarget);
    EXPECT_EQ(Area(), "Fertig Neu laden");
    EXPECT_EQ(app->m_messageText, "Fertig Neu laden");

    env.m_box.Answer(idYes);
    model->Command(idBinaryToText);
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {"Alpha    \r\n\r\n\r\n[ Binaer => Text ]\r\n\r\n\r\n"
                                                      "Put File =\r\n\r\n\r\nout.csv\r\n\r\n\r\nConvert ?"});
    EXPECT_EQ(Area(), "Fertig [ Binaer => Text ]");
}

TEST_F(MainWindowModelTest, BrowseAppliesTheChosenFile) {
    Start(kSettings);
    // A cancelled choice changes nothing; the dialog starts at the field's file.
    model->Command(idBrowseBinary);
    EXPECT_EQ(chooser.m_startPaths, std::vector<std::string> {Dir() + "in.dat"});
    EXPECT_EQ(model->Text(idBinaryField), "in.dat");
    EXPECT_EQ(Info(0).m_binaryFilePath, "in.dat");

    // With an empty field it starts in the program's folder.
    model->Command(idClearText);
    EXPECT_EQ(model->Text(idTextField), "");
    EXPECT_EQ(Info(0).m_textFilePath, "out.csv");
    chooser.m_answers.push_back(Dir() + "sub/other.csv");
    model->Command(idBrowseText);
    EXPECT_EQ(chooser.m_startPaths.back(), Dir());
    EXPECT_EQ(model->Text(idTextField), "sub/other.csv");
    EXPECT_EQ(Info(0).m_textFilePath, "sub/other.csv");

    // A file outside the program's folder keeps its full path.
    chooser.m_answers.push_back("/elsewhere/x.dat");
    model->Command(idBrowseBinary);
    EXPECT_EQ(model->Text(idBinaryField), "/elsewhere/x.dat");
    EXPECT_EQ(Info(0).m_binaryFilePath, "/elsewhere/x.dat");
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

TEST_F(MainWindowModelTest, BrowsingATargetLoadsItWithoutSavingIt) {
    Start(kSettings);
    chooser.m_answers.push_back(Dir() + "b.ini");
    model->Command(idBrowseTarget);
    EXPECT_EQ(chooser.m_startPaths, std::vector<std::string> {Dir() + "a.ini"});
    EXPECT_EQ(model->Text(idSlot1), "Beta");
    EXPECT_EQ(model->Text(idTargetField), "b.ini");
    EXPECT_EQ(model->Text(idBinaryField), "");
    EXPECT_TRUE(model->IsEnabled(idDecryptBinary));
    EXPECT_EQ(Area(), "End Reload");
    EXPECT_EQ(app->m_messageText, "End Reload");
    EXPECT_EQ(env.m_folder.Read("morvane.ini"), kSettings);

    // A target that fails to load is reported in a box and in the message area.
    env.m_folder.Write("bad.ini", "[FileInfo]\r\nLabel=Bad\r\nBRecordSize=4\r\n");
    chooser.m_answers.push_back(Dir() + "bad.ini");
    model->Command(idBrowseTarget);
    const std::string failure = "FileInfo1 Error\r\nRecordDefinitionFileRP.Not set";
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {failure});
    EXPECT_EQ(Area(), failure);
    EXPECT_EQ(model->Text(idSlot1), "Bad");
    EXPECT_EQ(app->m_messageText, "End Reload");
}

TEST_F(MainWindowModelTest, ReloadReadsTheTargetAgain) {
    Start(kSettings);
    env.m_folder.Write("a.ini", "[FileInfo]\r\nLabel=Alpha2\r\nRecordDefinitionFileRP=def.txt\r\nBRecordSize=4\r\n"
                                "BRecordCount=2\r\n");
    model->EditField(idBinaryField, "typed.dat");
    model->Command(idReloadTarget);
    EXPECT_EQ(Area(), "End Reload");
    EXPECT_EQ(model->Text(idSlot1), "Alpha2");
    EXPECT_EQ(model->Text(idValueColumn), "\n4\n2\n\n--\n0\n--");
    EXPECT_EQ(model->Text(idBinaryField), "");
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

TEST_F(MainWindowModelTest, SavePathWritesOneKey) {
    const std::string settings = "; my settings\r\n" + kSettings + "[DialogPosition]\r\nvalidity=0\r\n";
    Start(settings);
    model->Command(idSlot2);
    chooser.m_answers.push_back(Dir() + "a.ini");
    model->Command(idBrowseTarget);
    EXPECT_EQ(env.m_folder.Read("morvane.ini"), settings);
    model->Command(idSaveTarget);
    EXPECT_EQ(env.m_folder.Read("morvane.ini"), "; my settings\r\n[FileInfoDefaultRP]\r\nFileInfo1=a.ini\r\n"
                                                "FileInfo2=a.ini\r\nFileInfo3=c.ini\r\n"
                                                "[DialogPosition]\r\nvalidity=0\r\n");

    // Into the target info file: the fields as shown, nothing reloaded.
    model->Command(idSlot1);
    model->EditField(idBinaryField, "typed.dat");
    model->Command(idSaveBinary);
    model->Command(idClearText);
    model->Command(idSaveText);
    model->Command(idSaveIndexList);
    EXPECT_EQ(env.m_folder.Read("a.ini"), "[FileInfo]\r\nLabel=Alpha\r\nRecordDefinitionFileRP=def.txt\r\n"
                                          "BRecordSize=4\r\nBRecordCount=3\r\nTDelimiter=,\r\n"
                                          "BinaryFilePath=typed.dat\r\nTextFilePath=\r\nBRecordIndexListFilePath=\r\n");
    EXPECT_EQ(Info(0).m_binaryFilePath, "in.dat");
    EXPECT_TRUE(env.m_box.m_shown.empty());

    // A settings file that cannot be written.
    app->m_settingsPath = Dir() + "missing/morvane.ini";
    model->Command(idSaveTarget);
    const int cause = MissingFolderCause();
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {" Can't write file\r\n" + std::to_string(cause) + " " +
                                                       CFileException::Describe(cause, Dir() + "missing/morvane.ini")});
}

TEST_F(MainWindowModelTest, RevertRestoresFromTheBackup) {
    Start(kSettings);
    env.m_folder.Write("out.csv", "new");
    env.m_folder.Write("out.csv.bak", "old");
    model->Command(idRevertText);
    EXPECT_EQ(Area(), "End Revert(bak)");
    EXPECT_EQ(app->m_messageText, "End Revert(bak)");
    EXPECT_EQ(env.m_folder.Read("out.csv"), "old");
    EXPECT_EQ(env.m_folder.Read("out.csv.bak"), "old");

    model->Command(idRevertBinary);
    EXPECT_EQ(Area(), "Can't open file\r\n" + Dir() + "in.dat.bak");
    EXPECT_EQ(env.m_folder.Read("in.dat"), kThreeRecords);
    model->EditField(idBinaryField, "");
    model->Command(idRevertBinary);
    EXPECT_EQ(Area(), "Error FilePath Not set\r\n");
}

TEST_F(MainWindowModelTest, OpenInShellReportsTheShellsAnswer) {
    Start(kSettings);
    struct Case {
        ShellOpenResult result;
        std::string area;
    } cases[] = {
        {ShellOpenResult::opened, ""},
        {ShellOpenResult::accessDenied, "Error Error_AccessDenied"},
        {ShellOpenResult::associationIncomplete, "Error Error_AssociationIncomplete"},
        {ShellOpenResult::noAssociation, "Error Error_NoAssociation"},
        {ShellOpenResult::failed, "Error Can't open file"},
    };
    for (const Case& c : cases) {
        shell.m_result = c.result;
        model->Command(idReloadIndexList);
        ASSERT_EQ(Area(), "FilePath Not set");
        model->Command(idBinaryLabel);
        EXPECT_EQ(Area(), c.area);
    }
    EXPECT_EQ(shell.m_opened, std::vector<std::string>(5, Dir() + "in.dat"));

    shell.m_result = ShellOpenResult::opened;
    model->Command(idTargetLabel);
    EXPECT_EQ(shell.m_opened.back(), Dir() + "a.ini");
    model->Command(idIndexListLabel);
    EXPECT_EQ(Area(), "Error FilePath");

    // The field's text is stored for the slot even when the file cannot be opened.
    model->EditField(idTextField, "/missing-folder/x.csv");
    model->Command(idTextLabel);
    EXPECT_EQ(Area(), "Error FilePath");
    EXPECT_EQ(Info(0).m_textFilePath, "/missing-folder/x.csv");
    EXPECT_EQ(shell.m_opened.size(), 6u);
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

// The window takes existing files without an extension wherever it reads one.
TEST_F(MainWindowModelTest, FilesWithoutExtension) {
    if (!ExistingFilesNeedNoExtension()) GTEST_SKIP() << "only names with an extension name files here";
    Start(kSettings);
    env.m_folder.Write("targets/alpha", kTargetA);
    env.m_folder.Write("pick", "0\r\n2\r\n1\r\n");
    env.m_folder.Write("logs/wtmp", kThreeRecords);
    chooser.m_answers.push_back(Dir() + "targets/alpha");
    model->Command(idBrowseTarget);
    EXPECT_EQ(model->Text(idTargetField), "targets/alpha");
    EXPECT_EQ(Area(), "End Reload");
    chooser.m_answers.push_back(Dir() + "pick");
    model->Command(idBrowseIndexList);
    EXPECT_EQ(model->Text(idIndexListField), "pick");
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {"2 Record Loaded"});
    model->EditField(idBinaryField, "logs/wtmp");
    model->Command(idBinaryLabel);
    EXPECT_EQ(Area(), "");
    EXPECT_EQ(shell.m_opened, std::vector<std::string> {Dir() + "logs/wtmp"});
}

TEST_F(MainWindowModelTest, BinaryToTextWithBackupOnAndOff) {
    Start(kSettings);
    std::vector<bool> cursor;
    model->m_waitCursor = [&cursor](bool busy) { cursor.push_back(busy); };
    env.m_folder.Write("out.csv", "previous");
    env.m_box.Answer(idYes);
    model->Command(idBinaryToText);
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {kConfirmToText});
    EXPECT_EQ(Area(), "End [ Binary => Text ]");
    EXPECT_EQ(cursor, (std::vector<bool> {true, false}));
    EXPECT_EQ(env.m_folder.Read("out.csv.bak"), "previous");
    EXPECT_EQ(env.m_folder.Read("out.csv"), "//ID\r\n1\r\n2\r\n3\r\n");

    fs::remove(Dir() + "out.csv.bak");
    model->SetChecked(idBackupOption, false);
    for (const int answer : {idNo, idYes}) {
        env.m_box.m_shown.clear();
        env.m_box.Answer(idYes);
        env.m_box.Answer(answer);
        model->Command(idBinaryToText);
        EXPECT_EQ(ShownTexts(), (std::vector<std::string> {kConfirmToText,
                                                           "Target File Already Exist. Do you Delete it ?"}));
        EXPECT_EQ(Area(), answer == idYes ? "End [ Binary => Text ]" : "Canceled\n\n[ Binary => Text ]");
    }
    EXPECT_FALSE(fs::exists(Dir() + "out.csv.bak"));
    EXPECT_EQ(model->TakeFocusRequest(), 0);
}

TEST_F(MainWindowModelTest, PathProblemsMoveTheFocus) {
    Start(kSettings);
    model->EditField(idTextField, Dir() + "IN.dat");
    model->Command(idBinaryToText);
    EXPECT_EQ(Area(), "Canceled\r\nBinary File = Text File");
    EXPECT_EQ(model->TakeFocusRequest(), idTextField);
    EXPECT_EQ(model->TakeFocusRequest(), 0);
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

TEST_F(MainWindowModelTest, StopQuestionDuringAJob) {
    Start(kSettings);
    progress.m_cancelAfter = 1;
    env.m_box.Answer(idYes);
    env.m_box.Answer(idYes);
    model->Command(idBinaryToText);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string> {kConfirmToText, "Stop ?"}));
    EXPECT_EQ(Area(), "Error [ Binary => Text ]\r\nText File Can not use\r\nStop ?");

    env.m_box.m_shown.clear();
    env.m_box.Answer(idYes);
    env.m_box.Answer(idNo);
    model->Command(idBinaryToText);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string> {kConfirmToText, "Stop ?"}));
    EXPECT_EQ(Area(), "End [ Binary => Text ]");
    EXPECT_EQ(env.m_folder.Read("out.csv"), "//ID\r\n1\r\n2\r\n3\r\n");
}

TEST_F(MainWindowModelTest, DroppedFilesApplyToTheEditableFields) {
    Start(kSettings);
    model->DropFile(idBinaryField, Dir() + "dropped.dat");
    EXPECT_EQ(model->Text(idBinaryField), "dropped.dat");
    EXPECT_EQ(Info(0).m_binaryFilePath, "dropped.dat");
    model->DropFile(idTextField, "/elsewhere/dropped.csv");
    EXPECT_EQ(model->Text(idTextField), "/elsewhere/dropped.csv");
    EXPECT_EQ(Info(0).m_textFilePath, "/elsewhere/dropped.csv");
    model->DropFile(idTargetField, Dir() + "b.ini");
    model->DropFile(idIndexListField, Dir() + "index.txt");
    EXPECT_EQ(model->Text(idTargetField), "a.ini");
    EXPECT_EQ(model->Text(idIndexListField), "");
    EXPECT_EQ(model->Text(idSlot1), "Alpha");
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

TEST_F(MainWindowModelTest, FilesTheProgramStartedWithFillTheBinaryThenTheTextField) {
    const std::vector<std::vector<std::string>> starts {
        {}, {Dir() + "one.dat"}, {Dir() + "one.dat", "/two.csv"}, {Dir() + "one.dat", "/two.csv", "/three"}};
    for (const std::vector<std::string>& files : starts) {
        Start(kSettings);
        model->OpenFiles(files);
        EXPECT_EQ(model->Text(idBinaryField), files.size() > 0 ? "one.dat" : "in.dat") << files.size();
        EXPECT_EQ(model->Text(idTextField), files.size() > 1 ? "/two.csv" : "out.csv") << files.size();
    }
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

TEST_F(MainWindowModelTest, BinaryEncryptionAndInversionUseTheField) {
    Start(kSettings);
    model->Command(idSlot2);
    model->EditField(idBinaryField, "in.dat");
    model->Command(idDecryptBinary);
    const std::string decrypted = "in-Decrypt" + kStamp + ".dat";
    EXPECT_EQ(Area(), "Put File =\r\n" + decrypted);
    EXPECT_EQ(app->m_messageText, Area());
    EXPECT_EQ(env.m_folder.Read(decrypted), std::string("\x02\x01\x01\x01\x03\x01\x01\x01\x04\x01\x01\x01", 12));
    EXPECT_EQ(Info(1).m_binaryFilePath, "");

    model->Command(idDecryptToEncrypt);
    const std::string inverse = "dec-Reverse" + kStamp + ".dat";
    EXPECT_EQ(Area(), "Put File =\r\n" + inverse);
    const std::string written = env.m_folder.Read(inverse);
    ASSERT_EQ(written.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(static_cast<unsigned char>(written[i]), (i + 255) & 0xFF);

    // A disabled command does not run.
    model->Command(idEncryptToDecrypt);
    EXPECT_EQ(Area(), "Put File =\r\n" + inverse);
    model->Command(idSlot1);
    model->Command(idEncryptBinary);
    EXPECT_EQ(Area(), "");
}

TEST_F(MainWindowModelTest, RestoredPositionIsClampedOrCentred) {
    Start(kSettings);
    struct Case {
        int left, top, w, h, W, H;
        int newLeft, newTop;
    } cases[] = {
        {40, 60, 300, 200, 1000, 800, 40, 60},
        {-5000, -5000, 300, 200, 1000, 800, -200, 0},
        {5000, 5000, 300, 200, 1000, 800, 900, 750},
        {kPositionUnset, kPositionUnset, 300, 200, 1000, 800, 350, 300},
        {kPositionUnset, 20, 1200, 200, 1000, 800, 0, 20},    // wider than the screen
        {kPositionUnset, kPositionUnset, 10, 10, 150, 80, 0, 0}, // the centre lies beyond the margins
    };
    for (const Case& c : cases) {
        app->m_left = c.left;
        app->m_top = c.top;
        const CWindowPlacement placement = model->RestorePosition(c.w, c.h, c.W, c.H);
        EXPECT_EQ(placement.left, c.newLeft) << c.left;
        EXPECT_EQ(placement.top, c.newTop) << c.top;
        EXPECT_EQ(app->m_left, c.newLeft);
        EXPECT_EQ(app->m_top, c.newTop);
    }
}

TEST_F(MainWindowModelTest, ClosingWritesOnlyMovedCoordinates) {
    const std::string settings = kSettings + "[DialogPosition]\r\nvalidity=1\r\nleft=+10\r\ntop=20\r\n";
    Start(settings);
    model->SavePosition(10, 20);
    EXPECT_EQ(env.m_folder.Read("morvane.ini"), settings);
    model->SavePosition(10, -25);
    EXPECT_EQ(env.m_folder.Read("morvane.ini"),
              kSettings + "[DialogPosition]\r\nvalidity=1\r\nleft=+10\r\ntop=-25\r\n");
    EXPECT_EQ(app->m_top, -25);

    const std::string other = kSettings + "[DialogPosition]\r\nvalidity=2\r\nleft=10\r\n";
    Start(other);
    model->SavePosition(30, 40);
    EXPECT_EQ(env.m_folder.Read("morvane.ini"), other);
}

} // namespace

namespace {

TEST_F(MainWindowModelTest, TheWindowShowsAFailedTargetBeforeItsErrorBox) {
    Start(kSettings);
    env.m_folder.Write("broken.ini", "[FileInfo]\r\nBRecordSize=4\r\n");
    const std::string failure = "FileInfo1 Error\r\nRecordDefinitionFileRP.Not set";
    bool shownBeforeTheBox = false;
    model->m_repaint = [&] {
        if (env.m_box.m_shown.empty() && model->Text(idMessageArea) == failure) shownBeforeTheBox = true;
    };
    chooser.m_answers.push_back(Dir() + "broken.ini");
    model->Command(idBrowseTarget);
    EXPECT_TRUE(shownBeforeTheBox);
    EXPECT_EQ(ShownTexts(), std::vector<std::string> {failure});
}

// The checks of the context menu read the fields' files, write nothing, ask nothing, and put
// their reports into the message area, the outcome words first.
TEST_F(MainWindowModelTest, ChecksReportIntoTheMessageArea) {
    const std::string checked = "End [ Check Binary => Text => Binary ]\r\n";
    const std::string dryRun = "End [ Check Text => Binary ]\r\n";
    const struct {
        const char* title;
        int command;
        std::string binary; // the binary file's bytes; empty for none
        std::string text;   // the text file; empty for none
        std::string area;
    } cases[] = {
        {"a lossless binary file", idCheckBinaryToTextToBinary, kThreeRecords, "",
         checked + "3 records checked, 0 would change, 0 would fail."},
        {"a binary file that ends early", idCheckBinaryToTextToBinary, kThreeRecords.substr(0, 10), "",
         "Error [ Check Binary => Text => Binary ]\r\nBinary File Can not use\r\nError At line 3. Can't read file\r\n" +
             Dir() + "in.dat"},
        {"no binary file", idCheckBinaryToTextToBinary, "", "//ID\r\n1\r\n",
         "Error [ Check Binary => Text => Binary ]\r\nBinary File Can not use\r\nError  Can't open file\r\n2 " +
             CFileException::Describe(2, Dir() + "in.dat")},
        {"a text with two bad lines", idCheckTextToBinary, kThreeRecords, "//ID\r\n1\r\nx\r\n2,3\r\n",
         dryRun + "At line 3. Range\r\nAt line 4. Item Num\r\n1 record would be written.\r\n"
                  "3 lines checked, 2 would fail, 0 cells would be cut."},
        {"a good text without a binary file", idCheckTextToBinary, "", "//ID\r\n1\r\n2\r\n3\r\n",
         dryRun + "3 records would be written.\r\n3 lines checked, 0 would fail, 0 cells would be cut."},
        {"no text file", idCheckTextToBinary, kThreeRecords, "",
         "Error [ Check Text => Binary ]\r\nText File Can not use\r\n Can't open file\r\n" + Dir() + "out.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove(Dir() + "in.dat");
        fs::remove(Dir() + "out.csv");
        if (!c.binary.empty()) env.m_folder.Write("in.dat", c.binary);
        if (!c.text.empty()) env.m_folder.Write("out.csv", c.text);
        Start(kSettings);
        std::vector<bool> cursor;
        model->m_waitCursor = [&cursor](bool busy) { cursor.push_back(busy); };
        std::vector<std::pair<std::string, std::string>> before;
        for (const auto& entry : fs::directory_iterator(Dir()))
            before.emplace_back(entry.path().filename().string(), env.m_folder.Read(entry.path().filename().string()));
        model->Command(c.command);
        EXPECT_EQ(Area(), c.area);
        EXPECT_EQ(model->TakeFocusRequest(), 0);
        EXPECT_TRUE(env.m_box.m_shown.empty());
        EXPECT_EQ(cursor, (std::vector<bool> {true, false}));
        std::vector<std::pair<std::string, std::string>> after;
        for (const auto& entry : fs::directory_iterator(Dir()))
            after.emplace_back(entry.path().filename().string(), env.m_folder.Read(entry.path().filename().string()));
        EXPECT_EQ(after, before);
    }
}

TEST_F(MainWindowModelTest, PathProblemsOfAChecksFilesMoveTheFocus) {
    Start(kSettings);
    model->EditField(idBinaryField, "");
    model->Command(idCheckBinaryToTextToBinary);
    EXPECT_EQ(Area(), "Canceled\r\nError Binary FilePath");
    EXPECT_EQ(model->TakeFocusRequest(), idBinaryField);

    fs::create_directory(Dir() + "folder.csv");
    model->EditField(idTextField, Dir() + "folder.csv");
    model->Command(idCheckTextToBinary);
    EXPECT_EQ(Area(), "Canceled\r\nError It's not a file\r\n" + Dir() + "folder.csv");
    EXPECT_EQ(model->TakeFocusRequest(), idTextField);
    EXPECT_TRUE(env.m_box.m_shown.empty());
}

TEST_F(MainWindowModelTest, CheckCaptionsAreTranslatedAndTitleTheReport) {
    Start(kSettings);
    EXPECT_EQ(model->Text(idCheckBinaryToTextToBinary), "Check Binary => Text => Binary");
    EXPECT_EQ(model->Text(idCheckTextToBinary), "Check Text => Binary");

    Start("[Translations]\r\nmsg.CheckBinary2Text2Binary=Rundweg pruefen\r\nmsg.End=Fertig\r\n" + kSettings);
    EXPECT_EQ(model->Text(idCheckBinaryToTextToBinary), "Rundweg pruefen");
    EXPECT_EQ(model->Text(idCheckTextToBinary), "Check Text => Binary");
    model->Command(idCheckBinaryToTextToBinary);
    EXPECT_EQ(Area(), "Fertig [ Rundweg pruefen ]\r\n3 records checked, 0 would change, 0 would fail.");
}

// The dry run takes the first column as the record number as Text => Binary does.
TEST_F(MainWindowModelTest, TheDryRunFollowsTheIndexColumnOption) {
    Start(kSettings);
    env.m_folder.Write("out.csv", "//ID\r\n2\r\n7\r\n");
    model->SetChecked(idIndexColumnOption, true);
    model->Command(idCheckTextToBinary);
    EXPECT_EQ(Area(), "End [ Check Text => Binary ]\r\nAt line 3. Can't seek file position\r\n"
                      "1 record would be written.\r\n2 lines checked, 1 would fail, 0 cells would be cut.");
    model->SetChecked(idIndexColumnOption, false);
    model->Command(idCheckTextToBinary);
    EXPECT_NE(Area().find("At line 4. Can't write file"), std::string::npos) << Area();
}

} // namespace
