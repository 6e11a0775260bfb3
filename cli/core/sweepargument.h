#pragma once

#include "common/calculator/calculator.h"
#include "common/runs/sweep.h"

#include <string_view>

namespace vantero::cli {

// Reads NAME=FROM:TO:COUNT. NAME must be a numeric input of the calculator;
// FROM and TO follow the number rules of the fields; COUNT is a whole number
// from 1 (only when FROM equals TO) to 2^53; a logarithmic sweep needs FROM
// and TO of the same sign, neither 0. Anything else is a usage error; a FROM
// or TO that is not a number fails with NumberFormatFailure naming NAME.
SweepRange parseSweep(const Calculator& calculator, std::string_view sweepArgument,
                      bool logarithmic);

} // namespace vantero::cli
