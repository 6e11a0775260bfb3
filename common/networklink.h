#pragma once

#include "common/choices.h"
#include "common/fields.h"
#include "common/output.h"
#include "common/solver.h"

#include <array>
#include <functional>
#include <optional>
#include <string_view>

namespace vantero {

// The rise times of one star or ring run, each set when the run computes it.
struct RiseTimes {
    std::optional<double> system;     // ns
    std::optional<double> electrical; // ns
    std::optional<double> chromatic;  // ns per km
    std::optional<double> modal;      // ns over one km, multimode fibre only
};

// The outputs of one run of a star or ring network, in the order the run sets
// them, what the run found on the way, and the failure that ended it, if any.
// The two programs' result records are this one.
struct NetworkLinkResult {
    Output powerDistance;    // Edit15
    Output riseTimeMessage;  // message box, when the rise-time budget fails
    Output riseTimeDistance; // Edit16
    Output distanceCaption;  // Label9 of the star, Label7 of the ring
    Output verdict;          // Label8
    Output maximumDistance;  // Edit7

    std::optional<RiseTimeOutcome> riseTimeOutcome;
    std::optional<LimitingFactor> limitedBy;
    RiseTimes riseTimes;
    FaultRecord fault;
};

// The result table of a program's record derived from NetworkLinkResult;
// `captionComponent` is the label that names the maximum distance.
template <typename Result>
constexpr std::array<ResultField<Result>, 6>
networkLinkResultFields(std::string_view captionComponent) {
    return {{
        {"powerDistance", "Edit15", OutputKind::Number, &Result::powerDistance},
        {"message", "", OutputKind::Message, &Result::riseTimeMessage},
        {"riseTimeDistance", "Edit16", OutputKind::Number, &Result::riseTimeDistance},
        {"distanceCaption", captionComponent, OutputKind::Text, &Result::distanceCaption},
        {"verdict", "Label8", OutputKind::Text, &Result::verdict},
        {"maximumDistance", "Edit7", OutputKind::Number, &Result::maximumDistance},
    }};
}

// The converted figures that the rise-time budget of a network uses.
struct NetworkRiseTimeFigures {
    double bitRate;
    double fibreBandwidth;
    double chromaticDispersion;
    double spectralWidth;
    LineCode lineCode;
    BlockCode blockCode;
    FibreType fibreType;
};

// The texts a program shows for a failed rise-time budget and for its verdict.
struct VerdictTexts {
    std::string_view singleModeMessage;
    std::string_view multimodeMessage;
    std::string_view attenuationCaption;
    std::string_view attenuationVerdict;
    std::string_view dispersionCaption;
    std::string_view dispersionVerdict;
};

// The rise-time budget and the verdict of a star or ring run, once its power
// budget has set `out.powerDistance`. The normalised bandwidth of multimode
// fibre is converted (by `normalizedBandwidth`) only for multimode fibre,
// after the chromatic rise time and before the test, so that a zero faults
// even where the test then fails.
//
// When the budget cannot be met the run sets the message and, since no length
// of fibre meets it, reports the network as limited by dispersion with a
// maximum distance of 0; it sets no rise-time distance. Otherwise the nearer
// of the two distances is the maximum, a tie going to attenuation; a rise-time
// distance that is not a number cannot be ordered and faults the comparison.
void runRiseTimeBudget(NetworkLinkResult& out, const NetworkRiseTimeFigures& link,
                       const std::function<double()>& normalizedBandwidth, RiseTimeSolver solver,
                       const VerdictTexts& texts);

} // namespace vantero
