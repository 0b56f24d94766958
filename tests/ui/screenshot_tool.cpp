// Grabs the main window, with the targets of the settings file beside the program loaded, and
// the progress window of a run to PNG files. Run it under Qt's offscreen platform.
// Usage: morvane_screenshot MAIN.png [PROGRESS.png]
#include <QApplication>
#include <QPixmap>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/app_state.h"
#include "support/paths.h"
#include "ui/dialog_units.h"
#include "ui/morvane_dlg.h"
#include "ui/qt_message_box.h"

namespace {
bool Save(QWidget& widget, const char* path) {
    if (widget.grab().save(QString::fromLocal8Bit(path), "PNG")) return true;
    std::fprintf(stderr, "morvane_screenshot: cannot write %s\n", path);
    return false;
}
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fputs("Usage: morvane_screenshot MAIN.png [PROGRESS.png]\n", stderr);
        return 2;
    }
    QApplication::setFont(DialogFont());
    CQtMessageBox messageBox;
    CAppState app;
    app.LoadSettings(ProgramDirectory() + "morvane.ini");
    CMorvaneDlg window(app);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !Save(window, argv[1])) return 1;
    if (argc < 3) return 0;

    // A run of 34 records, half done: the display refreshes once its interval has passed.
    CProgressDlg& progress = window.Progress();
    progress.Start(0, 34, 1, "[ " + window.Model().Text(idBinaryToText) + " ]", true);
    std::this_thread::sleep_for(CProgress::kRefreshInterval + std::chrono::milliseconds(5));
    for (std::uint32_t count = 1; count <= 16; ++count) progress.Update(count);
    QDialog* shown = progress.Window();
    const bool saved = shown && QTest::qWaitForWindowExposed(shown) && Save(*shown, argv[2]);
    progress.Close();
    return saved ? 0 : 1;
}
