#include "report/sweepchart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace vantero::report {
namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::string limitName(LimitingFactor factor) {
    return factor == LimitingFactor::Attenuation ? "atenuação" : "dispersão";
}

// A crossover's label: the change, then where it is.
std::string crossoverLabel(const SweepChart& chart, const Crossover& c) {
    std::string label =
        limitName(c.before) + " → " + limitName(c.after) + "\n" + shortNumber(c.input);
    if (!chart.xUnit.empty()) {
        label += " " + chart.xUnit;
    }
    if (c.distance) {
        label += " · " + shortNumber(*c.distance) + " km";
    }
    return label;
}

} // namespace

std::optional<Crossover> crossoverBetween(const ChartPoint& a, const ChartPoint& b,
                                          bool logarithmic) {
    if (!a.limitedBy || !b.limitedBy || *a.limitedBy == *b.limitedBy) {
        return std::nullopt;
    }
    auto position = [&](double x) { return logarithmic ? std::log10(std::fabs(x)) : x; };
    auto fromPosition = [&](double p, double sign) {
        return logarithmic ? std::copysign(std::pow(10.0, p), sign) : p;
    };
    Crossover crossover;
    crossover.before = *a.limitedBy;
    crossover.after = *b.limitedBy;
    double share = 0.5;
    if (a.riseTimeDistance && b.riseTimeDistance && a.powerDistance && b.powerDistance) {
        // The distances' difference changes sign between the two points (in
        // halves, which no two finite distances take beyond the largest
        // double). The distance where they meet is the steadier one's there:
        // the other may change by many orders of magnitude more than it is.
        const double da = *a.riseTimeDistance / 2 - *a.powerDistance / 2;
        const double db = *b.riseTimeDistance / 2 - *b.powerDistance / 2;
        if (std::isfinite(da) && std::isfinite(db) && da != db) {
            share = shareOf(0, da, db);
            const bool riseTimeSteadier =
                std::fabs(*b.riseTimeDistance / 2 - *a.riseTimeDistance / 2) <
                std::fabs(*b.powerDistance / 2 - *a.powerDistance / 2);
            crossover.distance = riseTimeSteadier
                                     ? between(*a.riseTimeDistance, *b.riseTimeDistance, share)
                                     : between(*a.powerDistance, *b.powerDistance, share);
        }
    }
    crossover.input = fromPosition(between(position(a.input), position(b.input), share), a.input);
    return crossover;
}

std::vector<Crossover> findCrossovers(std::span<const ChartPoint> points, bool logarithmic) {
    std::vector<Crossover> crossovers;
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (const auto crossover = crossoverBetween(points[i - 1], points[i], logarithmic)) {
            crossovers.push_back(*crossover);
        }
    }
    return crossovers;
}

ChartEnvelope::ChartEnvelope(double from, double to, bool logarithmic, std::size_t columns)
    : m_logarithmic(logarithmic), m_columns(std::max<std::size_t>(columns, 1)) {
    m_first = position(from);
    m_end = position(to);
}

double ChartEnvelope::position(double input) const {
    return m_logarithmic ? std::log10(std::fabs(input)) : input;
}

std::size_t ChartEnvelope::columnOf(double input) const {
    const double share = m_end != m_first ? shareOf(position(input), m_first, m_end) : 0;
    if (!(share > 0)) {
        return 0;
    }
    return std::min(m_columns - 1,
                    static_cast<std::size_t>(share * static_cast<double>(m_columns)));
}

// What a line is at a point: which distances it has and what limits it. A
// change of it between neighbours is kept exactly.
bool ChartEnvelope::sameKind(const ChartPoint& a, const ChartPoint& b) {
    return a.powerDistance.has_value() == b.powerDistance.has_value() &&
           a.riseTimeDistance.has_value() == b.riseTimeDistance.has_value() &&
           a.maximumDistance.has_value() == b.maximumDistance.has_value() &&
           a.limitedBy == b.limitedBy && a.riseTimeRejected == b.riseTimeRejected;
}

void ChartEnvelope::add(const ChartPoint& point) {
    const std::size_t column = columnOf(point.input);
    if (m_kept.empty() || column != m_column) {
        flush();
        m_column = column;
    }
    const std::uint64_t index = m_count++;
    auto keep = [&](std::uint64_t i, const ChartPoint& p) { m_kept.emplace_back(i, p); };
    if (m_previous) {
        if (const auto crossover = crossoverBetween(*m_previous, point, m_logarithmic)) {
            if (m_crossovers.size() < maximumCrossovers) {
                m_crossovers.push_back(*crossover);
            }
        }
        if (!sameKind(*m_previous, point) && m_changes < changesPerColumn) {
            // Both sides of the change: the earlier may be the last point kept.
            keep(index - 1, *m_previous);
            keep(index, point);
            m_changes += 2;
        }
    }
    if (m_kept.empty()) {
        keep(index, point); // the column's first point
    }
    const Series series[] = {&ChartPoint::powerDistance, &ChartPoint::riseTimeDistance,
                             &ChartPoint::maximumDistance};
    for (std::size_t s = 0; s < 3; ++s) {
        const std::optional<double> value = point.*series[s];
        if (!value || !std::isfinite(*value)) {
            continue;
        }
        if (!m_lowest[s] || *value < m_lowest[s]->second.*series[s]) {
            m_lowest[s].emplace(index, point);
        }
        if (!m_highest[s] || *value > m_highest[s]->second.*series[s]) {
            m_highest[s].emplace(index, point);
        }
    }
    m_previous = point;
    m_previousIndex = index;
}

void ChartEnvelope::flush() {
    if (m_kept.empty()) {
        return;
    }
    for (std::size_t s = 0; s < 3; ++s) {
        for (auto* extreme : {&m_lowest[s], &m_highest[s]}) {
            if (*extreme) {
                m_kept.push_back(**extreme);
                extreme->reset();
            }
        }
    }
    m_kept.emplace_back(m_previousIndex, *m_previous); // the column's last point
    std::sort(m_kept.begin(), m_kept.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::uint64_t last = 0;
    bool any = !m_points.empty();
    if (any) {
        last = m_lastIndex;
    }
    for (const auto& [index, point] : m_kept) {
        if (any && index <= last) {
            continue; // kept already
        }
        m_points.push_back(point);
        last = index;
        any = true;
    }
    m_lastIndex = last;
    m_kept.clear();
    m_changes = 0;
}

std::vector<ChartPoint> ChartEnvelope::points() {
    flush();
    return m_points;
}

SweepChart sweepChart(const Calculator& calculator, const SweepRange& range) {
    const InputDescription& input = calculator.inputs()[range.input];
    SweepChart chart;
    chart.title = calculator.caption();
    chart.subtitle = std::string(calculator.name()) + ": " + std::string(input.name) + ", " +
                     std::to_string(range.count) + (range.count == 1 ? " ponto" : " pontos") +
                     (range.logarithmic ? " em escala logarítmica" : "");
    chart.xLabel = axisLabel(input.label, input.unit);
    chart.xUnit = input.unit;
    chart.logarithmic = range.logarithmic;
    chart.from = range.from;
    chart.to = range.to;
    return chart;
}

std::string axisLabel(std::string_view label, std::string_view unit) {
    std::string text(trimmed(label));
    if (!unit.empty() && text.find('(') == std::string::npos) {
        text += " (" + std::string(unit) + ")";
    }
    return text;
}

std::optional<double> largest(std::span<const ChartPoint> points, Series series) {
    std::optional<double> best;
    for (const ChartPoint& p : points) {
        const auto v = p.*series;
        if (v && std::isfinite(*v) && (!best || *v > *best)) {
            best = v;
        }
    }
    return best;
}

std::optional<double> smallest(std::span<const ChartPoint> points, Series series) {
    std::optional<double> best;
    for (const ChartPoint& p : points) {
        const auto v = p.*series;
        if (v && std::isfinite(*v) && (!best || *v < *best)) {
            best = v;
        }
    }
    return best;
}

Axis distanceAxis(const SweepChart& chart) {
    const double maximum = largest(chart.points, &ChartPoint::maximumDistance).value_or(0);
    double top = maximum;
    for (const Series series : {&ChartPoint::powerDistance, &ChartPoint::riseTimeDistance}) {
        const double nearest = smallest(chart.points, series).value_or(0);
        if (maximum > 0 && nearest > top && nearest <= 2.5 * maximum) {
            top = nearest;
        }
    }
    if (!(top > 0)) {
        top = largest(chart.points, &ChartPoint::powerDistance).value_or(0);
    }
    if (!(top > 0)) {
        top = 1;
    }
    top = withinDoubles(top * 1.2);
    double bottom = std::min(0.0, smallest(chart.points, &ChartPoint::maximumDistance).value_or(0));
    if (bottom < 0) {
        bottom = withinDoubles(between(bottom, top, -0.1));
    }
    const double step = niceStep(bottom, top, 6);
    Axis axis;
    axis.min = withinDoubles(std::floor(bottom / step) * step);
    axis.max = withinDoubles(std::ceil(top / step) * step);
    return axis;
}

Axis inputAxis(const SweepChart& chart) {
    Axis axis;
    axis.logarithmic = chart.logarithmic;
    axis.min = std::min(chart.from, chart.to);
    axis.max = std::max(chart.from, chart.to);
    if (axis.logarithmic && axis.min < 0) {
        std::swap(axis.min, axis.max); // larger magnitudes to the right
    }
    if (axis.min == axis.max) {
        const double pad = axis.min == 0 ? 1 : std::fabs(axis.min) * 0.1;
        axis.min = withinDoubles(axis.logarithmic ? axis.min / 1.5 : axis.min - pad);
        axis.max = withinDoubles(axis.logarithmic ? axis.max * 1.5 : axis.max + pad);
    }
    return axis;
}

LineChart layoutSweepChart(const SweepChart& chart, const Box& area, const ChartLook& look,
                           const TextMeasure& measure) {
    LinePlan plan;
    plan.title = chart.title;
    plan.subtitle = chart.subtitle;
    plan.x = inputAxis(chart);
    const Axis y = distanceAxis(chart);
    plan.yLow = y.min;
    plan.yHigh = y.max;
    plan.yTicks = 6;
    plan.roomBelow = true;
    plan.xTitle = chart.xLabel + (chart.logarithmic ? "  [escala logarítmica]" : "");
    plan.yTitle = "Distância (km)";
    plan.yTitleAlong = true;
    // The maximum below the two it follows; a line that runs above the chart
    // says in the legend how far it goes.
    for (const auto& [style, series] :
         {std::pair{LineStyle::Maximum, &ChartPoint::maximumDistance},
          std::pair{LineStyle::Power, &ChartPoint::powerDistance},
          std::pair{LineStyle::RiseTime, &ChartPoint::riseTimeDistance}}) {
        LinePlan::Series line{style, std::string(distanceCaption(style)) + " (km)", {}};
        const auto top = largest(chart.points, series);
        if (style != LineStyle::Maximum && top && *top > y.max) {
            line.caption += ", acima da escala até " + shortNumber(*top) + " km";
        }
        line.points.reserve(chart.points.size());
        for (const ChartPoint& p : chart.points) {
            line.points.emplace_back(p.input, p.*series);
        }
        plan.series.push_back(std::move(line));
    }
    for (const ChartPoint& p : chart.points) {
        plan.shaded.emplace_back(p.input, p.riseTimeRejected);
    }
    for (const Crossover& c : chart.crossovers) {
        plan.marks.push_back({c.input, crossoverLabel(chart, c), true, c.distance});
    }
    plan.markLabelsAtTop = false;
    plan.legend = LinePlan::Legend::Corner;
    plan.markCaption = "Troca do limite (atenuação / dispersão)";
    if (chart.points.empty()) {
        plan.notice = "Nenhum ponto da varredura chegou ao fim sem falha";
    }
    return layoutLineChart(plan, area, look, measure);
}

} // namespace vantero::report
