#include "ui/qt_text.h"

QString FromSystem(const std::string& text) { return QString::fromStdString(text); }

std::string ToSystem(const QString& text) { return text.toStdString(); }

QString DisplayText(const std::string& text) {
    QString shown = FromSystem(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}
