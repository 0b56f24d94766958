#include "engine/binary_records.h"

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "engine/record_seek.h"
#include "platform/file_exception.h"

namespace {
constexpr unsigned kBinaryReadMode = modeRead | shareDenyWrite | typeBinary;
}

void CBinaryRecords::Open() {
    const CFileInfoSection& info = m_target.m_fileInfo;
    m_recordSize = static_cast<std::size_t>(info.m_recordSize);
    m_decrypt = UsesCodeTables(m_target);
    m_byIndex = UsesIndexList(m_target);
    m_count = m_byIndex ? static_cast<std::uint32_t>(m_target.m_indexList.EntryCount())
                        : static_cast<std::uint32_t>(info.m_recordCount);
    m_cursor = 0;
    m_stored = std::make_unique_for_overwrite<std::uint8_t[]>(m_recordSize + 1);
    m_stored[m_recordSize] = 0;
    if (m_decrypt) {
        m_plain = std::make_unique_for_overwrite<std::uint8_t[]>(m_recordSize + 1);
        m_plain[m_recordSize] = 0;
    }
    try {
        m_file.Open(info.m_binaryFilePath, kBinaryReadMode);
    } catch (const CFileException& error) {
        Fail(Word(wCantOpenFile) + "\r\n" + FileExceptionText(&error));
    }
    m_file.Seek(info.m_startPosition, CFile::begin);
}

void CBinaryRecords::SeekNext() {
    if (!m_byIndex) {
        m_recordIndex = m_cursor++;
        return;
    }
    m_recordIndex = NextIndexEntry(m_target, m_cursor);
    SeekRecord(m_target, m_file, m_recordIndex);
}

void CBinaryRecords::Read() {
    if (m_file.Read(m_stored.get(), m_recordSize) != m_recordSize)
        Fail(Word(wCantReadFile) + "\r\n" + m_target.m_fileInfo.m_binaryFilePath);
    if (m_decrypt) m_target.m_codeTables.Transform(m_plain.get(), 0, m_recordSize, m_stored.get());
}

std::string RecordNote(std::uint32_t record) {
    if (record == 0) return std::string();
    return "At line " + std::to_string(record) + ".";
}
