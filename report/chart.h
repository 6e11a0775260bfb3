#pragma once

#include "common/runs/sweep.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantero::report {

// The arithmetic of the chart of a sweep, apart from its painting: what it
// shows (points and crossovers), its axes and ticks, the lines of its series
// clipped to the plot, and where its legend and labels go. No Qt: the
// painter (report/paint) only draws what this gives it, in pixels.

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

// The crossover between two neighbouring points, if the limit changes there.
std::optional<Crossover> crossoverBetween(const ChartPoint& a, const ChartPoint& b,
                                          bool logarithmic);
std::vector<Crossover> findCrossovers(std::span<const ChartPoint> points, bool logarithmic);

// The points a chart of a sweep needs, in a memory that does not grow with
// the number of points: a picture has only so many columns. The sweep's
// range is cut into `columns` equal parts (in the logarithm of the input on
// a logarithmic sweep), and of the points that fall into one part it keeps
// the first and the last, those with the lowest and the highest value of
// each distance, and both sides of every change of what the line is there
// (a distance appearing or vanishing, the limit changing, the rise-time
// budget failing), up to a few such changes a part. A sweep of fewer points
// than parts is kept whole. The crossovers are found between the sweep's
// own neighbours, so every change of the limit is where it is, up to
// maximumCrossovers of them.
class ChartEnvelope {
public:
    static constexpr std::size_t maximumCrossovers = 4096;
    static constexpr std::size_t changesPerColumn = 32;

    ChartEnvelope(double from, double to, bool logarithmic, std::size_t columns = 2048);

    // The sweep's points that did not fault, in the sweep's order.
    void add(const ChartPoint& point);

    // The points kept, in the sweep's order.
    std::vector<ChartPoint> points();
    const std::vector<Crossover>& crossovers() const { return m_crossovers; }

private:
    using Indexed = std::pair<std::uint64_t, ChartPoint>;

    double position(double input) const;
    std::size_t columnOf(double input) const;
    static bool sameKind(const ChartPoint& a, const ChartPoint& b);
    void flush();

    bool m_logarithmic;
    std::size_t m_columns;
    double m_first = 0;
    double m_span = 0;
    std::uint64_t m_count = 0;
    std::size_t m_column = 0;
    std::optional<ChartPoint> m_previous;
    std::uint64_t m_previousIndex = 0;
    // The current column's candidates.
    std::vector<Indexed> m_kept;
    std::array<std::optional<Indexed>, 3> m_lowest;
    std::array<std::optional<Indexed>, 3> m_highest;
    std::size_t m_changes = 0;
    // What is kept of the columns done.
    std::vector<ChartPoint> m_points;
    std::uint64_t m_lastIndex = 0;
    std::vector<Crossover> m_crossovers;
};

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

// The chart's frame for a sweep of `range` on `calculator`; its points are
// added as the sweep runs.
SweepChart sweepChart(const Calculator& calculator, const SweepRange& range);

// The label of an axis: the window's label, its blanks trimmed, and the unit
// in parentheses unless the label already gives one.
std::string axisLabel(std::string_view label, std::string_view unit);

// A value in four significant digits, or as a whole number from 1000 up to
// ten million, "." as the decimal point.
std::string shortNumber(double value);

// A point and a rectangle in pixels, y growing downwards.
struct Pixel {
    double x = 0;
    double y = 0;
};
struct Box {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    // Whether the two share some area.
    bool intersects(const Box& other) const;
    // Whether the point lies inside or on the edge.
    bool contains(double x, double y) const;
};

// One axis: data values to pixels, linear or in the logarithm of the
// magnitude.
struct Axis {
    double min = 0;
    double max = 1;
    bool logarithmic = false;
    double first = 0; // pixel of min
    double last = 1;  // pixel of max

    double position(double v) const;
    double pixel(double v) const;
};

struct Tick {
    double value;
    std::string label; // empty for a minor tick
};

// A round step (1, 2, 2.5 or 5 times a power of ten) that cuts `span` into
// about `wanted` parts.
double niceStep(double span, int wanted);
// The text of a tick at `value` on an axis whose ticks are `step` apart.
std::string tickLabel(double value, double step);
// Round ticks from min to max, about `wanted` of them.
std::vector<Tick> linearTicks(double min, double max, int wanted);
// Decades, with the multiples between them as minor ticks (labelled 2 and 5
// when the axis spans few decades); within less than a decade, evenly spaced
// labels.
std::vector<Tick> logTicks(double min, double max);

// The input axis of a chart: the sweep's range (larger magnitudes to the
// right), widened a little when it is a single value.
Axis inputAxis(const SweepChart& chart);
// The distances shown: from 0 (or below, for negative distances) to a little
// above the largest maximum distance, so that the distance that limits the
// link and its crossovers fill the chart, and high enough for each budget's
// line to show where it comes nearest, unless that is far away; what lies
// beyond is clipped. The ends are round ticks.
Axis distanceAxis(const SweepChart& chart);

using Series = std::optional<double> ChartPoint::*;

// The largest and smallest finite values of a series, if any.
std::optional<double> largest(std::span<const ChartPoint> points, Series series);
std::optional<double> smallest(std::span<const ChartPoint> points, Series series);

// The line of one series in pixels: its pieces, broken where a point has no
// value and clipped to the plotted range of distances. A lone point is a
// piece of one pixel (a dot).
std::vector<std::vector<Pixel>> seriesLines(std::span<const ChartPoint> points, Series series,
                                            const Axis& x, const Axis& y);

// The stretches, as left and right pixels, where the rise-time budget cannot
// be met: each from halfway to the neighbours that meet it, or to the edge of
// the plot.
std::vector<std::pair<double, double>> rejectedStretches(std::span<const ChartPoint> points,
                                                         const Axis& x, const Box& plot);

// The box of the label of crossover number `index` at pixel `x`, of the given
// size: beside the line on the side with room, one row lower for each
// crossover (in rows of four) so that neighbours do not cover each other.
Box crossoverLabelBox(double x, double width, double height, const Box& plot, std::size_t index);

// The corner of the plot for a legend of the given size: the one that covers
// no label and the fewest points of the three distances.
Box legendBox(double width, double height, const Box& plot, std::span<const Box> labels,
              std::span<const ChartPoint> points, const Axis& x, const Axis& y);

} // namespace vantero::report
