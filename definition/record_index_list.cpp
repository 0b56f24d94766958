#include "definition/record_index_list.h"

#include "vocabulary/failure.h"
#include "vocabulary/message_box.h"
#include "vocabulary/messages.h"
#include "support/value_conversions.h"

namespace {
constexpr std::int32_t kHighestRecord = 2147483647;
}

void CRecordIndexList::Reset() {
    // The reader's reset leaves the TAB delimiter these files use.
    CTableFileReader::Reset(Word(wBRecordIndexList));
    m_entries.clear();
    m_basePoint = 0;
}

bool CRecordIndexList::Load(const std::string& path) {
    try {
        Reset();
        if (!SetPath(path)) return false;
        Open();
        if (!ReadNext(true)) Fail(WordPair(wBasePointOfBRecordIndex, wNotSet));
        m_count = 0;
        if (!ParseSigned(m_fields[0], m_basePoint, parseRange, 0, 1)) Fail(WordPair(wBasePointOfBRecordIndex, wRange));
        while (ReadNext(true)) {
            for (const std::string_view field : m_fields) {
                std::int32_t record = 0;
                if (!ParseSigned(field, record, parseRange, m_basePoint, kHighestRecord)) Fail(Word(wRange));
                m_entries.push_back(static_cast<std::uint32_t>(record - m_basePoint));
            }
        }
        Close();
        m_count = static_cast<std::uint32_t>(m_entries.size());
        if (m_count == 0) Fail(WordPair(wSum, wCount0));
        m_ok = 1;
        return true;
    } catch (...) {
        return AbandonLoad();
    }
}

std::uint32_t CRecordIndexList::EntryAt(std::uint32_t i) const {
    if (i < m_entries.size()) return m_entries[i];
    ShowError(std::string());
    return kNoEntry;
}
