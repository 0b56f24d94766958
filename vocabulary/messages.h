#pragma once
#include <exception>
#include <string>

#include "vocabulary/words.h"

class CFileException;

// Word operations: each returns a new text composed from the active vocabulary. An index
// outside 0..55 yields "Error." in the word's place.
std::string Word(int n, int separator = sepNone);
std::string WordThenSpace(int n);
std::string SpaceWord(int n);
std::string ComposeWords(int a, const std::string& item, int b, int separator, bool lead);
std::string WordPair(int a, int b);
std::string WordItemWord(int a, const std::string& item, int b);
std::string SpaceWordPair(int a, int b);
std::string SeparatorText(int separator);

// The message under construction, shared by the whole program.
void BeginMessage(const std::string& text);
void AddText(const std::string& text, int separator);
void AddWord(int n, int separator);
void AddLine(const std::string& text);
void AddSpaced(const std::string& text);
std::string JoinedMessage();

// Texts of caught exceptions; a null exception gives System Error.
std::string ExceptionText(const std::exception* exception);
std::string FileExceptionText(const CFileException* exception);
