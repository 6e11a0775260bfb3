#include "common/trials/spread.h"

#include "common/numbers/numbers.h"
#include "common/runs/json.h"
#include "common/trials/random.h"

#include <cmath>
#include <vector>

namespace vantero::trials {

std::string_view distributionName(Distribution distribution) {
    switch (distribution) {
    case Distribution::Uniform:
        return "uniform";
    case Distribution::Triangular:
        return "triangular";
    case Distribution::Normal:
        break;
    }
    return "normal";
}

double Spread::valueAt(double u) const {
    const auto [p0, p1, p2] = parameters;
    switch (distribution) {
    case Distribution::Uniform:
        return p0 + (p1 - p0) * u;
    case Distribution::Triangular: {
        const double width = p2 - p0;
        if (!(width > 0)) {
            return p0;
        }
        const double below = p1 - p0;
        return u * width < below ? p0 + std::sqrt(u * width * below)
                                 : p2 - std::sqrt((1 - u) * width * (p2 - p1));
    }
    case Distribution::Normal:
        break;
    }
    return p0 + p1 * standardNormalQuantile(u);
}

double Spread::mean() const {
    const auto [p0, p1, p2] = parameters;
    switch (distribution) {
    case Distribution::Uniform:
        return (p0 + p1) / 2;
    case Distribution::Triangular:
        return (p0 + p1 + p2) / 3;
    case Distribution::Normal:
        break;
    }
    return p0;
}

double Spread::standardDeviation() const {
    const auto [p0, p1, p2] = parameters;
    switch (distribution) {
    case Distribution::Uniform:
        return (p1 - p0) / std::sqrt(12.0);
    case Distribution::Triangular:
        return std::sqrt((p0 * p0 + p1 * p1 + p2 * p2 - p0 * p1 - p0 * p2 - p1 * p2) / 18);
    case Distribution::Normal:
        break;
    }
    return p1;
}

namespace {

struct Form {
    Distribution distribution;
    std::string_view parameters;
};
constexpr Form forms[] = {{Distribution::Normal, "MEAN,SD"},
                          {Distribution::Uniform, "LOW,HIGH"},
                          {Distribution::Triangular, "LOW,MODE,HIGH"}};

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator)) {
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    parts.push_back(text);
    return parts;
}

} // namespace

Spread parseSpread(const Calculator& calculator, std::string_view text) {
    const std::size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const auto fail = [&](const std::string& why) -> SpreadError {
        return SpreadError(std::string(text) + ": " + why);
    };
    Spread spread;
    spread.name = name;
    if (const auto input = calculator.findInput(name)) {
        spread.input = *input;
    } else if (calculator.findChoice(name)) {
        throw fail(std::string(name) + " is a choice; a spread draws a numeric input");
    } else {
        std::string inputs;
        for (const InputDescription& input : calculator.inputs()) {
            inputs += (inputs.empty() ? "" : ", ") + std::string(input.name);
        }
        throw fail(std::string(calculator.name()) + " has no numeric input " + quoted(name) +
                   "; its inputs are " + inputs);
    }
    spread.itemLoss = calculator.findItemLoss(name);
    spread.itemsByLength = spread.itemLoss && calculator.itemLosses()[*spread.itemLoss].byLength;

    const std::string_view law = equals == std::string_view::npos ? "" : text.substr(equals + 1);
    const std::size_t colon = law.find(':');
    const std::string_view kind = law.substr(0, colon);
    const Form* form = nullptr;
    for (const Form& f : forms) {
        if (distributionName(f.distribution) == kind) {
            form = &f;
        }
    }
    if (form == nullptr) {
        throw fail("the distributions are normal:MEAN,SD, uniform:LOW,HIGH and "
                   "triangular:LOW,MODE,HIGH, not " +
                   quoted(kind));
    }
    spread.distribution = form->distribution;
    const std::vector<std::string_view> values =
        split(colon == std::string_view::npos ? "" : law.substr(colon + 1), ',');
    if (colon == std::string_view::npos || values.size() != spread.parameterCount()) {
        throw fail(std::string(kind) + " takes " + std::string(form->parameters));
    }
    const std::vector<std::string_view> names = split(form->parameters, ',');
    for (std::size_t i = 0; i < values.size(); ++i) {
        const NumberText value(values[i]);
        if (!value.isNumber() || !std::isfinite(value.stored())) {
            throw fail(std::string(names[i]) + " must be a number, not " + quoted(values[i]));
        }
        spread.parameters[i] = value.stored();
    }
    const auto [p0, p1, p2] = spread.parameters;
    if (spread.distribution == Distribution::Normal && p1 < 0) {
        throw fail("the standard deviation SD must be 0 or more, not " + std::string(values[1]));
    }
    const double high = spread.distribution == Distribution::Triangular ? p2 : p1;
    if (spread.distribution != Distribution::Normal && p0 > high) {
        throw fail("LOW must not exceed HIGH");
    }
    if (spread.distribution == Distribution::Triangular && (p1 < p0 || p1 > p2)) {
        throw fail("MODE must lie between LOW and HIGH");
    }
    return spread;
}

std::string spreadText(const Spread& spread) {
    std::string text = spread.name + "=" + std::string(distributionName(spread.distribution)) + ":";
    for (std::size_t i = 0; i < spread.parameterCount(); ++i) {
        if (i > 0) {
            text += ',';
        }
        appendJsonNumber(text, spread.parameters[i]);
    }
    return text;
}

} // namespace vantero::trials
