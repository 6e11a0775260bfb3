#include "estrela/core/starlink.h"

#include "common/extended.h"

namespace vantero::estrela {

using In = StarLinkInput;
using Res = StarLinkResult;

const std::array<InputField<In>, 11> starLinkInputs = {{
    {"connectorLoss", "Edit3", "Perdas em cada conector ponto-a-ponto (dB)", "dB",
     &In::connectorLoss},
    {"safetyMargin", "Edit4", "Margem de segurança (dB)", "dB", &In::safetyMargin},
    {"bitRate", "Edit6", "Taxa de transmissão de dados (Mbits/s)", "Mbit/s", &In::bitRate},
    {"launchedPower", "Edit5", "Potência óptica  média injetada fibra (dBm)", "dBm",
     &In::launchedPower},
    {"spectralWidth", "Edit2", "Largura espectral da fonte (nm)", "nm", &In::spectralWidth},
    {"receiverSensitivity", "Edit13", "Sensitividade do receptor óptico (dBm)", "dBm",
     &In::receiverSensitivity},
    {"couplerLoss", "Edit1", "Perdas(inserção+divisão) do acoplador estrela (dB)", "dB",
     &In::couplerLoss},
    {"fibreAttenuation", "Edit19", "Atenuação da fibra (dB/km)", "dB/km", &In::fibreAttenuation},
    {"fibreBandwidth", "Edit20", "Banda passante elétrica da fibra (MHz)", "MHz",
     &In::fibreBandwidth},
    {"chromaticDispersion", "Edit21", "Dispersão cromática (ps/nm.km)", "ps/(nm.km)",
     &In::chromaticDispersion},
    {"normalizedBandwidth", "Edit1", "Banda óptica normalizada na fibra (MHz.km)", "MHz.km",
     &In::normalizedBandwidth, true},
}};

const std::array<ResultField<Res>, 6> starLinkResults = networkLinkResultFields<Res>("Label9");

namespace {

constexpr VerdictTexts starTexts{singleModeRiseTimeMessage, multimodeRiseTimeMessage,
                                 attenuationCaption,        attenuationVerdict,
                                 dispersionCaption,         dispersionVerdict};

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
        [&] { return convert(&In::normalizedBandwidth); }, solver, starTexts);
}

} // namespace

StarLinkResult calculateStarLink(const StarLinkInput& input, RiseTimeSolver solver) {
    StarLinkResult result;
    runRecordingFault(result.fault, [&] { runSteps(input, result, solver); });
    return result;
}

} // namespace vantero::estrela
