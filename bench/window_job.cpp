// One Binary => Text job through the desktop program's main window, as a user gives it, for
// bench/window.sh. Run it under Qt's offscreen platform.
//
//   morvane_window_job HOME [BINARY TEXT]
//
// HOME becomes the program's folder, so the program reads its settings file
// HOME/morvane_window_job.ini (the program's name, then ".ini"), whose first target is used. The program starts as the
// desktop program does; once its window shows, the paths are typed into the binary and text
// fields (without them the target's paths stand), the backup option is unchecked and
// "Binary => Text" clicked: the confirmation and the overwrite question are answered Yes. The
// exit code is 0 when the progress window was shown and the message area says the job ended,
// else 1 (2 for wrong arguments). Prints the seconds from the click to the end of the job.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "vocabulary/message_box.h"
#include "vocabulary/messages.h"
#include "platform/system.h"
#include "ui/dialog_units.h"
#include "ui/morvane_app.h"
#include "ui/morvane_dlg.h"
#include "ui/program_icon.h"
#include "ui/qt_text.h"

namespace {
// The user at the desk: Yes to the job's questions, No (the default) to "Stop ?", which
// nobody asks for; any other box is unexpected and printed.
class CBenchMessageBox : public IMessageBox {
public:
    CBenchMessageBox() : m_previous(SetMessageBox(this)) {}
    ~CBenchMessageBox() override { SetMessageBox(m_previous); }

    int Show(const CMessageBoxRequest& request) override {
        if (request.style == mbQuestion) return request.text == Word(wStop) ? idNo : idYes;
        std::fprintf(stderr, "morvane_window_job: message box: %s\n", request.text.c_str());
        m_unexpected = true;
        return idOk;
    }

    bool m_unexpected = false;

private:
    IMessageBox* m_previous;
};

// Notes whether the progress window was shown.
class CProgressWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == QStringLiteral("103")) m_shown = true;
        return false;
    }

    bool m_shown = false;
};

class CWindowJob {
public:
    CWindowJob(const QString& binary, const QString& text) : m_binary(binary), m_text(text) {}

    // Runs the job in the main window once the program's loop has started, then closes the window.
    void Start() {
        QTimer::singleShot(0, [this] { RunInWindow(); });
    }

    bool m_done = false;
    double m_seconds = 0;

private:
    CMorvaneDlg* MainWindow() const {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<CMorvaneDlg*>(window); main && main->isVisible()) return main;
        return nullptr;
    }

    static void Type(QWidget* control, const QString& text) {
        auto* field = static_cast<QLineEdit*>(control);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

    void RunInWindow() {
        QPointer<CMorvaneDlg> window = MainWindow();
        if (!window) {
            std::fputs("morvane_window_job: the main window did not open\n", stderr);
            return;
        }
        if (!QTest::qWaitForWindowExposed(window))
            std::fputs("morvane_window_job: the window was not exposed\n", stderr);
        if (!m_binary.isEmpty()) {
            Type(window->Control(idBinaryField), m_binary);
            Type(window->Control(idTextField), m_text);
        }
        auto* backup = static_cast<QCheckBox*>(window->Control(idBackupOption));
        if (backup->isChecked())
            QTest::mouseClick(backup, Qt::LeftButton, Qt::NoModifier, QPoint(6, backup->height() / 2));

        CProgressWatch watch;
        qApp->installEventFilter(&watch);
        QWidget* convert = window->Control(idBinaryToText);
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(convert, Qt::LeftButton, Qt::NoModifier, convert->rect().center());
        m_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        qApp->removeEventFilter(&watch);
        if (!window) return;

        const auto* messageArea = static_cast<QPlainTextEdit*>(window->Control(idMessageArea));
        const std::string message = ToSystem(messageArea->toPlainText());
        m_done = message == "End [ Binary => Text ]" && !backup->isChecked() && watch.m_shown;
        if (!m_done)
            std::fprintf(stderr, "morvane_window_job: the job did not end as expected (progress window %s):\n%s\n",
                         watch.m_shown ? "shown" : "not shown", message.c_str());
        QTest::keyClick(window, Qt::Key_Escape);
    }

    QString m_binary;
    QString m_text;
};
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2 && argc != 4) {
        std::fputs("Usage: morvane_window_job HOME [BINARY TEXT]\n", stderr);
        return 2;
    }
    SetProgramFolder(std::filesystem::absolute(argv[1]).lexically_normal().string());
    QApplication::setFont(DialogFont());
    QApplication::setWindowIcon(ProgramIcon());
    CBenchMessageBox messageBox;
    // The fields take full paths, as a user types them.
    auto field = [&](int index) {
        return argc == 4 ? FromSystem(std::filesystem::absolute(argv[index]).string()) : QString();
    };
    CWindowJob job(field(2), field(3));
    job.Start();
    CMorvaneApp app;
    app.Run();
    if (!job.m_done || messageBox.m_unexpected) return 1;
    std::printf("%.6f\n", job.m_seconds);
    return 0;
}
