#include "anel/core/ringlinkbudgets.h"

#include "anel/core/description.h"
#include "common/fields.h"

namespace vantero::anel {

using In = RingLinkInput;

LinkBudgets ringLinkBudgetsAt(const RingLinkInput& in, double km) {
    return budgetsAt(km, [&](LinkBudgets& out) {
        auto convert = [&](NumberText In::*member) {
            return convertInput<In>(in, member, ringLinkInputs);
        };
        // The figures in the order a run converts them.
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

        // Pt - S - Lout - Lin - M - (N + 2) 2 Lc - N Liso - ((N + 1) a) L,
        // left to right: its distance divides the first part by the loss per
        // km.
        auto power = [&](std::string_view name, std::string_view caption, std::string_view unit,
                         TermKind kind, double value) {
            out.powerTerms.push_back({name, caption, unit, kind, value});
        };
        power("launchedPower", "Potência óptica média injetada", dBm, TermKind::Available,
              launched);
        power("receiverSensitivity", "Sensitividade do receptor", dBm, TermKind::Required,
              sensitivity);
        power("switchOutputLoss", "Saída do comutador (estação receptora)", dB, TermKind::Loss,
              outputLoss);
        power("switchInputLoss", "Entrada do comutador (estação transmissora)", dB, TermKind::Loss,
              inputLoss);
        power("safetyMargin", "Margem de segurança", dB, TermKind::Loss, margin);
        const Extended connectors = (Extended(n) + 2) * 2 * connectorLoss;
        power("connectors", "Conectores (2 × (N + 2))", dB, TermKind::Loss, store(connectors));
        const Extended isolation = Extended(n) * isolationLoss;
        power("switchIsolation", "Isolação dos comutadores (N estações isoladas)", dB,
              TermKind::Loss, store(isolation));
        const Extended perKm = (Extended(n) + 1) * alpha;
        power("fibre", "Atenuação da fibra (N + 1 lances)", dB, TermKind::Loss, store(perKm * km));
        out.powerMargin = store((Extended(launched) - sensitivity - outputLoss - inputLoss -
                                 margin - connectors - isolation) -
                                perKm * km);

        addNetworkRiseTimeBudget(
            out,
            {bitRate, bandwidth, dispersion, spectralWidth, in.lineCode, in.blockCode,
             in.fibreType},
            [&] { return convert(&In::normalizedBandwidth); }, km);
    });
}

} // namespace vantero::anel
