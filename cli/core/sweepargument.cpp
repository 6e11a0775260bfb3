#include "cli/core/sweepargument.h"

#include "cli/core/arguments.h"
#include "common/numbers/numbers.h"

#include <charconv>
#include <cstdint>
#include <string>
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

// The most points a sweep can have: beyond 2^53 a double no longer tells
// the places of neighbouring points apart.
constexpr std::uint64_t mostPoints = std::uint64_t{1} << 53;

std::size_t pointCount(std::string_view text) {
    std::uint64_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    const bool whole = !text.empty() && end == text.data() + text.size() &&
                       (error == std::errc{} || error == std::errc::result_out_of_range);
    if (!whole || (error == std::errc{} && count == 0)) {
        throw UsageError("the sweep's COUNT is a whole number of points, at least 1, not \"" +
                         std::string(text) + "\"");
    }
    if (error != std::errc{} || count > mostPoints ||
        static_cast<std::size_t>(count) != count) {
        throw UsageError("the sweep's COUNT is at most " + std::to_string(mostPoints) +
                         " (2^53) points, not " + std::string(text));
    }
    return static_cast<std::size_t>(count);
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

} // namespace vantero::cli
