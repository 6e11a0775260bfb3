#pragma once

#include "calculators/registry.h"
#include "cli/core/chart.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::cli {

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

// Reads NAME=FROM:TO:COUNT. NAME must be a numeric input of the calculator;
// FROM and TO follow the number rules of the fields; COUNT is a whole number
// of at least 1 (1 only when FROM equals TO); a logarithmic sweep needs FROM
// and TO of the same sign, neither 0. Anything else is a usage error; a FROM
// or TO that is not a number fails with NumberFormatFailure naming NAME.
SweepRange parseSweep(const Calculator& calculator, std::string_view sweepArgument,
                      bool logarithmic);

// The value of point `index` (0 to count - 1): FROM and TO exactly at the
// ends; on a logarithmic sweep, 10 raised to the evenly spaced logarithms.
double sweepValue(const SweepRange& range, std::size_t index);

// The chart's frame for a sweep of `range` on `calculator`; its points are
// added as the sweep runs.
SweepChart sweepChart(const Calculator& calculator, const SweepRange& range);

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

} // namespace vantero::cli
