#include "common/networklink.h"

#include "common/risetime.h"

namespace vantero {

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
        reportUnmetRiseTimeBudget(out, texts, link.fibreType);
        return;
    }

    const double ld = riseTimeDistance(system, electrical, chromatic, times.modal, solver);
    out.riseTimeOutcome = RiseTimeOutcome::Computed;
    reportVerdict(out, texts, out.powerDistance.value(), ld);
}

} // namespace vantero
