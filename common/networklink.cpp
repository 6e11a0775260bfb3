#include "common/networklink.h"

#include "common/extended.h"
#include "common/risetime.h"

namespace vantero {
namespace {

void report(NetworkLinkResult& out, const VerdictTexts& texts, LimitingFactor factor,
            double distance) {
    const bool attenuation = factor == LimitingFactor::Attenuation;
    out.limitedBy = factor;
    out.distanceCaption.setText(attenuation ? texts.attenuationCaption : texts.dispersionCaption);
    out.verdict.setText(attenuation ? texts.attenuationVerdict : texts.dispersionVerdict);
    out.maximumDistance.setNumber(distance);
}

} // namespace

void runRiseTimeBudget(NetworkLinkResult& out, const NetworkRiseTimeFigures& link,
                       const std::function<double()>& normalizedBandwidth, RiseTimeSolver solver,
                       const VerdictTexts& texts) {
    RiseTimes& times = out.riseTimes;
    const double system =
        systemRiseTime(link.lineCode, blockCodeFactor(link.blockCode), link.bitRate);
    times.system = system;
    const double electrical = electricalRiseTime(link.fibreBandwidth);
    times.electrical = electrical;
    const double chromatic = chromaticRiseTime(link.chromaticDispersion, link.spectralWidth);
    times.chromatic = chromatic;
    const bool multimode = link.fibreType == FibreType::Multimode;
    if (multimode) {
        times.modal = modalRiseTime(normalizedBandwidth());
    }

    if (!riseTimeBudgetMet(system, electrical)) {
        out.riseTimeOutcome =
            multimode ? RiseTimeOutcome::RejectedMultimode : RiseTimeOutcome::RejectedSingleMode;
        out.riseTimeMessage.setText(multimode ? texts.multimodeMessage : texts.singleModeMessage);
        report(out, texts, LimitingFactor::Dispersion, 0);
        return;
    }

    const double ld = riseTimeDistance(system, electrical, chromatic, times.modal, solver);
    out.riseTimeDistance.setNumber(ld);
    out.riseTimeOutcome = RiseTimeOutcome::Computed;

    const double lp = out.powerDistance.value();
    if (Extended(ld) >= lp) {
        report(out, texts, LimitingFactor::Attenuation, lp);
    } else {
        report(out, texts, LimitingFactor::Dispersion, ld);
    }
}

} // namespace vantero
