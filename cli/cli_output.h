#pragma once
#include <cstdio>
#include <string>

// Prints a text of the program with its CR LF line breaks as the terminal's line ends, and a
// line end after it; false when the stream would not take it (a full disk, say).
bool PrintText(std::FILE* stream, const std::string& text);
