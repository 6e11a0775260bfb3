#pragma once

#include "common/runs/sweep.h"
#include "report/axis.h"
#include "report/linechart.h"

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

// The chart of a sweep, apart from its painting: what it shows (the points
// kept and the crossovers), its axes, and its layout through the one layout
// of every chart with lines (report/linechart.h). No Qt.

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
    double m_end = 0;
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

// Where everything of the chart goes in `area`, with the looks and the
// sizes of texts the painter gives: the three distances against the swept
// input (the maximum as a broad band under the two it is the smaller of),
// the stretches where the rise-time budget cannot be met shaded, each change
// of the limit marked with its value, and the legend in the corner that
// covers the least.
LineChart layoutSweepChart(const SweepChart& chart, const Box& area, const ChartLook& look,
                           const TextMeasure& measure);

} // namespace vantero::report
