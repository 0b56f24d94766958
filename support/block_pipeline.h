#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

// Blocks of work converted on worker threads and taken back in the order they were read, by
// the thread that reads and writes them: a pipeline over a fixed number of slots, each holding
// one block in flight.
class CBlockPipeline {
public:
    using Step = std::function<bool(std::size_t slot)>;

    // convert(slot) runs on one of workers threads for each block read.
    CBlockPipeline(unsigned workers, std::size_t slots, std::function<void(std::size_t slot)> convert);

    // Reads blocks into free slots with read(slot) until it returns false (no more input), and
    // hands each block, once converted, to write(slot) in the order read; write returns false to
    // end the run there. A failure thrown by read or write, or by convert (thrown again when its
    // block's turn to be written comes), ends the run and leaves it. Blocks not yet converted are
    // dropped; the workers have stopped before Run returns or throws.
    void Run(const Step& read, const Step& write);

private:
    void Work();

    unsigned m_workers;
    std::size_t m_slots;
    std::function<void(std::size_t slot)> m_convert;
    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_converted;
    std::deque<std::size_t> m_queue;
    std::vector<char> m_done; // by slot
    std::vector<std::exception_ptr> m_failures; // by slot
    bool m_closing = false;
};
