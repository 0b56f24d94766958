#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "support/named_item.h"
#include "support/quoted_cells.h"

class CTextCodec;

// Reads a text table line by line: empty lines and "//" comments skipped, fields split at the
// delimiter and trimmed, every failure noted with "At line %u.". With quoting, a record may go
// on over several lines inside quotes.
class CTableFileReader : public CFileItem {
public:
    void Reset(const std::string& name);
    void Open();
    bool ReadNext(bool skipEmptyFields);
    void Close();
    void SetLineError(const std::string& text);
    // The end of a loader's failed load, called from its catch block: the file closed and the
    // caught failure noted with the line; false.
    bool AbandonLoad();
    std::string CountText() const;

    CFile m_file;
    std::string m_delimiter = "\t";
    bool m_quoting = false; // cells may stand in quotes (TextQuoting=1)
    std::uint32_t m_lineNumber = 0;
    std::uint32_t m_count = 0;
    std::string m_lineNote;
    std::string m_line;                     // the last line read; with quoting, the record, unquoted
    std::vector<std::string_view> m_fields; // fields of the last data line, pointing into m_line
    // The encoding the file's lines are converted from, when its owner declares one; kept by
    // resets, as the owner sets it for every file it reads.
    const CTextCodec* m_fileCodec = nullptr;
    // The lines are texts of the system's code page, whose double-byte characters a delimiter
    // never splits: the readers of the target's own files set it (a declared encoding makes
    // their lines UTF-8 instead); data text files are UTF-8.
    bool m_systemText = false;

private:
    bool ReadCountedLine(std::string& line, bool keepLineEnd);
    bool ReadNextQuoted(bool skipEmptyFields);
    void SetLineNote(std::uint64_t lineNumber);
    void DecodeLine(std::string& line);

    CQuotedRecord m_quoted;
    std::string m_nextLine; // a line that continues a quoted cell
    std::string m_encodedLine;
};

// A UTF-8 byte order mark, which a table's first line may begin with: spreadsheets and editors
// write one. It is no part of the line.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Where a comment starts in a line of a text table.
inline constexpr std::string_view kCommentMark = "//";

// Splits a line at every occurrence of the delimiter into trimmed fields (views into the line).
// A line of system text is searched character by character.
void SplitFields(std::string_view delimiter, std::string_view line, std::vector<std::string_view>& fields,
                 bool skipEmptyFields, bool systemText = false);
// The fields a line of a text table gives, as ReadNext takes it: cut at a comment mark and
// split. False for a line that gives no data: empty, a comment, or no fields left.
inline bool SplitDataLine(std::string_view delimiter, std::string_view line, std::vector<std::string_view>& fields,
                          bool skipEmptyFields, bool systemText = false) {
    fields.clear();
    if (line.empty()) return false;
    // No byte of "//" is ever the second byte of a double-byte character.
    const std::size_t comment = line.find(kCommentMark);
    if (comment == 0) return false;
    SplitFields(delimiter, line.substr(0, comment), fields, skipEmptyFields, systemText);
    return !fields.empty();
}

// The blanks that splitting trims from a field: blank, TAB, LF, VT, FF and CR.
inline bool IsFieldBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// What the splitting keeps of the text between two delimiters: blanks at both ends removed.
// Inline, as the splitting of every field uses it.
inline std::string_view TrimField(std::string_view field) {
    std::size_t begin = 0;
    std::size_t end = field.size();
    while (begin < end && IsFieldBlank(field[begin])) ++begin;
    while (end > begin && IsFieldBlank(field[end - 1])) --end;
    return field.substr(begin, end - begin);
}
