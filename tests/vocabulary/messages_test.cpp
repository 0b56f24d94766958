#include "vocabulary/messages.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "vocabulary/failure.h"
#include "vocabulary/message_box.h"
#include "platform/file_exception.h"
#include "tests/common/test_support.h"

namespace {

TEST(Messages, WordOperationsWithBuiltInWords) {
    CTestEnvironment env;
    struct Case {
        std::string actual, expected;
    } cases[] = {
        {Word(wError, sepLine), "\r\nError"},
        {Word(51, sepNone), "Error."},
        {Word(-1, sepSpace), " Error."},
        {Word(wRange, sepPeriod), ".Range"},
        {Word(wRange, 3), "Range"}, // an unknown separator kind puts nothing in front
        {WordThenSpace(wFile), "File "},
        {SpaceWord(wNotSet), " Not set"},
        {WordPair(wSystem, wError), "System Error"},
        {WordItemWord(wError, "Binary", wFilePath), "Error Binary FilePath"},
        {WordItemWord(wError, "", wFilePath), "Error FilePath"},
        {SpaceWordPair(wFile, wCanNotUse), " File Can not use"},
        {ComposeWords(wEnd, "job", wCanceled, sepLine, true), "\r\nEnd\r\njob\r\nCanceled"},
        {ComposeWords(wEnd, "", 99, sepPeriod, false), "End.Error."},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Messages, MessageUnderConstructionJoinsPiecesInOrder) {
    CTestEnvironment env;
    BeginMessage("A");
    AddSpaced("B");
    AddLine("C");
    AddWord(wRange, sepPeriod);
    AddText("D", 7);
    EXPECT_EQ(JoinedMessage(), "A B\r\nC.RangeD");
    EXPECT_EQ(JoinedMessage(), "A B\r\nC.RangeD"); // the pieces stay until the next begin
    BeginMessage("");
    EXPECT_EQ(JoinedMessage(), "");
}

TEST(Messages, TranslatedWordsReachEveryComposition) {
    CTestEnvironment env;
    env.Translate("msg.Error=Fehler\r\nmsg.34=Nein\r\nmsg.Canceled=\r\n");
    EXPECT_EQ(WordPair(wSystem, wError), "System Fehler");
    EXPECT_EQ(Word(wCanceled), "Canceled");
    EXPECT_EQ(ExceptionText(nullptr), "System Fehler");
}

TEST(Messages, ExceptionTexts) {
    CTestEnvironment env;
    const std::runtime_error described("disk on fire");
    const std::runtime_error silent("");
    EXPECT_EQ(ExceptionText(&described), "disk on fire");
    EXPECT_EQ(ExceptionText(&silent), "System Error");
    const std::runtime_error longer(std::string(2000, 'x'));
    EXPECT_EQ(ExceptionText(&longer).size(), 1023u);

    const CFileException missing(CFileException::fileNotFound, "/data/in.dat");
    const std::string text = FileExceptionText(&missing);
    EXPECT_EQ(text, "2 " + missing.Description());
    EXPECT_NE(text.find("/data/in.dat"), std::string::npos);
    EXPECT_EQ(FileExceptionText(nullptr), "System Error");
}

TEST(Messages, FailureTextOfEveryKindOfException) {
    CTestEnvironment env;
    auto textOf = [](auto&& thrower) {
        try {
            thrower();
        } catch (...) {
            return FailureText();
        }
        return std::string("nothing thrown");
    };
    EXPECT_EQ(textOf([] { Fail("Record Def.Range"); }), "Record Def.Range");
    EXPECT_EQ(textOf([] { throw CFileException(CFileException::diskFull, "out.txt"); }),
              "13 " + CFileException::Describe(CFileException::diskFull, "out.txt"));
    EXPECT_EQ(textOf([] { throw std::bad_alloc(); }), "Memory short");
    EXPECT_EQ(textOf([] { throw std::logic_error("broken"); }), "broken");
    EXPECT_EQ(textOf([] { throw 42; }), "System");
}

TEST(MessageBox, StylesCaptionsAndTheEmptyText) {
    CTestEnvironment env;
    env.Translate("msg.Yes=Ja\r\nmsg.No=Nein\r\n");
    env.m_box.Answer(idYes);
    EXPECT_EQ(ShowMessage("Stop ?", mbQuestion), idYes);
    EXPECT_EQ(ShowMessage("", mbQuestion), idOk); // scripted default of an OK box
    ShowError("broken");
    ASSERT_EQ(env.m_box.m_shown.size(), 3u);
    const CMessageBoxRequest& question = env.m_box.m_shown[0];
    EXPECT_EQ(question.text, "Stop ?");
    EXPECT_EQ(question.style, unsigned(mbQuestion));
    EXPECT_EQ(question.yesCaption, "Ja");
    EXPECT_EQ(question.noCaption, "Nein");
    EXPECT_FALSE(question.caption.empty());
    EXPECT_EQ(env.m_box.m_shown[1].text, "System Error");
    EXPECT_EQ(env.m_box.m_shown[1].style, unsigned(mbError));
    EXPECT_EQ(env.m_box.m_shown[2].style, unsigned(mbError));
}

TEST(MessageBox, WithoutABoxTheDefaultButtonAnswers) {
    IMessageBox* previous = SetMessageBox(nullptr);
    EXPECT_EQ(ShowMessage("Stop ?", mbQuestion), idNo);
    EXPECT_EQ(ShowMessage("Loaded", mbInformation), idOk);
    SetMessageBox(previous);
}

} // namespace
