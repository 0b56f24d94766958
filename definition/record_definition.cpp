#include "definition/record_definition.h"

#include <cstdint>
#include <limits>
#include <string_view>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/number_code_set.h"
#include "platform/code_page.h"

namespace {

enum Field : std::size_t {
    fieldName,
    fieldLength,
    fieldDirection,
    fieldConversion,
    fieldItemCount,
    fieldHeaders,
    fieldNumberCodes,
    kRequiredFields = fieldNumberCodes,
};

// A subject word, a period and the fault: "Binary Item Length.Range".
std::string Fault(int subject, int fault) { return Word(subject) + Word(fault, sepPeriod); }

void RequireField(std::string_view field, int subject) {
    if (field.empty()) Fail(Fault(subject, wNotSet));
}

int ParseNumberField(std::string_view field, int subject, int low, int high) {
    RequireField(field, subject);
    std::int32_t value = 0;
    if (!ParseSigned(field, value, parseRange, low, high)) Fail(Fault(subject, wRange));
    return value;
}

int ParseDirection(std::string_view field) {
    RequireField(field, wBinaryReadDirection);
    if (field == "N") return readNormal;
    if (field == "R") return readReverse;
    Fail(Word(wBinaryReadDirection));
}

int ParseConversionType(std::string_view field, int length) {
    RequireField(field, wConversionType);
    if (field == "n") return convSigned;
    if (field == "u") return convUnsigned;
    if (field == "s") return convText;
    return ParseNumberField(field, wConversionType, 1, 8 * length - 1);
}

bool IsBitCount(int conversionType) {
    return conversionType != convText && conversionType != convSigned && conversionType != convUnsigned;
}

} // namespace

void CRecordDefinition::Reset() {
    CTableFileReader::Reset(Word(wRecordDef));
    m_systemText = true;
    m_delimiter = ",";
    m_items.clear();
    m_filler = 0;
    m_totalLength = 0;
    m_headerLine = "//";
    m_totalColumnCount = 0;
    m_textDelimiter = "\t";
}

bool CRecordDefinition::Load(const std::string& path, int recordSize, const std::string& textDelimiter,
                             CNumberCodeSet& numberCodes) {
    try {
        Reset();
        // A path that is not accepted leaves its own message, without a line note.
        if (!SetPath(path)) return false;
        m_textDelimiter = textDelimiter;
        Open();
        while (ReadNext(false)) m_totalLength += ParseItem(numberCodes);
        Close();
        if (m_totalColumnCount == 0) Fail(WordPair(wSum, wCount0));
        if (recordSize != m_totalLength) Fail(WordPair(wLength, wInconsistent));
        // Every header was followed by the text delimiter, the last one too.
        m_headerLine.resize(m_headerLine.size() - m_textDelimiter.size());
        return true;
    } catch (...) {
        return AbandonLoad();
    }
}

int CRecordDefinition::ParseItem(CNumberCodeSet& numberCodes) {
    if (m_fields.size() < kRequiredFields) Fail(Word(wItemNum));

    CRecordItem item;
    item.m_name = m_fields[fieldName];
    const int length = ParseNumberField(m_fields[fieldLength], wBinaryItemLength, 1, kMaxItemLength);
    item.m_length = length;
    item.m_readDirection = ParseDirection(m_fields[fieldDirection]);
    const int type = ParseConversionType(m_fields[fieldConversion], length);
    item.m_conversionType = type;
    const int count = ParseNumberField(m_fields[fieldItemCount], wItemNum, 0, 8 * length);
    item.m_itemCount = count;

    // Whole values yield one column, and numbers are converted from at most four bytes:
    // anything else would load and then never convert.
    if (!IsBitCount(type) && count > 1) Fail(Fault(wItemNum, wRange));
    if (type != convText && length > kMaxNumericItemLength && count != 0) Fail(Fault(wBinaryItemLength, wRange));

    if (!m_items.empty()) {
        const CRecordItem& previous = m_items.back();
        // No record size reaches beyond an int; the totals must not wrap around.
        if (previous.m_offset > std::numeric_limits<int>::max() - previous.m_length - length)
            Fail(WordPair(wLength, wInconsistent));
        item.m_offset = previous.m_offset + previous.m_length;
    }

    if (count == 0) {
        m_filler = 1;
        m_items.push_back(std::move(item));
        return length;
    }

    if (IsBitCount(type) &&
        !BitFieldsFit(static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(type),
                      static_cast<std::uint32_t>(count)))
        Fail(Fault(wItemNum, wInconsistent));

    const std::string_view headerField = m_fields[fieldHeaders];
    if (headerField.empty() && m_filler == 0) Fail(Fault(wTextColumnHeader, wNotSet));
    std::vector<std::string_view> headers;
    SplitFields(" ", headerField, headers, false);
    if (headers.size() != static_cast<std::size_t>(count))
        Fail(WordItemWord(wTextColumnHeader, Word(wItemNum), wInconsistent));

    // Piece i of the seventh field belongs to column i, and an item has only so many slots.
    std::vector<std::string_view> codeFiles;
    if (m_fields.size() > fieldNumberCodes && !m_fields[fieldNumberCodes].empty())
        SplitFields("*", m_fields[fieldNumberCodes], codeFiles, false);
    if (codeFiles.size() > static_cast<std::size_t>(kNumberCodeSlots)) Fail(Fault(wNumCodeMean, wRange));

    m_totalColumnCount += count;
    item.m_headers.reserve(headers.size());
    for (const std::string_view header : headers) {
        item.m_headers.emplace_back(header);
        m_headerLine += header;
        m_headerLine += m_textDelimiter;
    }
    // A table that fails to load stays recorded in the set and is reported by the target.
    for (std::size_t slot = 0; slot < codeFiles.size(); ++slot) {
        if (codeFiles[slot].empty()) continue;
        // A file name decoded from the declared encoding becomes the system's text.
        std::string path;
        std::size_t failedAt = 0;
        if (!m_fileCodec) path = codeFiles[slot];
        else if (!Utf8ToSystemText(codeFiles[slot], path, failedAt)) Fail(Fault(wNumCodeMean, wRange));
        numberCodes.LoadTable(path, static_cast<std::uint32_t>(length), type, item.m_numberCodes[slot]);
    }

    m_items.push_back(std::move(item));
    return length;
}

bool CRecordDefinition::HasIndexItem() const {
    if (m_ok != 1 || m_items.empty()) return false;
    const CRecordItem& first = m_items.front();
    return first.m_conversionType == convUnsigned && first.m_itemCount == 1 && first.m_readDirection == readReverse;
}
