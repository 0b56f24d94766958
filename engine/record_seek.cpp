#include "engine/record_seek.h"

#include <cstdint>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "platform/file.h"

bool UsesIndexList(const CTargetInfo& target) {
    return target.m_indexList.m_ok == 1 && target.m_indexList.EntryCount() > 0;
}

bool UsesCodeTables(const CTargetInfo& target) { return target.m_codeTables.m_ok == 1; }

void SeekRecord(CTargetInfo& target, CFile& file, std::uint32_t recordIndex) {
    const CFileInfoSection& info = target.m_fileInfo;
    const auto recordSize = static_cast<std::uint64_t>(info.m_recordSize);
    // Computed in 64 bits: a record number times the record size may pass 32 bits.
    const std::uint64_t position = static_cast<std::uint64_t>(info.m_startPosition) + recordIndex * recordSize;
    const std::uint64_t lastStart = info.m_dataEnd >= recordSize ? info.m_dataEnd - recordSize : 0;
    if (position > lastStart || info.m_dataEnd < recordSize) Fail(Word(wCantSeekFilePosition));
    if (file.Seek(static_cast<std::int64_t>(position), CFile::begin) != position) Fail(Word(wCantSeekFilePosition));
}

void SeekIndexEntry(CTargetInfo& target, CFile& file, std::uint32_t& cursor) {
    const std::uint32_t entry = target.m_indexList.EntryAt(cursor);
    // An entry read as a negative number is the list's "no such entry".
    if (entry > 2147483647u) Fail(Word(wCantSeekFilePosition));
    SeekRecord(target, file, entry);
    ++cursor;
}
