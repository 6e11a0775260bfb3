#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace vantero::trials {

// The processors this process may run on (its CPU affinity), at least 1.
unsigned availableCores();

// Starts a thread running `work`; throws std::system_error when the system
// has no thread to give.
using ThreadStarter = std::function<std::jthread(std::function<void()>)>;
std::jthread startThread(std::function<void()> work);

// Runs blocks 0 .. blocks - 1 and hands each result to `consume` on the
// calling thread, in the blocks' order. With more than one worker the blocks
// run on up to `workers` threads, each with a state of its own made by
// `makeWorker` (a callable Result(std::size_t block)), a few blocks ahead of
// the one consumed at most so that memory does not grow with the blocks.
// When a thread cannot be started, those started do the work (the calling
// thread alone, when none could be). The first failure of a worker or of
// `consume` stops them all and is thrown here.
template <typename Result, typename MakeWorker, typename Consume>
void runOrderedBlocks(std::size_t blocks, unsigned workers, MakeWorker makeWorker, Consume consume,
                      const ThreadStarter& start = startThread);

// ---------------------------------------------------------------------------

namespace detail {

template <typename Result> class BlockQueue {
public:
    BlockQueue(std::size_t blocks, std::size_t ahead) : m_blocks(blocks), m_ahead(ahead) {}

    std::optional<std::size_t> start() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(
            lock, [&] { return m_stopped || m_next >= m_blocks || m_next < m_taken + m_ahead; });
        if (m_stopped || m_next >= m_blocks) {
            return std::nullopt;
        }
        return m_next++;
    }
    void finish(std::size_t block, Result result) {
        {
            const std::lock_guard lock(m_mutex);
            m_done.emplace(block, std::move(result));
        }
        m_changed.notify_all();
    }
    std::optional<Result> take() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_stopped || m_done.contains(m_taken); });
        if (m_stopped) {
            return std::nullopt;
        }
        auto done = m_done.extract(m_taken++);
        lock.unlock();
        m_changed.notify_all();
        return std::move(done.mapped());
    }
    void stop(std::exception_ptr failure) {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_failure) {
                m_failure = failure;
            }
            m_stopped = true;
        }
        m_changed.notify_all();
    }
    std::exception_ptr failure() {
        const std::lock_guard lock(m_mutex);
        return m_failure;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_blocks;
    std::size_t m_ahead;
    std::size_t m_next = 0;
    std::size_t m_taken = 0;
    std::map<std::size_t, Result> m_done;
    bool m_stopped = false;
    std::exception_ptr m_failure;
};

} // namespace detail

template <typename Result, typename MakeWorker, typename Consume>
void runOrderedBlocks(std::size_t blocks, unsigned workers, MakeWorker makeWorker, Consume consume,
                      const ThreadStarter& start) {
    const auto alone = [&] {
        auto worker = makeWorker();
        for (std::size_t block = 0; block < blocks; ++block) {
            consume(worker(block));
        }
    };
    if (workers <= 1 || blocks <= 1) {
        alone();
        return;
    }
    workers = static_cast<unsigned>(std::min<std::size_t>(workers, blocks));
    detail::BlockQueue<Result> queue(blocks, 2 * std::size_t{workers});
    {
        std::vector<std::jthread> threads;
        for (unsigned w = 0; w < workers; ++w) {
            try {
                threads.push_back(start([&] {
                    try {
                        auto worker = makeWorker();
                        while (const auto block = queue.start()) {
                            queue.finish(*block, worker(*block));
                        }
                    } catch (...) {
                        queue.stop(std::current_exception());
                    }
                }));
            } catch (const std::system_error&) {
                break; // no more threads: those started do the work
            }
        }
        if (threads.empty()) {
            alone();
            return;
        }
        try {
            for (std::size_t block = 0; block < blocks; ++block) {
                std::optional<Result> result = queue.take();
                if (!result) {
                    break;
                }
                consume(std::move(*result));
            }
        } catch (...) {
            queue.stop(std::current_exception());
        }
        queue.stop(nullptr); // the threads end: every block is taken, or none will be
    }
    if (const std::exception_ptr failure = queue.failure()) {
        std::rethrow_exception(failure);
    }
}

} // namespace vantero::trials
