#include "engine/line_format.h"

#include <bit>

#include "definition/target_info.h"
#include "support/quoted_cells.h"
#include "support/value_conversions.h"

namespace {

constexpr std::uint32_t kPowersOf10[] = {1,      10,      100,      1000,      10000,
                                          100000, 1000000, 10000000, 100000000, 1000000000};
constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                               "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                               "8081828384858687888990919293949596979899";
// The longest number cell: a minus sign and ten digits.
constexpr std::size_t kMaxNumberLength = 11;

// The digits of a value, written two at a time from the end; returns the end.
char* PutUnsigned(char* out, std::uint32_t value) {
    // The bit length gives the number of digits, or one less.
    const int estimate = (32 - std::countl_zero(value | 1)) * 1233 >> 12;
    const int length = estimate + (value >= kPowersOf10[estimate]) + (value == 0);
    char* const end = out + length;
    char* at = end;
    while (value >= 100) {
        const std::uint32_t pair = value % 100;
        value /= 100;
        at -= 2;
        std::memcpy(at, kDigitPairs + 2 * pair, 2);
    }
    if (value >= 10) std::memcpy(out, kDigitPairs + 2 * value, 2);
    else *out = static_cast<char>('0' + value);
    return end;
}

char* PutSigned(char* out, std::int32_t value) {
    if (value >= 0) return PutUnsigned(out, static_cast<std::uint32_t>(value));
    *out = '-';
    return PutUnsigned(out + 1, 0u - static_cast<std::uint32_t>(value));
}

std::int32_t SignedValue(std::uint32_t value, std::uint32_t length) {
    switch (length) {
    case 1: return static_cast<std::int8_t>(value);
    case 2: return static_cast<std::int16_t>(value);
    case 3: return value < 0x800000u ? static_cast<std::int32_t>(value) : static_cast<std::int32_t>(value) - 0x1000000;
    default: return static_cast<std::int32_t>(value);
    }
}

// The bytes of a text item up to the first zero; "R" swaps each pair of bytes, and the last
// byte of an odd length is not part of the text. Returns the end.
char* PutText(char* out, const std::uint8_t* bytes, std::uint32_t length, bool normal) {
    const char* chars = reinterpret_cast<const char*>(bytes);
    if (normal) {
        const void* zero = std::memchr(chars, 0, length);
        const std::size_t count = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - chars) : length;
        std::memcpy(out, chars, count);
        return out + count;
    }
    for (std::uint32_t k = 0; k + 1 < length; k += 2) {
        if (chars[k + 1] == 0) break;
        *out++ = chars[k + 1];
        if (chars[k] == 0) break;
        *out++ = chars[k];
    }
    return out;
}

} // namespace

std::uint32_t ReadValue(const std::uint8_t* bytes, std::uint32_t length, bool normal) {
    const std::uint32_t b0 = bytes[0];
    if (length == 1) return normal ? ReverseBits(bytes[0]) : b0;
    const std::uint32_t b1 = bytes[1];
    if (length == 2) return normal ? b0 << 8 | b1 : b1 << 8 | b0;
    const std::uint32_t b2 = bytes[2];
    if (length == 3) return normal ? b0 << 16 | b1 << 8 | b2 : b2 << 16 | b1 << 8 | b0;
    const std::uint32_t b3 = bytes[3];
    return normal ? b0 << 24 | b1 << 16 | b2 << 8 | b3 : b3 << 24 | b2 << 16 | b1 << 8 | b0;
}

std::size_t TextEnd(const std::uint8_t* bytes, std::uint32_t length, bool normal) {
    std::string chars(length, '\0');
    const auto count = static_cast<std::size_t>(PutText(chars.data(), bytes, length, normal) - chars.data());
    // "R" reads pairs: an odd count stopped at the zero that shares the last pair.
    return normal || count % 2 == 0 ? count : count + 1;
}

CLineFormat::CLineFormat(const CTargetInfo& target)
    : m_codes(target.m_numberCodes), m_delimiter(target.m_fileInfo.m_textDelimiter),
      m_quoting(target.m_fileInfo.m_textQuoting), m_codec(target.m_fileInfo.m_textCodec) {
    for (std::size_t index = 0; index < m_codes.TableCount(); ++index) {
        const auto& meanings = m_codes.Table(static_cast<int>(index))->m_meanings;
        if (m_codec) m_textCodes.emplace_back(*m_codes.Table(static_cast<int>(index)));
        CMeaningList& list = m_meaningLists.emplace_back();
        std::size_t longest = 0;
        for (const auto& entry : meanings) longest = std::max(longest, entry.second.size());
        m_longestMeanings.push_back(longest);
        if (meanings.empty()) continue;
        const std::int64_t lowest = meanings.begin()->first;
        const auto span = static_cast<std::uint64_t>(meanings.rbegin()->first - lowest) + 1;
        if (span > 4 * meanings.size() + 256) continue;
        list.lowest = lowest;
        list.meanings.assign(span, nullptr);
        for (const auto& [code, meaning] : meanings) list.meanings[static_cast<std::size_t>(code - lowest)] = &meaning;
    }

    const auto recordSize = static_cast<std::uint32_t>(target.m_fileInfo.m_recordSize);
    std::uint32_t p = 0;
    std::size_t cells = 0;
    for (const CRecordItem& item : target.m_recordDefinition.m_items) {
        if (p >= recordSize) break;
        const auto length = static_cast<std::uint32_t>(item.m_length);
        // An item reaching past the record would read beyond it.
        if (item.m_length < 1 || length > recordSize - p) return;
        CStep step {p, length, stepText, item.m_readDirection == readNormal, 0, 1, &item};
        p += length;
        if (item.m_itemCount == 0) continue;

        const int type = item.m_conversionType;
        std::size_t longest = 0;
        if (type == convText) {
            if (m_codec) step.kind = stepEncodedText;
            else if (item.m_numberCodes[0] >= 0) step.kind = stepReplacedText;
            else longest = length;
        } else {
            if (length > kMaxNumericItemLength) return;
            if (type == convSigned || type == convUnsigned) {
                step.kind = type == convSigned ? stepSigned : stepUnsigned;
                longest = LongestCell(item.m_numberCodes[0]);
            } else {
                if (type < 1 || static_cast<std::uint32_t>(type) > 8 * length - 1) return;
                step.kind = stepBitFields;
                step.bits = static_cast<std::uint32_t>(type);
                step.fields = static_cast<std::uint32_t>(item.m_itemCount);
                for (std::uint32_t k = 0; k < step.fields; ++k)
                    longest += LongestCell(k < kNumberCodeSlots ? item.m_numberCodes[k] : -1);
            }
        }
        cells += step.fields;
        m_longestLine += longest + step.fields * m_delimiter.size();
        m_steps.push_back(step);
    }
    m_usable = cells > 0;
}

std::size_t CLineFormat::LongestCell(int slot) const {
    if (slot < 0 || static_cast<std::size_t>(slot) >= m_longestMeanings.size()) return kMaxNumberLength;
    return std::max(kMaxNumberLength, m_longestMeanings[static_cast<std::size_t>(slot)]);
}

const std::string* CLineFormat::FindMeaning(int slot, std::int32_t code) const {
    const CMeaningList& list = m_meaningLists[static_cast<std::size_t>(slot)];
    if (list.meanings.empty()) return m_codes.FindMeaning(slot, code);
    const auto at = static_cast<std::uint64_t>(code - list.lowest);
    return at < list.meanings.size() ? list.meanings[at] : nullptr;
}

// A number cell: the meaning of the code when its column has a table, else the number; a code
// missing from the table shows as a signed number, and a slot naming no table as nothing.
inline char* CLineFormat::PutNumber(char* out, int slot, std::uint32_t value, bool isSigned) const {
    if (slot < 0) return isSigned ? PutSigned(out, static_cast<std::int32_t>(value)) : PutUnsigned(out, value);
    if (static_cast<std::size_t>(slot) >= m_meaningLists.size()) return out;
    const std::string* meaning = FindMeaning(slot, static_cast<std::int32_t>(value));
    if (!meaning) return PutSigned(out, static_cast<std::int32_t>(value));
    std::memcpy(out, meaning->data(), meaning->size());
    return out + meaning->size();
}

// Out of line, so that the code of the plain cells stays as compact as without encodings.
[[gnu::noinline]] void CLineFormat::PutEncodedText(const CStep& step, const std::uint8_t* bytes, CLine& line,
                                                   std::string& scratch) const {
    std::string_view text;
    if (step.normal) {
        const void* zero = std::memchr(bytes, 0, step.length);
        text = std::string_view(reinterpret_cast<const char*>(bytes),
                                zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes)
                                     : step.length);
    } else {
        scratch.resize(step.length);
        text = std::string_view(scratch.data(),
                                static_cast<std::size_t>(PutText(scratch.data(), bytes, step.length, false) -
                                                         scratch.data()));
    }
    const int slot = step.item->m_numberCodes[0];
    const bool coded = slot >= 0 && static_cast<std::size_t>(slot) < m_textCodes.size();
    DecodeText(*m_codec, coded ? &m_textCodes[static_cast<std::size_t>(slot)] : nullptr, *step.item, text, line);
}

void CLineFormat::Format(const std::uint8_t* record, CLine& line, std::string& scratch) const {
    line.Truncate(0);
    Append(record, line, scratch);
}

void CLineFormat::Append(const std::uint8_t* record, CLine& line, std::string& scratch) const {
    if (m_quoting) FormatLine<false, true>(record, line, scratch, nullptr);
    else FormatLine<false, false>(record, line, scratch, nullptr);
}

void CLineFormat::FormatMarked(const std::uint8_t* record, CLine& line, std::string& scratch,
                               std::vector<std::size_t>& cellStarts) const {
    cellStarts.clear();
    line.Truncate(0);
    FormatLine<true, false>(record, line, scratch, &cellStarts);
}

// The cell from start to end in quotes when it needs them, built apart as a replaced text is;
// returns the new end, with room for the rest of the line after it.
char* CLineFormat::QuoteIfNeeded(CLine& line, std::size_t start, char* end, std::string& scratch) const {
    const std::string_view cell(line.Data() + start, static_cast<std::size_t>(end - (line.Data() + start)));
    if (!CellNeedsQuotes(cell, m_delimiter)) return end;
    QuoteCell(cell, scratch);
    line.Truncate(start);
    line.Append(scratch);
    return line.Reserve(m_longestLine);
}

template <bool kMark, bool kQuote>
void CLineFormat::FormatLine(const std::uint8_t* record, CLine& line, std::string& scratch,
                             std::vector<std::size_t>* cellStarts) const {
    char* out = line.Reserve(m_longestLine);
    bool first = true;
    std::size_t cellStart = 0;
    const auto startCell = [&] {
        if (first) {
            first = false;
        } else {
            if constexpr (kQuote) out = QuoteIfNeeded(line, cellStart, out, scratch);
            if (m_delimiter.size() == 1) {
                *out++ = m_delimiter[0];
            } else {
                std::memcpy(out, m_delimiter.data(), m_delimiter.size());
                out += m_delimiter.size();
            }
        }
        if constexpr (kMark) cellStarts->push_back(static_cast<std::size_t>(out - line.Data()));
        if constexpr (kQuote) cellStart = static_cast<std::size_t>(out - line.Data());
    };
    for (const CStep& step : m_steps) {
        const std::uint8_t* bytes = record + step.offset;
        const int slot = step.item->m_numberCodes[0];
        switch (step.kind) {
        case stepText:
            startCell();
            out = PutText(out, bytes, step.length, step.normal);
            break;
        case stepReplacedText: {
            startCell();
            scratch.resize(step.length);
            scratch.resize(static_cast<std::size_t>(PutText(scratch.data(), bytes, step.length, step.normal) -
                                                    scratch.data()));
            m_codes.ReplaceCodes(0, slot, scratch);
            // The replaced text is not part of the longest line: room for the rest follows it.
            line.Commit(out);
            line.Append(scratch);
            out = line.Reserve(m_longestLine);
            break;
        }
        case stepEncodedText:
            startCell();
            line.Commit(out);
            PutEncodedText(step, bytes, line, scratch);
            out = line.Reserve(m_longestLine);
            break;
        case stepUnsigned:
            startCell();
            out = PutNumber(out, slot, ReadValue(bytes, step.length, step.normal), false);
            break;
        case stepSigned: {
            startCell();
            const std::int32_t value = SignedValue(ReadValue(bytes, step.length, step.normal), step.length);
            out = PutNumber(out, slot, static_cast<std::uint32_t>(value), true);
            break;
        }
        case stepBitFields: {
            std::uint32_t value = ReadValue(bytes, step.length, step.normal);
            const std::uint32_t mask = (std::uint32_t {1} << step.bits) - 1;
            for (std::uint32_t k = 0; k < step.fields; ++k) {
                startCell();
                const int fieldSlot = k < kNumberCodeSlots ? step.item->m_numberCodes[k] : -1;
                out = PutNumber(out, fieldSlot, value & mask, false);
                value >>= step.bits;
            }
            break;
        }
        }
    }
    if constexpr (kQuote) {
        if (!first) out = QuoteIfNeeded(line, cellStart, out, scratch);
    }
    line.Commit(out);
}
