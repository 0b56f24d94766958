#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include "platform/private_profile.h"
#include "tests/ui/ui_test_support.h"
#include "tests/ui/ui_tests.h"

namespace {
// The preview window, opened through the main window's context menu item.
CPreviewDlg& OpenPreview(CUiFixture& fixture) {
    fixture.Window().MenuAction(idPreview)->trigger();
    CPreviewDlg* preview = fixture.Window().Preview();
    if (!preview) qFatal("the preview item opened no window");
    return *preview;
}

QString Cell(const CPreviewDlg& preview, int row, int column) {
    const QAbstractItemModel* model = preview.Table()->model();
    return model->data(model->index(row, column)).toString();
}

QString RowTitle(const CPreviewDlg& preview, int row) {
    return preview.Table()->model()->headerData(row, Qt::Vertical).toString();
}
}

void PreviewWindowTest::OpensFromTheContextMenuAndFollowsTheSlot() {
    CUiFixture fixture;
    fixture.Open();
    CPreviewDlg& preview = OpenPreview(fixture);
    QVERIFY(preview.isVisible());
    QVERIFY(!preview.isModal());
    QCOMPARE(preview.windowTitle(), QStringLiteral("Preview - Alpha"));
    const QAbstractItemModel* model = preview.Table()->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->columnCount(), 2);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
    QCOMPARE(Cell(preview, 1, 1), QStringLiteral("-20"));
    QCOMPARE(RowTitle(preview, 2), QStringLiteral("3"));

    // Another slot: its target, here records picked by an index list.
    fixture.Click(1040);
    QCOMPARE(preview.windowTitle(), QStringLiteral("Preview - Gamma"));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(RowTitle(preview, 0), QStringLiteral("1: 2"));
    QCOMPARE(Cell(preview, 0, 0), QStringLiteral("3"));
    // The encrypted target's records are shown decrypted, as Binary => Text writes them.
    fixture.Click(1039);
    QCOMPARE(Cell(preview, 2, 1), QStringLiteral("30"));
}

void PreviewWindowTest::TheSelectedCellsBytesAreHighlighted() {
    CUiFixture fixture;
    fixture.Open();
    CPreviewDlg& preview = OpenPreview(fixture);
    preview.Table()->setCurrentIndex(preview.Table()->model()->index(1, 1));
    QCOMPARE(preview.Status()->text(), QStringLiteral("3 records, 6 bytes each; record 2 at offset 6 (0x6)"));
    QCOMPARE(preview.Bytes()->toPlainText(), QStringLiteral("00000006  02 00 00 00 EC FF"));
    const QList<QTextEdit::ExtraSelection> selections = preview.Bytes()->extraSelections();
    QCOMPARE(selections.size(), 1);
    QCOMPARE(selections[0].cursor.selectedText(), QStringLiteral("EC FF"));
}

void PreviewWindowTest::AChangedFileRefreshesIt() {
    CUiFixture fixture;
    fixture.Open();
    CPreviewDlg& preview = OpenPreview(fixture);
    QCOMPARE(Cell(preview, 0, 1), QStringLiteral("10"));
    // Saved as editors save: a new file renamed over the old one.
    fixture.Write("def.tmp", "ID,4,R,u,1,ID\r\nValue,2,N,n,1,Value\r\n");
    QFile::remove(QString::fromStdString(fixture.Dir() + "def.txt"));
    QFile::rename(QString::fromStdString(fixture.Dir() + "def.tmp"), QString::fromStdString(fixture.Dir() + "def.txt"));
    QTRY_COMPARE_WITH_TIMEOUT(Cell(preview, 0, 1), QStringLiteral("2560"), 5000);
    // The binary file too.
    fixture.Write("data.bin", std::string("\x07\0\0\0\0\x05" "\x02\0\0\0\0\0" "\x03\0\0\0\0\0", 18));
    QTRY_COMPARE_WITH_TIMEOUT(Cell(preview, 0, 0), QStringLiteral("7"), 5000);
}

void PreviewWindowTest::ABrokenDefinitionShowsItsTextAndRecovers() {
    CUiFixture fixture;
    fixture.Open();
    CPreviewDlg& preview = OpenPreview(fixture);
    fixture.Write("def.txt", "ID,4,R,u,1,ID\r\nValue,3,R,n,1,Value\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(preview.FailureShown(), QStringLiteral("Record Def Error\nAt line 3. Length Inconsistent"), 5000);
    QVERIFY(!preview.Table()->isVisible());
    fixture.Write("def.txt", kDefinition);
    QTRY_COMPARE_WITH_TIMEOUT(preview.FailureShown(), QString(), 5000);
    QVERIFY(preview.Table()->isVisible());
    QCOMPARE(Cell(preview, 2, 1), QStringLiteral("30"));
    // The main window's slot was not touched.
    QCOMPARE(fixture.Text(1038), QStringLiteral("Alpha"));
}

void PreviewWindowTest::ItsPlaceIsRemembered() {
    CUiFixture fixture;
    fixture.Open();
    OpenPreview(fixture).setGeometry(40, 50, 640, 360);
    const QRect placed = fixture.Window().Preview()->geometry();
    fixture.Close();
    const CProfile settings = CProfile::Read(fixture.SettingsPath());
    QCOMPARE(settings.GetString("PreviewWindow", "width"), std::to_string(placed.width()));
    QCOMPARE(settings.GetString("PreviewWindow", "height"), std::to_string(placed.height()));
    fixture.Open();
    QCOMPARE(OpenPreview(fixture).size(), placed.size());
}
