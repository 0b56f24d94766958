#include "engine/record_preview.h"

#include <algorithm>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/progress.h"
#include "engine/binary_records.h"
#include "engine/line_format.h"
#include "engine/record_seek.h"
#include "engine/round_trip.h"

CRecordPreview::CRecordPreview(CTargetInfo& target) : m_target(target) {
    const std::vector<CRecordItem>& items = target.m_recordDefinition.m_items;
    for (std::size_t index = 0; index < items.size(); ++index) {
        const CRecordItem& item = items[index];
        for (int field = 0; field < item.m_itemCount; ++field) {
            CPreviewColumn column;
            if (static_cast<std::size_t>(field) < item.m_headers.size()) column.header = item.m_headers[field];
            column.item = index;
            column.field = field;
            column.offset = static_cast<std::uint32_t>(item.m_offset);
            column.length = static_cast<std::uint32_t>(item.m_length);
            m_columns.push_back(std::move(column));
        }
    }
    m_count = UsesIndexList(target) ? static_cast<std::uint32_t>(target.m_indexList.EntryCount())
                                    : static_cast<std::uint32_t>(target.m_fileInfo.m_recordCount);
}

void CRecordPreview::Read(std::uint32_t first, std::uint32_t count, std::vector<CPreviewRecord>& records) {
    records.clear();
    if (first >= m_count) return;
    const std::uint32_t end = first + std::min(count, m_count - first);
    CBinaryRecords binary(m_target);
    binary.Open();
    const CLineFormat format(m_target);
    CRoundTrip trip(m_target);
    CProgress quiet; // never started: nothing shows, nothing asks to stop
    const std::size_t recordSize = static_cast<std::size_t>(m_target.m_fileInfo.m_recordSize);
    const std::string& delimiter = format.Delimiter();
    CLine line;
    std::string scratch;
    std::vector<std::size_t> starts;
    std::vector<char> itemMarks;
    records.reserve(end - first);
    for (std::uint32_t number = first; number < end; ++number) {
        CPreviewRecord& record = records.emplace_back();
        record.number = number + 1;
        record.marked.assign(m_columns.size(), 0);
        try {
            // Each record is found on its own, so that one that cannot be read leaves the others.
            binary.SkipTo(number);
            binary.Next(quiet);
            record.recordIndex = binary.RecordIndex();
            record.position = m_target.m_fileInfo.m_startPosition + std::uint64_t {record.recordIndex} * recordSize;
            record.bytes.assign(binary.Stored(), binary.Stored() + recordSize);
            if (!format.Usable()) Fail(Word(wSystem));
            format.Format(binary.Record(), line, scratch);
            record.line.assign(line.Data(), line.Size());
            format.FormatMarked(binary.Record(), line, scratch, starts);
            for (std::size_t cell = 0; cell < starts.size(); ++cell) {
                const std::size_t cellEnd = cell + 1 < starts.size() ? starts[cell + 1] - delimiter.size() : line.Size();
                record.cells.emplace_back(line.Data() + starts[cell], cellEnd - starts[cell]);
            }
            trip.MarkItems(binary.Stored(), binary.Record(), itemMarks);
            for (std::size_t column = 0; column < m_columns.size(); ++column)
                record.marked[column] = itemMarks[m_columns[column].item];
        } catch (...) {
            record.failure = RecordNote(record.number) + " " + FailureText();
            record.line.clear();
            record.cells.clear();
        }
    }
    binary.Close();
}
