#include "cli/core/sweep.h"

#include "cli/core/arguments.h"
#include "common/failure.h"
#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace vantero::cli {
namespace {

// The bound of a sweep, by the number rules of the fields.
double bound(std::string_view text, std::string_view input) {
    try {
        return static_cast<double>(NumberText(text).value(input));
    } catch (const ArithmeticFault&) {
        throw UsageError("the sweep's FROM and TO must lie within the range of a double, not \"" +
                         std::string(text) + "\"");
    }
}

std::size_t pointCount(std::string_view text) {
    std::size_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || count == 0) {
        throw UsageError("the sweep's COUNT is a whole number of points, at least 1, not \"" +
                         std::string(text) + "\"");
    }
    return count;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

SweepRange parseSweep(const Calculator& calculator, std::string_view sweepArgument,
                      bool logarithmic) {
    const std::size_t equals = sweepArgument.find('=');
    const std::string_view name = sweepArgument.substr(0, equals);
    const auto input = calculator.findInput(name);
    if (!input) {
        throw UsageError("--sweep varies a numeric input of " + std::string(calculator.name()) +
                         ": " + inputNames(calculator) + "; not \"" + std::string(name) + "\"");
    }
    std::vector<std::string_view> parts;
    if (equals != std::string_view::npos) {
        std::string_view rest = sweepArgument.substr(equals + 1);
        for (std::size_t colon = rest.find(':'); colon != std::string_view::npos;
             colon = rest.find(':')) {
            parts.push_back(rest.substr(0, colon));
            rest.remove_prefix(colon + 1);
        }
        parts.push_back(rest);
    }
    if (parts.size() != 3) {
        throw UsageError("--sweep needs NAME=FROM:TO:COUNT, not \"" + std::string(sweepArgument) +
                         "\"");
    }
    SweepRange range;
    range.input = *input;
    range.from = bound(parts[0], name);
    range.to = bound(parts[1], name);
    range.count = pointCount(parts[2]);
    range.logarithmic = logarithmic;
    if (range.count == 1 && range.from != range.to) {
        throw UsageError("a sweep from FROM to TO needs at least 2 points");
    }
    if (logarithmic && (range.from == 0 || range.to == 0 || (range.from < 0) != (range.to < 0))) {
        throw UsageError("--log needs FROM and TO of the same sign, neither of them 0");
    }
    return range;
}

double sweepValue(const SweepRange& range, std::size_t index) {
    if (index == 0) {
        return range.from;
    }
    if (index + 1 >= range.count) {
        return range.to;
    }
    const double steps = static_cast<double>(range.count - 1);
    const double done = static_cast<double>(index);
    if (!range.logarithmic) {
        const long double span = static_cast<long double>(range.to) - range.from;
        return static_cast<double>(range.from + span * done / steps);
    }
    // Powers of ten, so that a sweep over whole decades meets every decade
    // exactly.
    const double a = std::log10(std::fabs(range.from));
    const double b = std::log10(std::fabs(range.to));
    const double magnitude = std::pow(10.0, a + (b - a) * done / steps);
    return range.from < 0 ? -magnitude : magnitude;
}

std::vector<Crossover> findCrossovers(std::span<const ChartPoint> points, bool logarithmic) {
    std::vector<Crossover> crossovers;
    auto position = [&](double x) { return logarithmic ? std::log10(std::fabs(x)) : x; };
    auto fromPosition = [&](double p, double sign) {
        return logarithmic ? std::copysign(std::pow(10.0, p), sign) : p;
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        const ChartPoint& a = points[i - 1];
        const ChartPoint& b = points[i];
        if (!a.limitedBy || !b.limitedBy || *a.limitedBy == *b.limitedBy) {
            continue;
        }
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
                crossover.distance =
                    *a.powerDistance + share * (*b.powerDistance - *a.powerDistance);
            }
        }
        crossover.input = fromPosition(pa + share * (pb - pa), a.input);
        crossovers.push_back(crossover);
    }
    return crossovers;
}

std::string axisLabel(std::string_view label, std::string_view unit) {
    std::string text(trimmed(label));
    if (!unit.empty() && text.find('(') == std::string::npos) {
        text += " (" + std::string(unit) + ")";
    }
    return text;
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

} // namespace vantero::cli
