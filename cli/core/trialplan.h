#pragma once

#include "calculators/registry.h"
#include "cli/core/options.h"
#include "common/trials/trials.h"

#include <string>
#include <vector>

namespace vantero::cli {

// The trials of --spread on the command line.

// The plan of the trials: the spreads (each checked before any trial: a
// spread that cannot be drawn is a usage error naming it), the lengths of
// --at, --trials, --seed and the threads.
trials::TrialPlan trialPlan(const Calculator& calculator, const Arguments& arguments,
                            const std::vector<double>& lengths);

// The threads of --threads, or the processors this process may use.
unsigned threadCount(const Arguments& arguments);

} // namespace vantero::cli
