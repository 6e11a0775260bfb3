#include "tavo/core/pointlink.h"

#include "common/calculator/fields.h"
#include "common/links/risetime.h"
#include "common/numbers/extended.h"
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

double convert(const In& in, NumberText In::*member) {
    return convertInput<In>(in, member, pointLinkInputs);
}

// The figures every run converts at its start, in this order.
struct Figures {
    double b;
    double pt;
    double alpha;
    double ls;
    double m;
    double nc;
    double lc;
    double lcab;
    double pen;
    double blockM;
    double blockN;
    double bel;
    double deltaLambda;
};

Figures convertFigures(const In& in) {
    Figures f{};
    f.b = convert(in, &In::bitRate);
    f.pt = convert(in, &In::launchedPower);
    f.alpha = convert(in, &In::fibreAttenuation);
    f.ls = convert(in, &In::spliceLoss);
    f.m = convert(in, &In::gainMargin);
    f.nc = convert(in, &In::connectorCount);
    f.lc = convert(in, &In::connectorLoss);
    f.lcab = convert(in, &In::cableSectionLength);
    f.pen = convert(in, &In::receiverPenalty);
    f.blockM = convert(in, &In::blockM);
    f.blockN = convert(in, &In::blockN);
    f.bel = convert(in, &In::electricalBandwidth);
    f.deltaLambda = convert(in, &In::spectralWidth);
    return f;
}

// 1. Receiver sensitivity: the detector's curve (set as an output), or the
// user's own figure.
double sensitivity(const In& in, double bitRate, Output* output) {
    if (photodetector(in.detectorType) == nullptr) {
        return convert(in, &In::manualSensitivity);
    }
    const double s = detectorSensitivity(in.berChoice, in.detectorType, bitRate);
    if (output != nullptr) {
        output->setNumber(s);
    }
    return s;
}

// 2. Power budget, with one splice per cable section: the power left for the
// fibre and its loss per km of distance.
Extended connectorsLoss(const Figures& f) {
    return Extended(f.nc) * f.lc;
}
Extended splicesPerKm(const Figures& f) {
    return Extended(f.ls) / f.lcab;
}
Extended powerForFibre(const Figures& f, double s) {
    return (((Extended(f.pt) - f.m) - s) - f.pen) - connectorsLoss(f);
}
Extended lossPerKm(const Figures& f) {
    return splicesPerKm(f) + f.alpha;
}

// 3. System rise time (ns) allowed by the line rate and codes.
double systemRiseTimeOf(const Figures& f, const In& in) {
    const double r = store(Extended(f.blockN) / f.blockM);
    return systemRiseTime(in.lineCode, r, f.b);
}

// 4. Chromatic dispersion: typed, or computed at 1300 nm where the detector
// asks for it and when no detector is selected (set as an output).
double chromaticDispersion(const In& in, Output* output) {
    if (!computesDispersionAt1300(in.detectorType)) {
        return convert(in, &In::chromaticDispersion);
    }
    const double lambda0 = convert(in, &In::zeroDispersionWavelength);
    const double s0 = convert(in, &In::dispersionSlope);
    const double d = dispersionAt1300(lambda0, s0);
    if (output != nullptr) {
        output->setNumber(d);
    }
    return d;
}

// 7. The modal rise time per km of multimode fibre, the normalised bandwidth
// converted first.
std::optional<double> modalRiseTimeOf(const In& in) {
    if (in.fibreType != FibreType::Multimode) {
        return std::nullopt;
    }
    return modalRiseTime(convert(in, &In::normalizedBandwidth));
}

void runSteps(const In& in, Res& out, RiseTimeSolver solver) {
    const Figures f = convertFigures(in);
    const double s = sensitivity(in, f.b, &out.sensitivity);
    const double lp = store(powerForFibre(f, s) / lossPerKm(f));
    out.powerDistance.setNumber(lp);
    const double tSys = systemRiseTimeOf(f, in);
    out.systemRiseTime.setNumber(tSys);
    const double d = chromaticDispersion(in, &out.computedDispersion);

    // 5. Receiver rise time; the transmitter is taken to be as fast.
    const double tRx = electricalRiseTime(f.bel);
    out.txRxRiseTime.setNumber(store(Extended(2) * tRx));
    // 6. Dispersion rise time per km (ns/km).
    const double tau = chromaticRiseTime(d, f.deltaLambda);

    // 7. The rise-time budget must leave room for the fibre.
    const std::optional<double> tm = modalRiseTimeOf(in);
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

LinkBudgets pointLinkBudgetsAt(const PointLinkInput& in, double km) {
    return budgetsAt(km, [&](LinkBudgets& out) {
        const Figures f = convertFigures(in);
        const double s = sensitivity(in, f.b, nullptr);
        addPowerTerm(out, "launchedPower", "Potência óptica acoplada na fibra", dBm,
                     TermKind::Available, f.pt);
        addPowerTerm(out, "gainMargin", "Margem de ganho", dB, TermKind::Loss, f.m);
        addPowerTerm(out, "sensitivity", "Sensibilidade do receptor", dBm, TermKind::Required, s);
        addPowerTerm(out, "receiverPenalty", "Penalidades no receptor", dB, TermKind::Loss, f.pen);
        addPowerTerm(out, "connectors", "Conectores", dB, TermKind::Loss, store(connectorsLoss(f)));
        addPowerTerm(out, "splices", "Emendas (uma por lance de cabo)", dB, TermKind::Loss,
                     store(splicesPerKm(f) * km));
        addPowerTerm(out, "fibre", "Atenuação da fibra", dB, TermKind::Loss,
                     store(Extended(f.alpha) * km));
        out.powerMargin = store(powerForFibre(f, s) - lossPerKm(f) * km);

        // The rise-time budget, from the rise times of a run.
        const double tSys = systemRiseTimeOf(f, in);
        const double d = chromaticDispersion(in, nullptr);
        const double tRx = electricalRiseTime(f.bel);
        const double tau = chromaticRiseTime(d, f.deltaLambda);
        const std::optional<double> tm = modalRiseTimeOf(in);
        addRiseTimeBudget(out, tSys, tRx, tau, tm, km);
    });
}

} // namespace vantero::tavo
