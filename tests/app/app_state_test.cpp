#include "app/app_state.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <utility>

#include "vocabulary/messages.h"
#include "platform/fault_injection.h"
#include "platform/system.h"
#include "support/paths.h"
#include "tests/common/test_support.h"

namespace {

class AppStateTest : public ::testing::Test {
protected:
    CTempFolder folder;
    CScriptedMessageBox box;

    AppStateTest() {
        SetProgramFolder(folder.Path());
        folder.Write("one.txt", "Value,4,R,u,1,Value\r\n");
        folder.Write("a.ini", "[FileInfo]\r\nLabel=Alpha\r\nRecordDefinitionFileRP=one.txt\r\nBRecordSize=4\r\nBRecordCount=1\r\n");
        folder.Write("c.ini", "[FileInfo]\r\nRecordDefinitionFileRP=one.txt\r\nBRecordSize=4\r\nBRecordCount=1\r\n");
    }

    std::string Settings(const std::string& contents) { return folder.Write("morvane.ini", contents); }
};

TEST_F(AppStateTest, WithoutASettingsFileNoSlotIsSet) {
    CAppState app;
    app.LoadSettings(folder.Path() + "morvane.ini");
    EXPECT_EQ(app.m_messageText, "FileInfoDefaultRP Not set");
    for (int n = 0; n < kSlotCount; ++n) EXPECT_EQ(app.m_slots[n].DisplayName(), "FileInfo" + std::to_string(n + 1));
    EXPECT_EQ(app.m_positionValidity, 0);
    EXPECT_EQ(app.m_left, kPositionUnset);
    EXPECT_EQ(CAppState::DefaultSettingsPath(), ProgramPathPart(partDriveFolderName) + ".ini");
}

TEST_F(AppStateTest, TheSectionNameMustMatchInLetterCase) {
    CAppState app;
    app.LoadSettings(Settings("[fileinfodefaultrp]\r\nFileInfo1=a.ini\r\n"));
    EXPECT_EQ(app.m_messageText, "FileInfoDefaultRP Not set");
    EXPECT_EQ(app.m_slots[0].DisplayName(), "FileInfo1");
}

TEST_F(AppStateTest, SlotsLoadTheirTargets) {
    CAppState app;
    app.LoadSettings(Settings("[FileInfoDefaultRP]\r\nFileInfo1=a.ini\r\nFileInfo2=\r\nFileInfo3=c.ini\r\n"));
    EXPECT_EQ(app.m_messageText, "");
    EXPECT_EQ(app.m_slots[0].DisplayName(), "Alpha");
    EXPECT_TRUE(app.m_slots[0].CheckReady());
    EXPECT_EQ(app.m_slots[1].DisplayName(), "FileInfo2");
    EXPECT_FALSE(app.m_slots[1].CheckReady());
    EXPECT_EQ(app.m_slots[1].m_message, "FileInfo2 Error\r\nNot set");
    EXPECT_EQ(app.m_slots[2].DisplayName(), "FileInfo3 Not set");
    EXPECT_TRUE(app.m_slots[2].CheckReady());
}

TEST_F(AppStateTest, TranslationsRenameSlotsButNotTheirKeys) {
    CAppState app;
    app.LoadSettings(Settings("[Translations]\r\nmsg.FileInfo=Ziel\r\nmsg.Not set=Fehlt\r\nbtn.Reload=Neu\r\n"
                              "[FileInfoDefaultRP]\r\nFileInfo1=c.ini\r\n"));
    EXPECT_EQ(app.m_slots[0].DisplayName(), "Ziel1 Fehlt");
    EXPECT_EQ(app.m_slots[1].DisplayName(), "Ziel2");
    // A slot without a target reports itself under the name its radio button shows.
    EXPECT_FALSE(app.m_slots[1].CheckReady());
    EXPECT_EQ(app.m_slots[1].m_message, "Ziel2 Error\r\nFehlt");
    EXPECT_EQ(app.m_labels->ControlLabel(1032), "Neu");

    CAppState untranslated;
    untranslated.LoadSettings(Settings("[Translations]\r\nmsg.Not set=Fehlt\r\n"));
    EXPECT_EQ(untranslated.m_messageText, "FileInfoDefaultRP Fehlt");
}

TEST_F(AppStateTest, PositionValuesFollowTheIntegerRule) {
    struct Case {
        const char* lines;
        int validity, left, top;
    } cases[] = {
        {"validity=1\r\nleft=abc\r\ntop=20\r\n", 1, kPositionUnset, 20},
        {"validity=2\r\nleft=5\r\ntop=6\r\n", 2, 5, 6},
        {"validity=1\r\nleft=1073741824\r\ntop=-1073741824\r\n", 1, kPositionUnset, -1073741824},
        {"validity=1\r\nleft=+5\r\ntop=5px\r\n", 1, 5, kPositionUnset},
        {"validity=x\r\n", 0, kPositionUnset, kPositionUnset},
    };
    for (const Case& c : cases) {
        CAppState app;
        app.LoadSettings(Settings(std::string("[DialogPosition]\r\n") + c.lines));
        EXPECT_EQ(app.m_positionValidity, c.validity) << c.lines;
        EXPECT_EQ(app.m_left, c.left) << c.lines;
        EXPECT_EQ(app.m_top, c.top) << c.lines;
    }
}

TEST_F(AppStateTest, SectionsBeyondTheNameListBufferAreAbsent) {
    // Each filler section takes 9 bytes of the list (8 letters and a separator); the list counts
    // up to byte 258, and FileInfoDefaultRP takes 17 more.
    auto loadAfterFillers = [this](int fillers) {
        std::string contents;
        for (int i = 0; i < fillers; ++i) contents += "[Filler" + std::to_string(10 + i) + "]\r\n";
        Settings(contents + "[FileInfoDefaultRP]\r\nFileInfo1=a.ini\r\n");
        auto app = std::make_unique<CAppState>();
        app->LoadSettings(folder.Path() + "morvane.ini");
        return app;
    };
    EXPECT_EQ(loadAfterFillers(26)->m_slots[0].DisplayName(), "Alpha"); // ends at byte 251
    EXPECT_EQ(loadAfterFillers(27)->m_messageText, "FileInfoDefaultRP Not set"); // would end at 260
}

// What a settings load leaves: position, translation, and the first slot's target.
std::string Fingerprint(const CAppState& app) {
    const CTargetInfo& slot = app.m_slots[0];
    return std::to_string(app.m_positionValidity) + "|" + std::to_string(app.m_left) + "|" + Word(wEnd) + "|" +
           std::to_string(slot.m_ok) + "|" + slot.DisplayName() + "|" + slot.m_fileInfo.m_infoText;
}

TEST_F(AppStateTest, AReadingThatFailsIsReportedNeverTakenForAbsentSettings) {
    const std::string path = Settings("[DialogPosition]\r\nvalidity=1\r\nleft=5\r\n[Translations]\r\n"
                                      "msg.End=Ende\r\n[FileInfoDefaultRP]\r\nFileInfo1=a.ini\r\n");
    std::string expected;
    {
        CAppState clean;
        clean.LoadSettings(path);
        expected = Fingerprint(clean);
    }
    EXPECT_EQ(expected, "1|5|Ende|1|Alpha|\n4\n1\n\n--\n0");
    for (const FaultKind kind : {FaultKind::open, FaultKind::read}) {
        for (const auto& [error, cause] : {std::pair {EIO, 10}, std::pair {EACCES, 5}}) {
            for (std::uint64_t nth = 1;; ++nth) {
                SCOPED_TRACE(std::string(FaultKindName(kind)) + " " + std::to_string(nth));
                CAppState app;
                ArmFault(kind, nth, error);
                app.LoadSettings(path);
                const bool delivered = FaultDelivered();
                DisarmFaults();
                if (!delivered) {
                    EXPECT_EQ(Fingerprint(app), expected);
                    break;
                }
                // Either the settings failed as a whole, built-in words and no slot, or the slot's
                // target did; both name the cause.
                if (!app.m_settingsError.empty()) {
                    EXPECT_TRUE(NamesCause(app.m_settingsError, cause)) << app.m_settingsError;
                    EXPECT_EQ(app.m_messageText, app.m_settingsError);
                    EXPECT_EQ(Fingerprint(app), "0|" + std::to_string(kPositionUnset) + "|End|0|FileInfo1|");
                } else {
                    EXPECT_TRUE(NamesCause(app.m_slots[0].m_message, cause)) << app.m_slots[0].m_message;
                    EXPECT_EQ(app.m_slots[0].m_ok, 0);
                }
            }
        }
    }
}

} // namespace
