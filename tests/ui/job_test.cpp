#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "support/paths.h"
#include "tests/ui/ui_test_support.h"
#include "tests/ui/ui_tests.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

const char* const kEnd = "End [ Binary => Text ]";

// What the progress window looked like when the run had started, and what the test did to it.
struct CProgressSeen {
    bool shown = false;
    bool mainEnabled = true;
    QString title;
    QString cancelCaption;
    bool stillOpenAfterward = false;
};

// Acts on the progress window as soon as the run shows it.
void OnProgressWindow(CUiFixture& fixture, CProgressSeen& seen, std::function<void(QDialog*)> act) {
    QTimer::singleShot(0, [&fixture, &seen, act] {
        QDialog* window = fixture.Window().Progress().Window();
        if (!window) return;
        seen.shown = window->isVisible();
        seen.mainEnabled = fixture.Window().isEnabled();
        seen.title = window->windowTitle();
        seen.cancelCaption = window->findChild<QPushButton*>(QStringLiteral("2"))->text();
        act(window);
        seen.stillOpenAfterward = window->isVisible();
    });
}

void ClickCancel(QDialog* window) { QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("2")), Qt::LeftButton); }

// After every run the main window is usable and the progress window gone.
bool BackToTheMainWindow(CUiFixture& fixture) {
    return fixture.Window().isEnabled() && !fixture.Window().Progress().Window() && !QApplication::overrideCursor();
}
}

void JobTest::BinaryToTextByItsButton() {
    CUiFixture fixture;
    fixture.Open();
    fixture.m_env.m_box.Answer(idYes);
    fixture.Click(1009);
    QCOMPARE(Q(fixture.Read("data.csv")), QString::fromLatin1(kThreeRecordsText));
    QCOMPARE(fixture.Text(1001), QString::fromLatin1(kEnd));
    QCOMPARE(fixture.ShownTexts().size(), std::size_t(1));
    const CMessageBoxRequest& question = fixture.m_env.m_box.m_shown[0];
    QCOMPARE(question.style, unsigned(mbQuestion));
    QVERIFY(Q(question.text).startsWith(QStringLiteral("Alpha")));
    QVERIFY(Q(question.text).contains(QStringLiteral("[ Binary => Text ]")));
    QVERIFY(Q(question.text).contains(QStringLiteral("data.csv")));
    QVERIFY(!FileExists(fixture.Dir() + "data.csv.bak"));
    QVERIFY(BackToTheMainWindow(fixture));
}

void JobTest::EnterRunsBinaryToText() {
    CUiFixture fixture;
    fixture.Open();
    fixture.m_env.m_box.Answer(idYes);
    fixture.Control(1004)->setFocus();
    QTest::keyClick(fixture.Control(1004), Qt::Key_Return);
    QCOMPARE(fixture.Text(1001), QString::fromLatin1(kEnd));
    QCOMPARE(Q(fixture.Read("data.csv")), QString::fromLatin1(kThreeRecordsText));
}

void JobTest::RefusedConfirmationConvertsNothing() {
    CUiFixture fixture;
    fixture.Open();
    fixture.m_env.m_box.Answer(idNo);
    fixture.Click(1009);
    QVERIFY(fixture.Text(1001).startsWith(QStringLiteral("Canceled")));
    QVERIFY(!FileExists(fixture.Dir() + "data.csv"));
}

void JobTest::BackupKeepsThePreviousOutput() {
    CUiFixture fixture;
    fixture.Write("data.csv", "old");
    fixture.Open();
    QVERIFY(fixture.Checked(1031));
    fixture.m_env.m_box.Answer(idYes);
    fixture.Click(1009);
    QCOMPARE(fixture.Text(1001), QString::fromLatin1(kEnd));
    QCOMPARE(Q(fixture.Read("data.csv")), QString::fromLatin1(kThreeRecordsText));
    QCOMPARE(Q(fixture.Read("data.csv.bak")), QStringLiteral("old"));
    QCOMPARE(fixture.ShownTexts().size(), std::size_t(1));
}

void JobTest::WithoutBackupTheOverwriteIsAsked() {
    CUiFixture fixture;
    fixture.Write("data.csv", "old");
    fixture.Open();
    fixture.Click(1031);
    QVERIFY(!fixture.Checked(1031));
    fixture.m_env.m_box.Answer(idYes);
    fixture.m_env.m_box.Answer(idYes);
    fixture.Click(1009);
    QCOMPARE(fixture.ShownTexts().size(), std::size_t(2));
    QCOMPARE(Q(fixture.ShownTexts()[1]), QStringLiteral("Target File Already Exist. Do you Delete it ?"));
    QCOMPARE(fixture.m_env.m_box.m_shown[1].style, unsigned(mbQuestion));
    QCOMPARE(fixture.Text(1001), QString::fromLatin1(kEnd));
    QCOMPARE(Q(fixture.Read("data.csv")), QString::fromLatin1(kThreeRecordsText));
    QVERIFY(!FileExists(fixture.Dir() + "data.csv.bak"));
}

void JobTest::WithoutBackupARefusedOverwriteKeepsTheOutput() {
    CUiFixture fixture;
    fixture.Write("data.csv", "old");
    fixture.Open();
    fixture.Click(1031);
    fixture.m_env.m_box.Answer(idYes);
    fixture.m_env.m_box.Answer(idNo);
    fixture.Click(1009);
    QVERIFY(fixture.Text(1001).startsWith(QStringLiteral("Canceled")));
    QCOMPARE(Q(fixture.Read("data.csv")), QStringLiteral("old"));
    QVERIFY(BackToTheMainWindow(fixture));
}

void JobTest::TextToBinaryByItsButton() {
    CUiFixture fixture;
    fixture.Write("data.csv", "//ID,Value\r\n1,11\r\n2,-21\r\n3,31\r\n");
    fixture.Open();
    fixture.m_env.m_box.Answer(idYes);
    fixture.Click(1008);
    QCOMPARE(fixture.Text(1001), QStringLiteral("End [ Text => Binary ]"));
    QCOMPARE(fixture.Read("data.bin"),
             std::string("\x01\0\0\0\x0B\0" "\x02\0\0\0\xEB\xFF" "\x03\0\0\0\x1F\0", 18));
    QCOMPARE(fixture.Read("data.bin.bak"), ThreeRecords());
    QVERIFY(BackToTheMainWindow(fixture));
}

void JobTest::CancelAndYesStopsTheJob() {
    CUiFixture fixture;
    fixture.Open();
    fixture.m_env.m_box.Answer(idYes);
    fixture.m_env.m_box.Answer(idYes);
    CProgressSeen seen;
    OnProgressWindow(fixture, seen, ClickCancel);
    fixture.Click(1009);
    QVERIFY(seen.shown);
    QVERIFY(!seen.mainEnabled);
    QCOMPARE(seen.title, QStringLiteral("Converting ..."));
    QCOMPARE(seen.cancelCaption, QStringLiteral("ｷｬﾝｾﾙ"));
    // Cancel only asks: the window stays until the run ends.
    QVERIFY(seen.stillOpenAfterward);
    QCOMPARE(fixture.ShownTexts().size(), std::size_t(2));
    QCOMPARE(Q(fixture.ShownTexts()[1]), QStringLiteral("Stop ?"));
    QCOMPARE(fixture.m_env.m_box.m_shown[1].style, unsigned(mbQuestion));
    QVERIFY(fixture.Text(1001).startsWith(QStringLiteral("Error [ Binary => Text ]")));
    QVERIFY(fixture.Text(1001).endsWith(QStringLiteral("Stop ?")));
    QVERIFY(BackToTheMainWindow(fixture));
}

void JobTest::CancelAndNoLetsTheJobContinue() {
    CUiFixture fixture;
    fixture.Open();
    fixture.m_env.m_box.Answer(idYes);
    fixture.m_env.m_box.Answer(idNo);
    CProgressSeen seen;
    OnProgressWindow(fixture, seen, ClickCancel);
    fixture.Click(1009);
    QVERIFY(seen.shown);
    QCOMPARE(fixture.ShownTexts().size(), std::size_t(2));
    QCOMPARE(Q(fixture.ShownTexts()[1]), QStringLiteral("Stop ?"));
    QCOMPARE(fixture.Text(1001), QString::fromLatin1(kEnd));
    QCOMPARE(Q(fixture.Read("data.csv")), QString::fromLatin1(kThreeRecordsText));
    QVERIFY(BackToTheMainWindow(fixture));
}

void JobTest::EscapeAndCloseBoxAskToStop() {
    for (const bool escape : {true, false}) {
        CUiFixture fixture;
        fixture.Open();
        fixture.m_env.m_box.Answer(idYes);
        fixture.m_env.m_box.Answer(idYes);
        CProgressSeen seen;
        OnProgressWindow(fixture, seen, [escape](QDialog* window) {
            if (escape)
                QTest::keyClick(window, Qt::Key_Escape);
            else
                window->close();
        });
        fixture.Click(1009);
        QVERIFY(seen.shown);
        QVERIFY(seen.stillOpenAfterward);
        QCOMPARE(fixture.ShownTexts().size(), std::size_t(2));
        QCOMPARE(Q(fixture.ShownTexts()[1]), QStringLiteral("Stop ?"));
        QVERIFY(fixture.Text(1001).endsWith(QStringLiteral("Stop ?")));
        QVERIFY(BackToTheMainWindow(fixture));
    }
}

void JobTest::EnterInTheProgressWindowDoesNothing() {
    CUiFixture fixture;
    fixture.Open();
    fixture.m_env.m_box.Answer(idYes);
    CProgressSeen seen;
    OnProgressWindow(fixture, seen, [](QDialog* window) {
        QPushButton* cancel = window->findChild<QPushButton*>(QStringLiteral("2"));
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Return);
        QTest::keyClick(cancel, Qt::Key_Enter);
        QTest::keyClick(window, Qt::Key_Return);
    });
    fixture.Click(1009);
    QVERIFY(seen.shown);
    QVERIFY(seen.stillOpenAfterward);
    QCOMPARE(fixture.ShownTexts().size(), std::size_t(1));
    QCOMPARE(fixture.Text(1001), QString::fromLatin1(kEnd));
}

void JobTest::DecryptBinaryWritesADecryptedCopy() {
    CUiFixture fixture;
    fixture.Open();
    fixture.Click(1039);
    fixture.Click(1024);
    const QStringList copies = QDir(Q(fixture.Dir())).entryList({QStringLiteral("enc-Decrypt-*.dat")}, QDir::Files);
    QCOMPARE(copies.size(), 1);
    const QString copy = copies[0];
    QCOMPARE(fixture.Read(copy.toStdString()), ThreeRecords());
    QCOMPARE(fixture.Text(1001), QStringLiteral("Put File =\n") + copy);
    QVERIFY(BackToTheMainWindow(fixture));
}

void JobTest::ChecksRunUnderTheProgressWindowAndWriteNothing() {
    CUiFixture fixture;
    fixture.Write("data.csv", "//ID,Value\r\n1,10\r\n2,x\r\n3,30\r\n");
    fixture.Open();
    const std::string binary = fixture.Read("data.bin");
    const std::string text = fixture.Read("data.csv");
    const struct {
        int command;
        const char* report;
    } cases[] = {
        {idCheckBinaryToTextToBinary,
         "End [ Check Binary => Text => Binary ]\n3 records checked, 0 would change, 0 would fail."},
        {idCheckTextToBinary, "End [ Check Text => Binary ]\nAt line 3. CodeReplacement\n2 records would be written.\n"
                              "3 lines checked, 1 would fail, 0 cells would be cut."},
    };
    for (const auto& c : cases) {
        CProgressSeen seen;
        OnProgressWindow(fixture, seen, [](QDialog*) {});
        fixture.Window().MenuAction(c.command)->trigger();
        QVERIFY(seen.shown);
        QVERIFY(!seen.mainEnabled);
        QCOMPARE(fixture.Text(1001), QString::fromLatin1(c.report));
        QVERIFY(fixture.ShownTexts().empty());
        QVERIFY(BackToTheMainWindow(fixture));
    }
    QCOMPARE(fixture.Read("data.bin"), binary);
    QCOMPARE(fixture.Read("data.csv"), text);
    QVERIFY(!FileExists(fixture.Dir() + "data.bin.bak"));
    QVERIFY(!FileExists(fixture.Dir() + "data.csv.bak"));
}
