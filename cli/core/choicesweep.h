#pragma once

#include "calculators/registry.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vantero::cli {

// A sweep of a choice: one run at each of its values, in the order of its
// values (the order --help lists them in).
struct ChoiceSweep {
    std::size_t choice = 0;
};

// The sweep that `--sweep NAME` asks for when NAME is a choice of the
// calculator; nothing when it is a numeric input (parseSweep reads that). A
// choice takes no range: every value is run ("--sweep fibreType"), and
// "fibreType=0:1:2" is a usage error; so is a NAME that is neither, and the
// message lists both kinds.
std::optional<ChoiceSweep> parseChoiceSweep(const Calculator& calculator,
                                            std::string_view sweepArgument);

} // namespace vantero::cli
