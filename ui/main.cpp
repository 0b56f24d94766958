#include <QApplication>

#include "ui/dialog_units.h"
#include "ui/morvane_app.h"
#include "ui/program_icon.h"
#include "ui/qt_file_chooser.h"
#include "ui/qt_message_box.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setFont(DialogFont());
    QApplication::setWindowIcon(ProgramIcon());
    CQtMessageBox messageBox;
    CQtFileChooser fileChooser;
    CMorvaneApp app;
    return app.Run();
}
