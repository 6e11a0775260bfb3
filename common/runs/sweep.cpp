#include "common/runs/sweep.h"

#include "common/runs/csvwriter.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace vantero {

double sweepValue(const SweepRange& range, std::size_t index) {
    if (index == 0) {
        return range.from;
    }
    if (index + 1 >= range.count) {
        return range.to;
    }
    const double steps = static_cast<double>(range.count - 1);
    const double done = static_cast<double>(index);
    if (!range.logarithmic) {
        const long double span = static_cast<long double>(range.to) - range.from;
        return static_cast<double>(range.from + span * done / steps);
    }
    // Powers of ten, so that a sweep over whole decades meets every decade
    // exactly.
    const double a = std::log10(std::fabs(range.from));
    const double b = std::log10(std::fabs(range.to));
    const double magnitude = std::pow(10.0, a + (b - a) * done / steps);
    return range.from < 0 ? -magnitude : magnitude;
}

namespace {

// Points a block: enough for a thread to run a while, few enough to be
// held a few at a time.
constexpr std::size_t blockPoints = 16384;
// Room for a row of five numbers and the limiting effect; a row with a
// message or a fault takes more, and the block's text grows for it.
constexpr std::size_t typicalRowBytes = 128;

ChartPoint chartPoint(const SweepPoint& point) {
    return {{point.input, point.powerDistance, point.riseTimeDistance, point.maximumDistance,
             point.limitedBy},
            !point.message.empty()};
}

SweepBlock runBlock(Session& session, const SweepRange& range, std::size_t block, bool chart) {
    const std::size_t first = block * blockPoints;
    const std::size_t end = std::min(range.count, first + blockPoints);
    SweepBlock result;
    if (chart) {
        result.chart.reserve(end - first);
    }
    result.csv.reserve((end - first) * typicalRowBytes);
    CsvWriter csv([&result](std::string_view bytes) { result.csv.append(bytes); }, 1 << 16);
    for (std::size_t i = first; i < end; ++i) {
        const SweepPoint point = session.runAt(range.input, sweepValue(range, i));
        csv.row(point);
        if (chart && !point.fault) {
            result.chart.push_back(chartPoint(point));
        }
    }
    csv.finish();
    return result;
}

// The blocks of a sweep run by several threads and taken in order: a few
// blocks ahead of the one taken at most, so that memory does not grow with
// the sweep.
class BlockQueue {
public:
    BlockQueue(std::size_t blocks, std::size_t ahead) : m_blocks(blocks), m_ahead(ahead) {}

    // The next block for a thread to run, or none when all are given out or
    // the sweep stopped.
    std::optional<std::size_t> start() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(
            lock, [&] { return m_stopped || m_next >= m_blocks || m_next < m_taken + m_ahead; });
        if (m_stopped || m_next >= m_blocks) {
            return std::nullopt;
        }
        return m_next++;
    }
    void finish(std::size_t block, SweepBlock result) {
        {
            const std::lock_guard lock(m_mutex);
            m_done.emplace(block, std::move(result));
        }
        m_changed.notify_all();
    }
    // The next block in the sweep's order, once it is run; none when the
    // sweep stopped.
    std::optional<SweepBlock> take() {
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
    // Stops every thread, keeping the first failure.
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
    std::map<std::size_t, SweepBlock> m_done;
    bool m_stopped = false;
    std::exception_ptr m_failure;
};

} // namespace

unsigned sweepWorkers(std::size_t count) {
    if (count <= 4 * blockPoints) {
        return 1;
    }
    return std::clamp(std::thread::hardware_concurrency(), 1U, 8U);
}

void runSweepBlocks(const Session& session, const SweepRange& range, bool chart,
                    const std::function<void(const SweepBlock&)>& consume, unsigned workers) {
    const std::size_t blocks = range.count / blockPoints + (range.count % blockPoints != 0 ? 1 : 0);
    BlockQueue queue(blocks, 2 * std::size_t{workers});
    {
        std::vector<std::jthread> threads;
        threads.reserve(workers);
        for (unsigned w = 0; w < workers && blocks > 1 && workers > 1; ++w) {
            try {
                threads.emplace_back([&] {
                    try {
                        const std::unique_ptr<Session> own = session.copy();
                        while (const auto block = queue.start()) {
                            queue.finish(*block, runBlock(*own, range, *block, chart));
                        }
                    } catch (...) {
                        queue.stop(std::current_exception());
                    }
                });
            } catch (const std::system_error&) {
                break; // no more threads to be had (a limit on processes): fewer do
            }
        }
        if (threads.empty()) {
            // One thread, or none could be started: the calling one runs it.
            const std::unique_ptr<Session> own = session.copy();
            for (std::size_t block = 0; block < blocks; ++block) {
                consume(runBlock(*own, range, block, chart));
            }
            return;
        }
        try {
            for (std::size_t block = 0; block < blocks; ++block) {
                const std::optional<SweepBlock> result = queue.take();
                if (!result) {
                    break;
                }
                consume(*result);
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

} // namespace vantero
