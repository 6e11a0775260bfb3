#include "common/network/networklink.h"

#include "common/links/risetime.h"

namespace vantero {
namespace {

// The rise times of the network, each kept in `times` as soon as it is found,
// so that a fault leaves those found before it.
void findRiseTimes(RiseTimes& times, const NetworkRiseTimeFigures& link,
                   const std::function<double()>& normalizedBandwidth) {
    times.system = systemRiseTime(link.lineCode, blockCodeFactor(link.blockCode), link.bitRate);
    times.electrical = electricalRiseTime(link.fibreBandwidth);
    times.chromatic = chromaticRiseTime(link.chromaticDispersion, link.spectralWidth);
    if (link.fibreType == FibreType::Multimode) {
        times.modal = modalRiseTime(normalizedBandwidth());
    }
}

} // namespace

void runRiseTimeBudget(NetworkLinkResult& out, const NetworkRiseTimeFigures& link,
                       const std::function<double()>& normalizedBandwidth, RiseTimeSolver solver,
                       const VerdictTexts& texts) {
    RiseTimes& times = out.riseTimes;
    findRiseTimes(times, link, normalizedBandwidth);
    const double system = *times.system;
    const double electrical = *times.electrical;
    const double chromatic = *times.chromatic;
    const bool multimode = link.fibreType == FibreType::Multimode;

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

void addNetworkRiseTimeBudget(LinkBudgets& budgets, const NetworkRiseTimeFigures& link,
                              const std::function<double()>& normalizedBandwidth, double km) {
    RiseTimes times;
    findRiseTimes(times, link, normalizedBandwidth);
    addRiseTimeBudget(budgets, *times.system, *times.electrical, *times.chromatic, times.modal, km);
}

} // namespace vantero
