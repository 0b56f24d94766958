#include "engine/binary_to_text.h"

#include <string>
#include <string_view>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/progress.h"
#include "engine/binary_records.h"
#include "engine/line_format.h"
#include "engine/parallel_to_text.h"
#include "platform/file.h"
#include "support/table_file_reader.h"

bool RecordToLine(CTargetInfo& target, const std::uint8_t* record, std::string& line) {
    const CLineFormat format(target);
    if (!format.Usable()) return false;
    CLine cells;
    std::string scratch;
    format.Format(record, cells, scratch);
    line.assign(cells.Data(), cells.Size());
    return true;
}

bool ConvertToText(CTargetInfo& target, CFile& text, CProgress& progress, const CConversionThreads& threads) {
    CBinaryRecords records(target);
    try {
        const std::string jobTitle = target.m_message;
        const CLineFormat format(target);

        records.Open();
        text.Seek(0, CFile::begin);
        // In text mode the file itself turns LF into CR LF; the line breaks of quoted cells go out
        // as they are, and so do their lines, with CR LF.
        const bool unconverted = format.Quoting() || !(text.Flags() & typeText);
        const std::string_view lineEnd = unconverted ? "\r\n" : "\n";
        const auto writeLine = [&](const CLine& line) {
            if (unconverted) text.WriteUnconverted(line.Data(), line.Size());
            else text.Write(line.Data(), line.Size());
        };
        CLine line;
        // Some spreadsheets recognise UTF-8 only by its byte order mark.
        if (target.m_fileInfo.m_textFileBom) line.Append(kUtf8ByteOrderMark);
        line.Append(target.m_recordDefinition.m_headerLine);
        line.Append(lineEnd);
        writeLine(line);
        text.Flush();

        progress.Start(0, records.Count(), 1, jobTitle, true);

        // A definition that gives no line fails at the first record, as the lines go.
        const unsigned workers = format.Usable() ? WorkerThreads(threads, records.Count(), records.RecordSize()) : 0;
        if (workers > 0) {
            WriteLinesInParallel(records, format, text, !unconverted, workers,
                                 BlockRecords(threads, records.Count(), records.RecordSize()), progress);
            text.Flush();
            return records.Finish(progress);
        }

        std::string scratch;
        while (records.Next(progress)) {
            if (!format.Usable()) Fail(Word(wSystem));
            format.Format(records.Record(), line, scratch);
            line.Append(lineEnd);
            writeLine(line);
            // The display refreshes now and then; the lines written so far go to the system then.
            if (progress.Update(records.Number())) text.Flush();
        }

        text.Flush();
        return records.Finish(progress);
    } catch (...) {
        // The caller decides what becomes of the text file; the lines written so far are kept.
        return records.Abandon(progress);
    }
}
