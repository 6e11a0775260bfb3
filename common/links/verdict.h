#pragma once

#include "common/links/choices.h"
#include "common/links/output.h"

#include <optional>
#include <string_view>

namespace vantero {

// The texts a program shows for a failed rise-time budget and for its
// verdict: each program words them its own way.
struct VerdictTexts {
    std::string_view singleModeMessage;
    std::string_view multimodeMessage;
    std::string_view attenuationCaption;
    std::string_view attenuationVerdict;
    std::string_view dispersionCaption;
    std::string_view dispersionVerdict;
};

// The outputs every link calculation has, and the failure that ended a run.
// A program's result record derives from it and adds its own outputs; its
// result table gives the order in which a run sets them.
struct LinkResult {
    Output powerDistance;    // Edit15
    Output riseTimeMessage;  // message box, when the rise-time budget fails
    Output riseTimeDistance; // Edit16
    Output distanceCaption;  // the label that names the maximum distance
    Output verdict;          // Label8
    Output maximumDistance;

    // The effect that limits the link, once the verdict is given.
    std::optional<LimitingFactor> limitedBy;
    std::optional<RunFault> fault;
};

// The end of a run whose rise-time budget cannot be met: the message of the
// fibre type, and since no length of fibre meets the budget, the link limited
// by dispersion with a maximum distance of 0. No rise-time distance is set.
void reportUnmetRiseTimeBudget(LinkResult& out, const VerdictTexts& texts, FibreType fibreType);

// The end of a run that found both distances: the rise-time distance, then
// the nearer of the two as the maximum, a tie going to attenuation. A
// rise-time distance that is not a number cannot be ordered and faults the
// comparison, after it is set.
void reportVerdict(LinkResult& out, const VerdictTexts& texts, double powerDistance,
                   double riseTimeDistance);

} // namespace vantero
