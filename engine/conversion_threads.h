#pragma once
#include <cstddef>
#include <cstdint>

// How a conversion spreads over the machine's cores: blocks of records are converted on worker
// threads while the calling thread reads them before and writes them after, in order.
struct CConversionThreads {
    // Worker threads: 0 one for each core (up to eight), none for files small enough to convert
    // as fast without; 1 none, the records converted one after the other as they are read; more,
    // that many whatever the file's size.
    unsigned threads = 0;
    // Records (or text lines) in a block; 0 chooses by the records' size and number.
    std::uint32_t blockRecords = 0;
};

// The worker threads a run over count records of recordSize bytes uses; 0 for none.
unsigned WorkerThreads(const CConversionThreads& threads, std::uint64_t count, std::uint64_t recordSize);
// The records (or text lines) in one block of such a run.
std::uint32_t BlockRecords(const CConversionThreads& threads, std::uint64_t count, std::uint64_t recordSize);
// The blocks in flight at once: one being read, one being written, and enough for every worker
// to have one while a finished block waits for its turn.
inline std::size_t BlocksInFlight(unsigned workers) { return std::size_t {workers} + 3; }
