#include "engine/conversion_threads.h"

#include <algorithm>
#include <thread>

namespace {
// The binary bytes of a block: large enough that handing blocks between threads costs little,
// small enough that the blocks in flight take little fresh memory, whose first touch costs more
// than the handing over of smaller blocks.
constexpr std::uint64_t kBlockBytes = 32 * 1024;
// Below this many bytes of records a run converts as fast on the calling thread alone: starting
// the threads and their blocks costs about a millisecond.
constexpr std::uint64_t kParallelBytes = 1024 * 1024;
}

unsigned WorkerThreads(const CConversionThreads& threads, std::uint64_t count, std::uint64_t recordSize) {
    if (threads.threads == 1) return 0;
    if (threads.threads > 1) return threads.threads;
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores < 2 || count * recordSize < kParallelBytes) return 0;
    return cores;
}

std::uint32_t BlockRecords(const CConversionThreads& threads, std::uint64_t recordSize) {
    if (threads.blockRecords > 0) return threads.blockRecords;
    return static_cast<std::uint32_t>(std::max<std::uint64_t>(1, kBlockBytes / std::max<std::uint64_t>(1, recordSize)));
}
