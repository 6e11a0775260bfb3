#pragma once

#include "calculators/registry.h"
#include "cli/core/options.h"

#include <span>
#include <string>
#include <string_view>

namespace vantero::packaging {

// The manual page of a calculator's program (section 1), from its
// description: what its window computes, its pages with every input and
// choice, its project files, and that it takes no arguments.
std::string programManPage(const Calculator& calculator, std::string_view version);

// The manual page of vantero (section 1): the usage and `options` as its
// --help gives them, with the manual's own text for an option where it has
// one; the rest of its --help (the exit status, the examples) turned into
// roff; and every calculator's inputs and choices from the registry.
std::string
commandLineManPage(std::string_view version,
                   std::span<const cli::OptionSpec> options = cli::commandLineOptions());

} // namespace vantero::packaging
