#pragma once

#include "cli/core/calculator.h"

#include <cstddef>
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

// A point of the chart of a sweep: a run that did not fault.
struct ChartPoint : LinkDistances {
    bool riseTimeRejected = false; // the rise-time budget cannot be met
};

// Where the limit of the link changes between two neighbouring points. When
// both have a rise-time distance the place is interpolated where the two
// distances meet (in the logarithm of the input on a logarithmic sweep), and
// `distance` is the distance there; when one lacks it (a failed rise-time
// budget) it is the middle of the two points and there is no distance.
struct Crossover {
    double input = 0;
    std::optional<double> distance;
    LimitingFactor before = LimitingFactor::Attenuation;
    LimitingFactor after = LimitingFactor::Dispersion;
};

std::vector<Crossover> findCrossovers(std::span<const ChartPoint> points, bool logarithmic);

// Everything a chart of a sweep shows.
struct SweepChart {
    std::string title;    // the calculator window's caption
    std::string subtitle; // the calculator, the swept input and the points
    std::string xLabel;   // the input's label in the window, with its unit
    std::string xUnit;
    bool logarithmic = false;
    double from = 0;
    double to = 0;
    std::vector<ChartPoint> points; // the faulting points left out
    std::vector<Crossover> crossovers;
};

// The label of an axis: the window's label, its blanks trimmed, and the unit
// in parentheses unless the label already gives one.
std::string axisLabel(std::string_view label, std::string_view unit);

// The chart's frame for a sweep of `range` on `calculator`; its points are
// added as the sweep runs.
SweepChart sweepChart(const Calculator& calculator, const SweepRange& range);

} // namespace vantero::cli
