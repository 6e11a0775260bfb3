#pragma once

#include "calculators/registry.h"

#include <string>
#include <string_view>

namespace vantero::packaging {

// The manual page of a calculator's program (section 1), from its
// description: what its window computes, its pages with every input and
// choice, its project files, and that it takes no arguments.
std::string programManPage(const Calculator& calculator, std::string_view version);

// The manual page of vantero (section 1): its --help turned into roff (the
// usage, the options, the exit status and the examples), and every
// calculator's inputs and choices from the registry.
std::string commandLineManPage(std::string_view version);

} // namespace vantero::packaging
