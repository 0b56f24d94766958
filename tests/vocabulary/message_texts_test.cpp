#include "vocabulary/message_texts.h"
#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <memory>

#include "vocabulary/messages.h"
#include "app/ui_label_set.h"
#include "tests/common/test_support.h"

namespace {

TEST(MessageTexts, KeysAreBuiltFromTheBuiltInTexts) {
    CTestEnvironment env;
    env.Translate("msg.Stop ?=Anhalten?\r\n"
                  "msg.Do you Delete it ?=Loeschen?\r\n"
                  "msg.Can't open file=Oeffnen unmoeglich\r\n"
                  "MSG.RANGE=Bereich\r\n"
                  "msg.5=Satz\r\n");
    EXPECT_EQ(Word(wStop), "Anhalten?");
    EXPECT_EQ(Word(wDoYouDeleteIt), "Loeschen?");
    EXPECT_EQ(Word(wCantOpenFile), "Oeffnen unmoeglich");
    EXPECT_EQ(Word(wRange), "Bereich"); // keys match without regard to letter case
    EXPECT_EQ(Word(wRecord), "Record");
}

TEST(MessageTexts, ResetRestoresBuiltInWordsAndClearsTheMessage) {
    CTestEnvironment env;
    env.Translate("msg.End=Ende\r\n");
    BeginMessage("left over");
    env.m_words.ResetWords();
    EXPECT_EQ(Word(wEnd), "End");
    EXPECT_EQ(JoinedMessage(), "");
    for (int n = 0; n < kWordCount; ++n) EXPECT_EQ(Word(n), CMessageTexts::BuiltInWord(n)) << n;
}

TEST(MessageTexts, AMissingSettingsFileKeepsTheBuiltInWords) {
    CTestEnvironment env;
    env.m_words.LoadWords(CProfile::Read(env.m_folder.Path() + "absent.ini"), "Translations");
    EXPECT_EQ(Word(wError), "Error");
}

TEST(MessageTexts, TheNewestVocabularyIsActiveUntilDestroyed) {
    CTestEnvironment env;
    env.Translate("msg.End=Ende\r\n");
    {
        CMessageTexts inner;
        inner.ResetWords();
        EXPECT_EQ(Word(wEnd), "End");
    }
    EXPECT_EQ(Word(wEnd), "Ende");
}

TEST(MessageTexts, DestroyedOutOfOrderLeavesNoDanglingRegistration) {
    CTestEnvironment env;
    env.Translate("msg.End=Ende\r\n");
    auto older = std::make_unique<CMessageTexts>();
    older->ResetWords();
    auto newer = std::make_unique<CMessageTexts>();
    newer->ResetWords();
    older.reset();
    newer.reset();
    EXPECT_EQ(Word(wEnd), "Ende");
}

TEST(UiLabelSet, ControlLabelsAndInfoLabels) {
    CTestEnvironment env;
    const std::string settings = env.m_folder.Write(
        "morvane.ini", "[Translations]\r\n"
                       "btn.Browse=Durchsuchen\r\n"
                       "btn.Clear=\r\n"
                       "lbl.If you change contents, reload it!=Neu laden!\r\n"
                       "info.Decrypt/Encrypt=Schluessel\r\n"
                       "frame.ini=Ziel\r\n");
    CUiLabelSet labels;
    labels.ResetLabels("");
    EXPECT_EQ(labels.InfoLabelColumn(), " BStartPosition\n BRecordSize\n BRecordCount\n TDelimiter\n"
                                        " Decrypt/Encrypt\n NumberCode File\n BRecordIndex\n");
    for (int id = 1008; id <= 1037; ++id) EXPECT_EQ(labels.ControlLabel(id), "") << id;

    labels.LoadLabels(CProfile::Read(settings), "Translations");
    for (int id : {1014, 1015, 1016, 1017}) EXPECT_EQ(labels.ControlLabel(id), "Durchsuchen");
    EXPECT_EQ(labels.ControlLabel(1022), "");
    EXPECT_EQ(labels.ControlLabel(1036), "Neu laden!");
    EXPECT_EQ(labels.ControlLabel(1037), "Ziel");
    EXPECT_EQ(labels.Caption(1037), "Ziel");
    EXPECT_EQ(labels.Caption(1022), "Clear"); // an empty translation keeps the window's caption
    EXPECT_EQ(labels.Caption(1033), "Reload");
    EXPECT_EQ(labels.ControlLabel(1007), "");
    EXPECT_EQ(labels.ControlLabel(1038), "");
    EXPECT_EQ(labels.InfoLabelColumn(), " BStartPosition\n BRecordSize\n BRecordCount\n TDelimiter\n"
                                        " Schluessel\n NumberCode File\n BRecordIndex\n");
}

TEST(UiLabelSet, EveryControlHasItsKey) {
    const std::pair<int, const char*> keys[] = {
        {1008, "btn.Text2Binary"},
        {1013, "lbl.path.BRecordIndexList"},
        {1021, "btn.SavePath"},
        {1027, "btn.EncryptDef2DecryptDef"},
        {1029, "lbl.option.AsIndex,Use1stColumnOfRecord"},
        {1030, "lbl.option.Output BRecordIndexList"},
        {1031, "lbl.option.Backup"},
        {1033, "btn.Reload"},
        {1035, "btn.Revert(bak)"},
    };
    for (const auto& [id, key] : keys) EXPECT_STREQ(CUiLabelSet::ControlKey(id - 1008), key);
}

} // namespace
