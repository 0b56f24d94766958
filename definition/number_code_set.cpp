#include "definition/number_code_set.h"

#include <utility>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "support/text_codec.h"
#include "support/value_conversions.h"

namespace {

// Replaces every occurrence of what, left to right and without rescanning replaced text. The
// result is built apart, so that a long text with many occurrences takes linear time; the two
// buffers are swapped, and both keep their storage for the next text.
void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
    if (what.empty()) return;
    std::size_t at = text.find(what);
    if (at == std::string::npos) return;
    thread_local std::string replaced;
    replaced.clear();
    std::size_t from = 0;
    for (; at != std::string::npos; at = text.find(what, from)) {
        replaced.append(text, from, at - from);
        replaced.append(with);
        from = at + what.size();
    }
    replaced.append(text, from, std::string::npos);
    text.swap(replaced);
}

} // namespace

std::size_t CodeBytes(std::int32_t code, char (&bytes)[4]) {
    std::size_t count = 4;
    if (code >= -128 && code <= 127) count = 1;
    else if (code >= 128 && code <= 65535) count = 2;
    else if (code >= 65536 && code <= 16777215) count = 3;
    const auto value = static_cast<std::uint32_t>(code);
    std::size_t length = 0;
    for (std::size_t i = count; i-- > 0;) {
        const auto byte = static_cast<char>((value >> (8 * i)) & 0xFF);
        if (byte == 0) break;
        bytes[length++] = byte;
    }
    return length;
}

void CNumberCodeSet::Reset() {
    // The reader's reset leaves the TAB delimiter these files use.
    CTableFileReader::Reset(Word(wNumCodeMean));
    m_systemText = true;
    m_files.clear();
    m_tables.clear();
}

bool CNumberCodeSet::LoadTable(const std::string& path, std::uint32_t itemLength, int conversionType, int& slot) {
    if (m_ok == 1 || m_message.empty()) return LoadFile(path, itemLength, conversionType, slot);
    // An earlier failure stays reported until the next reset, so the target keeps refusing to
    // convert with a table missing.
    std::string earlier = std::move(m_message);
    const bool loaded = LoadFile(path, itemLength, conversionType, slot);
    m_ok = 0;
    m_message = std::move(earlier);
    return loaded;
}

bool CNumberCodeSet::LoadFile(const std::string& path, std::uint32_t itemLength, int conversionType, int& slot) {
    // Line numbers count within each file.
    m_lineNumber = 0;
    m_count = 0;
    m_lineNote.clear();
    try {
        if (!SetPath(path)) return false;
        const std::string fullPath = FullPath();
        if (const auto known = m_files.find(fullPath); known != m_files.end()) {
            slot = known->second;
            return UsableFor(*m_tables[static_cast<std::size_t>(slot)], conversionType);
        }

        Open();
        auto table = std::make_unique<CNumberCodeTable>();
        while (ReadNext(false)) {
            if (m_fields.size() < 2) Fail(Word(wItemNum));
            std::int32_t code = 0;
            if (!ParseSigned(m_fields[0], code, parseAny, 0, 0)) Fail(Word(wRange));
            if (!CheckItemValue(code, itemLength, conversionType)) Fail(Word(wRange));
            if (m_fields[1].empty()) Fail(Word(wNotSet));
            // The first meaning of a code wins.
            if (table->m_meanings.try_emplace(code, m_fields[1]).second) NoteInexpressible(*table, m_fields[1]);
        }
        Close();
        if (table->m_meanings.empty()) Fail(WordPair(wSum, wCount0));
        if (!UsableFor(*table, conversionType)) return false;

        const int index = static_cast<int>(m_files.size());
        m_tables.reserve(m_tables.size() + 1);
        m_files.emplace(fullPath, index);
        m_tables.push_back(std::move(table));
        slot = index;
        m_ok = 1;
        return true;
    } catch (...) {
        return AbandonLoad();
    }
}

bool CNumberCodeSet::UsableFor(const CNumberCodeTable& table, int conversionType) {
    if (conversionType != convText || table.m_inexpressible.empty()) return true;
    m_message = table.m_inexpressible;
    m_ok = 0;
    return false;
}

void CNumberCodeSet::NoteInexpressible(CNumberCodeTable& table, std::string_view meaning) const {
    if (!m_textCodec || !table.m_inexpressible.empty()) return;
    std::string bytes;
    std::size_t failedAt = 0;
    CodecFault fault = CodecFault::none;
    if (!m_textCodec->EncodeAll(meaning, bytes, failedAt, fault))
        table.m_inexpressible = m_lineNote + " " + m_textCodec->FaultText(fault, meaning, failedAt, failedAt);
}

const CNumberCodeTable* CNumberCodeSet::Table(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_tables.size()) return nullptr;
    return m_tables[static_cast<std::size_t>(index)].get();
}

const std::string* CNumberCodeSet::FindMeaning(int index, std::int32_t code) const {
    const CNumberCodeTable* table = Table(index);
    if (!table) return nullptr;
    const auto found = table->m_meanings.find(code);
    return found == table->m_meanings.end() ? nullptr : &found->second;
}

bool CNumberCodeSet::CodeToMeaning(int index, std::int32_t code, std::string& text) const {
    text.clear();
    if (!Table(index)) return false;
    if (const std::string* meaning = FindMeaning(index, code)) {
        text = *meaning;
        return true;
    }
    text = std::to_string(code);
    return false;
}

bool CNumberCodeSet::MeaningToCode(int index, std::string_view text, std::int32_t& code) const {
    const CNumberCodeTable* table = Table(index);
    if (!table) return false;
    for (const auto& [entryCode, meaning] : table->m_meanings) {
        if (meaning == text) {
            code = entryCode;
            return true;
        }
    }
    code = 0;
    return false;
}

void CNumberCodeSet::ParseCode(std::int32_t& code, std::string_view text, int index, std::uint32_t itemLength,
                               int conversionType) const {
    std::int32_t value = 0;
    const bool meant = index >= 0 && MeaningToCode(index, text, value);
    if (!meant && !ParseSigned(text, value, parseAny, 0, 0)) Fail(Word(wCodeReplacement));
    if (!CheckItemValue(value, itemLength, conversionType)) Fail(Word(wRange));
    code = value;
}

bool CNumberCodeSet::ReplaceCodes(int direction, int index, std::string& text) const {
    const CNumberCodeTable* table = Table(index);
    if (!table) return false;
    for (const auto& [code, meaning] : table->m_meanings) {
        char bytes[4];
        const std::string_view codeBytes(bytes, CodeBytes(code, bytes));
        if (codeBytes.empty()) {
            // Code 0 stands for nothing: its meaning is dropped on the way back.
            if (code == 0 && direction == 1) ReplaceAll(text, meaning, {});
            continue;
        }
        if (direction == 0) ReplaceAll(text, codeBytes, meaning);
        else ReplaceAll(text, meaning, codeBytes);
    }
    return true;
}
