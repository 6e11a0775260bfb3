#include "estrela/core/starlink.h"

#include "common/extended.h"
#include "common/fields.h"
#include "estrela/core/description.h"

namespace vantero::estrela {

using In = StarLinkInput;
using Res = StarLinkResult;

namespace {

void runSteps(const In& in, Res& out, RiseTimeSolver solver) {
    auto convert = [&](NumberText In::*member) {
        return convertInput<In>(in, member, starLinkInputs);
    };
    const double margin = convert(&In::safetyMargin);
    const double bitRate = convert(&In::bitRate);
    const double launched = convert(&In::launchedPower);
    const double spectralWidth = convert(&In::spectralWidth);
    const double sensitivity = convert(&In::receiverSensitivity);
    const double alpha = convert(&In::fibreAttenuation);
    const double bandwidth = convert(&In::fibreBandwidth);
    const double dispersion = convert(&In::chromaticDispersion);
    const double connectorLoss = convert(&In::connectorLoss);
    const double couplerLoss = convert(&In::couplerLoss);

    // Power budget: four connectors and the star coupler between the two
    // stations, and the fibre to the coupler and from it, each as long as the
    // distance sought.
    const double lp = store(
        (Extended(launched) - sensitivity - Extended(4) * connectorLoss - couplerLoss - margin) /
        (Extended(alpha) * 2));
    out.powerDistance.setNumber(lp);

    runRiseTimeBudget(
        out,
        {bitRate, bandwidth, dispersion, spectralWidth, in.lineCode, in.blockCode, in.fibreType},
        [&] { return convert(&In::normalizedBandwidth); }, solver, starLinkTexts);
}

} // namespace

StarLinkResult calculateStarLink(const StarLinkInput& input, RiseTimeSolver solver) {
    StarLinkResult result;
    runRecordingFault(result.fault, [&] { runSteps(input, result, solver); });
    return result;
}

} // namespace vantero::estrela
