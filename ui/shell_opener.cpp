#include "ui/shell_opener.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

#include "ui/qt_text.h"

namespace {
// True when a section of the file gives one of the types a non-empty list of programs.
bool ListsProgram(const QString& path, const QStringList& sections, const QStringList& mimeTypes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    QTextStream in(&file);
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = sections.contains(line);
            continue;
        }
        if (!inSection) continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) continue;
        QString programs = line.mid(equals + 1);
        if (mimeTypes.contains(line.left(equals).trimmed()) && !programs.remove(QLatin1Char(';')).trimmed().isEmpty())
            return true;
    }
    return false;
}
}

bool HasAssociatedProgram(const QStringList& mimeTypes) {
    const QStringList listSections {QStringLiteral("[Default Applications]"), QStringLiteral("[Added Associations]")};
    const QStringList cacheSections {QStringLiteral("[MIME Cache]")};
    QStringList listFolders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    const QStringList dataFolders = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString& folder : dataFolders) listFolders << folder + QStringLiteral("/applications");
    for (const QString& folder : listFolders)
        if (ListsProgram(folder + QStringLiteral("/mimeapps.list"), listSections, mimeTypes)) return true;
    for (const QString& folder : dataFolders)
        if (ListsProgram(folder + QStringLiteral("/applications/mimeinfo.cache"), cacheSections, mimeTypes))
            return true;
    return false;
}

ShellOpenResult CDesktopShellOpener::Open(const std::string& path) {
    const QString file = FromSystem(path);
    const QFileInfo info(file);
    if (!info.exists()) return ShellOpenResult::failed;
    if (!info.isReadable()) return ShellOpenResult::accessDenied;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    QStringList types {type.name()};
    types << type.aliases() << type.allAncestors();
    if (!HasAssociatedProgram(types)) return ShellOpenResult::noAssociation;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? ShellOpenResult::opened
                                                                                   : ShellOpenResult::failed;
}
