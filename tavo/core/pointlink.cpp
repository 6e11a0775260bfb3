#include "tavo/core/pointlink.h"

#include "common/extended.h"
#include "common/fields.h"
#include "common/risetime.h"
#include "tavo/core/description.h"

#include <optional>

namespace vantero::tavo {

using In = PointLinkInput;
using Res = PointLinkResult;

double dispersionAt1300(double lambda0, double s0) {
    const Extended q = Extended(lambda0) * (1.0L / 1300);
    const Extended q2 = q * q;
    return store((Extended(1) - q2 * q2) * (Extended(1300) * s0 * 0.25));
}

namespace {

void runSteps(const In& in, Res& out, RiseTimeSolver solver) {
    auto convert = [&](NumberText In::*member) {
        return convertInput<In>(in, member, pointLinkInputs);
    };
    const double b = convert(&In::bitRate);
    const double pt = convert(&In::launchedPower);
    const double alpha = convert(&In::fibreAttenuation);
    const double ls = convert(&In::spliceLoss);
    const double m = convert(&In::gainMargin);
    const double nc = convert(&In::connectorCount);
    const double lc = convert(&In::connectorLoss);
    const double lcab = convert(&In::cableSectionLength);
    const double pen = convert(&In::receiverPenalty);
    const double blockM = convert(&In::blockM);
    const double blockN = convert(&In::blockN);
    const double bel = convert(&In::electricalBandwidth);
    const double deltaLambda = convert(&In::spectralWidth);

    // 1. Receiver sensitivity: the detector's curve, or the user's own figure.
    double s = 0;
    if (photodetector(in.detectorType) != nullptr) {
        s = detectorSensitivity(in.berChoice, in.detectorType, b);
        out.sensitivity.setNumber(s);
    } else {
        s = convert(&In::manualSensitivity);
    }

    // 2. Power budget, with one splice per cable section.
    const double lp =
        store((((Extended(pt) - m) - s) - pen - Extended(nc) * lc) / (Extended(ls) / lcab + alpha));
    out.powerDistance.setNumber(lp);

    // 3. System rise time (ns) allowed by the line rate and codes.
    const double r = store(Extended(blockN) / blockM);
    const double tSys = systemRiseTime(in.lineCode, r, b);
    out.systemRiseTime.setNumber(tSys);

    // 4. Chromatic dispersion: typed, or computed at 1300 nm where the
    // detector asks for it and when no detector is selected.
    double d = 0;
    if (!computesDispersionAt1300(in.detectorType)) {
        d = convert(&In::chromaticDispersion);
    } else {
        const double lambda0 = convert(&In::zeroDispersionWavelength);
        const double s0 = convert(&In::dispersionSlope);
        d = dispersionAt1300(lambda0, s0);
        out.computedDispersion.setNumber(d);
    }

    // 5. Receiver rise time; the transmitter is taken to be as fast.
    const double tRx = electricalRiseTime(bel);
    out.txRxRiseTime.setNumber(store(Extended(2) * tRx));

    // 6. Dispersion rise time per km (ns/km).
    const double tau = chromaticRiseTime(d, deltaLambda);

    // 7. The rise-time budget must leave room for the fibre.
    std::optional<double> tm;
    if (in.fibreType == FibreType::Multimode) {
        tm = modalRiseTime(convert(&In::normalizedBandwidth));
    }
    if (!riseTimeBudgetMet(tSys, tRx)) {
        reportUnmetRiseTimeBudget(out, pointLinkTexts, in.fibreType);
        return;
    }

    // 8 to 10. The rise-time distance, and the nearer limit as the maximum.
    reportVerdict(out, pointLinkTexts, lp, riseTimeDistance(tSys, tRx, tau, tm, solver));
}

} // namespace

PointLinkResult calculatePointLink(const PointLinkInput& input, RiseTimeSolver solver) {
    PointLinkResult result;
    runRecordingFault(result.fault, [&] { runSteps(input, result, solver); });
    return result;
}

} // namespace vantero::tavo
