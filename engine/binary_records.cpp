#include "engine/binary_records.h"

#include <algorithm>

#include "platform/file_exception.h"

void OpenBinaryFile(CFile& file, const std::string& path) {
    try {
        file.Open(path, modeRead | shareDenyWrite | typeBinary);
    } catch (const CFileException& error) {
        Fail(Word(wCantOpenFile) + "\r\n" + FileExceptionText(&error));
    }
}

void CBinaryRecords::Open() {
    const CFileInfoSection& info = m_target.m_fileInfo;
    m_recordSize = static_cast<std::size_t>(info.m_recordSize);
    m_decrypt = UsesCodeTables(m_target);
    m_byIndex = UsesIndexList(m_target);
    m_count = m_byIndex ? static_cast<std::uint32_t>(m_target.m_indexList.EntryCount())
                        : static_cast<std::uint32_t>(info.m_recordCount);
    m_stopped = false;
    m_read = 0;
    m_stored = std::make_unique_for_overwrite<std::uint8_t[]>(m_recordSize + 1);
    m_stored[m_recordSize] = 0;
    if (m_decrypt) {
        m_plain = std::make_unique_for_overwrite<std::uint8_t[]>(m_recordSize + 1);
        m_plain[m_recordSize] = 0;
    }
    OpenBinaryFile(m_file, info.m_binaryFilePath);
    m_file.Seek(info.m_startPosition, CFile::begin);
}

void CBinaryRecords::SkipTo(std::uint32_t read) {
    m_read = read;
    // Records follow each other from the start position; entries of the list seek their own.
    if (!m_byIndex) {
        const CFileInfoSection& info = m_target.m_fileInfo;
        m_file.Seek(static_cast<std::int64_t>(info.m_startPosition + std::uint64_t {read} * m_recordSize), CFile::begin);
    }
}

void CBinaryRecords::ReadStored(std::uint8_t* out, std::uint32_t most, std::uint32_t& read) {
    read = 0;
    const std::uint32_t count = std::min(most, m_count - m_read);
    if (m_byIndex) {
        for (; read < count; ++read, out += m_recordSize) ReadOne(out);
        return;
    }
    // Records that follow each other are read at once.
    const std::size_t got = m_file.Read(out, count * m_recordSize);
    read = static_cast<std::uint32_t>(got / m_recordSize);
    m_read += read;
    if (read < count) {
        ++m_read; // the record that is not there whole is the one noted
        FailShortRead();
    }
}

bool CBinaryRecords::Finish(CProgress& progress) {
    Close();
    if (!m_stopped) m_target.m_message.clear();
    progress.Close();
    return !m_stopped;
}

bool CBinaryRecords::Abandon(CProgress& progress) {
    Close();
    m_target.m_message = Word(wError) + " " + RecordNote(m_read) + " " + FailureText();
    progress.Close();
    return false;
}

std::string RecordNote(std::uint32_t record) {
    if (record == 0) return std::string();
    return "At line " + std::to_string(record) + ".";
}
