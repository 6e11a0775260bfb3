#include "common/runs/sweep.h"

#include "common/runs/csvwriter.h"
#include "common/runs/orderedblocks.h"

#include <algorithm>
#include <cmath>
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

} // namespace

unsigned sweepWorkers(std::size_t count, unsigned threads) {
    return count <= 4 * blockPoints ? 1 : std::max(threads, 1U);
}

void runSweepBlocks(const Session& session, const SweepRange& range, bool chart,
                    const std::function<void(const SweepBlock&)>& consume, unsigned workers) {
    runIndexedBlocks<SweepBlock>(
        (range.count + blockPoints - 1) / blockPoints, workers,
        [&] {
            return [&, own = std::shared_ptr<Session>(session.copy())](std::size_t block) {
                return runBlock(*own, range, block, chart);
            };
        },
        [&](SweepBlock&& block) { consume(block); });
}

} // namespace vantero
