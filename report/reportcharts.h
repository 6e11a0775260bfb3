#pragma once

#include "report/chart.h"
#include "report/designreport.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::report {

// The arithmetic of the design report's charts, apart from their painting:
// scales and ticks, the geometry of the bars and the waterfall, the lines,
// and where every label goes, in the painter's units (y growing downwards).
// The painter (report/paint) only draws what this gives it; it tells the widths
// of texts in the charts' font.
using TextWidth = std::function<double(std::string_view)>;

// A value with `decimals` decimals and its unit, "-" for negatives but never
// "-0.00", "+" in front when `signed`.
std::string chartValue(double value, int decimals, std::string_view unit, bool withSign = false);

// What a bar stands for, which its colour says.
enum class BarKind {
    Available,   // the launched power over the sensitivity; the rise time allowed
    Loss,        // a loss of the power budget
    Gain,        // a negative loss
    RiseTime,    // a rise time of the link
    Total,       // the link's rise time
    MarginMet,   // what is left, 0 or more
    MarginShort, // what is missing
};

struct BarRow {
    std::string caption; // left of the plot, right-aligned in captionBox
    std::string value;   // in valueBox
    BarKind kind;
    Box bar;
    Box captionBox;
    Box valueBox;
    bool valueInside = false; // no room beside the bar: the value is on it
};

// A vertical line across the plot at a value, labelled above the plot.
struct ReferenceLine {
    double x = 0; // pixel
    std::string label;
    Box labelBox;
};

// Horizontal bars, one row each, on one value axis.
struct BarChart {
    Box plot;
    Axis axis; // values to x pixels
    std::vector<Tick> ticks;
    std::string axisTitle;
    Box axisTitleBox;
    std::vector<BarRow> rows;
    // The dotted steps of a waterfall, from the end of one bar to the start
    // of the next.
    std::vector<std::pair<Pixel, Pixel>> steps;
    std::optional<ReferenceLine> reference;
};

// The power budget as a waterfall, in `area`: a first bar from the
// sensitivity up to the launched power, each loss in the budget's order
// going down from where the previous one ended, and the margin from the
// sensitivity to what is left (short of the sensitivity when negative); the
// sensitivity as a reference line. `lineHeight` is the height of a line of
// text.
BarChart powerWaterfall(const LinkBudgets& budgets, const Box& area, double lineHeight,
                        const TextWidth& width);

// The rise-time budget as bars from 0: the rise time allowed, each of the
// link's rise times, their root sum of squares, and the margin between the
// last and the first; the rise time allowed as a reference line.
BarChart riseTimeBars(const LinkBudgets& budgets, const Box& area, double lineHeight,
                      const TextWidth& width);

// How a line is drawn.
enum class LineStyle { Power, RiseTime, Maximum, PowerMargin, RiseTimeMargin };

struct ChartLine {
    LineStyle style;
    std::string caption;                    // in the legend
    std::vector<std::vector<Pixel>> pieces; // broken where there is no value
};

// A point marked on a chart, with its label.
struct ChartMarker {
    Pixel at;
    std::string label;
    Box labelBox;
};

// A vertical dashed line across the plot, with its label inside the plot at
// the top.
struct VerticalMark {
    double x = 0;
    std::string label;
    Box labelBox;
};

struct LegendEntry {
    LineStyle style;
    std::string caption;
    Box sample; // where the sample line goes (its middle height)
    Box text;
};

struct LineChart {
    Box plot;
    Axis x;
    Axis y;
    std::vector<Tick> xTicks;
    std::vector<Tick> yTicks;
    std::string xTitle;
    Box xTitleBox;
    std::string yTitle;
    Box yTitleBox;               // above the plot, over the y tick labels
    std::optional<double> zeroY; // the pixel of y = 0, when inside the plot
    std::vector<ChartLine> lines;
    std::vector<ChartMarker> markers;
    std::vector<VerticalMark> verticals;
    std::vector<LegendEntry> legend; // in one row below the x title
    // Where no length of fibre meets the rise-time budget, as left and right
    // pixels: from halfway to the neighbouring points that meet it, or from
    // the edge of the plot.
    std::vector<std::pair<double, double>> shortStretches;
};

// The maximum distance against the bit rate (logarithmic), with the two
// distances it is the smaller of, and this design marked. None when the
// report has no sweep of the bit rate.
std::optional<LineChart> bitRateChart(const DesignReport& report, const Box& area,
                                      double lineHeight, const TextWidth& width);

// Both margins against the length, one above the other on the same lengths:
// the power margin (dB) and the rise-time margin (ns), each with its zero,
// where it crosses zero marked, and the maximum distance across both. The
// two plots share their left and right edges.
std::array<LineChart, 2> marginCharts(const DesignReport& report, const Box& area,
                                      double lineHeight, const TextWidth& width);

// The pieces of a line through `points` (x, y) in pixels, broken where a
// point has no value (or one that is not finite) and clipped to the y axis's
// range. A lone point is a piece of one pixel.
std::vector<std::vector<Pixel>>
linePieces(const std::vector<std::pair<double, std::optional<double>>>& points, const Axis& x,
           const Axis& y);

} // namespace vantero::report
