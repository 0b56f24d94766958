#include "engine/parallel_to_binary.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "definition/target_info.h"
#include "support/block_pipeline.h"
#include "support/line_feeds.h"
#include "support/progress.h"
#include "support/table_file_reader.h"
#include "engine/conversion_threads.h"
#include "engine/record_seek.h"
#include "engine/text_records.h"
#include "platform/file.h"

namespace {

// Whole lines of the text file, and the records their data lines make.
struct CLineBlock {
    std::vector<char> text;
    std::size_t size = 0; // bytes of text in the block
    std::uint32_t lines = 0;   // lines of the file in the block
    std::uint32_t records = 0; // data lines built
    std::unique_ptr<std::uint8_t[]> built; // their records, plain when fillers are still to come
    std::vector<std::uint32_t> lineNumbers; // of each data line, counted from 1 in the block
    std::vector<std::uint32_t> indexes;     // of each data line: the record its first column names
    std::exception_ptr failure;             // of the data line after the ones built
    std::exception_ptr readFailure;         // of reading the lines after the block's
    bool placeFailed = false;               // the failure is its first column's
    std::vector<std::string_view> fields;
    std::string scratch;
};

// The text file read in blocks of whole lines: at most a number of lines each, ending where
// reading line by line ends (at a 0x1A byte in text mode), without the byte order mark.
class CLineBlockReader {
public:
    CLineBlockReader(CFile& file, std::uint32_t maxLines)
        : m_file(file), m_maxLines(maxLines),
          m_chunk(std::clamp<std::size_t>(std::size_t {maxLines} * 64, 4096, 1024 * 1024)) {}

    // Fills the block with the next lines; false when none are left.
    bool Read(CLineBlock& block) {
        std::vector<char>& text = block.text;
        if (text.size() < std::max(m_chunk, m_carry.size())) text.resize(std::max(m_chunk, m_carry.size()));
        std::size_t size = m_carry.size();
        std::memcpy(text.data(), m_carry.data(), size);
        m_carry.clear();
        std::size_t cut = 0;
        for (;;) {
            if (!m_ended && size < text.size()) size += Fill(text.data() + size, text.size() - size);
            if (m_ended) {
                cut = size;
                break;
            }
            const std::size_t lastLf = std::string_view(text.data(), size).rfind('\n');
            if (lastLf != std::string_view::npos) {
                cut = lastLf + 1;
                break;
            }
            // A line longer than the block: the block grows until it holds it.
            text.resize(2 * text.size());
        }
        // No more lines than a block's records can hold.
        if (CountLineFeeds(text.data(), cut) >= m_maxLines) {
            const char* at = text.data();
            for (std::uint32_t k = 0; k < m_maxLines; ++k)
                at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(text.data() + cut - at))) + 1;
            cut = static_cast<std::size_t>(at - text.data());
        }
        m_carry.assign(text.data() + cut, size - cut);
        block.size = cut;
        return cut > 0;
    }

private:
    std::size_t Fill(char* out, std::size_t count) {
        std::size_t got = m_file.ReadUnconverted(out, count);
        if (got < count) m_ended = true;
        if (m_first) {
            m_first = false;
            if (std::string_view(out, got).starts_with(kUtf8ByteOrderMark)) {
                got -= kUtf8ByteOrderMark.size();
                std::memmove(out, out + kUtf8ByteOrderMark.size(), got);
            }
        }
        if (m_file.Flags() & typeText) {
            if (const void* end = std::memchr(out, CFile::kTextEndByte, got)) {
                got = static_cast<std::size_t>(static_cast<const char*>(end) - out);
                m_ended = true;
            }
        }
        return got;
    }

    CFile& m_file;
    std::uint32_t m_maxLines;
    std::size_t m_chunk;
    std::string m_carry; // lines read beyond the last block
    bool m_first = true;
    bool m_ended = false;
};

} // namespace

std::uint32_t WriteRecordsInParallel(CTargetInfo& target, CTextRecords& records, CFile& binary, bool firstColumnIsIndex,
                                     std::vector<std::uint32_t>* writtenIndices, unsigned workers,
                                     std::uint32_t blockRecords, CProgress& progress) {
    const auto recordSize = static_cast<std::size_t>(target.m_fileInfo.m_recordSize);
    const bool byIndex = firstColumnIsIndex || UsesIndexList(target);
    const bool encrypt = UsesCodeTables(target);
    const bool keepFillers = records.KeepsFillers();
    const CRecordFormat& format = records.Format();
    const std::string delimiter = records.Delimiter();

    std::vector<CLineBlock> blocks(BlocksInFlight(workers));
    for (CLineBlock& block : blocks) {
        // A zero byte follows the last record, as it follows the one record built at a time.
        block.built = std::make_unique_for_overwrite<std::uint8_t[]>(blockRecords * recordSize + 1);
        block.built[blockRecords * recordSize] = 0;
        block.lineNumbers.resize(blockRecords);
        if (firstColumnIsIndex) block.indexes.resize(blockRecords);
    }
    // The existing records under a block, for the bytes of the fillers.
    std::unique_ptr<std::uint8_t[]> existing;
    if (keepFillers && !byIndex) existing = std::make_unique_for_overwrite<std::uint8_t[]>(blockRecords * recordSize);

    const auto convert = [&](std::size_t slot) {
        CLineBlock& block = blocks[slot];
        block.lines = block.records = 0;
        block.failure = nullptr;
        block.placeFailed = false;
        const char* at = block.text.data();
        const char* const end = at + block.size;
        while (at < end) {
            const char* lf = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
            std::string_view line(at, static_cast<std::size_t>((lf ? lf : end) - at));
            // Reading drops a CR before LF.
            if (lf && line.ends_with('\r')) line.remove_suffix(1);
            at = lf ? lf + 1 : end;
            ++block.lines;
            if (!SplitDataLine(delimiter, line, block.fields, false)) continue;
            const std::uint32_t k = block.records;
            block.lineNumbers[k] = block.lines;
            std::uint8_t* record = block.built.get() + k * recordSize;
            try {
                if (firstColumnIsIndex) {
                    block.placeFailed = true;
                    block.indexes[k] = CTextRecords::FirstColumnIndex(block.fields[0]);
                    block.placeFailed = false;
                }
                format.Build(record, block.fields, block.scratch);
            } catch (...) {
                block.failure = std::current_exception();
                return;
            }
            if (encrypt && !keepFillers) target.m_codeTables.Transform(record, 1, recordSize, record);
            ++block.records;
        }
    };

    CLineBlockReader reader(records.File(), blockRecords);
    bool inputEnded = false;
    const auto read = [&](std::size_t slot) {
        if (inputEnded) return false;
        CLineBlock& block = blocks[slot];
        block.readFailure = nullptr;
        try {
            return reader.Read(block);
        } catch (...) {
            // The lines read before are converted and written first.
            block.readFailure = std::current_exception();
            block.size = 0;
            inputEnded = true;
            return true;
        }
    };

    std::uint32_t written = 0;
    std::uint32_t linesBefore = 0; // lines of the file in the blocks written
    // Records placed one by one: by the index list or by their first columns.
    const auto writeEach = [&](CLineBlock& block) {
        const std::uint32_t taken = block.records + (block.failure ? 1 : 0);
        for (std::uint32_t k = 0; k < taken; ++k) {
            records.NoteLine(linesBefore + block.lineNumbers[k]);
            if (!records.TakeLine()) return false;
            const bool failing = k == block.records;
            if (failing && block.placeFailed) std::rethrow_exception(block.failure);
            records.Place(firstColumnIsIndex ? block.indexes[k] : 0);
            if (!failing && writtenIndices) writtenIndices->push_back(records.RecordIndex());
            const auto position = static_cast<std::int64_t>(records.Position());
            if (binary.Position() != records.Position()) binary.Seek(position, CFile::begin);
            if (keepFillers) records.ReadExisting(binary);
            if (failing) std::rethrow_exception(block.failure);
            std::uint8_t* built = block.built.get() + k * recordSize;
            const std::uint8_t* stored = built;
            if (keepFillers) {
                binary.Seek(position, CFile::begin);
                stored = records.Finish(built);
            }
            binary.Write(stored, recordSize);
            ++written;
        }
        return true;
    };

    // Records that follow each other: read (for the fillers) and written a block at once.
    const auto writeFollowing = [&](CLineBlock& block) {
        const std::uint32_t taken = block.records + (block.failure ? 1 : 0);
        const std::uint32_t room = records.Count() - records.Lines();
        const std::uint32_t placed = std::min(taken, room);
        std::uint32_t whole = placed; // records whose existing bytes are there
        if (placed > 0) {
            const std::uint64_t position = RecordPosition(target, records.Lines());
            if (binary.Position() != position) binary.Seek(static_cast<std::int64_t>(position), CFile::begin);
            if (keepFillers) {
                whole = static_cast<std::uint32_t>(binary.Read(existing.get(), placed * recordSize) / recordSize);
                binary.Seek(static_cast<std::int64_t>(position), CFile::begin);
            }
        }
        const std::uint32_t good = std::min(whole, block.records);
        if (good > 0) {
            std::uint8_t* built = block.built.get();
            if (keepFillers) {
                if (encrypt) target.m_codeTables.Transform(existing.get(), 0, good * recordSize, existing.get());
                for (std::uint32_t k = 0; k < good; ++k)
                    format.CopyFillers(built + k * recordSize, existing.get() + k * recordSize);
                if (encrypt) target.m_codeTables.Transform(built, 1, good * recordSize, built);
            }
            binary.Write(built, good * recordSize);
            if (writtenIndices)
                for (std::uint32_t k = 0; k < good; ++k) writtenIndices->push_back(records.Lines() + k);
            records.TakeLines(good);
            written += good;
        }
        if (good == taken) return;
        // The line that fails, with the failure a line by line run gives it.
        records.NoteLine(linesBefore + block.lineNumbers[good]);
        records.TakeLine();
        records.Place();
        if (keepFillers) records.ReadExisting(binary);
        std::rethrow_exception(block.failure);
    };

    bool entriesLeft = true;
    const auto write = [&](std::size_t slot) {
        CLineBlock& block = blocks[slot];
        if (records.PollStop(progress)) return false;
        if (block.readFailure) {
            records.NoteLine(linesBefore + 1);
            std::rethrow_exception(block.readFailure);
        }
        const std::uint32_t before = written;
        if (byIndex) {
            entriesLeft = writeEach(block);
            if (!entriesLeft) return false;
        } else {
            writeFollowing(block);
        }
        linesBefore += block.lines;
        // The display refreshes now and then; the records written so far go to the system then.
        if (progress.UpdateBlock(written, written - before)) binary.Flush();
        return true;
    };

    CBlockPipeline(workers, blocks.size(), convert).Run(read, write);
    if (entriesLeft) records.NoteLine(linesBefore + 1);
    return written;
}
