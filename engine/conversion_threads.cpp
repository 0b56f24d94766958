#include "engine/conversion_threads.h"

#include <algorithm>
#include <thread>

namespace {
// The binary bytes of a block: large enough that handing blocks between threads costs little,
// small enough that the blocks in flight stay within a few megabytes.
constexpr std::uint64_t kBlockBytes = 128 * 1024;
// Below this many bytes of records a run converts faster on the calling thread alone.
constexpr std::uint64_t kParallelBytes = 4 * kBlockBytes;
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
