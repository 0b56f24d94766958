#include "ui/qt_file_chooser.h"

#include <QFileDialog>

#include "support/paths.h"
#include "ui/qt_message_box.h"
#include "ui/qt_text.h"

CQtFileChooser::CQtFileChooser() : m_previous(SetFileChooser(this)) {}

CQtFileChooser::~CQtFileChooser() { SetFileChooser(m_previous); }

bool CQtFileChooser::Choose(std::string& path, const std::string& currentPath) {
    QFileDialog dialog(DialogOwner(), QStringLiteral("Select File"));
    dialog.setObjectName(QStringLiteral("SelectFile"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(QStringLiteral("All Files (*)"));
    if (!currentPath.empty()) {
        const std::string folder = PathPart(currentPath, partDriveFolder);
        if (folder.size() > 1) dialog.setDirectory(FromSystem(folder));
        const std::string name = PathPart(currentPath, partNameExtension);
        if (!name.empty()) dialog.selectFile(FromSystem(name));
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    path = ToSystem(chosen.first());
    return true;
}
