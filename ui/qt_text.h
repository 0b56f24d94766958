#pragma once
#include <QString>
#include <string>

// The program's texts are byte strings in the system's code page, UTF-8 here.
QString FromSystem(const std::string& text);
std::string ToSystem(const QString& text);
// A text as a window shows it: CR LF line breaks become plain line breaks.
QString DisplayText(const std::string& text);
