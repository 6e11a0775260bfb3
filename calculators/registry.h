#pragma once

#include "common/calculator/calculator.h"

#include <span>
#include <string_view>

namespace vantero {

// Every calculator of the project, in the order the command line lists them
// (the order of VANTERO_CALCULATORS in the top-level CMakeLists.txt).
std::span<const Calculator* const> calculators();

// The calculator of that name ("tavo"), or nullptr.
const Calculator* findCalculator(std::string_view name);

} // namespace vantero
