#include "engine/parallel_to_text.h"

#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "support/block_pipeline.h"
#include "support/line_feeds.h"
#include "support/progress.h"
#include "engine/binary_records.h"
#include "engine/conversion_threads.h"
#include "engine/line_format.h"
#include "platform/file.h"

namespace {

struct CTextBlock {
    std::unique_ptr<std::uint8_t[]> stored;
    std::unique_ptr<std::uint8_t[]> plain; // with code tables
    std::uint32_t first = 0; // records of the run before the block
    std::uint32_t count = 0; // records read into it
    std::exception_ptr readFailure; // of the record after them
    std::uint32_t readNote = 0;     // its number for the line note
    CLine text;
    std::uint32_t converted = 0;
    std::exception_ptr failure; // of the record after the ones converted
    std::string scratch;
};

// A text-mode file turns every LF into CR LF; the line from start gets that here.
void ExpandLineFeeds(CLine& text, std::size_t start, std::string& scratch) {
    const std::size_t length = text.Size() - start;
    const void* found = std::memchr(text.Data() + start, '\n', length);
    if (!found) return;
    scratch.assign(text.Data() + start, length);
    text.Truncate(start);
    std::size_t from = 0;
    for (std::size_t lf = scratch.find('\n'); lf != std::string::npos; lf = scratch.find('\n', from)) {
        text.Append(std::string_view(scratch).substr(from, lf - from));
        text.Append("\r\n");
        from = lf + 1;
    }
    text.Append(std::string_view(scratch).substr(from));
}

} // namespace

void WriteLinesInParallel(CBinaryRecords& records, const CLineFormat& lineFormat, CFile& text, bool expandLineFeeds,
                          unsigned workers, std::uint32_t blockRecords, CProgress& progress) {
    const std::size_t recordSize = records.RecordSize();
    std::vector<CTextBlock> blocks(BlocksInFlight(workers));
    for (CTextBlock& block : blocks) {
        // A zero byte follows the last record, as it follows every record read one at a time.
        block.stored = std::make_unique_for_overwrite<std::uint8_t[]>(blockRecords * recordSize + 1);
        block.stored[blockRecords * recordSize] = 0;
        if (records.Decrypts()) {
            block.plain = std::make_unique_for_overwrite<std::uint8_t[]>(blockRecords * recordSize + 1);
            block.plain[blockRecords * recordSize] = 0;
        }
    }

    // Lines formatted one after the other; with expand, LF bytes inside them made CR LF.
    const auto format = [&](CTextBlock& block, bool expand) {
        block.text.Truncate(0);
        block.converted = 0;
        block.failure = nullptr;
        const std::uint8_t* record = block.plain ? block.plain.get() : block.stored.get();
        try {
            for (; block.converted < block.count; ++block.converted, record += recordSize) {
                const std::size_t start = block.text.Size();
                lineFormat.Append(record, block.text, block.scratch);
                if (expand) ExpandLineFeeds(block.text, start, block.scratch);
                char* end = block.text.Reserve(2);
                end[0] = '\r';
                end[1] = '\n';
                block.text.Commit(end + 2);
            }
        } catch (...) {
            block.failure = std::current_exception();
        }
    };
    const auto convert = [&](std::size_t slot) {
        CTextBlock& block = blocks[slot];
        if (block.plain) records.Decrypt(block.plain.get(), block.stored.get(), block.count);
        format(block, false);
        // Lines seldom hold an LF byte: one count over the block tells whether any of them does.
        if (expandLineFeeds && CountLineFeeds(block.text.Data(), block.text.Size()) != block.converted)
            format(block, true);
    };

    bool inputEnded = false;
    const auto read = [&](std::size_t slot) {
        if (inputEnded || records.AtEnd()) return false;
        CTextBlock& block = blocks[slot];
        block.first = records.Number();
        block.readFailure = nullptr;
        try {
            records.ReadStored(block.stored.get(), blockRecords, block.count);
        } catch (...) {
            // The records before the failing one are converted and written first.
            block.readFailure = std::current_exception();
            block.readNote = records.Number();
            inputEnded = true;
        }
        return true;
    };

    const auto write = [&](std::size_t slot) {
        CTextBlock& block = blocks[slot];
        if (records.PollStop(progress)) return false;
        const std::uint32_t done = block.first + block.converted;
        try {
            text.WriteUnconverted(block.text.Data(), block.text.Size());
        } catch (...) {
            // A failed write names the block's first record: from there on, lines may be missing.
            records.SkipTo(block.first + 1);
            throw;
        }
        if (block.failure) {
            records.SkipTo(done + 1);
            std::rethrow_exception(block.failure);
        }
        if (block.readFailure) {
            records.SkipTo(block.readNote);
            std::rethrow_exception(block.readFailure);
        }
        // The display refreshes now and then; the lines written so far go to the system then.
        if (progress.UpdateBlock(done, block.count)) text.Flush();
        return true;
    };

    CBlockPipeline(workers, blocks.size(), convert).Run(read, write);
}
