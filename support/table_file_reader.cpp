#include "support/table_file_reader.h"

#include <charconv>
#include <cstring>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "platform/system.h"
#include "support/paths.h"
#include "support/text_codec.h"

namespace {
constexpr unsigned kReadMode = modeRead | shareDenyWrite | typeText;
constexpr std::string_view kLineNotePrefix = "At line ";

std::size_t FindDelimiter(std::string_view line, std::string_view delimiter, std::size_t start, bool systemText) {
    if (systemText) {
        for (std::size_t at = start; at < line.size(); at = NextCharacter(line, at))
            if (line.substr(at, delimiter.size()) == delimiter) return at;
        return std::string_view::npos;
    }
    if (delimiter.size() != 1) return line.find(delimiter, start);
    // The usual one-byte delimiter: a plain byte search, not started on an empty rest (whose
    // data may be null).
    if (start >= line.size()) return std::string_view::npos;
    const void* found = std::memchr(line.data() + start, delimiter[0], line.size() - start);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - line.data()) : std::string_view::npos;
}

// The length of a line read with its end, without it: the LF and a CR before it, which text mode
// takes for one line end.
std::size_t LengthWithoutEnd(const std::string& line) {
    std::size_t length = line.size();
    if (length > 0 && line[length - 1] == '\n') {
        --length;
        if (length > 0 && line[length - 1] == '\r') --length;
    }
    return length;
}
}

// In UTF-8 a byte search for an ASCII delimiter, a multi-byte delimiter or "//" never matches
// inside a character; in a double-byte code page it could, so system texts are walked.
void SplitFields(std::string_view delimiter, std::string_view line, std::vector<std::string_view>& fields,
                 bool skipEmptyFields, bool systemText) {
    fields.clear();
    std::size_t start = 0;
    for (;;) {
        // An empty delimiter would match everywhere without advancing: the line is one field.
        const std::size_t found = delimiter.empty() ? std::string_view::npos : FindDelimiter(line, delimiter, start, systemText);
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
    m_quoting = false;
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

// The next line, counted and decoded; the byte order mark at the very start of the file is no
// part of it.
inline bool CTableFileReader::ReadCountedLine(std::string& line, bool keepLineEnd) {
    if (!m_file.ReadLine(line, keepLineEnd)) return false;
    if (++m_lineNumber == 1 && line.starts_with(kUtf8ByteOrderMark)) line.erase(0, kUtf8ByteOrderMark.size());
    if (m_fileCodec) DecodeLine(line);
    return true;
}

bool CTableFileReader::ReadNext(bool skipEmptyFields) {
    // The views of the previous line die with it.
    m_fields.clear();
    if (m_quoting) return ReadNextQuoted(skipEmptyFields);
    for (;;) {
        SetLineNote(std::uint64_t {m_lineNumber} + 1);
        if (!ReadCountedLine(m_line, false)) return false;
        if (SplitDataLine(m_delimiter, m_line, m_fields, skipEmptyFields, m_systemText && !m_fileCodec)) {
            ++m_count;
            return true;
        }
    }
}

// The lines of a record are read with their ends as they stand in the file, so that the line
// breaks of a quoted cell come back as they were.
bool CTableFileReader::ReadNextQuoted(bool skipEmptyFields) {
    for (;;) {
        SetLineNote(std::uint64_t {m_lineNumber} + 1);
        if (!ReadCountedLine(m_line, true)) return false;
        std::size_t end = LengthWithoutEnd(m_line);
        if (end == 0) continue;
        m_quoted.Start();
        std::size_t lineStart = 0;
        std::uint32_t fieldLine = m_lineNumber;
        for (;;) {
            const CQuotedRecord::Outcome outcome = m_quoted.Split(m_line, end, m_delimiter);
            if (outcome == CQuotedRecord::complete) break;
            // A fault is noted at the line where its field began.
            if (m_quoted.FieldStart() >= lineStart) fieldLine = m_lineNumber;
            if (outcome == CQuotedRecord::strayText || !ReadCountedLine(m_nextLine, true)) {
                SetLineNote(fieldLine);
                Fail("TextQuoting" + Word(wInconsistent, sepPeriod));
            }
            lineStart = m_line.size();
            m_line += m_nextLine;
            end = LengthWithoutEnd(m_line);
        }
        if (m_quoted.DataFields(m_line, m_fields, skipEmptyFields)) {
            ++m_count;
            return true;
        }
    }
}

void CTableFileReader::DecodeLine(std::string& line) {
    m_encodedLine.swap(line);
    line.clear();
    std::size_t failedAt = 0;
    CodecFault fault = CodecFault::none;
    if (!m_fileCodec->ReadAll(m_encodedLine, line, failedAt, fault))
        Fail(m_fileCodec->FaultText(fault, m_encodedLine, failedAt, failedAt));
}

// "At line %u." written by hand: this runs once per line, and the note keeps its storage from
// line to line.
void CTableFileReader::SetLineNote(std::uint64_t lineNumber) {
    char note[32];
    char* end = note + kLineNotePrefix.copy(note, kLineNotePrefix.size());
    end = std::to_chars(end, note + sizeof note - 1, lineNumber).ptr;
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
