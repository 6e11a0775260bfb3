#pragma once

#include <string>
#include <vector>

namespace vantero::report {

// The axes of every chart: values to the painter's units, linear or in the
// logarithm of the magnitude, and their round ticks.

struct Axis {
    double min = 0;
    double max = 1;
    bool logarithmic = false;
    double first = 0; // the painter's position of min
    double last = 1;  // the painter's position of max

    double position(double v) const;
    double pixel(double v) const;
};

struct Tick {
    double value;
    std::string label; // empty for a minor tick
};

// The value a share `t` of the way from `a` to `b`, and the share of the way
// at which `v` lies, for any finite values: also where b - a is beyond the
// largest double (an axis from -1e308 to 1e308).
double between(double a, double b, double t);
double shareOf(double v, double a, double b);
// `value`, or the largest finite double of its sign where it lies beyond: an
// end of an axis rounded or widened outwards ends there.
double withinDoubles(double value);

// A round step (1, 2, 2.5 or 5 times a power of ten) that cuts `span`, or
// the range from `lo` to `hi` (wider than the largest double, it may be),
// into about `wanted` parts.
double niceStep(double span, int wanted);
double niceStep(double lo, double hi, int wanted);
// The text of a tick at `value` on an axis whose ticks are `step` apart.
std::string tickLabel(double value, double step);
// Round ticks from min to max, about `wanted` of them.
std::vector<Tick> linearTicks(double min, double max, int wanted);
// Decades, with the multiples between them as minor ticks (labelled 2 and 5
// when the axis spans few decades); within less than a decade, evenly spaced
// labels.
std::vector<Tick> logTicks(double min, double max);
// A linear axis over lo..hi widened to round ends, ticks about `wanted`
// apart; a single value is widened around it first.
Axis roundAxis(double lo, double hi, int wanted);

// A value in four significant digits, or as a whole number from 1000 up to
// ten million, "." as the decimal point.
std::string shortNumber(double value);

} // namespace vantero::report
