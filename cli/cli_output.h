#pragma once
#include <cstdio>
#include <string>

// Prints a text of the program with its CR LF line breaks as the terminal's line ends, and a
// line end after it.
void PrintText(std::FILE* stream, const std::string& text);
