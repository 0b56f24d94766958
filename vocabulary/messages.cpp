#include "vocabulary/messages.h"

#include "vocabulary/message_texts.h"
#include "platform/file_exception.h"

namespace {
const std::string& WordOrFallback(int n) {
    static const std::string fallback = "Error.";
    if (n < 0 || n >= kWordCount) return fallback;
    return ActiveVocabulary().WordText(n);
}
}

std::string SeparatorText(int separator) {
    switch (separator) {
    case sepLine: return "\r\n";
    case sepPeriod: return ".";
    case sepSpace: return " ";
    default: return std::string();
    }
}

std::string Word(int n, int separator) { return SeparatorText(separator) + WordOrFallback(n); }

std::string WordThenSpace(int n) { return WordOrFallback(n) + " "; }

std::string SpaceWord(int n) { return Word(n, sepSpace); }

std::string ComposeWords(int a, const std::string& item, int b, int separator, bool lead) {
    const std::string s = SeparatorText(separator);
    std::string result = lead ? s + WordOrFallback(a) : WordOrFallback(a);
    if (!item.empty()) result += s + item;
    return result + s + WordOrFallback(b);
}

std::string WordPair(int a, int b) { return ComposeWords(a, std::string(), b, sepSpace, false); }

std::string WordItemWord(int a, const std::string& item, int b) { return ComposeWords(a, item, b, sepSpace, false); }

std::string SpaceWordPair(int a, int b) { return ComposeWords(a, std::string(), b, sepSpace, true); }

void BeginMessage(const std::string& text) {
    ActiveVocabulary().Pieces().clear();
    AddText(text, sepNone);
}

void AddText(const std::string& text, int separator) {
    ActiveVocabulary().Pieces().push_back(SeparatorText(separator) + text);
}

void AddWord(int n, int separator) { AddText(WordOrFallback(n), separator); }

void AddLine(const std::string& text) { AddText(text, sepLine); }

void AddSpaced(const std::string& text) { AddText(text, sepSpace); }

std::string JoinedMessage() {
    std::string joined;
    for (const std::string& piece : ActiveVocabulary().Pieces()) joined += piece;
    return joined;
}

std::string ExceptionText(const std::exception* exception) {
    if (!exception) return WordPair(wSystem, wError);
    std::string text = exception->what() ? exception->what() : "";
    if (text.size() > 1023) text.resize(1023);
    return text.empty() ? WordPair(wSystem, wError) : text;
}

std::string FileExceptionText(const CFileException* exception) {
    if (!exception) return WordPair(wSystem, wError);
    return std::to_string(exception->Cause()) + " " + ExceptionText(exception);
}
