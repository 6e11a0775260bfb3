#pragma once

#include "report/axis.h"
#include "report/geometry.h"
#include "report/look.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantero::report {

// The one layout of every chart with lines: the chart of a sweep, the
// report's charts against the bit rate and the length, and the histograms of
// the summary of a table of links and of trials (bars under no line). From what a chart
// shows (a LinePlan, in the data's units) it works out where everything
// goes (a LineChart, in the painter's units, y growing downwards): the plot,
// the axes and their ticks, the titles, the lines clipped to the plot, the
// shaded stretches, the marks and markers with their labels, and the
// legend. The painter (report/paint) only draws what it is given.

// A text and where it goes; its lines are broken by "\n".
struct Label {
    enum class Align { Left, Centre, Right };

    std::string text;
    Box box;
    TextRole role = TextRole::Label;
    Align align = Align::Left;
    Ink ink = Ink::Text;
    bool wraps = false; // broken into lines to fit the box's width
    bool along = false; // turned to read upwards, along a y axis
};

// A tick: where it stands along its axis, and its label (none for a minor
// tick).
struct TickMark {
    double at = 0;
    std::optional<Label> label;
};

// The ticks of a horizontal axis below the plot, labels centred under them
// but within `area`; of a vertical axis left of the plot, labels
// right-aligned.
std::vector<TickMark> xTickMarks(const std::vector<Tick>& ticks, const Axis& x, const Box& plot,
                                 const Box& area, const ChartLook& look,
                                 const TextMeasure& measure);
std::vector<TickMark> yTickMarks(const std::vector<Tick>& ticks, const Axis& y, const Box& plot,
                                 const ChartLook& look, const TextMeasure& measure);

// The captions of the three distances, as the windows show them.
std::string_view distanceCaption(LineStyle style);
// What the shaded stretches say.
inline constexpr std::string_view riseTimeNotMet = "tempo de subida não atendido";

// Points of a line: x and, where there is one, y.
using LinePoints = std::vector<std::pair<double, std::optional<double>>>;

// The part of the segment from y0 to y1 within lo <= y <= hi, as shares of
// the segment, if any.
std::optional<std::pair<double, double>> visibleShare(double y0, double y1, double lo, double hi);

// The pieces of a line through `points` in the painter's units, broken
// where a point has no value (or one that is not finite) and clipped to the
// y axis's range. A lone point is a piece of one point.
std::vector<std::vector<Pixel>> linePieces(const LinePoints& points, const Axis& x, const Axis& y);

// The stretches where the points of `shaded` say so, as left and right
// positions: each from halfway to the neighbouring points that do not, or
// from the edge of the plot.
std::vector<std::pair<double, double>>
stretchesWhere(const std::vector<std::pair<double, bool>>& shaded, const Axis& x, const Box& plot);

// What a chart with lines shows.
struct LinePlan {
    struct Series {
        LineStyle style;
        std::string caption; // in the legend
        LinePoints points;
    };
    // A dashed line across the plot at x, labelled beside it; `dot`, a
    // marker on it at that y.
    struct Mark {
        double x = 0;
        std::string label;
        bool framed = false;
        std::optional<double> dot;
    };
    // A marked point, labelled beside it.
    struct Marker {
        double x = 0;
        double y = 0;
        std::string label;
    };
    // A bar standing on y = 0 (or on the edge of the plot nearer it) from
    // one x to another, up to `value`: a histogram's.
    struct Bar {
        double from = 0;
        double to = 0;
        double value = 0;
        BarKind kind = BarKind::MarginMet;
    };
    enum class Legend { None, Below, Corner };

    std::string title;    // above everything, centred
    std::string subtitle; // below the title
    Axis x;               // its range and scale
    // The values shown, widened to round ticks, about `yTicks` of them.
    double yLow = 0;
    double yHigh = 1;
    int yTicks = 5;
    // A little room below the lowest tick, so that a broad line there shows
    // whole.
    bool roomBelow = false;
    bool zeroLine = false;   // a line across at y = 0, when it is in range
    bool zeroColumn = false; // a line up the plot at x = 0, when it is in range
    std::string xTitle;
    std::string yTitle;
    bool yTitleAlong = false; // along the y axis, else above the plot
    std::vector<Series> series;
    std::vector<Bar> bars; // drawn under the lines
    // Each point's x, and whether the rise-time budget fails there: those
    // stretches are shaded.
    std::vector<std::pair<double, bool>> shaded;
    std::vector<Mark> marks;
    bool markLabelsAtTop = true; // else in rows from the bottom of the plot
    std::vector<Marker> markers;
    Legend legend = Legend::None;
    // The legend's entry for the marks; none when empty.
    std::string markCaption;
    // Said in the middle of a plot with no line.
    std::string notice;
};

struct ChartBar {
    BarKind kind;
    Box box;
};

struct ChartLine {
    LineStyle style;
    std::string caption;
    std::vector<std::vector<Pixel>> pieces;
};

struct Stretch {
    double left = 0;
    double right = 0;
    std::optional<Label> label; // when it fits
};

struct VerticalMark {
    double x = 0;
    Label label;
    std::optional<Box> frame; // around the label
};

struct ChartMarker {
    Pixel at;
    std::optional<Label> label; // on a background of its own
};

struct LegendEntry {
    LineStyle style;
    Box sample; // the sample line across its middle
    Label text;
};

struct Legend {
    std::optional<Box> frame;
    std::vector<LegendEntry> entries;
};

struct LineChart {
    Box plot;
    Box clip; // where the lines are drawn: the plot and a little room around it
    Axis x;
    Axis y;
    std::vector<TickMark> xTicks;
    std::vector<TickMark> yTicks;
    std::vector<Label> titles; // the chart's and its axes'
    std::optional<double> zeroY;
    std::optional<double> zeroX;
    std::vector<Stretch> stretches;
    std::vector<ChartBar> bars; // within the plot
    std::vector<ChartLine> lines;
    std::vector<VerticalMark> verticals;
    std::vector<ChartMarker> markers;
    Legend legend;
    std::optional<Label> notice;
};

// Lays out `plan` in `area`. The labels of the y ticks get at least
// `tickWidth` of room, so that charts above one another can share their
// edges.
LineChart layoutLineChart(const LinePlan& plan, const Box& area, const ChartLook& look,
                          const TextMeasure& measure, double tickWidth = 0);

// The widest label of the y ticks of a plan.
double yTickWidth(const LinePlan& plan, const TextMeasure& measure);

// The size of a label of some lines of text.
double textWidth(std::string_view text, TextRole role, const TextMeasure& measure);
double textHeight(std::string_view text, TextRole role, const TextMeasure& measure);

} // namespace vantero::report
