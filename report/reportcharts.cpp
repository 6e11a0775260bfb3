#include "report/reportcharts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vantero::report {
namespace {

constexpr double gap = 4; // between a bar or a line and its label

struct BarPlan {
    std::string caption;
    double from;
    double to;
    BarKind kind;
    std::string value;
};

struct Reference {
    double value;
    std::string label;
};

// Whether the box lies between the left and right edges of `plot`.
bool withinWidth(const Box& box, const Box& plot) {
    return box.left >= plot.left && box.right() <= plot.right();
}

bool within(const Box& box, const Box& plot) {
    return withinWidth(box, plot) && box.top >= plot.top && box.bottom() <= plot.bottom();
}

// `box` moved sideways into [left, right] as far as it fits.
Box clampedSideways(Box box, double left, double right) {
    box.left = std::max(left, std::min(box.left, right - box.width));
    return box;
}

// An axis of round ends over lo..hi, ticks about `wanted` apart.
Axis roundAxis(double lo, double hi, int wanted) {
    if (!(lo < hi)) {
        const double pad = lo == 0 ? 1 : std::fabs(lo) * 0.1;
        lo -= pad;
        hi += pad;
    }
    const double step = niceStep(hi - lo, wanted);
    Axis axis;
    axis.min = std::floor(lo / step + 1e-9) * step;
    axis.max = std::ceil(hi / step - 1e-9) * step;
    return axis;
}

BarChart layoutBars(const std::vector<BarPlan>& plans, const std::optional<Reference>& reference,
                    std::string axisTitle, bool stepped, const Box& area, double lineHeight,
                    const TextWidth& width) {
    BarChart chart;
    double captionWidth = 0;
    for (const BarPlan& plan : plans) {
        captionWidth = std::max(captionWidth, width(plan.caption));
    }
    captionWidth = std::min(captionWidth + 10, 0.42 * area.width);
    const double top = area.top + lineHeight + 6;              // the reference's label above
    const double bottom = area.bottom() - 2 * lineHeight - 10; // tick labels, axis title
    chart.plot = {area.left + captionWidth, top, area.right() - 4 - (area.left + captionWidth),
                  bottom - top};
    const Box& plot = chart.plot;

    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (const BarPlan& plan : plans) {
        lo = std::min({lo, plan.from, plan.to});
        hi = std::max({hi, plan.from, plan.to});
    }
    if (reference) {
        lo = std::min(lo, reference->value);
        hi = std::max(hi, reference->value);
    }
    // Room beside the bars for their values; a scale that starts at 0 stays
    // there.
    const bool fromZero = lo >= 0;
    const double span = hi - lo;
    lo -= 0.16 * span;
    hi += 0.16 * span;
    if (fromZero) {
        lo = std::max(lo, 0.0);
    }
    chart.axis = roundAxis(lo, hi, 6);
    chart.axis.first = plot.left;
    chart.axis.last = plot.right();
    chart.ticks = linearTicks(chart.axis.min, chart.axis.max, 6);
    chart.axisTitle = std::move(axisTitle);
    chart.axisTitleBox = {plot.left, plot.bottom() + lineHeight + 6, plot.width, lineHeight};

    // The reference line first: the values beside the bars keep clear of it.
    std::optional<double> referenceX;
    if (reference) {
        referenceX = chart.axis.pixel(reference->value);
    }
    const double rowHeight =
        plot.height / static_cast<double>(std::max<std::size_t>(plans.size(), 1));
    const double barHeight = std::min(0.62 * rowHeight, 1.6 * lineHeight);
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const BarPlan& plan = plans[i];
        const double middle = plot.top + (static_cast<double>(i) + 0.5) * rowHeight;
        BarRow row{plan.caption, plan.value, plan.kind, {}, {}, {}};
        const double x0 = chart.axis.pixel(std::min(plan.from, plan.to));
        const double x1 = chart.axis.pixel(std::max(plan.from, plan.to));
        row.bar = {x0, middle - barHeight / 2, std::max(x1 - x0, 1.0), barHeight};
        row.captionBox = {area.left, middle - rowHeight / 2, captionWidth - 8, rowHeight};

        // The value beside the end the bar goes to, else beside its start,
        // else on it.
        const double w = width(plan.value);
        const Box right{row.bar.right() + gap, middle - lineHeight / 2, w, lineHeight};
        const Box left{row.bar.left - gap - w, middle - lineHeight / 2, w, lineHeight};
        const bool down = plan.to < plan.from;
        auto clearOfReference = [&](Box box, bool rightSide) {
            if (referenceX && box.left < *referenceX && box.right() > *referenceX) {
                box.left = rightSide ? *referenceX + gap : *referenceX - gap - w;
            }
            return box;
        };
        const Box after = clearOfReference(down ? left : right, !down);
        const Box before = clearOfReference(down ? right : left, down);
        if (withinWidth(after, plot)) {
            row.valueBox = after;
        } else if (withinWidth(before, plot)) {
            row.valueBox = before;
        } else {
            row.valueBox = {row.bar.left + (row.bar.width - w) / 2, middle - lineHeight / 2, w,
                            lineHeight};
            row.valueInside = true;
        }
        chart.rows.push_back(std::move(row));
    }
    if (stepped) {
        for (std::size_t i = 0; i + 1 < plans.size(); ++i) {
            const double x = chart.axis.pixel(plans[i].to);
            chart.steps.emplace_back(Pixel{x, chart.rows[i].bar.bottom()},
                                     Pixel{x, chart.rows[i + 1].bar.top});
        }
    }
    if (reference) {
        ReferenceLine line;
        line.x = *referenceX;
        line.label = reference->label;
        const double w = width(line.label);
        line.labelBox =
            clampedSideways({line.x - w / 2, area.top, w, lineHeight}, plot.left, plot.right());
        chart.reference = line;
    }
    return chart;
}

const BudgetTerm* findTerm(const std::vector<BudgetTerm>& terms, TermKind kind) {
    for (const BudgetTerm& term : terms) {
        if (term.kind == kind) {
            return &term;
        }
    }
    return nullptr;
}

// The part of the segment from y0 to y1 within lo <= y <= hi, as shares of
// the segment, if any.
std::optional<std::pair<double, double>> shareWithin(double y0, double y1, double lo, double hi) {
    double t0 = 0;
    double t1 = 1;
    const double dy = y1 - y0;
    if (dy == 0) {
        return y0 >= lo && y0 <= hi ? std::optional(std::pair{0.0, 1.0}) : std::nullopt;
    }
    const double tLo = (lo - y0) / dy;
    const double tHi = (hi - y0) / dy;
    t0 = std::max(t0, std::min(tLo, tHi));
    t1 = std::min(t1, std::max(tLo, tHi));
    if (!(t0 <= t1)) {
        return std::nullopt;
    }
    return std::pair{t0, t1};
}

using Points = std::vector<std::pair<double, std::optional<double>>>;

struct SeriesPlan {
    LineStyle style;
    std::string caption;
    Points points;
};

struct MarkerPlan {
    double x;
    double y;
    std::string label;
};

struct LinePlan {
    Axis x;
    double yLow = 0;
    double yHigh = 1;
    std::string xTitle;
    std::string yTitle;
    std::vector<SeriesPlan> series;
    std::vector<MarkerPlan> markers;
    std::vector<std::pair<double, std::string>> verticals;
    bool legend = false;
};

// The first of the places around a point (above right, above left, below
// right, below left) where a label of the given size lies in the plot and
// covers no other label; the first, moved into the plot, when none does.
Box labelBeside(Pixel at, double w, double h, const Box& plot, const std::vector<Box>& taken) {
    const Box candidates[] = {
        {at.x + 6, at.y - 6 - h, w, h},
        {at.x - 6 - w, at.y - 6 - h, w, h},
        {at.x + 6, at.y + 6, w, h},
        {at.x - 6 - w, at.y + 6, w, h},
    };
    for (const Box& box : candidates) {
        const bool free = std::none_of(taken.begin(), taken.end(),
                                       [&](const Box& other) { return box.intersects(other); });
        if (within(box, plot) && free) {
            return box;
        }
    }
    Box box = clampedSideways(candidates[0], plot.left, plot.right());
    box.top = std::max(plot.top, std::min(box.top, plot.bottom() - h));
    return box;
}

// The widest label of the y ticks of a chart.
double yTickWidth(const LinePlan& plan, const TextWidth& width) {
    const Axis y = roundAxis(plan.yLow, plan.yHigh, 5);
    double widest = 0;
    for (const Tick& t : linearTicks(y.min, y.max, 5)) {
        widest = std::max(widest, width(t.label));
    }
    return widest;
}

// `tickWidth`: the room for the y ticks' labels, at least that of this
// chart's.
LineChart layoutLines(const LinePlan& plan, const Box& area, double lineHeight,
                      const TextWidth& width, double tickWidth = 0) {
    LineChart chart;
    chart.y = roundAxis(plan.yLow, plan.yHigh, 5);
    chart.yTicks = linearTicks(chart.y.min, chart.y.max, 5);
    tickWidth = std::max(tickWidth, yTickWidth(plan, width));
    const double left = area.left + tickWidth + 10;
    const double top = area.top + lineHeight + 6;     // the y title above
    double bottom = area.bottom() - (lineHeight + 4); // the tick labels
    if (!plan.xTitle.empty()) {
        bottom -= lineHeight + 4;
    }
    if (plan.legend) {
        bottom -= lineHeight + 8;
    }
    chart.plot = {left, top, area.right() - 6 - left, bottom - top};
    const Box& plot = chart.plot;
    chart.x = plan.x;
    chart.x.first = plot.left;
    chart.x.last = plot.right();
    chart.y.first = plot.bottom();
    chart.y.last = plot.top;
    chart.xTicks = chart.x.logarithmic ? logTicks(chart.x.min, chart.x.max)
                                       : linearTicks(chart.x.min, chart.x.max, 8);
    chart.xTitle = plan.xTitle;
    chart.xTitleBox = {plot.left, plot.bottom() + lineHeight + 6, plot.width, lineHeight};
    chart.yTitle = plan.yTitle;
    chart.yTitleBox = {area.left, area.top, std::max(width(plan.yTitle), plot.width), lineHeight};
    if (chart.y.min <= 0 && chart.y.max >= 0) {
        chart.zeroY = chart.y.pixel(0);
    }
    for (const SeriesPlan& series : plan.series) {
        chart.lines.push_back(
            {series.style, series.caption, linePieces(series.points, chart.x, chart.y)});
    }

    std::vector<Box> taken;
    for (const auto& [x, label] : plan.verticals) {
        VerticalMark mark;
        mark.x = chart.x.pixel(x);
        mark.label = label;
        const double w = width(label);
        mark.labelBox = {mark.x + gap, plot.top + 2, w, lineHeight};
        if (mark.labelBox.right() > plot.right()) {
            mark.labelBox.left = mark.x - gap - w;
        }
        taken.push_back(mark.labelBox);
        chart.verticals.push_back(std::move(mark));
    }
    for (const MarkerPlan& m : plan.markers) {
        ChartMarker marker;
        marker.at = {chart.x.pixel(m.x), chart.y.pixel(m.y)};
        marker.label = m.label;
        marker.labelBox = labelBeside(marker.at, width(m.label), lineHeight, plot, taken);
        taken.push_back(marker.labelBox);
        chart.markers.push_back(std::move(marker));
    }
    if (plan.legend) {
        double x = plot.left;
        const double rowTop = area.bottom() - lineHeight - 2;
        for (const ChartLine& line : chart.lines) {
            const double w = width(line.caption);
            chart.legend.push_back({line.style,
                                    line.caption,
                                    {x, rowTop, 22, lineHeight},
                                    {x + 28, rowTop, w, lineHeight}});
            x += 28 + w + 16;
        }
    }
    return chart;
}

// The smallest and largest finite values of some series, with `also`.
std::pair<double, double> valueRange(const std::vector<const Points*>& series,
                                     std::initializer_list<double> also) {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (const Points* points : series) {
        for (const auto& [x, y] : *points) {
            if (y && std::isfinite(*y)) {
                lo = std::min(lo, *y);
                hi = std::max(hi, *y);
            }
        }
    }
    for (const double v : also) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    return {lo, hi};
}

// A distance in four significant digits (whole km from 1000 on).
std::string kilometres(double km) {
    return shortNumber(km) + " km";
}

} // namespace

std::string chartValue(double value, int decimals, std::string_view unit, bool withSign) {
    char text[64];
    if (std::fabs(value) >= 1e9) {
        std::snprintf(text, sizeof text, withSign ? "%+.4g" : "%.4g", value);
    } else {
        const double scale = std::pow(10.0, decimals);
        double rounded = std::round(value * scale) / scale;
        if (rounded == 0) {
            rounded = 0; // never "-0.00" nor "+0.00"
            withSign = false;
        }
        std::snprintf(text, sizeof text, withSign ? "%+.*f" : "%.*f", decimals, rounded);
    }
    std::string result(text);
    if (!unit.empty()) {
        result += " ";
        result += unit;
    }
    return result;
}

BarChart powerWaterfall(const LinkBudgets& budgets, const Box& area, double lineHeight,
                        const TextWidth& width) {
    const BudgetTerm* launched = findTerm(budgets.powerTerms, TermKind::Available);
    const BudgetTerm* sensitivity = findTerm(budgets.powerTerms, TermKind::Required);
    const double s = sensitivity != nullptr ? sensitivity->value : 0;
    double level = launched != nullptr ? launched->value : 0;
    std::vector<BarPlan> plans;
    if (launched != nullptr) {
        plans.push_back({std::string(launched->caption), s, level, BarKind::Available,
                         chartValue(level, 2, dBm)});
    }
    for (const BudgetTerm& term : budgets.powerTerms) {
        if (term.kind == TermKind::Loss) {
            const double next = level - term.value;
            plans.push_back({std::string(term.caption), level, next,
                             term.value >= 0 ? BarKind::Loss : BarKind::Gain,
                             chartValue(-term.value, 2, dB, true)});
            level = next;
        }
    }
    const double margin = budgets.powerMargin.value_or(level - s);
    plans.push_back({"Margem", s, s + margin,
                     margin >= 0 ? BarKind::MarginMet : BarKind::MarginShort,
                     chartValue(margin, 2, dB, true)});
    std::optional<Reference> reference;
    if (sensitivity != nullptr) {
        reference = Reference{s, std::string(sensitivity->caption) + " " + chartValue(s, 2, dBm)};
    }
    return layoutBars(plans, reference, "Nível de potência (dBm)", true, area, lineHeight, width);
}

BarChart riseTimeBars(const LinkBudgets& budgets, const Box& area, double lineHeight,
                      const TextWidth& width) {
    const BudgetTerm* allowed = findTerm(budgets.riseTimeTerms, TermKind::Available);
    const BudgetTerm* link = findTerm(budgets.riseTimeTerms, TermKind::Total);
    const double system = allowed != nullptr ? allowed->value : 0;
    std::vector<BarPlan> plans;
    for (const BudgetTerm& term : budgets.riseTimeTerms) {
        const BarKind kind = term.kind == TermKind::Available ? BarKind::Available
                             : term.kind == TermKind::Total   ? BarKind::Total
                                                              : BarKind::RiseTime;
        plans.push_back(
            {std::string(term.caption), 0, term.value, kind, chartValue(term.value, 2, ns)});
    }
    const double total = link != nullptr ? link->value : 0;
    const double margin = budgets.riseTimeMargin.value_or(system - total);
    plans.push_back({"Margem", total, system,
                     budgets.riseTimeBudgetMet() ? BarKind::MarginMet : BarKind::MarginShort,
                     chartValue(margin, 2, ns, true)});
    std::optional<Reference> reference;
    if (allowed != nullptr) {
        reference = Reference{system, "Permitido " + chartValue(system, 2, ns)};
    }
    return layoutBars(plans, reference, "Tempo de subida (ns)", false, area, lineHeight, width);
}

std::optional<LineChart> bitRateChart(const DesignReport& report, const Box& area,
                                      double lineHeight, const TextWidth& width) {
    if (report.bitRateSweep.empty()) {
        return std::nullopt;
    }
    LinePlan plan;
    plan.x.logarithmic = true;
    plan.x.min = report.bitRate / 10;
    plan.x.max = report.bitRate * 10;
    SeriesPlan power{LineStyle::Power, "Balanço de Potência", {}};
    SeriesPlan riseTime{LineStyle::RiseTime, "Balanço de Tempo de Subida", {}};
    SeriesPlan maximum{LineStyle::Maximum, "Distância máxima", {}};
    for (const LinkDistances& p : report.bitRateSweep) {
        power.points.emplace_back(p.input, p.powerDistance);
        riseTime.points.emplace_back(p.input, p.riseTimeDistance);
        maximum.points.emplace_back(p.input, p.maximumDistance);
    }
    // The distance that limits the link fills the chart; what runs above it
    // is cut off.
    auto [lo, hi] = valueRange({&maximum.points}, {0.0, report.maximumDistance});
    if (!(hi > 0)) {
        hi = valueRange({&power.points}, {0.0}).second;
    }
    plan.yLow = lo < 0 ? 1.1 * lo : 0;
    plan.yHigh = hi > 0 ? 1.3 * hi : 1;
    plan.series = {std::move(maximum), std::move(power), std::move(riseTime)};
    std::string unit = report.bitRateUnit.empty() ? "" : " " + report.bitRateUnit;
    plan.markers.push_back({report.bitRate, report.maximumDistance,
                            "Este projeto: " + shortNumber(report.bitRate) + unit + ", " +
                                kilometres(report.maximumDistance)});
    plan.xTitle = report.bitRateLabel + "  [escala logarítmica]";
    plan.yTitle = "Distância (km)";
    plan.legend = true;
    LineChart chart = layoutLines(plan, area, lineHeight, width);

    const std::vector<LinkDistances>& points = report.bitRateSweep;
    auto middle = [&](std::size_t a, std::size_t b) {
        return (chart.x.pixel(points[a].input) + chart.x.pixel(points[b].input)) / 2;
    };
    for (std::size_t i = 0; i < points.size();) {
        if (points[i].riseTimeDistance) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end + 1 < points.size() && !points[end + 1].riseTimeDistance) {
            ++end;
        }
        chart.shortStretches.emplace_back(i == 0 ? chart.plot.left : middle(i - 1, i),
                                          end + 1 == points.size() ? chart.plot.right()
                                                                   : middle(end, end + 1));
        i = end + 1;
    }
    return chart;
}

std::array<LineChart, 2> marginCharts(const DesignReport& report, const Box& area,
                                      double lineHeight, const TextWidth& width) {
    Axis x;
    x.min = 0;
    x.max = report.margins.empty() ? 1 : report.margins.back().km;
    const std::string maximumLabel = "Distância máxima " + kilometres(report.maximumDistance);
    struct Panel {
        LineStyle style;
        std::string title;
        std::optional<double> MarginPoint::*margin;
        std::optional<double> distance;
        std::string crossing;
    };
    const Panel panels[] = {
        {LineStyle::PowerMargin, "Margem de potência (dB)", &MarginPoint::power,
         report.powerDistance, "Balanço de Potência"},
        {LineStyle::RiseTimeMargin, "Margem de tempo de subida (ns)", &MarginPoint::riseTime,
         report.riseTimeDistance, "Balanço de Tempo de Subida"},
    };
    const double half = (area.height - lineHeight) / 2;
    std::array<LinePlan, 2> plans;
    for (std::size_t i = 0; i < 2; ++i) {
        const Panel& panel = panels[i];
        LinePlan plan;
        plan.x = x;
        SeriesPlan series{panel.style, panel.title, {}};
        for (const MarginPoint& p : report.margins) {
            series.points.emplace_back(p.km, p.*panel.margin);
        }
        const auto [lo, hi] = valueRange({&series.points}, {0.0});
        const double pad = 0.08 * (hi - lo);
        plan.yLow = lo - (lo < 0 ? pad : 0);
        plan.yHigh = hi + pad;
        plan.series.push_back(std::move(series));
        plan.yTitle = panel.title;
        if (i == 1) {
            plan.xTitle = "Comprimento da fibra (km)";
        }
        if (report.maximumDistance >= x.min && report.maximumDistance <= x.max) {
            plan.verticals.emplace_back(report.maximumDistance, maximumLabel);
        }
        if (panel.distance && *panel.distance >= x.min && *panel.distance <= x.max) {
            plan.markers.push_back(
                {*panel.distance, 0, panel.crossing + ": " + kilometres(*panel.distance)});
        }
        plans[i] = std::move(plan);
    }
    const double tickWidth = std::max(yTickWidth(plans[0], width), yTickWidth(plans[1], width));
    std::array<LineChart, 2> charts;
    for (std::size_t i = 0; i < 2; ++i) {
        const Box box{area.left, area.top + static_cast<double>(i) * (half + lineHeight),
                      area.width, half};
        charts[i] = layoutLines(plans[i], box, lineHeight, width, tickWidth);
    }
    return charts;
}

std::vector<std::vector<Pixel>> linePieces(const Points& points, const Axis& x, const Axis& y) {
    std::vector<std::vector<Pixel>> pieces;
    auto valueAt = [&](std::size_t i) -> std::optional<double> {
        const auto& v = points[i].second;
        return v && std::isfinite(*v) ? v : std::nullopt;
    };
    const double lo = std::min(y.min, y.max);
    const double hi = std::max(y.min, y.max);
    bool joined = false; // the last piece ends at the previous point
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto v = valueAt(i);
        const bool before = i > 0 && valueAt(i - 1);
        const bool after = i + 1 < points.size() && valueAt(i + 1);
        if (v && !before && !after) {
            if (*v >= lo && *v <= hi) {
                pieces.push_back({{x.pixel(points[i].first), y.pixel(*v)}});
            }
            joined = false;
            continue;
        }
        if (i == 0 || !v || !before) {
            joined = false;
            continue;
        }
        const double v0 = *valueAt(i - 1);
        const auto share = shareWithin(v0, *v, lo, hi);
        if (!share) {
            joined = false;
            continue;
        }
        const double x0 = points[i - 1].first;
        const double x1 = points[i].first;
        auto at = [&](double t) {
            const double px0 = x.pixel(x0);
            const double px1 = x.pixel(x1);
            return Pixel{px0 + t * (px1 - px0), y.pixel(v0 + t * (*v - v0))};
        };
        if (!joined || share->first > 0) {
            pieces.push_back({at(share->first)});
        }
        pieces.back().push_back(at(share->second));
        joined = share->second >= 1;
    }
    return pieces;
}

} // namespace vantero::report
