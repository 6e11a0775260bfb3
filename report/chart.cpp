#include "report/chart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

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

// printf's text of a value, "." as the decimal point whatever the locale
// (the program sets none).
std::string printed(const char* format, int precision, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, precision, value);
    return buffer;
}

// The part of the segment from y0 to y1 within bottom <= y <= top, as shares
// of the segment, if any.
std::optional<std::pair<double, double>> insideShare(double y0, double y1, double bottom,
                                                     double top) {
    double t0 = 0;
    double t1 = 1;
    const double dy = y1 - y0;
    for (const auto& [limit, below] : {std::pair{bottom, true}, std::pair{top, false}}) {
        // Keep where (y - limit) is >= 0 for the bottom and <= 0 for the top.
        const double a = below ? y0 - limit : limit - y0;
        const double d = below ? dy : -dy;
        if (d == 0) {
            if (a < 0) {
                return std::nullopt;
            }
            continue;
        }
        const double t = -a / d;
        if (d > 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (!(t0 <= t1)) {
        return std::nullopt;
    }
    return std::pair{t0, t1};
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
    const double pa = position(a.input);
    const double pb = position(b.input);
    double share = 0.5;
    if (a.riseTimeDistance && b.riseTimeDistance && a.powerDistance && b.powerDistance) {
        // The distances' difference changes sign between the two points.
        const double da = *a.riseTimeDistance - *a.powerDistance;
        const double db = *b.riseTimeDistance - *b.powerDistance;
        if (std::isfinite(da) && std::isfinite(db) && da != db) {
            share = da / (da - db);
            crossover.distance = *a.powerDistance + share * (*b.powerDistance - *a.powerDistance);
        }
    }
    crossover.input = fromPosition(pa + share * (pb - pa), a.input);
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
    m_span = position(to) - m_first;
}

double ChartEnvelope::position(double input) const {
    return m_logarithmic ? std::log10(std::fabs(input)) : input;
}

std::size_t ChartEnvelope::columnOf(double input) const {
    const double share = m_span != 0 ? (position(input) - m_first) / m_span : 0;
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

std::string shortNumber(double value) {
    const double magnitude = std::fabs(value);
    if (magnitude >= 1000 && magnitude < 1e7) {
        return printed("%.*f", 0, value);
    }
    return printed("%.*g", 4, value);
}

bool Box::intersects(const Box& other) const {
    return left < other.right() && other.left < right() && top < other.bottom() &&
           other.top < bottom();
}

bool Box::contains(double x, double y) const {
    return x >= left && x <= right() && y >= top && y <= bottom();
}

double Axis::position(double v) const {
    return logarithmic ? std::log10(std::fabs(v)) : v;
}

double Axis::pixel(double v) const {
    const double a = position(min);
    const double b = position(max);
    return first + (position(v) - a) / (b - a) * (last - first);
}

double niceStep(double span, int wanted) {
    const double raw = span / wanted;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 2.5, 5.0}) {
        if (raw <= m * decade) {
            return m * decade;
        }
    }
    return 10 * decade;
}

std::string tickLabel(double value, double step) {
    if (std::fabs(value) < step * 1e-9) {
        value = 0;
    }
    if (value != 0 && (std::fabs(value) >= 1e7 || std::fabs(value) < 1e-4)) {
        return printed("%.*g", 3, value);
    }
    // As many decimals as the step needs: 0.25 two, 0.5 one, 20 none.
    int decimals = 0;
    for (double scaled = step; decimals < 12; scaled *= 10, ++decimals) {
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled) {
            break;
        }
    }
    return printed("%.*f", decimals, value);
}

std::vector<Tick> linearTicks(double min, double max, int wanted) {
    const double step = niceStep(max - min, wanted);
    const double first = std::ceil(min / step - 1e-9);
    const double last = std::floor(max / step + 1e-9);
    // Round ticks need multiples of the step that a double still tells apart
    // (a range of a few units in the last place has none) and a finite step
    // (a range wider than any double has none either): then the two ends.
    constexpr double exactIntegers = 9007199254740992.0; // 2^53
    if (!std::isfinite(step) || !(std::fabs(first) < exactIntegers) ||
        !(std::fabs(last) < exactIntegers) || !(last - first <= 4.0 * wanted)) {
        std::vector<Tick> ends{{min, printed("%.*g", 17, min)}};
        if (max != min) {
            ends.push_back({max, printed("%.*g", 17, max)});
        }
        return ends;
    }
    std::vector<Tick> ticks;
    for (double k = first; k <= last; ++k) {
        ticks.push_back({k * step, tickLabel(k * step, step)});
    }
    return ticks;
}

std::vector<Tick> logTicks(double min, double max) {
    const double sign = min < 0 ? -1 : 1;
    double low = std::fabs(min);
    double high = std::fabs(max);
    if (low > high) {
        std::swap(low, high);
    }
    const int firstDecade = static_cast<int>(std::floor(std::log10(low) + 1e-9));
    const int lastDecade = static_cast<int>(std::floor(std::log10(high) + 1e-9));
    const int decades = lastDecade - firstDecade;
    if (decades < 1) {
        std::vector<Tick> ticks = linearTicks(low, high, 5);
        for (Tick& t : ticks) {
            t.value *= sign;
            t.label = (sign < 0 ? "-" : "") + t.label;
        }
        return ticks;
    }
    std::vector<Tick> ticks;
    if (decades > 12) {
        // Too many decades for their multiples: every few decades, labelled.
        const int stride = (decades + 7) / 8;
        for (int k = firstDecade + (stride - ((firstDecade % stride) + stride) % stride) % stride;
             k <= lastDecade; k += stride) {
            const double decade = std::pow(10.0, k);
            if (decade >= low * (1 - 1e-9) && decade <= high * (1 + 1e-9)) {
                ticks.push_back({sign * decade, tickLabel(sign * decade, decade)});
            }
        }
        return ticks;
    }
    for (int k = firstDecade; k <= lastDecade; ++k) {
        const double decade = std::pow(10.0, k);
        for (int m = 1; m <= 9; ++m) {
            const double v = m * decade;
            if (v < low * (1 - 1e-9) || v > high * (1 + 1e-9)) {
                continue;
            }
            const bool labelled = m == 1 || (decades <= 2 && (m == 2 || m == 5));
            ticks.push_back({sign * v, labelled ? tickLabel(sign * v, decade) : std::string()});
        }
    }
    return ticks;
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
    top *= 1.2;
    double bottom = std::min(0.0, smallest(chart.points, &ChartPoint::maximumDistance).value_or(0));
    if (bottom < 0) {
        bottom -= 0.1 * (top - bottom);
    }
    const double step = niceStep(top - bottom, 6);
    Axis axis;
    axis.min = std::floor(bottom / step) * step;
    axis.max = std::ceil(top / step) * step;
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
        axis.min = axis.logarithmic ? axis.min / 1.5 : axis.min - pad;
        axis.max = axis.logarithmic ? axis.max * 1.5 : axis.max + pad;
    }
    return axis;
}

std::vector<std::vector<Pixel>> seriesLines(std::span<const ChartPoint> points, Series series,
                                            const Axis& x, const Axis& y) {
    std::vector<std::vector<Pixel>> lines;
    auto valueOf = [&](const ChartPoint& p) -> std::optional<double> {
        const auto v = p.*series;
        return v && std::isfinite(*v) ? v : std::nullopt;
    };
    if (points.size() == 1) {
        if (const auto v = valueOf(points[0]); v && *v >= y.min && *v <= y.max) {
            lines.push_back({{x.pixel(points[0].input), y.pixel(*v)}});
        }
        return lines;
    }
    std::optional<Pixel> last;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const auto v0 = valueOf(points[i - 1]);
        const auto v1 = valueOf(points[i]);
        if (!v0 || !v1) {
            last.reset();
            continue;
        }
        const auto share = insideShare(*v0, *v1, y.min, y.max);
        if (!share) {
            last.reset();
            continue;
        }
        const double px0 = x.pixel(points[i - 1].input);
        const double px1 = x.pixel(points[i].input);
        auto at = [&](double t) {
            return Pixel{px0 + t * (px1 - px0), y.pixel(*v0 + t * (*v1 - *v0))};
        };
        const Pixel start = at(share->first);
        const Pixel end = at(share->second);
        if (!last || std::hypot(start.x - last->x, start.y - last->y) > 0.01) {
            lines.push_back({start});
        }
        lines.back().push_back(end);
        last = share->second < 1 ? std::nullopt : std::optional<Pixel>(end);
    }
    return lines;
}

std::vector<std::pair<double, double>> rejectedStretches(std::span<const ChartPoint> points,
                                                         const Axis& x, const Box& plot) {
    std::vector<std::pair<double, double>> stretches;
    for (std::size_t i = 0; i < points.size();) {
        if (!points[i].riseTimeRejected) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end + 1 < points.size() && points[end + 1].riseTimeRejected) {
            ++end;
        }
        auto middle = [&](std::size_t a, std::size_t b) {
            return (x.pixel(points[a].input) + x.pixel(points[b].input)) / 2;
        };
        const double left = i == 0 ? plot.left : middle(i - 1, i);
        const double right = end + 1 == points.size() ? plot.right() : middle(end, end + 1);
        stretches.emplace_back(std::min(left, right), std::max(left, right));
        i = end + 1;
    }
    return stretches;
}

Box crossoverLabelBox(double x, double width, double height, const Box& plot, std::size_t index) {
    double left = x + 8;
    if (left + width > plot.right() - 4) {
        left = x - 8 - width;
    }
    const double row = static_cast<double>(index % 4);
    return {left, plot.bottom() - 16 - height - row * (height + 6), width, height};
}

Box legendBox(double width, double height, const Box& plot, std::span<const Box> labels,
              std::span<const ChartPoint> points, const Axis& x, const Axis& y) {
    const double margin = 12;
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
        for (const ChartPoint& p : points) {
            for (const Series s : {&ChartPoint::powerDistance, &ChartPoint::riseTimeDistance,
                                   &ChartPoint::maximumDistance}) {
                const auto v = p.*s;
                if (v && std::isfinite(*v) && box.contains(x.pixel(p.input), y.pixel(*v))) {
                    ++covered;
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

} // namespace vantero::report
