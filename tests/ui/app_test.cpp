#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "app/app_state.h"
#include "platform/instance_lock.h"
#include "platform/system.h"
#include "support/paths.h"
#include "tests/ui/ui_test_support.h"
#include "tests/ui/ui_tests.h"
#include "ui/morvane_app.h"

namespace {
// What the main window showed while the program ran, read and then closed with Escape as
// soon as the window's loop starts.
struct CShownWindow {
    bool shown = false;
    QStringList slotCaptions;
    QString message;
    QList<bool> enabled;          // 1024..1027
    bool otherInstanceRefused = false;

    void WatchAndClose() {
        QTimer::singleShot(0, [this] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() != QStringLiteral("102") || !window->isVisible()) continue;
                shown = true;
                for (int id : {1038, 1039, 1040})
                    slotCaptions << window->findChild<QAbstractButton*>(QString::number(id))->text();
                message = window->findChild<QPlainTextEdit*>(QStringLiteral("1001"))->toPlainText();
                for (int id = 1024; id <= 1027; ++id)
                    enabled << window->findChild<QWidget*>(QString::number(id))->isEnabled();
                CInstanceLock other;
                otherInstanceRefused = other.Acquire("Morvane") == CInstanceLock::heldElsewhere;
                QTest::keyClick(window, Qt::Key_Escape);
            }
        });
    }
};
}

void AppTest::StartWithoutSettingsFile() {
    // Installed: nothing beside the program, whose installed examples hold only translations.
    CTestEnvironment env;
    const std::string root = env.m_folder.Path();
    CScopedEnvironmentVariable runtime("XDG_RUNTIME_DIR", root);
    CScopedEnvironmentVariable config("XDG_CONFIG_HOME", root + "config");
    SetProgramFolder(root + "bin");
    env.m_folder.Write("bin/morvane", "");
    // The settings file is named after the program, as the installed morvane.ini is after morvane.
    const std::string settings = ProgramPathPart(partName) + ".ini";
    env.m_folder.Write("share/morvane/examples/" + settings, "[Translations]\r\nmsg.Not set=Nicht gesetzt\r\n");
    CShownWindow window;
    window.WatchAndClose();
    CMorvaneApp app;
    QCOMPARE(app.Run(), 0);
    QVERIFY(window.shown);
    QCOMPARE(window.slotCaptions, QStringList({"FileInfo1", "FileInfo2", "FileInfo3"}));
    // The settings were copied into the user's home and read from there.
    QCOMPARE(window.message, QStringLiteral("FileInfoDefaultRP Nicht gesetzt"));
    QCOMPARE(QString::fromStdString(ProgramDirectory()), QString::fromStdString(root + "config/morvane/"));
    QCOMPARE(env.m_folder.Read("config/morvane/" + settings), env.m_folder.Read("share/morvane/examples/" + settings));
    QCOMPARE(window.enabled, QList<bool>({false, false, false, false}));
    QVERIFY(window.otherInstanceRefused);
    QVERIFY(env.m_box.m_shown.empty());
    // The lock went with the window.
    CInstanceLock next;
    QCOMPARE(next.Acquire("Morvane"), CInstanceLock::acquired);
}

void AppTest::StartReadsTheSettingsBesideTheProgram() {
    CUiFixture fixture;
    CScopedEnvironmentVariable runtime("XDG_RUNTIME_DIR", fixture.Dir());
    fixture.Write(CAppState::DefaultSettingsPath().substr(fixture.Dir().size()), fixture.Read("morvane.ini"));
    CShownWindow window;
    window.WatchAndClose();
    CMorvaneApp app;
    QCOMPARE(app.Run(), 0);
    QVERIFY(window.shown);
    QCOMPARE(window.slotCaptions, QStringList({"Alpha", "Beta", "Gamma"}));
    QCOMPARE(window.message, QString());
    QVERIFY(!app.m_state.m_labels);
}

void AppTest::SecondInstanceIsRefused() {
    CTestEnvironment env;
    CScopedEnvironmentVariable runtime("XDG_RUNTIME_DIR", env.m_folder.Path());
    CInstanceLock first;
    QCOMPARE(first.Acquire("Morvane"), CInstanceLock::acquired);
    CShownWindow window;
    window.WatchAndClose();
    CMorvaneApp app;
    QCOMPARE(app.Run(), 0);
    QCoreApplication::processEvents();
    QVERIFY(!window.shown);
    QCOMPARE(env.m_box.m_shown.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(env.m_box.m_shown[0].text), QStringLiteral("Dual boot is not supported."));
    QCOMPARE(env.m_box.m_shown[0].style, unsigned(mbExclamation));
    // The first instance keeps its lock.
    CInstanceLock third;
    QCOMPARE(third.Acquire("Morvane"), CInstanceLock::heldElsewhere);
}
