#include "common/runs/orderedblocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <functional>
#include <stdexcept>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace vantero {
namespace {

struct Squares {
    std::vector<long> in;
    std::vector<long> out;
    std::size_t readAhead = 0; // blocks read and not consumed, at most
    std::vector<long> consumed;

    void run(BlockThreads threads, std::size_t blocks, std::size_t failAt = 0) {
        std::size_t read = 0;
        std::size_t taken = 0;
        runOrderedBlocks<std::vector<long>, std::vector<long>>(
            threads,
            [&](std::vector<long>& block) {
                if (read == blocks) {
                    return false;
                }
                block.assign({static_cast<long>(read) * 2, static_cast<long>(read) * 2 + 1});
                readAhead = std::max(readAhead, ++read - taken);
                return true;
            },
            [failAt] {
                return [failAt](std::vector<long>& block, std::vector<long>& result) {
                    result.clear();
                    for (const long n : block) {
                        if (failAt != 0 && n == static_cast<long>(failAt)) {
                            throw std::runtime_error("no square for you");
                        }
                        result.push_back(n * n);
                    }
                };
            },
            [&](std::vector<long>& result) {
                ++taken;
                consumed.insert(consumed.end(), result.begin(), result.end());
            });
    }
};

std::vector<long> squaresUpTo(std::size_t count) {
    std::vector<long> squares;
    for (std::size_t n = 0; n < count; ++n) {
        squares.push_back(static_cast<long>(n * n));
    }
    return squares;
}

// State: threads that start, or fail to start after a few, for want of
// threads or of memory. Action: run 500 blocks. Expected: every result in the
// order read, never more than `ahead` blocks read and not consumed.
TEST(OrderedBlocks, keepTheOrderReadWhateverThreadsStart) {
    for (const unsigned workers : {0U, 1U, 3U, 8U}) {
        for (const unsigned starting : {0U, 1U, 2U, 99U}) {
            for (const bool memory : {false, true}) {
                BlockThreads threads;
                threads.workers = workers;
                threads.ahead = 5;
                std::atomic<unsigned> started = 0;
                threads.start = [&](std::function<void()> body) {
                    if (started++ >= starting) {
                        if (memory) {
                            throw std::bad_alloc();
                        }
                        throw std::system_error(EAGAIN, std::generic_category());
                    }
                    return std::thread(std::move(body));
                };
                Squares squares;
                squares.run(threads, 500);
                EXPECT_EQ(squares.consumed, squaresUpTo(1000)) << workers << " " << starting;
                EXPECT_LE(squares.readAhead, 5U);
            }
        }
    }
}

// State: a block whose work fails. Action: run. Expected: the failure is
// thrown once every thread has ended, and nothing after the block before it
// is consumed.
TEST(OrderedBlocks, stopAtTheFirstFailure) {
    for (const unsigned workers : {0U, 4U}) {
        BlockThreads threads;
        threads.workers = workers;
        threads.ahead = 8;
        Squares squares;
        EXPECT_THROW(squares.run(threads, 1000, 777), std::runtime_error);
        EXPECT_LE(squares.consumed.size(), 776U);
        EXPECT_EQ(squares.consumed, squaresUpTo(squares.consumed.size()));
    }
}

// Blocks come in order whatever the threads, and when threads cannot be
// started those that could (or the calling thread) do the work.
TEST(IndexedBlocks, fallsBackToTheThreadsItCouldStart) {
    for (const int startable : {0, 1, 2, 8}) {
        std::atomic<int> started = 0;
        BlockThreads threads;
        threads.start = [&](std::function<void()> work) {
            if (started.fetch_add(1) >= startable) {
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            }
            return std::thread(std::move(work));
        };
        std::vector<std::size_t> order;
        runIndexedBlocks<std::size_t>(
            100, 4, [] { return [](std::size_t block) { return block * block; }; },
            [&](std::size_t result) { order.push_back(result); }, threads);
        ASSERT_EQ(order.size(), 100U) << startable;
        for (std::size_t i = 0; i < order.size(); ++i) {
            EXPECT_EQ(order[i], i * i);
        }
    }
}

TEST(IndexedBlocks, throwsTheFirstFailureOfAWorker) {
    EXPECT_THROW(runIndexedBlocks<int>(
                     50, 2,
                     [] {
                         return [](std::size_t block) -> int {
                             if (block == 17) {
                                 throw std::runtime_error("block 17");
                             }
                             return 0;
                         };
                     },
                     [](int) {}),
                 std::runtime_error);
}

TEST(AvailableCores, isAtLeastOne) {
    EXPECT_GE(availableCores(), 1U);
}

} // namespace
} // namespace vantero
