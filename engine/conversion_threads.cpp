#include "engine/conversion_threads.h"

#include <algorithm>
#include <thread>

namespace {
// The binary bytes of a block: at least enough that handing blocks between threads costs little
// beside their work, at most what keeps the blocks in flight within a few megabytes. Between the
// two, a run takes about a thousand blocks: the first touch of their fresh memory costs more than
// handing small blocks over, and a short run is soon over.
constexpr std::uint64_t kLeastBlockBytes = 32 * 1024;
constexpr std::uint64_t kMostBlockBytes = 256 * 1024;
constexpr std::uint64_t kBlocksInRun = 1000;
// Below this many bytes of records a run converts as fast on the calling thread alone: starting
// the threads and their blocks costs about a millisecond.
constexpr std::uint64_t kParallelBytes = 1024 * 1024;
// Beyond this many workers the thread that reads and writes the blocks limits a run, and more
// would only take memory for their blocks.
constexpr unsigned kMostWorkers = 8;
}

unsigned WorkerThreads(const CConversionThreads& threads, std::uint64_t count, std::uint64_t recordSize) {
    if (threads.threads == 1) return 0;
    if (threads.threads > 1) return threads.threads;
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores < 2 || count * recordSize < kParallelBytes) return 0;
    return std::min(cores, kMostWorkers);
}

std::uint32_t BlockRecords(const CConversionThreads& threads, std::uint64_t count, std::uint64_t recordSize) {
    if (threads.blockRecords > 0) return threads.blockRecords;
    const std::uint64_t size = std::max<std::uint64_t>(1, recordSize);
    const std::uint64_t bytes = std::clamp(count / kBlocksInRun * size, kLeastBlockBytes, kMostBlockBytes);
    return static_cast<std::uint32_t>(std::max<std::uint64_t>(1, bytes / size));
}
