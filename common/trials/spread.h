#pragma once

#include "common/calculator/calculator.h"

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantero::trials {

// A spread that cannot be drawn, refused before any trial: its text names
// the spread and says what is wrong.
class SpreadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Distribution { Normal, Uniform, Triangular };

// The distribution's name as a spread gives it: "normal".
std::string_view distributionName(Distribution distribution);

// How one numeric input scatters from trial to trial.
struct Spread {
    std::string name;      // the input: "connectorLoss"
    std::size_t input = 0; // its index among the calculator's inputs
    Distribution distribution = Distribution::Normal;
    // normal: MEAN, SD; uniform: LOW, HIGH; triangular: LOW, MODE, HIGH.
    std::array<double, 3> parameters{};
    // The input is the loss of each of several items (its index in the
    // calculator's itemLosses): every item is drawn on its own.
    std::optional<std::size_t> itemLoss;
    // Their count grows with the length of fibre.
    bool itemsByLength = false;

    std::size_t parameterCount() const { return distribution == Distribution::Triangular ? 3 : 2; }
    // The value at the point u of (0, 1) of the distribution: its quantile.
    double valueAt(double u) const;
    double mean() const;
    double standardDeviation() const;
};

// Reads NAME=normal:MEAN,SD, NAME=uniform:LOW,HIGH or
// NAME=triangular:LOW,MODE,HIGH, the numbers by the rules of the fields. An
// unknown name, a choice, an unknown distribution, a wrong number of
// parameters, a parameter that is not a finite number, SD < 0, LOW > HIGH or
// MODE outside LOW..HIGH throws SpreadError.
Spread parseSpread(const Calculator& calculator, std::string_view text);

// The spread as it is given: NAME=normal:MEAN,SD, each number in its
// shortest form that reads back exactly.
std::string spreadText(const Spread& spread);

} // namespace vantero::trials
