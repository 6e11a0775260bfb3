#include "cli/core/sweep.h"

#include "cli/core/arguments.h"
#include "cli/core/csvwriter.h"
#include "common/numbers/failure.h"
#include "common/numbers/numbers.h"
#include "common/trials/orderedblocks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace vantero::cli {
namespace {

// The bound of a sweep, by the number rules of the fields.
double bound(std::string_view text, std::string_view input) {
    const NumberText number(text);
    if (number.overflows()) {
        throw UsageError("the sweep's FROM and TO must lie within the range of a double, not \"" +
                         std::string(text) + "\"");
    }
    return static_cast<double>(number.value(input));
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

namespace {

// Points a block: enough for a thread to run a while, few enough to be
// held a few at a time.
constexpr std::size_t blockPoints = 16384;
// Room for a row of five numbers and the limiting effect; a row with a
// message or a fault takes more, and the block's text grows for it.
constexpr std::size_t typicalRowBytes = 128;

ChartPoint chartPoint(const SweepPoint& point) {
    return {{point.input, point.powerDistance, point.riseTimeDistance, point.maximumDistance,
             point.limitedBy},
            !point.message.empty()};
}

SweepBlock runBlock(Session& session, const SweepRange& range, std::size_t block, bool chart) {
    const std::size_t first = block * blockPoints;
    const std::size_t end = std::min(range.count, first + blockPoints);
    SweepBlock result;
    if (chart) {
        result.chart.reserve(end - first);
    }
    result.csv.reserve((end - first) * typicalRowBytes);
    CsvWriter csv([&result](std::string_view bytes) { result.csv.append(bytes); }, 1 << 16);
    for (std::size_t i = first; i < end; ++i) {
        const SweepPoint point = session.runAt(range.input, sweepValue(range, i));
        csv.row(point);
        if (chart && !point.fault) {
            result.chart.push_back(chartPoint(point));
        }
    }
    csv.finish();
    return result;
}

} // namespace

unsigned sweepWorkers(std::size_t count, unsigned threads) {
    return count <= 4 * blockPoints ? 1 : std::max(threads, 1U);
}

void runSweepBlocks(const Session& session, const SweepRange& range, bool chart,
                    const std::function<void(const SweepBlock&)>& consume, unsigned workers) {
    trials::runOrderedBlocks<SweepBlock>(
        (range.count + blockPoints - 1) / blockPoints, workers,
        [&] {
            return [&, own = std::shared_ptr<Session>(session.copy())](std::size_t block) {
                return runBlock(*own, range, block, chart);
            };
        },
        [&](SweepBlock&& block) { consume(block); });
}

} // namespace vantero::cli
