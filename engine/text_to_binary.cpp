#include "engine/text_to_binary.h"

#include <charconv>
#include <memory>
#include <optional>
#include <string>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/progress.h"
#include "engine/binary_records.h"
#include "engine/check_report.h"
#include "engine/record_format.h"
#include "engine/record_seek.h"
#include "support/value_conversions.h"
#include "platform/file.h"
#include "platform/file_exception.h"
#include "platform/system.h"
#include "support/paths.h"
#include "support/table_file_reader.h"

namespace {

// The full path a text file path stands for, or nothing when the path is unusable: the reader's
// SetPath refuses a usable path only when no file is there.
std::string UsableFullPath(const std::string& path) {
    const std::string fullPath = NormalizePath(path, false);
    std::string lengthText;
    return CheckPathLength(fullPath, lengthText) ? fullPath : std::string();
}

void AppendUnsigned(std::string& text, std::uint32_t value) {
    char digits[10];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, static_cast<std::size_t>(end - digits));
}

// The records the data lines of the target's text file make, one line at a time, as Text =>
// Binary writes them: where each goes (consecutively from the start position, by the record
// index list, or at the record number of its first column) and its bytes, built over those of
// the existing record when the definition has fillers.
class CTextRecords {
public:
    CTextRecords(CTargetInfo& target, bool firstColumnIsIndex)
        : m_target(target), m_firstColumnIsIndex(firstColumnIsIndex) {}

    // Opens the text file; throws the failure text.
    void Open();
    // The records the run writes: the index list's entries, else the record count.
    std::uint32_t Count() const { return m_total; }
    bool KeepsFillers() const { return m_keepFillers; }
    // Reads the next data line, then asks the progress display whether to stop: false at the end
    // of the text or of the index list's entries, or after a confirmed stop (then Stopped, and
    // the target's message word 28). Throws the failure text of a line whose quotes fail.
    bool NextLine(CProgress& progress);
    bool Stopped() const { return m_stopped; }
    // Finds the record of the current line; throws the failure text of a record number out of
    // range, of an entry that is no record, or of a line beyond the record count.
    void Place();
    std::uint64_t Position() const { return m_position; }
    std::uint32_t RecordIndex() const { return m_recordIndex; }
    // Reads the existing record at the file's position, for the bytes of the fillers; throws the
    // failure text.
    void ReadExisting(CFile& binary);
    // Builds the record of the current line and returns it as stored (encrypted); throws the
    // failure text.
    const std::uint8_t* Build();
    // Adds the cells of the line built last that do not fit their items.
    void FindCuts(std::vector<CCutCell>& cuts) { m_format->FindCuts(m_reader.m_fields, m_scratch, cuts); }
    const std::string& LineNote() const { return m_reader.m_lineNote; }
    void Close() { m_reader.Close(); }

private:
    CTargetInfo& m_target;
    bool m_firstColumnIsIndex;
    CTableFileReader m_reader;
    std::optional<CRecordFormat> m_format;
    std::uint32_t m_recordSize = 0;
    std::uint32_t m_total = 0;
    bool m_byIndex = false;
    bool m_encrypt = false;
    bool m_keepFillers = false;
    bool m_stopped = false;
    std::uint32_t m_lines = 0;  // data lines taken
    std::uint32_t m_cursor = 0; // the next index list entry
    std::uint32_t m_recordIndex = 0;
    std::uint64_t m_position = 0;
    std::unique_ptr<std::uint8_t[]> m_plain;
    std::unique_ptr<std::uint8_t[]> m_stored;
    std::string m_scratch;
};

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

inline bool CTextRecords::NextLine(CProgress& progress) {
    try {
        if (!m_reader.ReadNext(false)) return false;
    } catch (const CFailure&) {
        // A line whose quotes fail is taken all the same: the lines after it keep their records.
        ++m_lines;
        throw;
    }
    if (progress.PollCancel()) {
        m_target.m_message = Word(wStop);
        m_stopped = true;
        return false;
    }
    // Lines beyond the index list's entries are read, but not converted.
    if (m_byIndex && !m_firstColumnIsIndex && m_cursor >= m_total) return false;
    ++m_lines;
    return true;
}

inline void CTextRecords::Place() {
    if (m_firstColumnIsIndex) {
        std::int32_t index = 0;
        if (!ParseSigned(m_reader.m_fields[0], index, parseRange, 0, 2147483647)) Fail(Word(wRange));
        m_recordIndex = static_cast<std::uint32_t>(index);
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

inline void CTextRecords::ReadExisting(CFile& binary) {
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

} // namespace

void LineToRecord(CTargetInfo& target, std::uint8_t* record, std::uint32_t recordSize,
                  const std::vector<std::string_view>& fields) {
    const CRecordFormat format(target, recordSize);
    std::string scratch;
    format.Build(record, fields, scratch);
}

std::string IndexListPath(const std::string& textPath) {
    return PathStem(textPath) + "-BRecordIndexList.tsv";
}

void WriteIndexList(CTargetInfo& target, const std::vector<std::uint32_t>& writtenIndices) {
    // A list written whole or not at all: a failure keeps the list that was there.
    CReplacementFile file(IndexListPath(target.m_fileInfo.m_textFilePath));
    // The file counts records from 0: its base point line. Lines end with CR LF, as text files do.
    std::string text = "// " + Word(wBasePointOfBRecordIndex) + "\r\n0\r\n// " + Word(wBRecordIndexList) + "\r\n";
    constexpr std::size_t kChunk = 64 * 1024;
    for (const std::uint32_t index : writtenIndices) {
        AppendUnsigned(text, index);
        text += "\r\n";
        if (text.size() >= kChunk) {
            file.Write(text);
            text.clear();
        }
    }
    file.Write(text);
    file.Commit();
}

bool ConvertToBinary(CTargetInfo& target, CFile& binary, bool firstColumnIsIndex, bool writeIndexList,
                     CProgress& progress) {
    CTextRecords records(target, firstColumnIsIndex);
    try {
        const std::string jobTitle = target.m_message;
        const auto recordSize = static_cast<std::size_t>(target.m_fileInfo.m_recordSize);
        records.Open();
        const std::uint32_t total = records.Count();
        progress.Start(0, total, 1, jobTitle, true);

        std::vector<std::uint32_t> writtenIndices;
        std::uint32_t written = 0;
        while (records.NextLine(progress)) {
            records.Place();
            if (writeIndexList) writtenIndices.push_back(records.RecordIndex());
            const auto position = static_cast<std::int64_t>(records.Position());
            // Consecutive records need no seek: the last write ended where the next one begins.
            if (binary.Position() != records.Position()) binary.Seek(position, CFile::begin);
            if (records.KeepsFillers()) {
                // The existing record supplies the bytes of the filler items.
                records.ReadExisting(binary);
                binary.Seek(position, CFile::begin);
            }
            binary.Write(records.Build(), recordSize);
            ++written;
            // The display refreshes now and then; the records written so far go to the system then.
            if (progress.Update(written)) binary.Flush();
        }

        binary.Flush();
        records.Close();
        if (records.Stopped()) {
            progress.Close();
            return false;
        }
        if (!firstColumnIsIndex && written != total)
            Fail(Word(wCantWriteFile) + "\r\n" + target.m_fileInfo.m_textFilePath);
        if (writeIndexList) WriteIndexList(target, writtenIndices);
        target.m_message.clear();
        progress.Close();
        return true;
    } catch (...) {
        // The records written before the failure stay written; the caller closes the file.
        records.Close();
        target.m_message = records.LineNote() + " " + FailureText();
        progress.Close();
        return false;
    }
}

bool DryRunToBinary(CTargetInfo& target, bool firstColumnIsIndex, CCheckReport& report, CProgress& progress) {
    CTextRecords records(target, firstColumnIsIndex);
    CFile binary;
    try {
        const std::string jobTitle = target.m_message;
        records.Open();
        // The binary file is read only where the real run reads it: for the bytes of the fillers.
        if (records.KeepsFillers()) OpenBinaryFile(binary, target.m_fileInfo.m_binaryFilePath);
        const std::uint32_t total = records.Count();
        progress.Start(0, total, 1, jobTitle, true);

        std::vector<CCutCell> cuts;
        for (;;) {
            // A line whose quotes fail is reported as any other; one that never closes takes the
            // rest of the file.
            try {
                if (!records.NextLine(progress)) break;
            } catch (const CFailure& failure) {
                report.AddFailure(records.LineNote() + " " + failure.Text());
                progress.Update(++report.m_checked);
                continue;
            }
            ++report.m_checked;
            // Every line is tried as the real run would try it, and its failure noted as the run
            // would give it; the lines after it are tried all the same.
            try {
                records.Place();
                if (records.KeepsFillers()) {
                    binary.Seek(static_cast<std::int64_t>(records.Position()), CFile::begin);
                    records.ReadExisting(binary);
                }
                records.Build();
                ++report.m_writable;
                cuts.clear();
                records.FindCuts(cuts);
                for (const CCutCell& cut : cuts)
                    report.AddCut(records.LineNote() + " " + cut.item->m_name + ": " + std::to_string(cut.length) +
                                  " bytes cut to " + std::to_string(cut.kept));
            } catch (...) {
                report.AddFailure(records.LineNote() + " " + FailureText());
            }
            progress.Update(report.m_checked);
        }

        binary.Abort(); // only read: closing it cannot lose anything
        records.Close();
        if (records.Stopped()) {
            progress.Close();
            return false;
        }
        // Lines beyond the record count have failed already; too few fail the run at its end.
        if (!firstColumnIsIndex && report.m_checked < total)
            report.AddFailure(records.LineNote() + " " + Word(wCantWriteFile) + "\r\n" +
                              target.m_fileInfo.m_textFilePath);
        target.m_message.clear();
        progress.Close();
        return true;
    } catch (...) {
        binary.Abort();
        records.Close();
        target.m_message = records.LineNote() + " " + FailureText();
        progress.Close();
        return false;
    }
}
