#include <QApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "vocabulary/messages.h"
#include "support/paths.h"
#include "tests/ui/ui_test_support.h"
#include "tests/ui/ui_tests.h"
#include "ui/dialog_units.h"
#include "ui/progress_dlg.h"
#include "ui/qt_file_chooser.h"
#include "ui/qt_message_box.h"
#include "ui/shell_opener.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

// What a message box showed; the given action then answers it.
struct CBoxSeen {
    bool shown = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList buttons;
    QString defaultButton;
};

void OnMessageBox(CBoxSeen& seen, std::function<void(QMessageBox*)> answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.shown = true;
        seen.icon = box->icon();
        seen.title = box->windowTitle();
        seen.text = box->text();
        for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
        seen.buttons.sort();
        if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text();
        answer(box);
    });
}

void PressEnter(QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }

QAbstractButton* ButtonCaptioned(QMessageBox* box, const QString& caption) {
    for (QAbstractButton* button : box->buttons())
        if (button->text() == caption) return button;
    return nullptr;
}

// A file dialog's state, read as soon as it opens; the action then answers it.
struct CChooserSeen {
    bool shown = false;
    QString title;
    QStringList filters;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QString folder;
    bool stayedOpenForAMissingFile = false;
};

void OnFileDialog(CChooserSeen& seen, std::function<void(QFileDialog*)> answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen.shown = true;
        seen.title = dialog->windowTitle();
        seen.filters = dialog->nameFilters();
        seen.mode = dialog->fileMode();
        seen.folder = dialog->directory().absolutePath();
        answer(dialog);
    });
}

// A progress window whose clock and refreshes the test drives.
class CTestProgressDlg : public CProgressDlg {
public:
    using CProgressDlg::CProgressDlg;
    void Refresh() { OnRefresh(State()); }
};
}

void PlatformDialogsTest::DialogFontIsTheProportionalGothic() {
    const QFont font = DialogFont();
    QCOMPARE(font.pointSize(), 10);
    if (!QFontDatabase::hasFamily(QStringLiteral("IPAPGothic"))) QSKIP("IPA P Gothic is not installed");
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));
    QVERIFY(QFontMetrics(font).inFont(QChar(0xFF77))); // half-width katakana of the Cancel caption
}

void PlatformDialogsTest::QuestionBoxCarriesTheVocabularysYesAndNo() {
    CTestEnvironment env;
    env.Translate("msg.Yes=Ja\r\nmsg.No=Nein\r\n");
    CQtMessageBox qtBox;
    CBoxSeen seen;
    OnMessageBox(seen, [](QMessageBox* box) { ButtonCaptioned(box, QStringLiteral("Ja"))->click(); });
    QCOMPARE(ShowMessage("Stop ?\r\nreally", mbQuestion), int(idYes));
    QVERIFY(seen.shown);
    QCOMPARE(seen.icon, QMessageBox::Question);
    QCOMPARE(seen.text, QStringLiteral("Stop ?\nreally"));
    QCOMPARE(seen.title, Q(ProgramPathPart(partName)));
    QCOMPARE(seen.buttons, QStringList({"Ja", "Nein"}));
    QCOMPARE(seen.defaultButton, QStringLiteral("Nein"));

    OnMessageBox(seen, [](QMessageBox* box) { ButtonCaptioned(box, QStringLiteral("Nein"))->click(); });
    QCOMPARE(ShowMessage("Stop ?", mbQuestion), int(idNo));
    // The message box of the tests is back once the Qt one goes.
}

void PlatformDialogsTest::QuestionBoxDefaultsToNo() {
    CTestEnvironment env;
    CQtMessageBox qtBox;
    CBoxSeen seen;
    OnMessageBox(seen, PressEnter);
    QCOMPARE(ShowMessage("Convert ?", mbQuestion), int(idNo));
    QCOMPARE(seen.buttons, QStringList({"No", "Yes"}));
    OnMessageBox(seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(ShowMessage("Convert ?", mbQuestion), int(idNo));
}

void PlatformDialogsTest::OkBoxesShowTheirStylesIcon_data() {
    QTest::addColumn<unsigned>("style");
    QTest::addColumn<int>("icon");
    QTest::newRow("error") << unsigned(mbError) << int(QMessageBox::Critical);
    QTest::newRow("second instance") << unsigned(mbExclamation) << int(QMessageBox::Warning);
    QTest::newRow("index list loaded") << unsigned(mbInformation) << int(QMessageBox::Information);
}

void PlatformDialogsTest::OkBoxesShowTheirStylesIcon() {
    QFETCH(unsigned, style);
    QFETCH(int, icon);
    CTestEnvironment env;
    CQtMessageBox qtBox;
    CBoxSeen seen;
    OnMessageBox(seen, PressEnter);
    QCOMPARE(ShowMessage("text", style), int(idOk));
    QVERIFY(seen.shown);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.buttons, QStringList({"OK"}));
    OnMessageBox(seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(ShowMessage("text", style), int(idOk));
}

void PlatformDialogsTest::EmptyTextShowsSystemError() {
    CTestEnvironment env;
    CQtMessageBox qtBox;
    CBoxSeen seen;
    OnMessageBox(seen, PressEnter);
    QCOMPARE(ShowMessage("", mbQuestion), int(idOk));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.text, QStringLiteral("System Error"));
    QCOMPARE(seen.buttons, QStringList({"OK"}));
}

void PlatformDialogsTest::FileChooserStartsInTheFolderAndNeedsAnExistingFile() {
    CTestEnvironment env;
    const std::string file = env.m_folder.Write("sub/a.txt", "a");
    CQtFileChooser chooser;
    CChooserSeen seen;
    OnFileDialog(seen, [&seen, &file](QFileDialog* dialog) {
        // A missing file is refused with a warning; the dialog stays open.
        bool warned = false;
        QTimer::singleShot(0, [&warned] {
            auto* warning = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!warning) return;
            warned = true;
            warning->reject();
        });
        dialog->selectFile(QStringLiteral("missing.txt"));
        // QFileDialog's own accept is not public; the dialog's is the same call.
        static_cast<QDialog*>(dialog)->accept();
        seen.stayedOpenForAMissingFile = warned && dialog->isVisible();
        dialog->selectFile(Q(file));
        static_cast<QDialog*>(dialog)->accept();
    });
    std::string path = "unchanged";
    QVERIFY(SelectFile(path, env.m_folder.Path() + "sub/"));
    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("Select File"));
    QCOMPARE(seen.filters, QStringList({"All Files (*)"}));
    QCOMPARE(seen.mode, QFileDialog::ExistingFile);
    QCOMPARE(seen.folder, Q(env.m_folder.Path() + "sub"));
    QVERIFY(seen.stayedOpenForAMissingFile);
    QCOMPARE(Q(path), Q(file));
}

void PlatformDialogsTest::FileChooserCancel() {
    CTestEnvironment env;
    CQtFileChooser chooser;
    CChooserSeen seen;
    OnFileDialog(seen, [](QFileDialog* dialog) { dialog->reject(); });
    std::string path = "unchanged";
    QVERIFY(!SelectFile(path, env.m_folder.Path()));
    QVERIFY(seen.shown);
    QCOMPARE(Q(path), QStringLiteral("unchanged"));
}

void PlatformDialogsTest::AssociationsComeFromTheDesktopsLists() {
    CTempFolder folder;
    CScopedEnvironmentVariable dataHome("XDG_DATA_HOME", folder.Path() + "home-data");
    CScopedEnvironmentVariable dataDirs("XDG_DATA_DIRS", folder.Path() + "system-data");
    CScopedEnvironmentVariable configHome("XDG_CONFIG_HOME", folder.Path() + "home-config");
    CScopedEnvironmentVariable configDirs("XDG_CONFIG_DIRS", folder.Path() + "system-config");
    QVERIFY(!HasAssociatedProgram({QStringLiteral("text/plain")}));

    folder.Write("system-data/applications/mimeinfo.cache",
                 "[MIME Cache]\ntext/plain=editor.desktop;\nimage/png=;\n");
    folder.Write("home-config/mimeapps.list", "[Removed Associations]\napplication/x-tool=tool.desktop\n"
                                              "[Default Applications]\napplication/x-data = viewer.desktop\n");
    QVERIFY(HasAssociatedProgram({QStringLiteral("text/plain")}));
    QVERIFY(HasAssociatedProgram({QStringLiteral("text/x-csv"), QStringLiteral("text/plain")}));
    QVERIFY(HasAssociatedProgram({QStringLiteral("application/x-data")}));
    QVERIFY(!HasAssociatedProgram({QStringLiteral("application/x-tool")}));
    QVERIFY(!HasAssociatedProgram({QStringLiteral("image/png")}));
    QVERIFY(!HasAssociatedProgram({QStringLiteral("application/octet-stream")}));
}

void PlatformDialogsTest::ShellOpenerMapsFailures() {
    CTempFolder folder;
    CScopedEnvironmentVariable dataHome("XDG_DATA_HOME", folder.Path() + "home-data");
    CScopedEnvironmentVariable dataDirs("XDG_DATA_DIRS", folder.Path() + "system-data");
    CScopedEnvironmentVariable configHome("XDG_CONFIG_HOME", folder.Path() + "home-config");
    CScopedEnvironmentVariable configDirs("XDG_CONFIG_DIRS", folder.Path() + "system-config");
    CDesktopShellOpener shell;
    QCOMPARE(shell.Open(folder.Path() + "missing.dat"), ShellOpenResult::failed);
    const std::string data = folder.Write("records.dat", std::string("\x01\x02\0\xFF", 4));
    QCOMPARE(shell.Open(data), ShellOpenResult::noAssociation);
    if (::geteuid() == 0) QSKIP("the superuser reads every file");
    ::chmod(data.c_str(), 0);
    QCOMPARE(shell.Open(data), ShellOpenResult::accessDenied);
}

void PlatformDialogsTest::ProgressWindowAsksBeforeStopping() {
    CTestEnvironment env;
    QDialog owner;
    owner.show();
    CTestProgressDlg progress(&owner);
    QVERIFY(progress.Start(0, 1000, 1, "[ Binary => Text ]", true));
    QDialog* window = progress.Window();
    QVERIFY(window && window->isVisible() && window->isEnabled());
    QVERIFY(!owner.isEnabled());
    // Kept above the owner by the window system, centred over it.
    QCOMPARE(window->windowHandle()->transientParent(), owner.windowHandle());
    QVERIFY((window->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <= 8);
    QCOMPARE(window->windowTitle(), QStringLiteral("Converting ..."));
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("1041"))->text(), QStringLiteral("[ Binary => Text ]"));
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("1042"))->text(), QStringLiteral("Record"));
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("1004"))->text(), QStringLiteral("0%"));
    QPushButton* cancel = window->findChild<QPushButton*>(QStringLiteral("2"));
    QCOMPARE(cancel->text(), QStringLiteral("ｷｬﾝｾﾙ"));

    for (std::uint32_t count = 1; count <= 370; ++count) progress.Update(count);
    progress.Refresh();
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("1005"))->text(), QStringLiteral("370"));
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("1004"))->text(), QStringLiteral("37%"));

    // Enter asks nothing; Cancel asks, and No goes on; the question is asked once per press.
    QTest::keyClick(cancel, Qt::Key_Return);
    QVERIFY(!progress.PollCancel());
    QVERIFY(env.m_box.m_shown.empty());
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(!progress.PollCancel());
    QVERIFY(!progress.PollCancel());
    QCOMPARE(env.m_box.m_shown.size(), std::size_t(1));
    QCOMPARE(Q(env.m_box.m_shown[0].text), QStringLiteral("Stop ?"));
    // Escape and the close box ask as well; Yes stops.
    QTest::keyClick(window, Qt::Key_Escape);
    env.m_box.Answer(idYes);
    QVERIFY(progress.PollCancel());
    window->close();
    QVERIFY(window->isVisible());
    env.m_box.Answer(idYes);
    QVERIFY(progress.PollCancel());

    progress.Close();
    QVERIFY(!progress.Window());
    QVERIFY(owner.isEnabled());
}

void PlatformDialogsTest::ProgressWindowCountsBytes() {
    CTestEnvironment env;
    QDialog owner;
    owner.show();
    {
        CTestProgressDlg progress(&owner);
        QVERIFY(progress.Start(0, 4096, 256, "Decrypt", false));
        QCOMPARE(progress.Window()->findChild<QLabel*>(QStringLiteral("1042"))->text(), QStringLiteral("Byte"));
        QVERIFY(!owner.isEnabled());
    }
    // A run left without Close still gives the owner back.
    QVERIFY(owner.isEnabled());
}
