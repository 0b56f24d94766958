#include "support/quoted_cells.h"

#include <cstring>

#include "support/table_file_reader.h"

namespace {

constexpr char kQuote = '"';
constexpr std::size_t npos = std::string_view::npos;

bool StartsAt(std::string_view text, std::size_t at, std::string_view part) {
    return text.substr(at).starts_with(part);
}

// An empty delimiter never stands anywhere: the whole line is one field.
bool DelimiterAt(std::string_view text, std::size_t at, std::string_view delimiter) {
    return !delimiter.empty() && StartsAt(text, at, delimiter);
}

// Past the blanks from at on, stopping at a delimiter that begins with a blank (a TAB).
std::size_t SkipBlanks(std::string_view text, std::size_t at, std::string_view delimiter) {
    while (at < text.size() && IsFieldBlank(text[at]) && !DelimiterAt(text, at, delimiter)) ++at;
    return at;
}

} // namespace

bool CellNeedsQuotes(std::string_view cell, std::string_view delimiter) {
    if (cell.empty()) return false;
    if (IsFieldBlank(cell.front()) || IsFieldBlank(cell.back())) return true;
    if (!delimiter.empty() && cell.find(delimiter) != npos) return true;
    return cell.find_first_of("\"\r\n") != npos || cell.find(kCommentMark) != npos;
}

void QuoteCell(std::string_view cell, std::string& quoted) {
    quoted.assign(1, kQuote);
    for (std::size_t at = 0;;) {
        const std::size_t quote = cell.find(kQuote, at);
        if (quote == npos) {
            quoted.append(cell.substr(at));
            break;
        }
        quoted.append(cell.substr(at, quote + 1 - at));
        quoted += kQuote;
        at = quote + 1;
    }
    quoted += kQuote;
}

void CQuotedRecord::Start() {
    m_spans.clear();
    m_position = m_fieldStart = m_write = 0;
    m_inQuotes = m_comment = false;
}

CQuotedRecord::Outcome CQuotedRecord::Split(std::string& text, std::size_t end, std::string_view delimiter) {
    char* const data = text.data();
    const std::string_view view(data, end);
    std::size_t at = m_position;
    for (;;) {
        if (m_inQuotes) {
            // The content moves to the field's start as its quotes go: it never overtakes the scan.
            for (;;) {
                const std::size_t quote = view.find(kQuote, at);
                const std::size_t stop = quote == npos ? end : quote;
                std::memmove(data + m_write, data + at, stop - at);
                m_write += stop - at;
                if (quote == npos) {
                    m_position = end;
                    return openQuote;
                }
                // A quote last in the line closes: "" never spans a line end.
                if (quote + 1 < end && data[quote + 1] == kQuote) {
                    data[m_write++] = kQuote;
                    at = quote + 2;
                    continue;
                }
                at = quote + 1;
                break;
            }
            m_inQuotes = false;
            m_spans.emplace_back(m_fieldStart, m_write);
            if (m_spans.size() == 1 && view.substr(m_fieldStart, m_write - m_fieldStart).starts_with(kCommentMark)) {
                m_comment = true;
                return complete;
            }
            at = SkipBlanks(view, at, delimiter);
            if (at == end || StartsAt(view, at, kCommentMark)) return complete;
            if (!DelimiterAt(view, at, delimiter)) return strayText;
            at += delimiter.size();
        }

        at = SkipBlanks(view, at, delimiter);
        if (at < end && data[at] == kQuote) {
            m_inQuotes = true;
            m_fieldStart = m_write = at++;
            continue;
        }
        // Unquoted: up to the delimiter or a comment mark, as without quoting.
        const std::size_t next = delimiter.empty() ? npos : view.find(delimiter, at);
        const std::string_view field = view.substr(at, next == npos ? npos : next - at);
        const std::size_t comment = field.find(kCommentMark);
        if (comment == 0 && m_spans.empty()) {
            m_comment = true;
            return complete;
        }
        const std::string_view kept = TrimField(field.substr(0, comment));
        const auto start = static_cast<std::size_t>(kept.data() - data);
        m_spans.emplace_back(start, start + kept.size());
        if (comment != npos || next == npos) return complete;
        at = next + delimiter.size();
    }
}

bool CQuotedRecord::DataFields(const std::string& text, std::vector<std::string_view>& fields,
                               bool skipEmptyFields) const {
    fields.clear();
    if (m_comment) return false;
    for (const auto& [start, end] : m_spans)
        if (!skipEmptyFields || end > start) fields.emplace_back(text.data() + start, end - start);
    return !fields.empty();
}
