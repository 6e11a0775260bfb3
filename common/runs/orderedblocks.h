#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vantero {

// The processors this process may run on (its CPU affinity), at least 1.
unsigned availableCores();

// How a stream of blocks is spread over threads.
struct BlockThreads {
    // The threads that work on the blocks; with none (or 1 and a failure to
    // start it) the calling thread does the work itself.
    unsigned workers = 1;
    // The most blocks read and not yet consumed: what bounds the memory.
    std::size_t ahead = 2;
    // Starts a thread. A thread that cannot be started (std::system_error, or
    // std::bad_alloc for its state) leaves the work to those started before
    // it, down to the calling thread.
    std::function<std::thread(std::function<void()>)> start = [](std::function<void()> body) {
        return std::thread(std::move(body));
    };
};

// Reads blocks on the calling thread with `read` (which fills the block it is
// given and says false when there are no more), works on each on one of the
// worker threads, each with the work `makeWork` gives it on that thread (its
// own state: a copy of a session, say), and hands the results to `consume` on
// the calling thread, in the order the blocks were read. A failure of any of
// the three stops them all and is thrown here, once every thread has ended.
template <typename Block, typename Result>
void runOrderedBlocks(const BlockThreads& threads, const std::function<bool(Block&)>& read,
                      const std::function<std::function<void(Block&, Result&)>()>& makeWork,
                      const std::function<void(Result&)>& consume) {
    struct Slot {
        Block block;
        Result result;
        bool done = false;
    };
    const std::size_t ahead = threads.ahead < 1 ? 1 : threads.ahead;
    std::vector<Slot> slots(ahead);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t readCount = 0; // blocks read; written only by the calling thread
    std::size_t startedCount = 0;
    bool ended = false;
    bool stopped = false;
    std::exception_ptr failure;

    const auto stop = [&](std::exception_ptr cause) {
        {
            const std::lock_guard lock(mutex);
            if (cause && !failure) {
                failure = cause;
            }
            stopped = true;
        }
        changed.notify_all();
    };
    const auto work = [&] {
        try {
            const std::function<void(Block&, Result&)> own = makeWork();
            for (;;) {
                std::size_t block = 0;
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock,
                                 [&] { return stopped || ended || startedCount < readCount; });
                    if (stopped || startedCount == readCount) {
                        return;
                    }
                    block = startedCount++;
                }
                Slot& slot = slots[block % ahead];
                own(slot.block, slot.result);
                {
                    const std::lock_guard lock(mutex);
                    slot.done = true;
                }
                changed.notify_all();
            }
        } catch (...) {
            stop(std::current_exception());
        }
    };

    std::vector<std::thread> started;
    started.reserve(threads.workers);
    for (unsigned w = 0; w < threads.workers; ++w) {
        try {
            started.push_back(threads.start(work));
        } catch (...) { // no thread (std::system_error) or no memory for one
            break;
        }
    }
    if (started.empty()) {
        const std::function<void(Block&, Result&)> own = makeWork();
        Slot& slot = slots.front();
        while (read(slot.block)) {
            own(slot.block, slot.result);
            consume(slot.result);
        }
        return;
    }

    try {
        std::size_t consumed = 0;
        bool more = true;
        for (;;) {
            // The slot of a block read is free once the block `ahead` before
            // it is consumed.
            while (more && readCount - consumed < ahead) {
                Slot& slot = slots[readCount % ahead];
                more = read(slot.block);
                {
                    const std::lock_guard lock(mutex);
                    if (more) {
                        slot.done = false;
                        ++readCount;
                    } else {
                        ended = true;
                    }
                }
                changed.notify_all();
            }
            if (consumed == readCount) {
                break;
            }
            Slot& slot = slots[consumed % ahead];
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stopped || slot.done; });
                if (stopped) {
                    break;
                }
            }
            consume(slot.result);
            ++consumed;
        }
    } catch (...) {
        stop(std::current_exception());
    }
    stop(nullptr);
    for (std::thread& thread : started) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// The same for blocks that need no reading: blocks 0 .. blocks - 1, each
// worked on by a callable Result(std::size_t block) that `makeWorker` makes
// on its thread (with the thread's own state), the results handed to
// `consume` in the blocks' order. With one worker, or one block, the calling
// thread does it all.
template <typename Result, typename MakeWorker, typename Consume>
void runIndexedBlocks(std::size_t blocks, unsigned workers, MakeWorker makeWorker, Consume consume,
                      BlockThreads threads = {}) {
    if (workers <= 1 || blocks <= 1) {
        auto worker = makeWorker();
        for (std::size_t block = 0; block < blocks; ++block) {
            consume(worker(block));
        }
        return;
    }
    threads.workers = static_cast<unsigned>(std::min<std::size_t>(workers, blocks));
    threads.ahead = 2 * std::size_t{threads.workers};
    std::size_t next = 0;
    runOrderedBlocks<std::size_t, Result>(
        threads,
        [&](std::size_t& block) {
            block = next++;
            return block < blocks;
        },
        [&]() -> std::function<void(std::size_t&, Result&)> {
            return [worker = makeWorker()](std::size_t& block, Result& result) mutable {
                result = worker(block);
            };
        },
        [&](Result& result) { consume(std::move(result)); });
}

} // namespace vantero
