#pragma once

#include "common/calculator/calculator.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vantero {

// The points of a sweep of one numeric input: `count` values from `from` to
// `to`, both included, evenly spaced or, when logarithmic, in a constant
// ratio.
struct SweepRange {
    std::size_t input = 0;
    double from = 0;
    double to = 0;
    std::size_t count = 0;
    bool logarithmic = false;
};

// The value of point `index` (0 to count - 1): FROM and TO exactly at the
// ends; on a logarithmic sweep, 10 raised to the evenly spaced logarithms.
double sweepValue(const SweepRange& range, std::size_t index);

// A point of a sweep that did not fault, as its chart shows it.
struct ChartPoint : LinkDistances {
    bool riseTimeRejected = false; // the rise-time budget cannot be met
};

// A run of consecutive points of a sweep: their CSV rows and, when a chart is
// drawn, their chart points (those that did not fault).
struct SweepBlock {
    std::string csv;
    std::vector<ChartPoint> chart;
};

// Runs every point of a sweep on the session's figures and hands the points
// to `consume` a block at a time, in the sweep's order, on the calling
// thread. Large sweeps run on `workers` threads, each on a copy of the
// session (fewer when the system cannot start so many); a failure of one
// (memory running out, or of `consume`) stops them all and is thrown here.
// The session's swept input is left as it was.
void runSweepBlocks(const Session& session, const SweepRange& range, bool chart,
                    const std::function<void(const SweepBlock&)>& consume, unsigned workers);

// The threads a sweep of `count` points is worth: one for a small sweep, else
// `threads` (--threads, or the processors this process may use).
unsigned sweepWorkers(std::size_t count, unsigned threads);

} // namespace vantero
