#include "engine/binary_to_text.h"

#include <memory>
#include <string>
#include <string_view>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/progress.h"
#include "engine/line_format.h"
#include "engine/record_seek.h"
#include "platform/file.h"
#include "platform/file_exception.h"

namespace {

constexpr unsigned kBinaryReadMode = modeRead | shareDenyWrite | typeBinary;

void OpenFile(CFile& file, const std::string& path, unsigned mode) {
    try {
        file.Open(path, mode);
    } catch (const CFileException& error) {
        Fail(Word(wCantOpenFile) + "\r\n" + FileExceptionText(&error));
    }
}

// "At line n." for the record numbered n from 1; nothing before the first record.
std::string RecordNote(std::uint32_t record) {
    if (record == 0) return std::string();
    return "At line " + std::to_string(record) + ".";
}

} // namespace

bool RecordToLine(CTargetInfo& target, const std::uint8_t* record, std::string& line) {
    const CLineFormat format(target);
    if (!format.Usable()) return false;
    CLine cells;
    std::string scratch;
    format.Format(record, cells, scratch);
    line.assign(cells.Data(), cells.Size());
    return true;
}

bool ConvertToText(CTargetInfo& target, CFile& text, CProgress& progress) {
    CFile binary;
    std::uint32_t noteRecord = 0; // the record of the line note, counted from 1
    try {
        const std::string jobTitle = target.m_message;
        const CFileInfoSection& info = target.m_fileInfo;
        const auto recordSize = static_cast<std::size_t>(info.m_recordSize);
        const bool decrypt = UsesCodeTables(target);
        const auto stored = std::make_unique_for_overwrite<std::uint8_t[]>(recordSize + 1);
        const auto plain = decrypt ? std::make_unique_for_overwrite<std::uint8_t[]>(recordSize + 1) : nullptr;
        stored[recordSize] = 0;
        if (decrypt) plain[recordSize] = 0;
        const std::uint8_t* record = decrypt ? plain.get() : stored.get();
        const CLineFormat format(target);

        OpenFile(binary, info.m_binaryFilePath, kBinaryReadMode);
        binary.Seek(info.m_startPosition, CFile::begin);
        text.Seek(0, CFile::begin);
        // In text mode the file itself turns LF into CR LF.
        const std::string_view lineEnd = (text.Flags() & typeText) ? "\n" : "\r\n";
        CLine line;
        line.Append(target.m_recordDefinition.m_headerLine);
        line.Append(lineEnd);
        text.Write(line.Data(), line.Size());
        text.Flush();

        const bool byIndex = UsesIndexList(target);
        const auto entries = static_cast<std::uint32_t>(target.m_indexList.EntryCount());
        const std::uint32_t total = byIndex ? entries : static_cast<std::uint32_t>(info.m_recordCount);
        progress.Start(0, total, 1, jobTitle, true);

        std::string scratch;
        std::uint32_t cursor = 0;
        bool stopped = false;
        for (std::uint32_t i = 0; i < total; ++i) {
            if (progress.PollCancel()) {
                target.m_message = Word(wStop);
                stopped = true;
                break;
            }
            if (byIndex) {
                if (cursor >= entries) break;
                SeekIndexEntry(target, binary, cursor);
            }
            noteRecord = i + 1;
            if (binary.Read(stored.get(), recordSize) != recordSize)
                Fail(Word(wCantReadFile) + "\r\n" + info.m_binaryFilePath);
            if (decrypt) target.m_codeTables.Transform(plain.get(), 0, recordSize, stored.get());
            if (!format.Usable()) Fail(Word(wSystem));
            format.Format(record, line, scratch);
            line.Append(lineEnd);
            text.Write(line.Data(), line.Size());
            // The display refreshes now and then; the lines written so far go to the system then.
            if (progress.Update(i + 1)) text.Flush();
        }

        binary.Abort(); // only read: closing it cannot lose anything
        text.Flush();
        if (!stopped) target.m_message.clear();
        progress.Close();
        return !stopped;
    } catch (...) {
        // The caller decides what becomes of the text file; the lines written so far are kept.
        binary.Abort();
        target.m_message = Word(wError) + " " + RecordNote(noteRecord) + " " + FailureText();
        progress.Close();
        return false;
    }
}
