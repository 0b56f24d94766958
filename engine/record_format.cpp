#include "engine/record_format.h"

#include <algorithm>
#include <cstring>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/text_codec.h"
#include "support/value_conversions.h"

namespace {

int SlotOf(const CRecordItem& item, std::uint32_t column) {
    return column < static_cast<std::uint32_t>(kNumberCodeSlots) ? item.m_numberCodes[column] : -1;
}

bool IsBitCount(int conversionType) {
    return conversionType != convText && conversionType != convSigned && conversionType != convUnsigned;
}

// The bytes a text item holds: "R" holds no character in the last byte of an odd length.
std::size_t TextRoom(const CRecordItem& item) {
    const auto length = static_cast<std::size_t>(item.m_length);
    return item.m_readDirection == readNormal ? length : length & ~std::size_t {1};
}

// Puts the first n bytes of a text into the item, whose bytes are zero.
void PutText(const CRecordItem& item, std::uint8_t* bytes, std::string_view field, std::size_t n) {
    const auto length = static_cast<std::size_t>(item.m_length);
    if (item.m_readDirection == readNormal) {
        std::memcpy(bytes, field.data(), n);
        return;
    }
    // "R" swaps each pair of bytes. An odd last character pairs with the zero after it, so that
    // it reads back; only the last byte of an odd length has no partner and is never read.
    for (std::size_t k = 0; k < n && k + 1 < length; k += 2) {
        bytes[k + 1] = static_cast<std::uint8_t>(field[k]);
        if (k + 1 < n) bytes[k] = static_cast<std::uint8_t>(field[k + 1]);
    }
}

void StoreText(const CNumberCodeSet& codes, const CRecordItem& item, std::uint8_t* bytes, std::string_view field,
               std::string& scratch) {
    const auto length = static_cast<std::size_t>(item.m_length);
    std::memset(bytes, 0, length);
    if (field.empty()) return;
    const int slot = item.m_numberCodes[0];
    if (slot >= 0) {
        scratch.assign(field);
        if (!codes.ReplaceCodes(1, slot, scratch)) Fail(Word(wCodeReplacement));
        field = scratch;
    }
    PutText(item, bytes, field, std::min(length, field.size()));
}

// The low bytes of a value: "N" puts the most significant first (and reverses the bits of a
// single byte), "R" the least significant.
void StoreValue(std::uint8_t* bytes, std::uint32_t length, bool normal, std::uint32_t value) {
    if (length == 1) {
        const auto byte = static_cast<std::uint8_t>(value);
        bytes[0] = normal ? ReverseBits(byte) : byte;
        return;
    }
    if (normal) {
        for (std::uint32_t i = length; i-- > 0; value >>= 8) bytes[i] = static_cast<std::uint8_t>(value);
    } else {
        for (std::uint32_t i = 0; i < length; ++i, value >>= 8) bytes[i] = static_cast<std::uint8_t>(value);
    }
}

} // namespace

CRecordFormat::CRecordFormat(const CTargetInfo& target, std::uint32_t recordSize)
    : m_codes(target.m_numberCodes),
      m_columnCount(static_cast<std::size_t>(target.m_recordDefinition.m_totalColumnCount)),
      m_codec(target.m_fileInfo.m_textCodec) {
    for (std::size_t index = 0; index < m_codes.TableCount(); ++index) {
        if (m_codec) m_textCodes.emplace_back(*m_codes.Table(static_cast<int>(index)));
        auto& codes = m_codesByMeaning.emplace_back();
        for (const auto& [code, meaning] : m_codes.Table(static_cast<int>(index))->m_meanings)
            codes.emplace(meaning, code);
    }

    std::uint32_t p = 0;
    std::uint32_t column = 0;
    for (const CRecordItem& item : target.m_recordDefinition.m_items) {
        if (p >= recordSize) break;
        const auto length = static_cast<std::uint32_t>(item.m_length);
        CStep step {p, length, stepNumber, item.m_readDirection == readNormal, true, 0, &item};
        // An item reaching past the record would write beyond it.
        if (item.m_length < 1 || length > recordSize - p) {
            step.kind = stepFailure;
            step.failure = wConvert;
            m_steps.push_back(step);
            return;
        }
        p += length;
        if (item.m_itemCount == 0) {
            m_fillers.push_back({step.offset, length});
            continue;
        }
        const int type = item.m_conversionType;
        if (type == convText) {
            step.kind = m_codec ? stepEncodedText : stepText;
            m_textColumns.push_back({&item, column});
        } else if (length > kMaxNumericItemLength) {
            step.kind = stepFailure;
            step.failure = wSystem;
        } else if (type == convUnsigned && length == 4) {
            step.kind = stepWholeUnsigned;
        } else if (IsBitCount(type) && item.m_itemCount >= 2) {
            step.fieldsFit = BitFieldsFit(length, static_cast<std::uint32_t>(type),
                                          static_cast<std::uint32_t>(item.m_itemCount));
        }
        m_steps.push_back(step);
        column += static_cast<std::uint32_t>(item.m_itemCount);
    }
    m_walksToSize = p == recordSize;
}

void CRecordFormat::CopyFillers(std::uint8_t* record, const std::uint8_t* from) const {
    for (const CFiller& filler : m_fillers) std::memcpy(record + filler.offset, from + filler.offset, filler.length);
}

void CRecordFormat::FindCuts(const std::vector<std::string_view>& fields, std::string& scratch,
                             std::vector<CCutCell>& cuts) const {
    for (const CTextColumn& text : m_textColumns) {
        const CRecordItem& item = *text.item;
        std::string_view field = fields[text.column];
        if (m_codec) {
            const std::size_t kept = EncodeCell(item, field, scratch);
            if (scratch.size() > kept) cuts.push_back({&item, scratch.size(), kept});
            continue;
        }
        if (item.m_numberCodes[0] >= 0) {
            scratch.assign(field);
            m_codes.ReplaceCodes(1, item.m_numberCodes[0], scratch);
            field = scratch;
        }
        const std::size_t room = TextRoom(item);
        if (field.size() > room) cuts.push_back({&item, field.size(), room});
    }
}

std::size_t CRecordFormat::EncodeCell(const CRecordItem& item, std::string_view field, std::string& scratch) const {
    const int slot = item.m_numberCodes[0];
    const bool coded = slot >= 0 && static_cast<std::size_t>(slot) < m_textCodes.size();
    EncodeText(*m_codec, coded ? &m_textCodes[static_cast<std::size_t>(slot)] : nullptr, item, field, scratch);
    // Never inside a character of two or more bytes.
    return m_codec->Encoding().BoundaryBefore(reinterpret_cast<const std::uint8_t*>(scratch.data()), scratch.size(),
                                              TextRoom(item));
}

bool CRecordFormat::FindCode(int slot, std::string_view meaning, std::int32_t& code) const {
    if (slot < 0 || static_cast<std::size_t>(slot) >= m_codesByMeaning.size()) return false;
    const auto& codes = m_codesByMeaning[static_cast<std::size_t>(slot)];
    const auto found = codes.find(meaning);
    if (found == codes.end()) return false;
    code = found->second;
    return true;
}

std::int32_t CRecordFormat::ParseField(std::string_view field, int slot, std::uint32_t length,
                                       int conversionType) const {
    std::int32_t value = 0;
    if (!FindCode(slot, field, value) && !ParseSigned(field, value, parseAny, 0, 0)) Fail(Word(wCodeReplacement));
    if (!CheckItemValue(value, length, conversionType)) Fail(Word(wRange));
    return value;
}

void CRecordFormat::Build(std::uint8_t* record, const std::vector<std::string_view>& fields,
                          std::string& scratch) const {
    if (fields.size() != m_columnCount) Fail(Word(wItemNum));
    std::size_t next = 0;
    const auto takeField = [&]() -> std::string_view {
        if (next >= fields.size()) Fail(Word(wItemNum));
        return fields[next++];
    };

    for (const CStep& step : m_steps) {
        const CRecordItem& item = *step.item;
        std::uint8_t* bytes = record + step.offset;
        if (step.kind == stepFailure) Fail(Word(step.failure));
        const std::string_view field = takeField();
        const int slot = item.m_numberCodes[0];
        std::uint32_t value = 0;
        switch (step.kind) {
        case stepText:
            StoreText(m_codes, item, bytes, field, scratch);
            continue;
        case stepEncodedText: {
            const std::size_t kept = EncodeCell(item, field, scratch);
            std::memset(bytes, 0, step.length);
            PutText(item, bytes, scratch, kept);
            continue;
        }
        case stepWholeUnsigned: {
            // Every value of 32 bits, and -1 for all bits set.
            std::int32_t code = 0;
            if (FindCode(slot, field, code)) value = static_cast<std::uint32_t>(code);
            else if (!ParseUnsigned(field, value, false, 0, 0)) Fail(Word(wRange));
            break;
        }
        default: {
            const int type = item.m_conversionType;
            value = static_cast<std::uint32_t>(ParseField(field, slot, step.length, type));
            if (!IsBitCount(type) || item.m_itemCount < 2) break;
            const auto bits = static_cast<std::uint32_t>(type);
            const auto count = static_cast<std::uint32_t>(item.m_itemCount);
            if (!step.fieldsFit) Fail(Word(wItemNum));
            // Field k lands above the k fields before it; bits beyond 32 are lost.
            for (std::uint32_t k = 1; k < count; ++k) {
                const std::int32_t code = ParseField(takeField(), SlotOf(item, k), step.length, type);
                if (bits * k < 32) value += static_cast<std::uint32_t>(code) << (bits * k);
            }
            break;
        }
        }
        StoreValue(bytes, step.length, step.normal, value);
    }
    if (!m_walksToSize) Fail(Word(wConvert));
}
