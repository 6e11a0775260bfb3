#pragma once

#include "common/calculator/calculator.h"
#include "common/trials/trials.h"

#include <string>

namespace vantero::trials {

// What the trials of a statistical budget gave, as text and as JSON.

// What the trials gave as lines "name<TAB>text": trials, seed, a spread line
// per input, the figures of each distance (NAME.mean, NAME.sd, NAME.p01 ...
// NAME.p99, five decimals, left out when no trial gave it), the shares
// limitedBy.attenuation and limitedBy.dispersion, for each length "at" and
// the shares powerBudgetMet, riseTimeBudgetMet and bothMet and the figures
// of powerMargin and riseTimeMargin, then faulted and, when a trial
// faulted, firstFault.
std::string trialText(const Calculator& calculator, const TrialPlan& plan,
                      TrialSummary& summary);

// The same as one JSON object: calculator, trials, seed, spreads ({name,
// distribution, parameters, perItem}), distances ({powerDistance,
// riseTimeDistance, maximumDistance}: each {mean, sd, p01, p05, p50, p95,
// p99}, or null when no trial gave it), limitedBy ({attenuation,
// dispersion}), at ([{distance, powerBudgetMet, riseTimeBudgetMet, bothMet,
// powerMargin, riseTimeMargin}]), faulted and firstFault (text or null). The
// shares are fractions of all the trials.
std::string trialJson(const Calculator& calculator, const TrialPlan& plan,
                      TrialSummary& summary);

} // namespace vantero::trials
