#include "python/sweepcolumns.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vantero::python {
namespace {

struct Spread {
    std::size_t count;
    unsigned workers;
};

class RunItemBlocks : public testing::TestWithParam<Spread> {};

TEST_P(RunItemBlocks, worksEveryItemOnceOnItsOwnThreadsWork) {
    const auto [count, workers] = GetParam();
    std::vector<std::atomic<int>> worked(count);
    std::atomic<int> works{0};
    const bool finished = runItemBlocks(
        count, workers,
        [&]() -> ItemWork {
            ++works;
            auto own = std::make_shared<std::thread::id>(std::this_thread::get_id());
            return [&worked, own](std::size_t first, std::size_t end) {
                EXPECT_EQ(*own, std::this_thread::get_id());
                for (std::size_t i = first; i < end; ++i) {
                    ++worked[i];
                }
            };
        },
        [] { return false; });
    EXPECT_TRUE(finished);
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(worked[i], 1) << "item " << i;
    }
    EXPECT_LE(works, std::max(1, static_cast<int>(workers)));
}

INSTANTIATE_TEST_SUITE_P(Counts, RunItemBlocks,
                         testing::Values(Spread{0, 2}, Spread{1, 2}, Spread{4095, 2},
                                         Spread{4096, 3}, Spread{4097, 2}, Spread{50001, 1},
                                         Spread{50001, 2}, Spread{50001, 8}, Spread{3, 0}));

// A failure on one thread, or in making a thread's work, stops the others
// and comes out of the call, whatever the threads.
TEST(RunItemBlocksFailure, stopsTheOthersAndIsThrown) {
    for (const unsigned workers : {1U, 2U, 4U}) {
        std::atomic<std::size_t> done{0};
        EXPECT_THROW(runItemBlocks(1'000'000, workers,
                                   [&]() -> ItemWork {
                                       return [&](std::size_t first, std::size_t end) {
                                           if (first >= 8192) {
                                               throw std::runtime_error("no room");
                                           }
                                           done += end - first;
                                       };
                                   },
                                   {}),
                     std::runtime_error)
            << workers;
        EXPECT_LT(done, 1'000'000U);
        EXPECT_THROW(
            runItemBlocks(10'000, workers, []() -> ItemWork { throw std::bad_alloc(); }, {}),
            std::bad_alloc)
            << workers;
    }
}

// Asked every few hundredths of a second, an interruption stops the threads
// long before the end and the call says so.
TEST(RunItemBlocksInterruption, stopsSoonAndGivesFalse) {
    for (const unsigned workers : {1U, 2U}) {
        std::atomic<std::size_t> done{0};
        const auto started = std::chrono::steady_clock::now();
        const bool finished = runItemBlocks(
            4096 * 2000, workers,
            [&]() -> ItemWork {
                return [&](std::size_t first, std::size_t end) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    done += end - first;
                };
            },
            [&] {
                return std::chrono::steady_clock::now() - started > std::chrono::milliseconds(50);
            });
        EXPECT_FALSE(finished) << workers;
        EXPECT_LT(done, 4096U * 1000) << workers;
    }
}

} // namespace
} // namespace vantero::python
