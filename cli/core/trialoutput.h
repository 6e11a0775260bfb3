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

// What the trials gave as lines "name<TAB>text": trials, seed, a spread line
// per input, the figures of each distance (NAME.mean, NAME.sd, NAME.p01 ...
// NAME.p99, five decimals, left out when no trial gave it), the shares
// limitedBy.attenuation and limitedBy.dispersion, for each length "at" and
// the shares powerBudgetMet, riseTimeBudgetMet and bothMet and the figures
// of powerMargin and riseTimeMargin, then faulted and, when a trial
// faulted, firstFault.
std::string trialText(const Calculator& calculator, const trials::TrialPlan& plan,
                      trials::TrialSummary& summary);

// The same as one JSON object: calculator, trials, seed, spreads ({name,
// distribution, parameters, perItem}), distances ({powerDistance,
// riseTimeDistance, maximumDistance}: each {mean, sd, p01, p05, p50, p95,
// p99}, or null when no trial gave it), limitedBy ({attenuation,
// dispersion}), at ([{distance, powerBudgetMet, riseTimeBudgetMet, bothMet,
// powerMargin, riseTimeMargin}]), faulted and firstFault (text or null). The
// shares are fractions of all the trials.
std::string trialJson(const Calculator& calculator, const trials::TrialPlan& plan,
                      trials::TrialSummary& summary);

} // namespace vantero::cli
