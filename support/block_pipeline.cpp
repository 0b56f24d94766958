#include "support/block_pipeline.h"

#include <algorithm>
#include <thread>
#include <utility>

CBlockPipeline::CBlockPipeline(unsigned workers, std::size_t slots, std::function<void(std::size_t slot)> convert)
    : m_workers(workers), m_slots(slots), m_convert(std::move(convert)), m_done(slots), m_failures(slots) {}

void CBlockPipeline::Work() {
    for (;;) {
        std::size_t slot = 0;
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [this] { return m_closing || !m_queue.empty(); });
            if (m_closing) return;
            slot = m_queue.front();
            m_queue.pop_front();
        }
        std::exception_ptr failure;
        try {
            m_convert(slot);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard lock(m_mutex);
            m_failures[slot] = failure;
            m_done[slot] = 1;
        }
        m_converted.notify_all();
    }
}

void CBlockPipeline::Run(const Step& read, const Step& write) {
    m_closing = false;
    m_queue.clear();
    std::fill(m_done.begin(), m_done.end(), 0);
    std::vector<std::thread> threads;
    // However the run ends, the workers finish the block they hold and stop, so that no block's
    // storage is touched after Run.
    struct CStop {
        CBlockPipeline& pipeline;
        std::vector<std::thread>& threads;
        ~CStop() {
            {
                const std::lock_guard lock(pipeline.m_mutex);
                pipeline.m_closing = true;
            }
            pipeline.m_queued.notify_all();
            for (std::thread& thread : threads) thread.join();
        }
    } stop {*this, threads};
    for (unsigned k = 0; k < m_workers; ++k) threads.emplace_back([this] { Work(); });

    std::size_t next = 0;   // the slot the next block is read into
    std::size_t oldest = 0; // the slot written next
    std::size_t inFlight = 0;
    bool more = true;
    for (;;) {
        while (more && inFlight < m_slots) {
            if (!read(next)) {
                more = false;
                break;
            }
            {
                const std::lock_guard lock(m_mutex);
                m_done[next] = 0;
                m_queue.push_back(next);
            }
            m_queued.notify_one();
            next = (next + 1) % m_slots;
            ++inFlight;
        }
        if (inFlight == 0) return;
        std::exception_ptr failure;
        {
            std::unique_lock lock(m_mutex);
            m_converted.wait(lock, [&] { return m_done[oldest] != 0; });
            failure = m_failures[oldest];
        }
        if (failure) std::rethrow_exception(failure);
        if (!write(oldest)) return;
        oldest = (oldest + 1) % m_slots;
        --inFlight;
    }
}
