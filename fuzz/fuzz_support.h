#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What every fuzz target shares. The first call of any of these sets the process up once: the
// built-in vocabulary registered, a message box that answers every box at once (a question with
// No), and a fresh folder, under /dev/shm where there is one, made the program's folder, so that
// the relative paths an input names resolve inside it. The folder is removed at exit.

// The folder, ending with '/'.
const std::string& FuzzFolder();
// Writes a file of the folder whole and returns its full path.
std::string WriteFuzzFile(const std::string& name, std::string_view contents);
// A file of the folder, or "" when it is missing.
std::string ReadFuzzFile(const std::string& name);
void RemoveFuzzFile(const std::string& name);
// Message boxes shown since the process started.
std::size_t BoxesShown();

// Several files from one input: the parts between the separator lines, at most maxParts (the
// last keeps any further separators). A separator is a line of five '#'.
std::vector<std::string_view> SplitInput(const std::uint8_t* data, std::size_t size, std::size_t maxParts);

// Stops the process with the property's description when it does not hold, so that the fuzzer
// records the input and a replay fails.
void Require(bool holds, const char* property);
