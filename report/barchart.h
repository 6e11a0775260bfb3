#pragma once

#include "common/links/budgets.h"
#include "report/axis.h"
#include "report/geometry.h"
#include "report/linechart.h"
#include "report/look.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantero::report {

// The report's bar charts of both budgets, apart from their painting: the
// scale and its ticks (as every chart has them, report/linechart.h), the
// geometry of the bars and the waterfall, and where every label goes, in the
// painter's units (y growing downwards). The painter only draws what this
// gives it.

// A value with `decimals` decimals and its unit, "-" for negatives but never
// "-0.00", "+" in front when `signed`.
std::string chartValue(double value, int decimals, std::string_view unit, bool withSign = false);

struct BarRow {
    BarKind kind;
    Box bar;
    Label caption; // left of the plot, right-aligned
    Label value;   // beside the bar, or on it (Ink::OnBar) where there is no room

    bool valueInside() const { return value.ink == Ink::OnBar; }
};

// A vertical line across the plot at a value, labelled above the plot.
struct ReferenceLine {
    double x = 0;
    Label label;
};

// Horizontal bars, one row each, on one value axis.
struct BarChart {
    Box plot;
    Axis axis; // values to x positions
    std::vector<TickMark> ticks;
    Label axisTitle;
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
// sensitivity as a reference line.
BarChart powerWaterfall(const LinkBudgets& budgets, const Box& area, const ChartLook& look,
                        const TextMeasure& measure);

// The rise-time budget as bars from 0: the rise time allowed, each of the
// link's rise times, their root sum of squares, and the margin between the
// last and the first; the rise time allowed as a reference line.
BarChart riseTimeBars(const LinkBudgets& budgets, const Box& area, const ChartLook& look,
                      const TextMeasure& measure);

} // namespace vantero::report
