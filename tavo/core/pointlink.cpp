#include "tavo/core/pointlink.h"

#include "common/extended.h"
#include "common/risetime.h"

#include <optional>

namespace vantero::tavo {

using In = PointLinkInput;
using Res = PointLinkResult;

const std::array<InputField<In>, 18> pointLinkInputs = {{
    {"bitRate", "Edit6", "Taxa de transmissão de dados (Mbits/s)", "Mbit/s", &In::bitRate},
    {"launchedPower", "Edit5", "Potência óptica acoplada na fibra (dBm)", "dBm",
     &In::launchedPower},
    {"fibreAttenuation", "Edit19", "Valor de atenuação da fibra (dB/km)", "dB/km",
     &In::fibreAttenuation},
    {"spliceLoss", "Edit3", "Valor da perda em cada emenda (dB)", "dB", &In::spliceLoss},
    {"gainMargin", "Edit4", "Margem de ganho (dB)", "dB", &In::gainMargin},
    {"connectorCount", "Edit11", "Número total de conectores ", "", &In::connectorCount},
    {"connectorLoss", "Edit12", "Atenuação em cada conector (dB)", "dB", &In::connectorLoss},
    {"cableSectionLength", "Edit20", "Comprimento do lance do cabo utilizado (km)", "km",
     &In::cableSectionLength},
    {"receiverPenalty", "Edit14", "Penalidades no receptor (dB)", "dB", &In::receiverPenalty},
    {"blockM", "Edit7", "m", "", &In::blockM},
    {"blockN", "Edit10", "n", "", &In::blockN},
    {"electricalBandwidth", "Edit13", "Banda elétrica de 3 dB (MHz)", "MHz",
     &In::electricalBandwidth},
    {"spectralWidth", "Edit2", "Largura espectral da fonte (nm)", "nm", &In::spectralWidth},
    {"chromaticDispersion", "Edit21", "Dispersão cromática (ps/nm.km)", "ps/(nm.km)",
     &In::chromaticDispersion},
    {"zeroDispersionWavelength", "Edit8", "Comprimento de onda de dispersão nula (nm)", "nm",
     &In::zeroDispersionWavelength},
    {"dispersionSlope", "Edit22", "Valor do parâmetro So (ps/nm^2.km)", "ps/(nm^2.km)",
     &In::dispersionSlope},
    {"manualSensitivity", "Edit9", "Sensibilidade (dBm)", "dBm", &In::manualSensitivity},
    {"normalizedBandwidth", "Edit1", "Banda óptica normalizada na fibra (MHz.km)", "MHz.km",
     &In::normalizedBandwidth, true},
}};

const std::array<ResultField<Res>, 10> pointLinkResults = {{
    {"sensitivity", "Edit9", OutputKind::Number, &Res::sensitivity},
    {"powerDistance", "Edit15", OutputKind::Number, &Res::powerDistance},
    {"systemRiseTime", "Edit17", OutputKind::Number, &Res::systemRiseTime},
    {"computedDispersion", "Edit21", OutputKind::Number, &Res::computedDispersion},
    {"txRxRiseTime", "Edit18", OutputKind::Number, &Res::txRxRiseTime},
    {"message", "", OutputKind::Message, &Res::riseTimeMessage},
    {"riseTimeDistance", "Edit16", OutputKind::Number, &Res::riseTimeDistance},
    {"distanceCaption", "Label1", OutputKind::Text, &Res::distanceCaption},
    {"verdict", "Label8", OutputKind::Text, &Res::verdict},
    {"maximumDistance", "Edit1", OutputKind::Number, &Res::maximumDistance},
}};

void checkLeadingInputs(const PointLinkInput& input) {
    // bitRate to spectralWidth; the rows after them are converted only on the
    // path of a run that needs them.
    constexpr std::size_t leadingInputs = 13;
    for (std::size_t i = 0; i < leadingInputs; ++i) {
        (void)convertInput<In>(input, pointLinkInputs[i].member, pointLinkInputs);
    }
}

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
    const bool detectorSelected = in.detectorType >= SiPin && in.detectorType <= InGaAsPin1300;
    double s = 0;
    if (detectorSelected) {
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

    // 4. Chromatic dispersion: typed, or computed at 1300 nm for the 1300 nm
    // detector and when no detector is selected.
    double d = 0;
    if (in.detectorType >= SiPin && in.detectorType <= InGaAsApd1550) {
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
    const bool multimode = in.fibreType == FibreType::Multimode;
    std::optional<double> tm;
    if (multimode) {
        tm = modalRiseTime(convert(&In::normalizedBandwidth));
    }
    if (!riseTimeBudgetMet(tSys, tRx)) {
        // No length of fibre meets the budget.
        out.riseTimeMessage.setText(multimode ? multimodeRiseTimeMessage
                                              : singleModeRiseTimeMessage);
        out.limitedBy = LimitingFactor::Dispersion;
        out.distanceCaption.setText(dispersionCaption);
        out.verdict.setText(dispersionVerdict);
        out.maximumDistance.setNumber(0);
        return;
    }

    // 8. Rise-time distance.
    const double ld = riseTimeDistance(tSys, tRx, tau, tm, solver);
    out.riseTimeDistance.setNumber(ld);

    // 9 and 10. The nearer limit is the maximum distance; a tie goes to
    // attenuation.
    const bool attenuation = Extended(ld) >= lp;
    out.limitedBy = attenuation ? LimitingFactor::Attenuation : LimitingFactor::Dispersion;
    out.distanceCaption.setText(attenuation ? powerCaption : dispersionCaption);
    out.verdict.setText(attenuation ? attenuationVerdict : dispersionVerdict);
    out.maximumDistance.setNumber(attenuation ? lp : ld);
}

} // namespace

PointLinkResult calculatePointLink(const PointLinkInput& input, RiseTimeSolver solver) {
    PointLinkResult result;
    runRecordingFault(result.fault, [&] { runSteps(input, result, solver); });
    return result;
}

} // namespace vantero::tavo
