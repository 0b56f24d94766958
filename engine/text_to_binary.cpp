#include "engine/text_to_binary.h"

#include <charconv>
#include <memory>
#include <string>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/progress.h"
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

} // namespace

void LineToRecord(CTargetInfo& target, std::uint8_t* record, std::uint32_t recordSize,
                  const std::vector<std::string_view>& fields) {
    const CRecordFormat format(target, recordSize);
    std::string scratch;
    format.Build(record, fields, scratch);
}

std::string IndexListPath(const std::string& textPath) {
    return PathPart(textPath, partDriveFolderName) + "-BRecordIndexList.tsv";
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
    CTableFileReader reader;
    try {
        const std::string jobTitle = target.m_message;
        const CFileInfoSection& info = target.m_fileInfo;
        const auto recordSize = static_cast<std::uint32_t>(info.m_recordSize);
        const bool encrypt = UsesCodeTables(target);
        const auto plain = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t {recordSize} + 1);
        const auto stored =
            encrypt ? std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t {recordSize} + 1) : nullptr;
        plain[recordSize] = 0;
        if (encrypt) stored[recordSize] = 0;

        reader.Reset("Text");
        reader.m_delimiter = info.m_textDelimiter;
        if (!reader.SetPath(info.m_textFilePath)) {
            // A missing text file fails as every file that cannot be opened: with its full path.
            const std::string fullPath = UsableFullPath(info.m_textFilePath);
            Fail(fullPath.empty() ? reader.m_message : Word(wCantOpenFile) + "\r\n" + fullPath);
        }
        reader.Open();

        const bool byIndex = UsesIndexList(target);
        const auto total = static_cast<std::uint32_t>(byIndex ? target.m_indexList.EntryCount()
                                                              : static_cast<std::size_t>(info.m_recordCount));
        if (!byIndex) {
            const auto start = static_cast<std::uint64_t>(info.m_startPosition);
            if (binary.Seek(info.m_startPosition, CFile::begin) != start)
                Fail(Word(wCantSeekFilePosition) + "\r\n" + info.m_binaryFilePath);
        }
        progress.Start(0, total, 1, jobTitle, true);

        const bool keepFillers = target.m_recordDefinition.m_filler == 1;
        const CRecordFormat format(target, recordSize);
        std::vector<std::uint32_t> writtenIndices;
        std::string scratch;
        std::uint32_t written = 0;
        std::uint32_t cursor = 0;
        bool stopped = false;
        while (reader.ReadNext(false)) {
            if (progress.PollCancel()) {
                target.m_message = Word(wStop);
                stopped = true;
                break;
            }
            if (firstColumnIsIndex) {
                std::int32_t index = 0;
                if (!ParseSigned(reader.m_fields[0], index, parseRange, 0, 2147483647)) Fail(Word(wRange));
                if (writeIndexList) writtenIndices.push_back(static_cast<std::uint32_t>(index));
                SeekRecord(target, binary, static_cast<std::uint32_t>(index));
            } else if (byIndex) {
                if (cursor >= total) break;
                SeekIndexEntry(target, binary, cursor);
            } else if (written >= total) {
                // A line beyond the record count would land after the data end, where the file
                // may hold bytes that are no record.
                Fail(Word(wCantWriteFile) + "\r\n" + info.m_textFilePath);
            }

            if (keepFillers) {
                // The existing record supplies the bytes of the filler items.
                std::uint8_t* existing = encrypt ? stored.get() : plain.get();
                if (binary.Read(existing, recordSize) != recordSize)
                    Fail(Word(wCantReadFile) + "\r\n" + info.m_binaryFilePath);
                binary.Seek(-static_cast<std::int64_t>(recordSize), CFile::current);
                if (encrypt) target.m_codeTables.Transform(plain.get(), 0, recordSize, stored.get());
            }
            format.Build(plain.get(), reader.m_fields, scratch);
            const std::uint8_t* record = plain.get();
            if (encrypt) {
                target.m_codeTables.Transform(stored.get(), 1, recordSize, plain.get());
                record = stored.get();
            }
            binary.Write(record, recordSize);
            ++written;
            // The display refreshes now and then; the records written so far go to the system then.
            if (progress.Update(written)) binary.Flush();
        }

        binary.Flush();
        reader.Close();
        if (stopped) {
            progress.Close();
            return false;
        }
        if (!firstColumnIsIndex && written != total)
            Fail(Word(wCantWriteFile) + "\r\n" + info.m_textFilePath);
        if (writeIndexList) WriteIndexList(target, writtenIndices);
        target.m_message.clear();
        progress.Close();
        return true;
    } catch (...) {
        // The records written before the failure stay written; the caller closes the file.
        reader.Close();
        target.m_message = reader.m_lineNote + " " + FailureText();
        progress.Close();
        return false;
    }
}
