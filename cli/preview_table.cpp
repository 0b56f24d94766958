#include "cli/preview_table.h"

#include <algorithm>
#include <set>
#include <vector>

#include "support/value_conversions.h"
#include "app/preview_model.h"

namespace {

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
        (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
        (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
        (c >= 0x20000 && c <= 0x3FFFD);
}

bool IsCombining(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x3099 && c <= 0x309A) || (c >= 0xFE20 && c <= 0xFE2F);
}

// A cell as one line of a table: control characters shown as escapes.
std::string Printable(std::string_view cell) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : cell) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            text += c;
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\r') {
            text += "\\r";
        } else if (c == '\t') {
            text += "\\t";
        } else {
            text += "\\x";
            text += kDigits[byte >> 4];
            text += kDigits[byte & 15];
        }
    }
    return text;
}

void Pad(std::string& line, const std::string& text, std::size_t width, bool right) {
    const std::string blanks(width - std::min(width, DisplayWidth(text)), ' ');
    line += right ? blanks + text : text + blanks;
}

// The record's bytes in hexadecimal, cut into groups where an item of a column starts or ends,
// so that fillers stand apart too.
std::string GroupedHex(const CPreviewModel& model, const CPreviewRecord& record) {
    std::set<std::uint32_t> cuts {0, static_cast<std::uint32_t>(record.bytes.size())};
    for (const CPreviewColumn& column : model.Columns()) {
        cuts.insert(column.offset);
        cuts.insert(column.offset + column.length);
    }
    std::string text;
    for (auto cut = cuts.begin(); std::next(cut) != cuts.end() && *cut < record.bytes.size(); ++cut) {
        if (!text.empty()) text += " | ";
        const std::uint32_t end = std::min<std::uint32_t>(*std::next(cut), static_cast<std::uint32_t>(record.bytes.size()));
        text += HexText(record.bytes.data() + *cut, end - *cut);
    }
    return text;
}

std::uint32_t LastRow(CPreviewModel& model, std::uint32_t from, std::uint32_t count) {
    const std::uint32_t first = std::max<std::uint32_t>(from, 1) - 1;
    return first + std::min(count, model.RowCount() - std::min(first, model.RowCount()));
}

}

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        std::size_t k = 1;
        for (; k < length && i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        if (k < length) c = lead; // cut short: a byte of its own
        i += k;
        width += IsCombining(c) ? 0 : IsWide(c) ? 2 : 1;
    }
    return width;
}

std::string PreviewTable(CPreviewModel& model, std::uint32_t from, std::uint32_t count, bool hex) {
    const std::uint32_t first = std::max<std::uint32_t>(from, 1) - 1;
    const std::uint32_t last = LastRow(model, from, count);
    const std::vector<CPreviewColumn>& columns = model.Columns();
    // The cells as shown, and the widths they need.
    std::vector<std::string> cells {"#"};
    for (const CPreviewColumn& column : columns) cells.push_back(Printable(column.header));
    const std::size_t width = cells.size();
    for (std::uint32_t row = first; row < last; ++row) {
        const CPreviewRecord& record = model.Row(row);
        cells.push_back(model.RowTitle(row));
        for (std::size_t k = 0; k < columns.size(); ++k)
            cells.push_back(k < record.cells.size() ? Printable(record.cells[k]) + (record.marked[k] ? "*" : "")
                                                    : std::string());
    }
    std::vector<std::size_t> widths(width, 0);
    for (std::size_t i = 0; i < cells.size(); ++i) widths[i % width] = std::max(widths[i % width], DisplayWidth(cells[i]));

    std::string text;
    bool anyMarked = false;
    for (std::size_t start = 0; start < cells.size(); start += width) {
        const bool header = start == 0;
        const std::uint32_t row = first + static_cast<std::uint32_t>(start / width) - 1;
        const CPreviewRecord* record = header ? nullptr : &model.Row(row);
        std::string line;
        for (std::size_t k = 0; k < width; ++k) {
            if (k > 0) line += "  ";
            // Without a failure the last cell needs no blanks after it.
            if (k + 1 == width && (header || record->failure.empty())) line += cells[start + k];
            else Pad(line, cells[start + k], widths[k], k == 0);
        }
        if (record && !record->failure.empty()) line += Printable(record->failure);
        text += line + "\n";
        if (header) {
            std::string rule;
            for (std::size_t k = 0; k < width; ++k) rule += (k > 0 ? "  " : "") + std::string(widths[k], '-');
            text += rule + "\n";
        } else {
            anyMarked = anyMarked || std::find(record->marked.begin(), record->marked.end(), 1) != record->marked.end();
            if (hex && !record->bytes.empty())
                text += std::string(widths[0] + 2, ' ') + GroupedHex(model, *record) + "\n";
        }
    }
    text += std::to_string(last - std::min(first, last)) + " of " + std::to_string(model.RowCount()) + " records, " +
        std::to_string(model.RecordSize()) + " bytes each" +
        (anyMarked ? "; * marks cells whose bytes would not come back" : "") + "\n";
    return text;
}

std::string PreviewLines(CPreviewModel& model, std::uint32_t from, std::uint32_t count, bool hex,
                         std::string& failure) {
    const std::uint32_t first = std::max<std::uint32_t>(from, 1) - 1;
    const std::uint32_t last = LastRow(model, from, count);
    std::string text = model.HeaderLine() + "\r\n";
    failure.clear();
    for (std::uint32_t row = first; row < last; ++row) {
        const CPreviewRecord& record = model.Row(row);
        if (!record.failure.empty()) {
            failure = record.failure;
            break;
        }
        text += record.line + "\r\n";
        // A comment line: the text still reads back as the records.
        if (hex) text += "// " + GroupedHex(model, record) + "\r\n";
    }
    return text;
}
