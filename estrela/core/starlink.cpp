#include "estrela/core/starlink.h"

#include "common/calculator/fields.h"
#include "common/numbers/extended.h"
#include "estrela/core/description.h"

namespace vantero::estrela {

using In = StarLinkInput;
using Res = StarLinkResult;

namespace {

// The figures of a run, converted in the order every run converts them.
struct Figures {
    double margin;
    double launched;
    double sensitivity;
    double alpha;
    double connectorLoss;
    double couplerLoss;
    NetworkRiseTimeFigures riseTime;
};

double convert(const In& in, NumberText In::*member) {
    return convertInput<In>(in, member, starLinkInputs);
}

Figures convertFigures(const In& in) {
    Figures f{};
    f.margin = convert(in, &In::safetyMargin);
    f.riseTime.bitRate = convert(in, &In::bitRate);
    f.launched = convert(in, &In::launchedPower);
    f.riseTime.spectralWidth = convert(in, &In::spectralWidth);
    f.sensitivity = convert(in, &In::receiverSensitivity);
    f.alpha = convert(in, &In::fibreAttenuation);
    f.riseTime.fibreBandwidth = convert(in, &In::fibreBandwidth);
    f.riseTime.chromaticDispersion = convert(in, &In::chromaticDispersion);
    f.connectorLoss = convert(in, &In::connectorLoss);
    f.couplerLoss = convert(in, &In::couplerLoss);
    f.riseTime.lineCode = in.lineCode;
    f.riseTime.blockCode = in.blockCode;
    f.riseTime.fibreType = in.fibreType;
    return f;
}

// Power budget: four connectors and the star coupler between the two
// stations, and the fibre to the coupler and from it, each as long as the
// distance sought. The power left for the fibre, and its loss per km of
// distance.
Extended connectorsLoss(const Figures& f) {
    return Extended(4) * f.connectorLoss;
}
Extended powerForFibre(const Figures& f) {
    return Extended(f.launched) - f.sensitivity - connectorsLoss(f) - f.couplerLoss - f.margin;
}
Extended lossPerKm(const Figures& f) {
    return Extended(f.alpha) * 2;
}

void runSteps(const In& in, Res& out, RiseTimeSolver solver) {
    const Figures f = convertFigures(in);
    out.powerDistance.setNumber(store(powerForFibre(f) / lossPerKm(f)));
    runRiseTimeBudget(
        out, f.riseTime, [&] { return convert(in, &In::normalizedBandwidth); }, solver,
        starLinkTexts);
}

} // namespace

StarLinkResult calculateStarLink(const StarLinkInput& input, RiseTimeSolver solver) {
    StarLinkResult result;
    runRecordingFault(result.fault, [&] { runSteps(input, result, solver); });
    return result;
}

LinkBudgets starLinkBudgetsAt(const StarLinkInput& in, double km) {
    return budgetsAt(km, [&](LinkBudgets& out) {
        const Figures f = convertFigures(in);
        addPowerTerm(out, "launchedPower", "Potência óptica média injetada", dBm,
                     TermKind::Available, f.launched);
        addPowerTerm(out, "receiverSensitivity", "Sensitividade do receptor", dBm,
                     TermKind::Required, f.sensitivity);
        addPowerTerm(out, "connectors", "Conectores (4)", dB, TermKind::Loss,
                     store(connectorsLoss(f)));
        addPowerTerm(out, "couplerLoss", "Acoplador estrela (inserção + divisão)", dB,
                     TermKind::Loss, f.couplerLoss);
        addPowerTerm(out, "safetyMargin", "Margem de segurança", dB, TermKind::Loss, f.margin);
        addPowerTerm(out, "fibre", "Atenuação da fibra (até o acoplador e dele)", dB,
                     TermKind::Loss, store(lossPerKm(f) * km));
        out.powerMargin = store(powerForFibre(f) - lossPerKm(f) * km);
        addNetworkRiseTimeBudget(
            out, f.riseTime, [&] { return convert(in, &In::normalizedBandwidth); }, km);
    });
}

} // namespace vantero::estrela
