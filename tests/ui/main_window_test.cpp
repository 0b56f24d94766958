#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "platform/private_profile.h"
#include "tests/ui/ui_test_support.h"
#include "tests/ui/ui_tests.h"
#include "ui/dialog_units.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

// Sends a drag of the given URLs over a control and drops it there; true when the drop was taken.
bool DropOn(QWidget* control, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint centre = control->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}
}

void MainWindowTest::LayoutFollowsTheDialogUnitsOfTheDialogFont() {
    CUiFixture fixture;
    CMorvaneDlg& window = fixture.Open();
    const CDialogUnits units(window.font());
    QCOMPARE(window.size(), QSize(units.X(249), units.Y(397)));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.windowTitle(), QStringLiteral("Morvane"));
    QCOMPARE(fixture.Control(1009)->geometry(), units.Rect(7, 329, 101, 28));
    QCOMPARE(fixture.Control(1001)->geometry(), units.Rect(7, 287, 236, 36));
    QVERIFY(fixture.Control(1001)->font().bold());
    QVERIFY(!fixture.Control(1004)->font().bold());
    QVERIFY(static_cast<QPushButton*>(fixture.Control(1009))->isDefault());
    QVERIFY(static_cast<QLineEdit*>(fixture.Control(1006))->isReadOnly());
    QVERIFY(!static_cast<QLineEdit*>(fixture.Control(1004))->isReadOnly());
    QVERIFY(!window.windowIcon().pixmap(32, 32).isNull());
    int controls = 0;
    for (int id = 1001; id <= 1040; ++id)
        if (window.findChild<QWidget*>(QString::number(id))) ++controls;
    QCOMPARE(controls, 40);
}

void MainWindowTest::FirstSlotShownAtStart() {
    CUiFixture fixture;
    fixture.Open();
    QCOMPARE(fixture.Text(1038), QStringLiteral("Alpha"));
    QCOMPARE(fixture.Text(1039), QStringLiteral("Beta"));
    QCOMPARE(fixture.Text(1040), QStringLiteral("Gamma"));
    QVERIFY(fixture.Checked(1038));
    QCOMPARE(fixture.Text(1006), QStringLiteral("target1.ini"));
    QCOMPARE(fixture.Text(1004), QStringLiteral("data.bin"));
    QCOMPARE(fixture.Text(1005), QStringLiteral("data.csv"));
    QCOMPARE(fixture.Text(1007), QString());
    QCOMPARE(fixture.Text(1001), QString());
    QCOMPARE(fixture.Text(1002), QStringLiteral(" BStartPosition\n BRecordSize\n BRecordCount\n TDelimiter\n"
                                                " Decrypt/Encrypt\n NumberCode File\n BRecordIndex\n"));
    QVERIFY(fixture.Text(1003).endsWith(QStringLiteral("\n--")));
    QCOMPARE(fixture.Text(1009), QStringLiteral("Binary => Text"));
    QCOMPARE(fixture.Text(1037), QStringLiteral("Target File Info."));
    QVERIFY(fixture.Checked(1031));
    QVERIFY(fixture.ShownTexts().empty());
}

void MainWindowTest::SlotSwitchingKeepsTypedPaths() {
    CUiFixture fixture;
    fixture.Open();
    fixture.Type(1004, QStringLiteral("typed.bin"));
    fixture.Type(1005, QStringLiteral("typed.csv"));
    fixture.Click(1039);
    QVERIFY(fixture.Checked(1039));
    QVERIFY(!fixture.Checked(1038));
    QCOMPARE(fixture.Text(1006), QStringLiteral("target2.ini"));
    QCOMPARE(fixture.Text(1004), QStringLiteral("enc.bin"));
    QCOMPARE(fixture.Text(1005), QStringLiteral("enc.csv"));
    fixture.Click(1038);
    QCOMPARE(fixture.Text(1004), QStringLiteral("typed.bin"));
    QCOMPARE(fixture.Text(1005), QStringLiteral("typed.csv"));
    // Typed paths live in memory only: the target file is not touched.
    QVERIFY(fixture.Read("target1.ini").find("typed") == std::string::npos);
}

void MainWindowTest::EnablingFollowsTheSlotsTarget() {
    CUiFixture fixture;
    fixture.Open();
    // No code tables: no binary encryption, no table inversion; the ID column may be an index.
    for (int id : {1024, 1025, 1026, 1027}) QVERIFY2(!fixture.Enabled(id), qPrintable(QString::number(id)));
    QVERIFY(fixture.Enabled(1009));
    QVERIFY(fixture.Enabled(1008));
    QVERIFY(fixture.Enabled(1029));
    QVERIFY(!fixture.Enabled(1030));

    // A decryption table alone: both binary directions, and its inversion only.
    fixture.Click(1039);
    for (int id : {1024, 1025, 1026}) QVERIFY2(fixture.Enabled(id), qPrintable(QString::number(id)));
    QVERIFY(!fixture.Enabled(1027));

    // A record index list: the index options are off and locked.
    fixture.Click(1040);
    QVERIFY(!fixture.Enabled(1029));
    QVERIFY(!fixture.Enabled(1030));
    QVERIFY(fixture.Text(1003).endsWith(QStringLiteral("\n2")));
}

void MainWindowTest::IndexOptionRules() {
    CUiFixture fixture;
    fixture.Open();
    fixture.Click(1030); // disabled: nothing happens
    QVERIFY(!fixture.Checked(1030));
    fixture.Click(1029);
    QVERIFY(fixture.Checked(1029));
    QVERIFY(fixture.Enabled(1030));
    fixture.Click(1030);
    QVERIFY(fixture.Checked(1030));
    fixture.Click(1029);
    QVERIFY(!fixture.Checked(1029));
    QVERIFY(!fixture.Checked(1030));
    QVERIFY(!fixture.Enabled(1030));

    fixture.Click(1029);
    fixture.Click(1030);
    // A slot with an index list unchecks and disables both.
    fixture.Click(1040);
    QVERIFY(!fixture.Checked(1029));
    QVERIFY(!fixture.Checked(1030));
    QVERIFY(!fixture.Enabled(1029));
    // Clearing its list allows the index column again.
    fixture.Click(1023);
    QCOMPARE(fixture.Text(1007), QString());
    QVERIFY(fixture.Enabled(1029));
    QVERIFY(!fixture.Enabled(1030));
    QVERIFY(fixture.Text(1003).endsWith(QStringLiteral("\n--")));
}

void MainWindowTest::TranslatedVocabularyChangesCaptions() {
    CUiFixture fixture;
    fixture.Write("morvane.ini", "[FileInfoDefaultRP]\r\nFileInfo1=\r\nFileInfo2=target2.ini\r\n"
                                 "[Translations]\r\nmsg.FileInfo=Ziel\r\nmsg.Yes=Ja\r\nmsg.No=Nein\r\n"
                                 "msg.Not set=Fehlt\r\nbtn.Binary2Text=Binär => Text\r\nbtn.Browse=Suchen ...\r\n"
                                 "frame.ini=Zieldatei\r\ninfo.BRecordSize=Satzgröße\r\n");
    fixture.Open();
    QCOMPARE(fixture.Text(1038), QStringLiteral("Ziel1"));
    QCOMPARE(fixture.Text(1039), QStringLiteral("Beta"));
    QCOMPARE(fixture.Text(1040), QStringLiteral("Ziel3"));
    QCOMPARE(fixture.Text(1009), QStringLiteral("Binär => Text"));
    for (int id : {1014, 1015, 1016, 1017}) QCOMPARE(fixture.Text(id), QStringLiteral("Suchen ..."));
    QCOMPARE(fixture.Text(1037), QStringLiteral("Zieldatei"));
    QCOMPARE(fixture.Text(1008), QStringLiteral("Text => Binary"));
    QVERIFY(fixture.Text(1002).contains(QStringLiteral(" Satzgröße\n")));
    QVERIFY(!fixture.Text(1002).contains(QStringLiteral("BRecordSize")));
    QVERIFY(fixture.Text(1001).contains(QStringLiteral("Fehlt")));

    // The job's question carries the translated Yes and No.
    fixture.Click(1039);
    fixture.Click(1009);
    QCOMPARE(fixture.m_env.m_box.m_shown.size(), std::size_t(1));
    const CMessageBoxRequest& question = fixture.m_env.m_box.m_shown[0];
    QCOMPARE(question.style, unsigned(mbQuestion));
    QCOMPARE(Q(question.yesCaption), QStringLiteral("Ja"));
    QCOMPARE(Q(question.noCaption), QStringLiteral("Nein"));
    QVERIFY(Q(question.text).contains(QStringLiteral("[ Binär => Text ]")));
}

void MainWindowTest::BrowseAppliesTheChosenFile() {
    CUiFixture fixture;
    fixture.Write("other.bin", ThreeRecords());
    fixture.Open();
    fixture.m_chooser.m_answers = {fixture.Dir() + "other.bin", ""};
    fixture.Click(1014);
    QCOMPARE(fixture.m_chooser.m_startPaths.size(), std::size_t(1));
    QCOMPARE(Q(fixture.m_chooser.m_startPaths[0]), Q(fixture.Dir() + "data.bin"));
    // A file under the program's folder is shown relative to it.
    QCOMPARE(fixture.Text(1004), QStringLiteral("other.bin"));
    // Cancelling leaves the field as it is; an empty field starts in the program's folder.
    fixture.Type(1005, QString());
    fixture.Click(1015);
    QCOMPARE(Q(fixture.m_chooser.m_startPaths[1]), Q(fixture.Dir()));
    QCOMPARE(fixture.Text(1005), QString());
    QCOMPARE(fixture.Text(1004), QStringLiteral("other.bin"));
}

void MainWindowTest::BrowseForATargetLoadsItWithoutSavingIt() {
    CUiFixture fixture;
    fixture.Open();
    const std::string settings = fixture.Read("morvane.ini");
    fixture.m_chooser.m_answers = {fixture.Dir() + "target3.ini"};
    fixture.Click(1016);
    QCOMPARE(fixture.Text(1006), QStringLiteral("target3.ini"));
    QCOMPARE(fixture.Text(1038), QStringLiteral("Gamma"));
    QCOMPARE(fixture.Text(1007), QStringLiteral("index.txt"));
    QCOMPARE(fixture.Text(1001), QStringLiteral("End Reload"));
    QVERIFY(!fixture.Enabled(1029));
    QCOMPARE(fixture.Read("morvane.ini"), settings);
}

void MainWindowTest::ReloadTargetAndIndexList() {
    CUiFixture fixture;
    fixture.Open();
    fixture.Click(1032);
    QCOMPARE(fixture.Text(1001), QStringLiteral("End Reload"));
    QVERIFY(fixture.ShownTexts().empty());

    // The index list of slot 3, reloaded after a change of the file.
    fixture.Click(1040);
    fixture.Write("index.txt", "0\r\n2\r\n0\r\n1\r\n");
    fixture.Click(1033);
    QCOMPARE(fixture.ShownTexts().size(), std::size_t(1));
    QCOMPARE(fixture.m_env.m_box.m_shown[0].style, unsigned(mbInformation));
    QVERIFY(fixture.Text(1003).endsWith(QStringLiteral("\n3")));

    // A broken list is refused in an error box.
    fixture.Write("index.txt", "0\r\nx\r\n");
    fixture.Click(1033);
    QCOMPARE(fixture.ShownTexts().size(), std::size_t(2));
    QCOMPARE(fixture.m_env.m_box.m_shown[1].style, unsigned(mbError));
    QVERIFY(Q(fixture.ShownTexts()[1]).startsWith(QStringLiteral(" Can not use\n")));
}

void MainWindowTest::ReloadWithAnEmptyField() {
    CUiFixture fixture;
    fixture.Write("morvane.ini", "[FileInfoDefaultRP]\r\nFileInfo1=\r\n");
    fixture.Open();
    QCOMPARE(fixture.Text(1006), QString());
    fixture.Click(1032);
    QCOMPARE(fixture.Text(1001), QStringLiteral("FilePath Not set"));
    fixture.Click(1033);
    QCOMPARE(fixture.Text(1001), QStringLiteral("FilePath Not set"));
    QVERIFY(fixture.ShownTexts().empty());
}

void MainWindowTest::SavePathWritesOnlyItsKey() {
    CUiFixture fixture;
    fixture.Open();
    std::string expected = fixture.Read("target1.ini");
    expected.replace(expected.find("BinaryFilePath=data.bin"), 23, "BinaryFilePath=other.bin");
    fixture.Type(1004, QStringLiteral("other.bin"));
    fixture.Click(1018);
    QCOMPARE(Q(fixture.Read("target1.ini")), Q(expected));
    // Nothing is reloaded: the field keeps its text, the message area stays empty.
    QCOMPARE(fixture.Text(1004), QStringLiteral("other.bin"));
    QCOMPARE(fixture.Text(1001), QString());

    // The target info field goes into the settings file, under the slot's key.
    fixture.Click(1039);
    fixture.m_chooser.m_answers = {fixture.Dir() + "target3.ini"};
    fixture.Click(1016);
    const std::string before = fixture.Read("morvane.ini");
    fixture.Click(1020);
    std::string settings = before;
    settings.replace(settings.find("FileInfo2=target2.ini"), 21, "FileInfo2=target3.ini");
    QCOMPARE(Q(fixture.Read("morvane.ini")), Q(settings));
    QVERIFY(fixture.ShownTexts().empty());
}

void MainWindowTest::SavePathOfAnUnloadedTargetIsRefused() {
    CUiFixture fixture;
    fixture.Write("morvane.ini", "[FileInfoDefaultRP]\r\nFileInfo1=missing.ini\r\n");
    fixture.Open();
    fixture.Type(1004, QStringLiteral("x.bin"));
    fixture.Click(1018);
    QCOMPARE(fixture.ShownTexts().size(), std::size_t(1));
    QCOMPARE(fixture.m_env.m_box.m_shown[0].style, unsigned(mbError));
    QVERIFY(Q(fixture.ShownTexts()[0]).contains(QStringLiteral("Error\r\nFilePath")));
}

void MainWindowTest::ClearEmptiesTheTextField() {
    CUiFixture fixture;
    fixture.Open();
    fixture.Click(1022);
    QCOMPARE(fixture.Text(1005), QString());
    // The field's emptiness reaches the slot when the slot is left.
    fixture.Click(1039);
    fixture.Click(1038);
    QCOMPARE(fixture.Text(1005), QString());
}

void MainWindowTest::RevertRestoresTheBackup() {
    CUiFixture fixture;
    fixture.Write("data.bin.bak", "old");
    fixture.Open();
    fixture.Click(1034);
    QCOMPARE(fixture.Text(1001), QStringLiteral("End Revert(bak)"));
    QCOMPARE(Q(fixture.Read("data.bin")), QStringLiteral("old"));
    QCOMPARE(Q(fixture.Read("data.bin.bak")), QStringLiteral("old"));

    fixture.Click(1035);
    QCOMPARE(fixture.Text(1001), QStringLiteral("Can't open file\n") + Q(fixture.Dir() + "data.csv.bak"));
}

void MainWindowTest::LabelsOpenTheirFilesInTheShell() {
    CUiFixture fixture;
    fixture.Open();
    fixture.Write("data.csv", kThreeRecordsText);
    fixture.Click(1011);
    QCOMPARE(fixture.m_shell.m_opened.size(), std::size_t(1));
    QCOMPARE(Q(fixture.m_shell.m_opened[0]), Q(fixture.Dir() + "data.csv"));
    QCOMPARE(fixture.Text(1001), QString());

    fixture.m_shell.m_result = ShellOpenResult::noAssociation;
    fixture.Click(1010);
    QCOMPARE(fixture.Text(1001), QStringLiteral("Error Error_NoAssociation"));
    fixture.m_shell.m_result = ShellOpenResult::accessDenied;
    fixture.Click(1012);
    QCOMPARE(Q(fixture.m_shell.m_opened.back()), Q(fixture.Dir() + "target1.ini"));
    QCOMPARE(fixture.Text(1001), QStringLiteral("Error Error_AccessDenied"));

    // An empty field asks nothing of the shell.
    fixture.Click(1013);
    QCOMPARE(fixture.m_shell.m_opened.size(), std::size_t(3));
    QCOMPARE(fixture.Text(1001), QStringLiteral("Error FilePath"));
}

void MainWindowTest::DroppedFileGoesIntoTheField() {
    CUiFixture fixture;
    fixture.Write("dropped.csv", kThreeRecordsText);
    fixture.Write("other.csv", kThreeRecordsText);
    fixture.Open();
    const QUrl dropped = QUrl::fromLocalFile(Q(fixture.Dir() + "dropped.csv"));
    const QUrl other = QUrl::fromLocalFile(Q(fixture.Dir() + "other.csv"));
    QVERIFY(DropOn(fixture.Control(1005), {QUrl(QStringLiteral("https://example.org/x.csv")), dropped, other}));
    QCOMPARE(fixture.Text(1005), QStringLiteral("dropped.csv"));
    // The slot holds it too.
    fixture.Click(1039);
    fixture.Click(1038);
    QCOMPARE(fixture.Text(1005), QStringLiteral("dropped.csv"));

    // Read-only fields and drops without a local file change nothing.
    QVERIFY(!DropOn(fixture.Control(1006), {dropped}));
    QCOMPARE(fixture.Text(1006), QStringLiteral("target1.ini"));
    QVERIFY(!DropOn(fixture.Control(1004), {QUrl(QStringLiteral("https://example.org/x.bin"))}));
    QCOMPARE(fixture.Text(1004), QStringLiteral("data.bin"));
    QVERIFY(fixture.ShownTexts().empty());
}

void MainWindowTest::RememberedPositionIsRestoredAndSaved() {
    CUiFixture fixture;
    fixture.WriteSettings("[DialogPosition]\r\nvalidity=1\r\nleft=120\r\ntop=+40\r\n");
    CMorvaneDlg& window = fixture.Open();
    QCOMPARE(window.pos(), QPoint(120, 40));
    window.move(150, 40);
    fixture.Close();
    // Only the coordinate that changed is written.
    QCOMPARE(Q(CProfile::Read(fixture.SettingsPath()).GetString("DialogPosition", "left")), QStringLiteral("150"));
    QVERIFY(fixture.Read("morvane.ini").find("top=+40\r\n") != std::string::npos);
}

void MainWindowTest::FarPositionIsPulledBackOnScreen() {
    CUiFixture fixture;
    fixture.WriteSettings("[DialogPosition]\r\nvalidity=1\r\nleft=100000\r\ntop=-100000\r\n");
    CMorvaneDlg& window = fixture.Open();
    const QRect screen = window.screen()->availableGeometry();
    QCOMPARE(window.pos(), QPoint(screen.right() + 1 - 100, 0));
}

void MainWindowTest::PositionIsLeftAloneWithoutValidity() {
    CUiFixture fixture;
    fixture.WriteSettings("[DialogPosition]\r\nvalidity=2\r\nleft=120\r\ntop=40\r\n");
    CMorvaneDlg& window = fixture.Open();
    QVERIFY(window.pos() != QPoint(120, 40));
    window.move(10, 10);
    const std::string settings = fixture.Read("morvane.ini");
    fixture.Close();
    QCOMPARE(Q(fixture.Read("morvane.ini")), Q(settings));
}

void MainWindowTest::AboutBoxFromTheContextMenuShortcut() {
    CUiFixture fixture;
    CMorvaneDlg& window = fixture.Open();
    QAction* about = window.AboutAction();
    QCOMPARE(about->text(), QStringLiteral("Morvane Ver. (&A)..."));
    QVERIFY(window.actions().contains(about));
    QCOMPARE(window.contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(about->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));

    QString version;
    QString notice;
    bool closed = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || box->objectName() != QStringLiteral("about")) return;
        version = box->findChild<QLabel*>(QStringLiteral("version"))->text();
        notice = box->findChild<QLabel*>(QStringLiteral("notice"))->text();
        QTest::keyClick(box, Qt::Key_Escape);
        closed = !box->isVisible();
    });
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
    QVERIFY(closed);
    QVERIFY(version.startsWith(QStringLiteral("Morvane Version ")));
    QVERIFY(!notice.isEmpty());
}

void MainWindowTest::CheckItemsBesideTheAboutItem() {
    CUiFixture fixture;
    fixture.WriteSettings("[Translations]\r\nmsg.CheckText2Binary=Text => Binaer pruefen\r\n");
    CMorvaneDlg& window = fixture.Open();
    const QList<QAction*> actions = window.actions();
    QCOMPARE(actions.size(), 5);
    QCOMPARE(actions[0], window.MenuAction(idCheckBinaryToTextToBinary));
    QCOMPARE(actions[1], window.MenuAction(idCheckTextToBinary));
    QCOMPARE(actions[2], window.MenuAction(idPreview));
    QVERIFY(actions[3]->isSeparator());
    QCOMPARE(actions[4], window.AboutAction());
    QCOMPARE(actions[2]->text(), QStringLiteral("Preview"));
    QCOMPARE(actions[0]->text(), QStringLiteral("Check Binary => Text => Binary"));
    QCOMPARE(actions[1]->text(), QStringLiteral("Text => Binaer pruefen"));
    QCOMPARE(window.contextMenuPolicy(), Qt::ActionsContextMenu);
}
