#include "engine/text_to_binary.h"

#include <charconv>
#include <memory>
#include <string>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/progress.h"
#include "engine/binary_records.h"
#include "engine/check_report.h"
#include "engine/parallel_to_binary.h"
#include "engine/text_records.h"
#include "engine/record_format.h"
#include "platform/file.h"
#include "platform/system.h"
#include "support/paths.h"

namespace {

void AppendUnsigned(std::string& text, std::uint32_t value) {
    char digits[10];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, static_cast<std::size_t>(end - digits));
}

// The records of the data lines, one line after the other; returns how many were written.
std::uint32_t WriteRecordsInTurn(CTextRecords& records, CFile& binary, std::size_t recordSize,
                                 std::vector<std::uint32_t>* writtenIndices, CProgress& progress) {
    std::uint32_t written = 0;
    while (records.NextLine(progress)) {
        records.Place();
        if (writtenIndices) writtenIndices->push_back(records.RecordIndex());
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
    return written;
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
                     CProgress& progress, const CConversionThreads& threads) {
    CTextRecords records(target, firstColumnIsIndex);
    try {
        const std::string jobTitle = target.m_message;
        const auto recordSize = static_cast<std::size_t>(target.m_fileInfo.m_recordSize);
        records.Open();
        const std::uint32_t total = records.Count();
        progress.Start(0, total, 1, jobTitle, true);

        std::vector<std::uint32_t> writtenIndices;
        std::vector<std::uint32_t>* const indices = writeIndexList ? &writtenIndices : nullptr;
        // Quoted cells may go on over several lines: such a text is read line by line.
        const unsigned workers = records.Quoting() ? 0 : WorkerThreads(threads, total, recordSize);
        const std::uint32_t written =
            workers > 0 ? WriteRecordsInParallel(target, records, binary, firstColumnIsIndex, indices, workers,
                                                 BlockRecords(threads, total, recordSize), progress)
                        : WriteRecordsInTurn(records, binary, recordSize, indices, progress);
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
