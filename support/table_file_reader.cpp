#include "support/table_file_reader.h"

#include <cstdio>

#include "app/failure.h"
#include "app/messages.h"
#include "support/paths.h"

namespace {
constexpr unsigned kReadMode = modeRead | shareDenyWrite | typeText;
constexpr std::string_view kComment = "//";
constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}
}

// Texts are UTF-8, so a byte search for an ASCII delimiter, a multi-byte delimiter or "//"
// never matches inside a character.
void SplitFields(std::string_view delimiter, std::string_view line, std::vector<std::string_view>& fields,
                 bool skipEmptyFields) {
    fields.clear();
    std::size_t start = 0;
    for (;;) {
        // An empty delimiter would match everywhere without advancing: the line is one field.
        const std::size_t found = delimiter.empty() ? std::string_view::npos : line.find(delimiter, start);
        const bool last = found == std::string_view::npos;
        const std::string_view field = Trim(line.substr(start, last ? std::string_view::npos : found - start));
        if (!skipEmptyFields || !field.empty()) fields.push_back(field);
        if (last) return;
        start = found + delimiter.size();
    }
}

void CTableFileReader::Reset(const std::string& name) {
    Close();
    CFileItem::Reset(name);
    m_delimiter = "\t";
    m_lineNumber = 0;
    m_count = 0;
    m_lineNote.clear();
    m_fields.clear();
    m_line.clear();
}

void CTableFileReader::Open() {
    const std::string fullPath = FullPath();
    try {
        std::string text;
        if (!ValidateFile(fullPath, kReadMode, text, false)) Fail(text);
        try {
            m_file.Open(fullPath, kReadMode);
        } catch (...) {
            Fail(Word(wCantOpenFile));
        }
    } catch (const CFailure& failure) {
        Fail(failure.Text() + "\r\n" + fullPath);
    } catch (...) {
        Fail(Word(wCantOpenFile) + "\r\n" + fullPath);
    }
    m_open = 1;
}

bool CTableFileReader::ReadNext(bool skipEmptyFields) {
    // The views of the previous line die with it.
    m_fields.clear();
    for (;;) {
        // Formatted in place: this runs once per line and must not allocate.
        char note[32];
        const int length = std::snprintf(note, sizeof note, "At line %llu.",
                                         static_cast<unsigned long long>(m_lineNumber) + 1);
        m_lineNote.assign(note, static_cast<std::size_t>(length));

        if (!m_file.ReadLine(m_line)) return false;
        ++m_lineNumber;
        if (m_line.empty()) continue;

        const std::size_t comment = m_line.find(kComment);
        if (comment == 0) continue;
        if (comment != std::string::npos) m_line.resize(comment);

        SplitFields(m_delimiter, m_line, m_fields, skipEmptyFields);
        if (!m_fields.empty()) {
            ++m_count;
            return true;
        }
    }
}

void CTableFileReader::Close() {
    // Only read, so nothing can be lost by ignoring a failure of the close.
    m_file.Abort();
    m_open = 0;
}

void CTableFileReader::SetLineError(const std::string& text) {
    m_ok = 0;
    const std::string cause = text.empty() ? m_message : text;
    m_message = m_lineNote + " " + cause;
}

std::string CTableFileReader::CountText() const { return m_ok == 1 ? std::to_string(m_count) : std::string(); }
