#include "anel/core/ringlink.h"

#include "anel/core/description.h"
#include "common/calculator/fields.h"
#include "common/numbers/extended.h"

namespace vantero::anel {

using In = RingLinkInput;
using Res = RingLinkResult;

namespace {

// The figures of a run, converted in the order every run converts them.
struct Figures {
    double launched;
    double sensitivity;
    double alpha;
    double n; // isolated stations
    double outputLoss;
    double isolationLoss;
    double inputLoss;
    double connectorLoss;
    double margin;
    NetworkRiseTimeFigures riseTime;
};

double convert(const In& in, NumberText In::*member) {
    return convertInput<In>(in, member, ringLinkInputs);
}

Figures convertFigures(const In& in) {
    Figures f{};
    f.riseTime.bitRate = convert(in, &In::bitRate);
    f.launched = convert(in, &In::launchedPower);
    f.sensitivity = convert(in, &In::receiverSensitivity);
    f.riseTime.spectralWidth = convert(in, &In::spectralWidth);
    f.riseTime.chromaticDispersion = convert(in, &In::chromaticDispersion);
    f.alpha = convert(in, &In::fibreAttenuation);
    f.riseTime.fibreBandwidth = convert(in, &In::fibreBandwidth);
    f.n = convert(in, &In::isolatedStations);
    f.outputLoss = convert(in, &In::switchOutputLoss);
    f.isolationLoss = convert(in, &In::switchIsolationLoss);
    f.inputLoss = convert(in, &In::switchInputLoss);
    f.connectorLoss = convert(in, &In::connectorLoss);
    f.margin = convert(in, &In::safetyMargin);
    f.riseTime.lineCode = in.lineCode;
    f.riseTime.blockCode = in.blockCode;
    f.riseTime.fibreType = in.fibreType;
    return f;
}

// Power budget: the light leaves through the transmitting station's switch,
// passes the switches of the N isolated stations and enters the receiving
// station's switch, over N + 1 lengths of fibre; the connectors count
// 2 (N + 2) times. Evaluated left to right. The power left for the fibre,
// and its loss per km of distance.
Extended connectorsLoss(const Figures& f) {
    return (Extended(f.n) + 2) * 2 * f.connectorLoss;
}
Extended isolationLoss(const Figures& f) {
    return Extended(f.n) * f.isolationLoss;
}
Extended powerForFibre(const Figures& f) {
    return Extended(f.launched) - f.sensitivity - f.outputLoss - f.inputLoss - f.margin -
           connectorsLoss(f) - isolationLoss(f);
}
Extended lossPerKm(const Figures& f) {
    return (Extended(f.n) + 1) * f.alpha;
}

void runSteps(const In& in, Res& out, RiseTimeSolver solver) {
    const Figures f = convertFigures(in);
    out.powerDistance.setNumber(store(powerForFibre(f) / lossPerKm(f)));
    runRiseTimeBudget(
        out, f.riseTime, [&] { return convert(in, &In::normalizedBandwidth); }, solver,
        ringLinkTexts);
}

} // namespace

RingLinkResult calculateRingLink(const RingLinkInput& input, RiseTimeSolver solver) {
    RingLinkResult result;
    runRecordingFault(result.fault, [&] { runSteps(input, result, solver); });
    return result;
}

LinkBudgets ringLinkBudgetsAt(const RingLinkInput& in, double km) {
    return budgetsAt(km, [&](LinkBudgets& out) {
        const Figures f = convertFigures(in);
        addPowerTerm(out, "launchedPower", "Potência óptica média injetada", dBm,
                     TermKind::Available, f.launched);
        addPowerTerm(out, "receiverSensitivity", "Sensitividade do receptor", dBm,
                     TermKind::Required, f.sensitivity);
        addPowerTerm(out, "switchOutputLoss", "Saída do comutador (estação receptora)", dB,
                     TermKind::Loss, f.outputLoss);
        addPowerTerm(out, "switchInputLoss", "Entrada do comutador (estação transmissora)", dB,
                     TermKind::Loss, f.inputLoss);
        addPowerTerm(out, "safetyMargin", "Margem de segurança", dB, TermKind::Loss, f.margin);
        addPowerTerm(out, "connectors", "Conectores (2 × (N + 2))", dB, TermKind::Loss,
                     store(connectorsLoss(f)));
        addPowerTerm(out, "switchIsolation", "Isolação dos comutadores (N estações isoladas)", dB,
                     TermKind::Loss, store(isolationLoss(f)));
        addPowerTerm(out, "fibre", "Atenuação da fibra (N + 1 lances)", dB, TermKind::Loss,
                     store(lossPerKm(f) * km));
        out.powerMargin = store(powerForFibre(f) - lossPerKm(f) * km);
        addNetworkRiseTimeBudget(
            out, f.riseTime, [&] { return convert(in, &In::normalizedBandwidth); }, km);
    });
}

} // namespace vantero::anel
