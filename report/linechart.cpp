#include "report/linechart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace vantero::report {
namespace {

using Align = Label::Align;

// Where a label of the given size goes beside the vertical line at `x`: to
// its right, or to its left where the plot has no room, in the given row
// from the top or from the bottom of the plot, so that the labels of
// neighbouring lines do not cover each other.
Box besideLine(double x, double width, double height, const Box& plot, std::size_t row,
               bool fromTop, double gap) {
    double left = x + gap;
    if (left + width > plot.right() - gap / 2) {
        left = x - gap - width;
    }
    const double rows = static_cast<double>(row) * (height + gap);
    const double top =
        fromTop ? plot.top + gap / 2 + rows : plot.bottom() - 2 * gap - height - rows;
    return {left, top, width, height};
}

// The first of the places around a point (above right, above left, below
// right, below left) where a label of the given size lies in the plot and
// covers no other label; the first, moved into the plot, when none does.
Box besidePoint(Pixel at, double width, double height, const Box& plot,
                const std::vector<Box>& taken, double gap) {
    const double d = 1.5 * gap;
    const Box candidates[] = {
        {at.x + d, at.y - d - height, width, height},
        {at.x - d - width, at.y - d - height, width, height},
        {at.x + d, at.y + d, width, height},
        {at.x - d - width, at.y + d, width, height},
    };
    for (const Box& box : candidates) {
        const bool free = std::none_of(taken.begin(), taken.end(),
                                       [&](const Box& other) { return box.intersects(other); });
        if (box.within(plot) && free) {
            return box;
        }
    }
    Box box = clampedSideways(candidates[0], plot.left, plot.right());
    box.top = std::max(plot.top, std::min(box.top, plot.bottom() - height));
    return box;
}

// The corner of the plot for a legend of the given size: the one that covers
// no label and the fewest points of the lines.
Box cornerFor(double width, double height, const Box& plot, const std::vector<Box>& labels,
              const std::vector<ChartLine>& lines, double margin) {
    const std::array<Pixel, 4> corners{
        Pixel{plot.right() - width - margin, plot.top + margin},
        Pixel{plot.left + margin, plot.top + margin},
        Pixel{plot.right() - width - margin, plot.bottom() - height - margin},
        Pixel{plot.left + margin, plot.bottom() - height - margin}};
    Box best;
    long fewest = std::numeric_limits<long>::max();
    for (const Pixel& corner : corners) {
        const Box box{corner.x, corner.y, width, height};
        long covered = 0;
        for (const Box& label : labels) {
            if (box.intersects(label)) {
                covered += 1000000;
            }
        }
        for (const ChartLine& line : lines) {
            for (const std::vector<Pixel>& piece : line.pieces) {
                for (const Pixel& p : piece) {
                    covered += box.contains(p.x, p.y) ? 1 : 0;
                }
            }
        }
        if (covered < fewest) {
            fewest = covered;
            best = box;
        }
    }
    return best;
}

Legend belowLegend(const std::vector<ChartLine>& lines, double left, double top,
                   const ChartLook& look, const TextMeasure& measure) {
    const double h = measure.lineHeight(TextRole::Legend);
    const double sample = 2.5 * h;
    Legend legend;
    double x = left;
    for (const ChartLine& line : lines) {
        const double w = measure.width(TextRole::Legend, line.caption);
        legend.entries.push_back(
            {line.style,
             {x, top, sample, h},
             {line.caption, {x + sample + 1.5 * look.gap, top, w, h}, TextRole::Legend}});
        x += sample + 1.5 * look.gap + w + 4 * look.gap;
    }
    return legend;
}

Legend cornerLegend(const LinePlan& plan, const LineChart& chart, const std::vector<Box>& taken,
                    const ChartLook& look, const TextMeasure& measure) {
    std::vector<std::pair<LineStyle, std::string>> entries;
    for (const ChartLine& line : chart.lines) {
        entries.emplace_back(line.style, line.caption);
    }
    if (!plan.marks.empty() && !plan.markCaption.empty()) {
        entries.emplace_back(LineStyle::Mark, plan.markCaption);
    }
    const double h = measure.lineHeight(TextRole::Legend);
    const double row = 1.35 * h;
    const double pad = 0.75 * look.gap;
    const double sample = 2.2 * h;
    double textWidth = 0;
    for (const auto& [style, caption] : entries) {
        textWidth = std::max(textWidth, measure.width(TextRole::Legend, caption));
    }
    Legend legend;
    const Box frame = cornerFor(2 * pad + sample + look.gap + textWidth,
                                static_cast<double>(entries.size()) * row + 2 * pad, chart.plot,
                                taken, chart.lines, 1.5 * look.gap);
    legend.frame = frame;
    double top = frame.top + pad;
    for (const auto& [style, caption] : entries) {
        legend.entries.push_back({style,
                                  {frame.left + pad, top, sample, row},
                                  {caption,
                                   {frame.left + pad + sample + look.gap, top, textWidth, row},
                                   TextRole::Legend}});
        top += row;
    }
    return legend;
}

} // namespace

double textWidth(std::string_view text, TextRole role, const TextMeasure& measure) {
    double widest = 0;
    while (true) {
        const std::size_t end = text.find('\n');
        widest = std::max(widest, measure.width(role, text.substr(0, end)));
        if (end == std::string_view::npos) {
            return widest;
        }
        text.remove_prefix(end + 1);
    }
}

double textHeight(std::string_view text, TextRole role, const TextMeasure& measure) {
    const auto lines = static_cast<double>(std::count(text.begin(), text.end(), '\n') + 1);
    return lines * measure.lineHeight(role);
}

std::vector<TickMark> xTickMarks(const std::vector<Tick>& ticks, const Axis& x, const Box& plot,
                                 const Box& area, const ChartLook& look,
                                 const TextMeasure& measure) {
    const double h = measure.lineHeight(TextRole::Tick);
    std::vector<TickMark> marks;
    for (const Tick& t : ticks) {
        TickMark mark{x.pixel(t.value), std::nullopt};
        if (!t.label.empty()) {
            const double w = measure.width(TextRole::Tick, t.label);
            const Box box{mark.at - w / 2, plot.bottom() + look.tickLength + look.gap / 2, w, h};
            mark.label = Label{t.label, clampedSideways(box, area.left, area.right()),
                               TextRole::Tick, Align::Centre};
        }
        marks.push_back(std::move(mark));
    }
    return marks;
}

std::vector<TickMark> yTickMarks(const std::vector<Tick>& ticks, const Axis& y, const Box& plot,
                                 const ChartLook& look, const TextMeasure& measure) {
    const double h = measure.lineHeight(TextRole::Tick);
    std::vector<TickMark> marks;
    for (const Tick& t : ticks) {
        const double at = y.pixel(t.value);
        const double w = measure.width(TextRole::Tick, t.label);
        marks.push_back(
            {at, Label{t.label,
                       {plot.left - look.tickLength - look.gap / 2 - w, at - h / 2, w, h},
                       TextRole::Tick,
                       Align::Right}});
    }
    return marks;
}

std::string_view distanceCaption(LineStyle style) {
    switch (style) {
    case LineStyle::Power:
        return "Balanço de Potência";
    case LineStyle::RiseTime:
        return "Balanço de Tempo de Subida";
    default:
        break;
    }
    return "Distância máxima";
}

std::optional<std::pair<double, double>> visibleShare(double y0, double y1, double lo, double hi) {
    if (y0 == y1) {
        return y0 >= lo && y0 <= hi ? std::optional(std::pair{0.0, 1.0}) : std::nullopt;
    }
    const double tLo = shareOf(lo, y0, y1);
    const double tHi = shareOf(hi, y0, y1);
    const double t0 = std::max(0.0, std::min(tLo, tHi));
    const double t1 = std::min(1.0, std::max(tLo, tHi));
    if (!(t0 <= t1)) {
        return std::nullopt;
    }
    return std::pair{t0, t1};
}

std::vector<std::vector<Pixel>> linePieces(const LinePoints& points, const Axis& x, const Axis& y) {
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
        const auto share = visibleShare(v0, *v, lo, hi);
        if (!share) {
            joined = false;
            continue;
        }
        const double px0 = x.pixel(points[i - 1].first);
        const double px1 = x.pixel(points[i].first);
        auto at = [&](double t) {
            return Pixel{px0 + t * (px1 - px0), y.pixel(between(v0, *v, t))};
        };
        if (!joined || share->first > 0) {
            pieces.push_back({at(share->first)});
        }
        pieces.back().push_back(at(share->second));
        joined = share->second >= 1;
    }
    return pieces;
}

std::vector<std::pair<double, double>>
stretchesWhere(const std::vector<std::pair<double, bool>>& shaded, const Axis& x, const Box& plot) {
    std::vector<std::pair<double, double>> stretches;
    auto middle = [&](std::size_t a, std::size_t b) {
        return (x.pixel(shaded[a].first) + x.pixel(shaded[b].first)) / 2;
    };
    for (std::size_t i = 0; i < shaded.size();) {
        if (!shaded[i].second) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end + 1 < shaded.size() && shaded[end + 1].second) {
            ++end;
        }
        const double left = i == 0 ? plot.left : middle(i - 1, i);
        const double right = end + 1 == shaded.size() ? plot.right() : middle(end, end + 1);
        stretches.emplace_back(std::min(left, right), std::max(left, right));
        i = end + 1;
    }
    return stretches;
}

double yTickWidth(const LinePlan& plan, const TextMeasure& measure) {
    const Axis y = roundAxis(plan.yLow, plan.yHigh, plan.yTicks);
    double widest = 0;
    for (const Tick& t : linearTicks(y.min, y.max, plan.yTicks)) {
        widest = std::max(widest, measure.width(TextRole::Tick, t.label));
    }
    return widest;
}

LineChart layoutLineChart(const LinePlan& plan, const Box& area, const ChartLook& look,
                          const TextMeasure& measure, double tickWidth) {
    const double gap = look.gap;
    auto height = [&](TextRole role) { return measure.lineHeight(role); };
    LineChart chart;

    // From the top: the title and subtitle, the y title when it stands above
    // the plot, else room for the top tick's label.
    double top = area.top;
    if (!plan.title.empty()) {
        chart.titles.push_back({plan.title,
                                {area.left, top, area.width, height(TextRole::Title)},
                                TextRole::Title,
                                Align::Centre});
        top += height(TextRole::Title) + gap / 2;
    }
    if (!plan.subtitle.empty()) {
        chart.titles.push_back({plan.subtitle,
                                {area.left, top, area.width, height(TextRole::Subtitle)},
                                TextRole::Subtitle,
                                Align::Centre,
                                Ink::Muted});
        top += height(TextRole::Subtitle) + gap;
    }
    const bool yTitleAbove = !plan.yTitle.empty() && !plan.yTitleAlong;
    const double yTitleTop = top;
    top += yTitleAbove ? height(TextRole::YTitle) + 1.5 * gap : height(TextRole::Tick) / 2 + gap;

    // From the bottom: the legend, the x title, the ticks' labels.
    double bottom = area.bottom();
    const double legendTop = bottom - height(TextRole::Legend);
    if (plan.legend == LinePlan::Legend::Below) {
        bottom = legendTop - gap;
    }
    const double xTitleTop = bottom - height(TextRole::XTitle);
    if (!plan.xTitle.empty()) {
        bottom = xTitleTop - 0.75 * gap;
    }
    bottom -= height(TextRole::Tick) + look.tickLength + gap / 2;

    // From the left: the y title along the axis, the ticks' labels.
    double left = area.left;
    if (plan.yTitleAlong && !plan.yTitle.empty()) {
        left += height(TextRole::YTitle) + gap;
    }
    left += std::max(tickWidth, yTickWidth(plan, measure)) + look.tickLength + gap / 2;
    chart.plot = {left, top, area.right() - gap - left, bottom - top};
    const Box& plot = chart.plot;

    chart.x = plan.x;
    chart.x.first = plot.left;
    chart.x.last = plot.right();
    chart.y = roundAxis(plan.yLow, plan.yHigh, plan.yTicks);
    const std::vector<Tick> yTicks = linearTicks(chart.y.min, chart.y.max, plan.yTicks);
    if (plan.roomBelow) {
        chart.y.min = withinDoubles(between(chart.y.min, chart.y.max, -0.015));
    }
    chart.y.first = plot.bottom();
    chart.y.last = plot.top;
    chart.xTicks = xTickMarks(chart.x.logarithmic ? logTicks(chart.x.min, chart.x.max)
                                                  : linearTicks(chart.x.min, chart.x.max, 8),
                              chart.x, plot, area, look, measure);
    chart.yTicks = yTickMarks(yTicks, chart.y, plot, look, measure);
    if (!plan.xTitle.empty()) {
        chart.titles.push_back({plan.xTitle,
                                {plot.left, xTitleTop, plot.width, height(TextRole::XTitle)},
                                TextRole::XTitle,
                                Align::Centre});
    }
    if (yTitleAbove) {
        const double w = std::max(measure.width(TextRole::YTitle, plan.yTitle), plot.width);
        chart.titles.push_back(
            {plan.yTitle, {area.left, yTitleTop, w, height(TextRole::YTitle)}, TextRole::YTitle});
    } else if (!plan.yTitle.empty()) {
        Label title{plan.yTitle,
                    {area.left, plot.top, height(TextRole::YTitle), plot.height},
                    TextRole::YTitle,
                    Align::Centre};
        title.along = true;
        chart.titles.push_back(std::move(title));
    }
    if (plan.zeroLine && chart.y.min <= 0 && chart.y.max >= 0) {
        chart.zeroY = chart.y.pixel(0);
    }
    if (plan.zeroColumn && std::min(chart.x.min, chart.x.max) <= 0 &&
        std::max(chart.x.min, chart.x.max) >= 0 && !chart.x.logarithmic) {
        chart.zeroX = chart.x.pixel(0);
    }

    // The bars, within the plot, a hairline apart, none too thin to see.
    const double base = std::clamp(0.0, chart.y.min, chart.y.max);
    for (const LinePlan::Bar& bar : plan.bars) {
        const double left = std::max(plot.left, chart.x.pixel(std::min(bar.from, bar.to)));
        const double right = std::min(plot.right(), chart.x.pixel(std::max(bar.from, bar.to)));
        const double top = std::clamp(chart.y.pixel(bar.value), plot.top, plot.bottom());
        const double bottom = chart.y.pixel(base);
        if (right < left || top == bottom) {
            continue;
        }
        const double apart = std::min(0.25 * look.stroke, 0.1 * (right - left));
        const double width = std::max(right - left - 2 * apart, look.stroke);
        chart.bars.push_back(
            {bar.kind,
             {(left + right - width) / 2, std::min(top, bottom), width, std::fabs(bottom - top)}});
    }

    // The lines, clipped to the plot and to half the broadest line around it.
    double broadest = 0;
    for (const LinePlan::Series& series : plan.series) {
        chart.lines.push_back(
            {series.style, series.caption, linePieces(series.points, chart.x, chart.y)});
        broadest = std::max(broadest, linePen(series.style).width * look.stroke);
    }
    chart.clip = {plot.left - look.stroke, plot.top - broadest / 2, plot.width + 2 * look.stroke,
                  plot.height + broadest};

    // The labels, each clear of those before it: the stretches', the marks',
    // the markers'; the legend clear of them all.
    std::vector<Box> taken;
    const double labelHeight = height(TextRole::Label);
    for (const auto& [from, to] : stretchesWhere(plan.shaded, chart.x, plot)) {
        Stretch stretch{from, to, std::nullopt};
        const double w = measure.width(TextRole::Label, riseTimeNotMet);
        if (w + 2 * gap < to - from) {
            stretch.label = Label{std::string(riseTimeNotMet),
                                  {from + 0.75 * gap, plot.top + 0.75 * gap, w, labelHeight},
                                  TextRole::Label,
                                  Align::Left,
                                  Ink::Warning};
            taken.push_back(stretch.label->box);
        }
        chart.stretches.push_back(std::move(stretch));
    }
    for (std::size_t i = 0; i < plan.marks.size(); ++i) {
        const LinePlan::Mark& mark = plan.marks[i];
        VerticalMark vertical;
        vertical.x = chart.x.pixel(mark.x);
        const double w = textWidth(mark.label, TextRole::Label, measure);
        const double h = textHeight(mark.label, TextRole::Label, measure);
        const double pad = mark.framed ? 0.75 * gap : 0;
        const Box place =
            besideLine(vertical.x, w + 2 * pad, h + pad, plot, i % 4, plan.markLabelsAtTop, gap);
        vertical.label = {mark.label, {place.left + pad, place.top + pad / 2, w, h}};
        if (mark.framed) {
            vertical.frame = place;
        }
        taken.push_back(place);
        chart.verticals.push_back(std::move(vertical));
        if (mark.dot && *mark.dot >= chart.y.min && *mark.dot <= chart.y.max) {
            chart.markers.push_back({{chart.verticals.back().x, chart.y.pixel(*mark.dot)}, {}});
        }
    }
    for (const LinePlan::Marker& m : plan.markers) {
        ChartMarker marker{{chart.x.pixel(m.x), chart.y.pixel(m.y)}, std::nullopt};
        const Box box = besidePoint(marker.at, measure.width(TextRole::Label, m.label), labelHeight,
                                    plot, taken, gap);
        marker.label = Label{m.label, box};
        taken.push_back(box);
        chart.markers.push_back(std::move(marker));
    }
    if (plan.legend == LinePlan::Legend::Below) {
        chart.legend = belowLegend(chart.lines, plot.left, legendTop, look, measure);
    } else if (plan.legend == LinePlan::Legend::Corner) {
        chart.legend = cornerLegend(plan, chart, taken, look, measure);
    }
    if (!plan.notice.empty()) {
        chart.notice = Label{plan.notice, plot, TextRole::Notice, Align::Centre};
    }
    return chart;
}

} // namespace vantero::report
