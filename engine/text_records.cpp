#include "engine/text_records.h"

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/progress.h"
#include "engine/binary_records.h"
#include "engine/record_seek.h"
#include "support/value_conversions.h"
#include "platform/file.h"
#include "platform/system.h"
#include "support/paths.h"

namespace {

// The full path a text file path stands for, or nothing when the path is unusable: the reader's
// SetPath refuses a usable path only when no file is there.
std::string UsableFullPath(const std::string& path) {
    const std::string fullPath = NormalizePath(path, false);
    std::string lengthText;
    return CheckPathLength(fullPath, lengthText) ? fullPath : std::string();
}

} // namespace

void CTextRecords::Open() {
    const CFileInfoSection& info = m_target.m_fileInfo;
    m_recordSize = static_cast<std::uint32_t>(info.m_recordSize);
    m_encrypt = UsesCodeTables(m_target);
    m_plain = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t {m_recordSize} + 1);
    m_plain[m_recordSize] = 0;
    if (m_encrypt) {
        m_stored = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t {m_recordSize} + 1);
        m_stored[m_recordSize] = 0;
    }

    m_reader.Reset("Text");
    m_reader.m_delimiter = info.m_textDelimiter;
    m_reader.m_quoting = info.m_textQuoting;
    if (!m_reader.SetPath(info.m_textFilePath)) {
        // A missing text file fails as every file that cannot be opened: with its full path.
        const std::string fullPath = UsableFullPath(info.m_textFilePath);
        Fail(fullPath.empty() ? m_reader.m_message : Word(wCantOpenFile) + "\r\n" + fullPath);
    }
    m_reader.Open();

    m_byIndex = UsesIndexList(m_target);
    m_total = static_cast<std::uint32_t>(m_byIndex ? m_target.m_indexList.EntryCount()
                                                   : static_cast<std::size_t>(info.m_recordCount));
    m_keepFillers = m_target.m_recordDefinition.m_filler == 1;
    m_format.emplace(m_target, m_recordSize);
}

bool CTextRecords::NextLine(CProgress& progress) {
    try {
        if (!m_reader.ReadNext(false)) return false;
    } catch (const CFailure&) {
        // A line whose quotes fail is taken all the same: the lines after it keep their records.
        ++m_lines;
        throw;
    }
    if (PollStop(progress)) return false;
    return TakeLine();
}

bool CTextRecords::PollStop(CProgress& progress) {
    if (!progress.PollCancel()) return false;
    m_target.m_message = Word(wStop);
    m_stopped = true;
    return true;
}

bool CTextRecords::TakeLine() {
    // Lines beyond the index list's entries are read, but not converted.
    if (m_byIndex && !m_firstColumnIsIndex && m_cursor >= m_total) return false;
    ++m_lines;
    return true;
}

void CTextRecords::NoteLine(std::uint32_t lineNumber) { m_reader.m_lineNote = RecordNote(lineNumber); }

std::uint32_t CTextRecords::FirstColumnIndex(std::string_view field) {
    std::int32_t index = 0;
    if (!ParseSigned(field, index, parseRange, 0, 2147483647)) Fail(Word(wRange));
    return static_cast<std::uint32_t>(index);
}

void CTextRecords::Place(std::uint32_t firstColumnIndex) {
    if (m_firstColumnIsIndex) {
        m_recordIndex = firstColumnIndex;
    } else if (m_byIndex) {
        m_recordIndex = NextIndexEntry(m_target, m_cursor);
    } else {
        // A line beyond the record count would land after the data end, where the file may hold
        // bytes that are no record.
        m_recordIndex = m_lines - 1;
        if (m_recordIndex >= m_total) Fail(Word(wCantWriteFile) + "\r\n" + m_target.m_fileInfo.m_textFilePath);
    }
    m_position = RecordPosition(m_target, m_recordIndex);
}

void CTextRecords::ReadExisting(CFile& binary) {
    std::uint8_t* existing = m_encrypt ? m_stored.get() : m_plain.get();
    if (binary.Read(existing, m_recordSize) != m_recordSize)
        Fail(Word(wCantReadFile) + "\r\n" + m_target.m_fileInfo.m_binaryFilePath);
    if (m_encrypt) m_target.m_codeTables.Transform(m_plain.get(), 0, m_recordSize, m_stored.get());
}

const std::uint8_t* CTextRecords::Build() {
    m_format->Build(m_plain.get(), m_reader.m_fields, m_scratch);
    if (!m_encrypt) return m_plain.get();
    m_target.m_codeTables.Transform(m_stored.get(), 1, m_recordSize, m_plain.get());
    return m_stored.get();
}

const std::uint8_t* CTextRecords::Finish(std::uint8_t* built) {
    if (m_keepFillers) m_format->CopyFillers(built, m_plain.get());
    if (!m_encrypt) return built;
    m_target.m_codeTables.Transform(m_stored.get(), 1, m_recordSize, built);
    return m_stored.get();
}
