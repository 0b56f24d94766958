#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Cells in double quotes, as spreadsheets write them (TextQuoting=1): a quoted cell keeps the
// delimiter, line breaks, comment marks and blanks at its edges, and doubles its quotes.

// Whether a cell needs quotes to read back as itself: it holds the delimiter, a quote, CR, LF or
// a comment mark, or has a blank at either end.
bool CellNeedsQuotes(std::string_view cell, std::string_view delimiter);
// The cell in quotes, its quotes doubled.
void QuoteCell(std::string_view cell, std::string& quoted);

// Splits one record of a text with quoted cells: a line, and the lines after it while a quoted
// cell goes on. Blanks outside the quotes are trimmed; a quoted field, numbers too, loses its
// quotes and its "" become ", in place in the text, so that every field is a view into it. A
// comment mark outside the quotes ends the record's data, and a record whose first field begins
// with one is a comment, quoted or not.
class CQuotedRecord {
public:
    enum Outcome {
        complete,
        openQuote, // the text ends inside quotes: the record goes on in the next line
        strayText, // text after a closing quote
    };

    void Start();
    // Splits text[0, end) on from where the last call stopped. After openQuote, the caller
    // appends the next line (the end of the line before it stays as it was in the file) and
    // calls again with the new end; text from end on is never read.
    Outcome Split(std::string& text, std::size_t end, std::string_view delimiter);
    // Where the field this stopped in begins; after openQuote and strayText.
    std::size_t FieldStart() const { return m_fieldStart; }
    // The fields of a complete record, as views into its text; false for a comment, or when no
    // field is left.
    bool DataFields(const std::string& text, std::vector<std::string_view>& fields, bool skipEmptyFields) const;

private:
    std::vector<std::pair<std::size_t, std::size_t>> m_spans; // the fields so far: start, end
    std::size_t m_position = 0;
    std::size_t m_fieldStart = 0;
    std::size_t m_write = 0; // where the quoted field's next byte goes
    bool m_inQuotes = false;
    bool m_comment = false;
};
