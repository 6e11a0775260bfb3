#include "anel/core/ringlink.h"

#include "anel/core/description.h"
#include "common/extended.h"
#include "common/fields.h"

namespace vantero::anel {

using In = RingLinkInput;
using Res = RingLinkResult;

namespace {

void runSteps(const In& in, Res& out, RiseTimeSolver solver) {
    auto convert = [&](NumberText In::*member) {
        return convertInput<In>(in, member, ringLinkInputs);
    };
    const double bitRate = convert(&In::bitRate);
    const double launched = convert(&In::launchedPower);
    const double sensitivity = convert(&In::receiverSensitivity);
    const double spectralWidth = convert(&In::spectralWidth);
    const double dispersion = convert(&In::chromaticDispersion);
    const double alpha = convert(&In::fibreAttenuation);
    const double bandwidth = convert(&In::fibreBandwidth);
    const double n = convert(&In::isolatedStations);
    const double outputLoss = convert(&In::switchOutputLoss);
    const double isolationLoss = convert(&In::switchIsolationLoss);
    const double inputLoss = convert(&In::switchInputLoss);
    const double connectorLoss = convert(&In::connectorLoss);
    const double margin = convert(&In::safetyMargin);

    // Power budget: the light leaves through the transmitting station's
    // switch, passes the switches of the N isolated stations and enters the
    // receiving station's switch, over N + 1 lengths of fibre; the connectors
    // count 2 (N + 2) times. Evaluated left to right.
    const double lp = store((Extended(launched) - sensitivity - outputLoss - inputLoss - margin -
                             (Extended(n) + 2) * 2 * connectorLoss - Extended(n) * isolationLoss) /
                            ((Extended(n) + 1) * alpha));
    out.powerDistance.setNumber(lp);

    runRiseTimeBudget(
        out,
        {bitRate, bandwidth, dispersion, spectralWidth, in.lineCode, in.blockCode, in.fibreType},
        [&] { return convert(&In::normalizedBandwidth); }, solver, ringLinkTexts);
}

} // namespace

RingLinkResult calculateRingLink(const RingLinkInput& input, RiseTimeSolver solver) {
    RingLinkResult result;
    runRecordingFault(result.fault, [&] { runSteps(input, result, solver); });
    return result;
}

} // namespace vantero::anel
