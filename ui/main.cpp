#include <QApplication>
#include <QFileInfo>
#include <string>
#include <vector>

#include "ui/dialog_units.h"
#include "ui/morvane_app.h"
#include "ui/program_icon.h"
#include "ui/qt_file_chooser.h"
#include "ui/qt_message_box.h"
#include "ui/qt_text.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Lets the desktop match the window to its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.morvane"));
    QApplication::setFont(DialogFont());
    QApplication::setWindowIcon(ProgramIcon());
    CQtMessageBox messageBox;
    CQtFileChooser fileChooser;
    // Files named on the command line, as a desktop's launcher passes them, relative to the
    // folder the program was started in.
    std::vector<std::string> files;
    for (const QString& argument : QApplication::arguments().mid(1))
        files.push_back(ToSystem(QFileInfo(argument).absoluteFilePath()));
    CMorvaneApp app;
    return app.Run(files);
}
