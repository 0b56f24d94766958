#include "vocabulary/message_texts.h"

namespace {
const char* const kBuiltInWords[kWordCount] = {
    "Decrypt", "Encrypt", "Both", "Length", "Byte", "Record", "File", "FileInfo", "Record Def",
    "BRecordIndexList", "NumCodeMean", "ManageCrypt", "Binary Item Length", "Binary Read Direction",
    "Text Column Header", "Convert", "Put", "FilePath", "Item Num", "Reverse", "Range", "Sum",
    "Conversion Type", "CodeReplacement", "BasePointOfBRecordIndex", "Yes", "No", "Loaded", "Stop ?",
    "Canceled", "End", "Do you Delete it ?", "Do you Update it ?", "Target File Already Exist.", "Error",
    "System", "Can't open file", "Can't read file", "Can't write file", "Can't seek file position",
    "It's not a file", "Can not use", "Max.length over", "Memory short", "Not set", "Inconsistent",
    "Count 0", "Code (1 Byte) Repeated", "Error_NoAssociation", "Error_AssociationIncomplete",
    "Error_AccessDenied", "Check Binary => Text => Binary", "Check Text => Binary",
    "Not a character", "Not kept", "Not expressible", "Preview",
};

CMessageTexts* g_active = nullptr;
}

CMessageTexts::CMessageTexts() : m_previous(g_active), m_registered(true) {
    m_pieces.reserve(10);
    g_active = this;
}

CMessageTexts::CMessageTexts(Unregistered) { ResetWords(); }

CMessageTexts::~CMessageTexts() {
    if (!m_registered) return;
    // Unlinked from the chain of registrations wherever it stands, so none is left dangling.
    if (g_active == this) {
        g_active = m_previous;
        return;
    }
    for (CMessageTexts* later = g_active; later; later = later->m_previous)
        if (later->m_previous == this) {
            later->m_previous = m_previous;
            return;
        }
}

const char* CMessageTexts::BuiltInWord(int n) { return kBuiltInWords[n]; }

std::string CMessageTexts::WordKey(int n) {
    switch (n) {
    case wCheckBinaryToTextToBinary: return "msg.CheckBinary2Text2Binary";
    case wCheckTextToBinary: return "msg.CheckText2Binary";
    case wNotACharacter: return "msg.NotACharacter";
    case wNotKept: return "msg.NotKept";
    case wNotExpressible: return "msg.NotExpressible";
    default: return std::string("msg.") + kBuiltInWords[n];
    }
}

void CMessageTexts::ResetWords() {
    m_pieces.clear();
    for (int n = 0; n < kWordCount; ++n) m_words[n] = kBuiltInWords[n];
}

void CMessageTexts::LoadWords(const CProfile& settings, const std::string& section) {
    ResetWords();
    for (int n = 0; n < kWordCount; ++n) {
        const std::string value = settings.GetString(section, WordKey(n));
        if (!value.empty()) m_words[n] = value;
    }
}

CMessageTexts& ActiveVocabulary() {
    if (g_active) return *g_active;
    static CMessageTexts builtIn {CMessageTexts::Unregistered {}};
    return builtIn;
}
