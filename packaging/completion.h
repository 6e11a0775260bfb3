#pragma once

#include "cli/core/options.h"

#include <span>
#include <string>

namespace vantero::packaging {

// The bash completion of vantero: the calculators, the options, the inputs
// and choices of the calculator on the line after --set and --sweep, a
// choice's values after "--set CHOICE=", and file names after the options
// that take a file (project files of the calculator after --open), each
// option's value as `options` says.
std::string bashCompletion(std::span<const cli::OptionSpec> options = cli::commandLineOptions());

} // namespace vantero::packaging
