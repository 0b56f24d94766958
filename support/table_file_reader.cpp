#include "support/table_file_reader.h"

#include <charconv>
#include <cstring>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "support/paths.h"
#include "support/text_codec.h"

namespace {
constexpr unsigned kReadMode = modeRead | shareDenyWrite | typeText;
constexpr std::string_view kLineNotePrefix = "At line ";

std::size_t FindDelimiter(std::string_view line, std::string_view delimiter, std::size_t start) {
    if (delimiter.size() != 1) return line.find(delimiter, start);
    // The usual one-byte delimiter: a plain byte search, not started on an empty rest (whose
    // data may be null).
    if (start >= line.size()) return std::string_view::npos;
    const void* found = std::memchr(line.data() + start, delimiter[0], line.size() - start);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - line.data()) : std::string_view::npos;
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
        const std::size_t found = delimiter.empty() ? std::string_view::npos : FindDelimiter(line, delimiter, start);
        const bool last = found == std::string_view::npos;
        const std::string_view field = TrimField(line.substr(start, last ? std::string_view::npos : found - start));
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
    std::string text;
    if (!ValidateFile(fullPath, kReadMode, text, false)) Fail(text + "\r\n" + fullPath);
    try {
        m_file.Open(fullPath, kReadMode);
    } catch (const CFileException& error) {
        Fail(Word(wCantOpenFile) + "\r\n" + FileExceptionText(&error));
    }
    m_open = 1;
}

bool CTableFileReader::ReadNext(bool skipEmptyFields) {
    // The views of the previous line die with it.
    m_fields.clear();
    for (;;) {
        SetLineNote();
        if (!m_file.ReadLine(m_line)) return false;
        if (++m_lineNumber == 1 && m_line.starts_with(kUtf8ByteOrderMark)) m_line.erase(0, kUtf8ByteOrderMark.size());
        if (m_fileCodec) DecodeLine();
        if (SplitDataLine(m_delimiter, m_line, m_fields, skipEmptyFields)) {
            ++m_count;
            return true;
        }
    }
}

void CTableFileReader::DecodeLine() {
    m_encodedLine.swap(m_line);
    m_line.clear();
    std::size_t failedAt = 0;
    CodecFault fault = CodecFault::none;
    if (!m_fileCodec->ReadAll(m_encodedLine, m_line, failedAt, fault))
        Fail(m_fileCodec->FaultText(fault, m_encodedLine, failedAt, failedAt));
}

// "At line %u." with the number of the line about to be read, written by hand: this runs once
// per line, and the note keeps its storage from line to line.
void CTableFileReader::SetLineNote() {
    char note[32];
    char* end = note + kLineNotePrefix.copy(note, kLineNotePrefix.size());
    end = std::to_chars(end, note + sizeof note - 1, std::uint64_t {m_lineNumber} + 1).ptr;
    *end++ = '.';
    m_lineNote.assign(note, end);
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

bool CTableFileReader::AbandonLoad() {
    Close();
    SetLineError(FailureText());
    return false;
}

std::string CTableFileReader::CountText() const { return m_ok == 1 ? std::to_string(m_count) : std::string(); }
