#include "anel/core/ringlink.h"

#include "common/extended.h"

namespace vantero::anel {

using In = RingLinkInput;
using Res = RingLinkResult;

const std::array<InputField<In>, 14> ringLinkInputs = {{
    {"switchIsolationLoss", "Edit3", "Perdas de isolação no comutador óptico (dB)", "dB",
     &In::switchIsolationLoss},
    {"safetyMargin", "Edit4", "Margem de segurança (dB)", "dB", &In::safetyMargin},
    {"bitRate", "Edit6", "Taxa de transmissão de dados (Mbits/s)", "Mbit/s", &In::bitRate},
    {"isolatedStations", "Edit11", "Número de estações isoladas ", "", &In::isolatedStations},
    {"connectorLoss", "Edit12", "Perdas em cada conector ponto-a-ponto (dB)", "dB",
     &In::connectorLoss},
    {"launchedPower", "Edit5", "Potência óptica  média injetada fibra (dBm)", "dBm",
     &In::launchedPower},
    {"spectralWidth", "Edit2", "Largura espectral da fonte (nm)", "nm", &In::spectralWidth},
    {"switchInputLoss", "Edit1", "Perdas de entrada no comutador óptico (dB)", "dB",
     &In::switchInputLoss},
    {"receiverSensitivity", "Edit13", "Sensitividade do receptor óptico (dBm)", "dBm",
     &In::receiverSensitivity},
    {"switchOutputLoss", "Edit14", "Perdas de saída no comutador óptico (dB)", "dB",
     &In::switchOutputLoss},
    {"fibreAttenuation", "Edit19", "Atenuação da fibra (dB/km)", "dB/km", &In::fibreAttenuation},
    {"fibreBandwidth", "Edit20", "Banda passante elétrica da fibra (MHz)", "MHz",
     &In::fibreBandwidth},
    {"chromaticDispersion", "Edit21", "Dispersão cromática (ps/nm.km)", "ps/(nm.km)",
     &In::chromaticDispersion},
    {"normalizedBandwidth", "Edit1", "Banda óptica normalizada na fibra (MHz.km)", "MHz.km",
     &In::normalizedBandwidth, true},
}};

const std::array<ResultField<Res>, 6> ringLinkResults = networkLinkResultFields<Res>("Label7");

namespace {

constexpr VerdictTexts ringTexts{riseTimeMessage,    riseTimeMessage,   attenuationCaption,
                                 attenuationVerdict, dispersionCaption, dispersionVerdict};

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
        [&] { return convert(&In::normalizedBandwidth); }, solver, ringTexts);
}

} // namespace

RingLinkResult calculateRingLink(const RingLinkInput& input, RiseTimeSolver solver) {
    RingLinkResult result;
    runRecordingFault(result.fault, [&] { runSteps(input, result, solver); });
    return result;
}

} // namespace vantero::anel
