#pragma once
#include <string>
#include <vector>

#include "platform/private_profile.h"
#include "vocabulary/words.h"

// The message vocabulary: 57 words, translatable through the settings file, and the message
// under construction. Constructing one registers it as the process-wide active vocabulary;
// destroying it restores the one registered before.
class CMessageTexts {
public:
    CMessageTexts();
    ~CMessageTexts();
    CMessageTexts(const CMessageTexts&) = delete;
    CMessageTexts& operator=(const CMessageTexts&) = delete;

    void ResetWords();
    // Translates the words from a section of the settings file.
    void LoadWords(const CProfile& settings, const std::string& section);

    // Word n, 0..55 (the caller checks the range).
    const std::string& WordText(int n) const { return m_words[n]; }
    std::vector<std::string>& Pieces() { return m_pieces; }

    static const char* BuiltInWord(int n);
    // The settings key that translates word n: "msg." and its built-in text, or a key of its own
    // where that text holds a "=", which no key can.
    static std::string WordKey(int n);

private:
    struct Unregistered {};
    explicit CMessageTexts(Unregistered);
    friend CMessageTexts& ActiveVocabulary();

    CMessageTexts* m_previous = nullptr;
    bool m_registered = false;
    std::vector<std::string> m_pieces;
    std::string m_words[kWordCount];
};

// The vocabulary in use. Without a registered one, a vocabulary of the built-in words serves.
CMessageTexts& ActiveVocabulary();
