#include "engine/round_trip.h"

#include <cstring>

#include "vocabulary/failure.h"
#include "definition/target_info.h"
#include "support/table_file_reader.h"
#include "support/value_conversions.h"
#include "engine/check_report.h"
#include "engine/record_seek.h"
#include "platform/file.h"

namespace {

// Why bytes do not come back, one bit each, in the order the report names them.
constexpr unsigned reasonTextAfterEnd = 1u << 0;
constexpr unsigned reasonBitsOutside = 1u << 1;
constexpr unsigned reasonSharedMeaning = 1u << 2;
constexpr unsigned reasonDelimiterOrBreak = 1u << 3;
constexpr unsigned reasonEndByte = 1u << 4;
constexpr unsigned reasonCommentMark = 1u << 5;
constexpr unsigned reasonBlanks = 1u << 6;
constexpr unsigned reasonOddLastByte = 1u << 7;
constexpr unsigned reasonEncoding = 1u << 8;
constexpr const char* kReasonTexts[] = {
    "text after its end",
    "bits outside the fields",
    "shared meaning",
    "delimiter or line break in a cell",
    "end-of-text byte 1A in a cell",
    "comment mark // in a cell",
    "blanks at the edge of a cell",
    "odd last byte",
    "encoding",
};

// Why a cell would not read back as itself when the reader splits its line: the first of the
// causes it meets. A quoted cell keeps all but the end byte; only a first cell that begins with a
// comment mark still makes its line a comment.
unsigned CellFault(std::string_view cell, std::string_view delimiter, bool quoting, bool first) {
    if (quoting) {
        if (cell.find(CFile::kTextEndByte) != std::string_view::npos) return reasonEndByte;
        return first && cell.starts_with(kCommentMark) ? reasonCommentMark : 0u;
    }
    if (cell.find('\n') != std::string_view::npos ||
        (!delimiter.empty() && cell.find(delimiter) != std::string_view::npos))
        return reasonDelimiterOrBreak;
    if (cell.find(CFile::kTextEndByte) != std::string_view::npos) return reasonEndByte;
    if (cell.find(kCommentMark) != std::string_view::npos) return reasonCommentMark;
    if (TrimField(cell).size() != cell.size()) return reasonBlanks;
    return 0;
}

// Whether a text written as a line of a text file reads back as that one line: a text-mode
// file splits lines at LF, where no quotes hold them together, and ends at its end byte.
bool ReadsBackAsOneLine(std::string_view line, bool quoting) {
    return (quoting || line.find('\n') == std::string_view::npos) &&
           line.find(CFile::kTextEndByte) == std::string_view::npos;
}

std::string ReasonText(unsigned reasons) {
    std::string text;
    for (std::size_t bit = 0; bit < std::size(kReasonTexts); ++bit) {
        if (!(reasons & (1u << bit))) continue;
        if (!text.empty()) text += ", ";
        text += kReasonTexts[bit];
    }
    return text;
}

// Why the bytes of an item that reads back from its cells changed, by its kind: the record
// before and after the round trip, both decrypted.
unsigned KindReasons(const CRecordItem& item, const std::uint8_t* before, const std::uint8_t* after) {
    const std::uint8_t* was = before + item.m_offset;
    const std::uint8_t* is = after + item.m_offset;
    const auto length = static_cast<std::uint32_t>(item.m_length);
    const bool normal = item.m_readDirection == readNormal;
    const int type = item.m_conversionType;
    unsigned reasons = 0;
    if (type == convText) {
        std::size_t end = length;
        if (!normal && length % 2 == 1) {
            end = length - 1;
            if (was[end] != is[end]) reasons |= reasonOddLastByte;
        }
        const std::size_t textEnd = TextEnd(was, length, normal);
        if (std::memcmp(was + textEnd, is + textEnd, end - textEnd) != 0) reasons |= reasonTextAfterEnd;
        // A text whose codes were replaced by meanings comes back with the codes of the meanings.
        if (item.m_numberCodes[0] >= 0 && std::memcmp(was, is, textEnd) != 0) reasons |= reasonSharedMeaning;
        return reasons;
    }
    if (type == convSigned || type == convUnsigned) return item.m_numberCodes[0] >= 0 ? reasonSharedMeaning : 0u;

    const std::uint32_t changed = ReadValue(was, length, normal) ^ ReadValue(is, length, normal);
    const auto used = static_cast<std::uint32_t>(type) * static_cast<std::uint32_t>(item.m_itemCount);
    if (used < 32 && (changed >> used) != 0) reasons |= reasonBitsOutside;
    const std::uint32_t inFields = used < 32 ? changed & ((std::uint32_t {1} << used) - 1) : changed;
    bool coded = false;
    for (int k = 0; k < item.m_itemCount && k < kNumberCodeSlots; ++k) coded = coded || item.m_numberCodes[k] >= 0;
    if (inFields != 0 && coded) reasons |= reasonSharedMeaning;
    return reasons;
}

} // namespace

CRoundTrip::CRoundTrip(CTargetInfo& target)
    : m_target(target), m_lineFormat(target), m_recordSize(static_cast<std::size_t>(target.m_fileInfo.m_recordSize)),
      m_recordFormat(target, static_cast<std::uint32_t>(m_recordSize)), m_encrypt(UsesCodeTables(target)),
      m_copy(std::make_unique_for_overwrite<std::uint8_t[]>(m_recordSize)),
      m_copyStored(m_encrypt ? std::make_unique_for_overwrite<std::uint8_t[]>(m_recordSize) : nullptr) {}

bool CRoundTrip::SplitQuoted(std::string_view line) {
    m_unquoted.assign(line);
    m_quoted.Start();
    return m_quoted.Split(m_unquoted, m_unquoted.size(), m_lineFormat.Delimiter()) == CQuotedRecord::complete;
}

bool CRoundTrip::ComesBack(const std::uint8_t* stored, const std::uint8_t* record) {
    try {
        m_lineFormat.Format(record, m_line, m_scratch);
    } catch (...) {
        // Text in the declared encoding that is no character or would not come back.
        m_outcome = notText;
        m_failure = FailureText();
        return false;
    }
    const std::string_view line(m_line.Data(), m_line.Size());
    if (!ReadsBackAsOneLine(line, m_lineFormat.Quoting()) || (m_lineFormat.Quoting() && !SplitQuoted(line))) {
        m_outcome = notOneLine;
        return false;
    }
    if (m_lineFormat.Quoting() ? !m_quoted.DataFields(m_unquoted, m_fields, false)
                               : !SplitDataLine(m_lineFormat.Delimiter(), line, m_fields, false)) {
        m_outcome = notData;
        return false;
    }
    // Built over the record's own bytes, as the real write builds it over the existing record.
    std::memcpy(m_copy.get(), record, m_recordSize);
    try {
        m_recordFormat.Build(m_copy.get(), m_fields, m_scratch);
    } catch (...) {
        m_outcome = failed;
        m_failure = FailureText();
        return false;
    }
    m_outcome = changed;
    const std::uint8_t* back = m_copy.get();
    if (m_encrypt) {
        m_target.m_codeTables.Transform(m_copyStored.get(), 1, m_recordSize, m_copy.get());
        back = m_copyStored.get();
    }
    return std::memcmp(back, stored, m_recordSize) == 0;
}

void CRoundTrip::FindItemChanges(const std::uint8_t* stored, const std::uint8_t* record) {
    m_changes.clear();
    // The cells again, now with their places in the line, to tell which would not read back.
    m_lineFormat.FormatMarked(record, m_line, m_scratch, m_cellStarts);
    const std::string_view line(m_line.Data(), m_line.Size());
    const std::string& delimiter = m_lineFormat.Delimiter();
    const std::uint8_t* back = Back();
    const std::vector<CRecordItem>& items = m_target.m_recordDefinition.m_items;
    std::size_t cell = 0;
    for (std::size_t index = 0; index < items.size(); ++index) {
        const CRecordItem& item = items[index];
        unsigned reasons = 0;
        for (int k = 0; k < item.m_itemCount; ++k, ++cell) {
            const std::size_t start = m_cellStarts[cell];
            const std::size_t end =
                cell + 1 < m_cellStarts.size() ? m_cellStarts[cell + 1] - delimiter.size() : line.size();
            if (reasons == 0)
                reasons = CellFault(line.substr(start, end - start), delimiter, m_lineFormat.Quoting(), cell == 0);
        }
        auto first = static_cast<std::size_t>(item.m_offset);
        std::size_t last = first + static_cast<std::size_t>(item.m_length) - 1;
        if (back) {
            while (first <= last && back[first] == stored[first]) ++first;
            if (first > last) continue;
            while (back[last] == stored[last]) --last;
            if (reasons == 0) reasons = KindReasons(item, record, m_copy.get());
        } else if (reasons == 0) {
            continue;
        }
        m_changes.push_back({index, first, last, reasons});
    }
}

const std::uint8_t* CRoundTrip::Back() const {
    if (m_outcome != changed) return nullptr;
    return m_encrypt ? m_copyStored.get() : m_copy.get();
}

void CRoundTrip::MarkItems(const std::uint8_t* stored, const std::uint8_t* record, std::vector<char>& marked) {
    marked.assign(m_target.m_recordDefinition.m_items.size(), 0);
    if (ComesBack(stored, record) || m_outcome == notText) return;
    FindItemChanges(stored, record);
    for (const CItemChange& change : m_changes) marked[change.item] = 1;
}

void CRoundTrip::Report(const std::string& note, const std::uint8_t* stored, const std::uint8_t* record,
                        CCheckReport& report) {
    // Binary => Text itself fails such a record, with the text that names its item and bytes.
    if (m_outcome == notText) {
        report.AddFailure(note + " " + m_failure + " (" + ReasonText(reasonEncoding) + ").");
        return;
    }
    FindItemChanges(stored, record);
    const std::uint8_t* back = Back();
    std::string text = note;
    bool firstItem = true;
    for (const CItemChange& change : m_changes) {
        const CRecordItem& item = m_target.m_recordDefinition.m_items[change.item];
        const std::size_t first = change.first, last = change.last;
        text += firstItem ? " " : "; ";
        firstItem = false;
        text += item.m_name + (first == last ? ", byte " + std::to_string(first)
                                             : ", bytes " + std::to_string(first) + "-" + std::to_string(last));
        text += ": " + HexText(stored + first, last - first + 1);
        if (back) text += " => " + HexText(back + first, last - first + 1);
        if (change.reasons != 0) text += " (" + ReasonText(change.reasons) + ")";
    }
    if (!firstItem) text += ".";

    switch (m_outcome) {
    case changed: report.AddChange(std::move(text)); return;
    case notText: break;
    case notOneLine: text += " Would not read back as one line."; break;
    case notData: text += " Would be skipped as an empty line or a comment."; break;
    case failed: text += " Would fail: " + m_failure; break;
    }
    report.AddFailure(std::move(text));
}
