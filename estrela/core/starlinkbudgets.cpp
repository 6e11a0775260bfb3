#include "estrela/core/starlinkbudgets.h"

#include "common/fields.h"
#include "estrela/core/description.h"

namespace vantero::estrela {

using In = StarLinkInput;

LinkBudgets starLinkBudgetsAt(const StarLinkInput& in, double km) {
    return budgetsAt(km, [&](LinkBudgets& out) {
        auto convert = [&](NumberText In::*member) {
            return convertInput<In>(in, member, starLinkInputs);
        };
        // The figures in the order a run converts them.
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

        // Pt - S - 4 Lc - Lcoupler - M - (a 2) L: its distance divides the
        // first part by the loss per km.
        auto power = [&](std::string_view name, std::string_view caption, std::string_view unit,
                         TermKind kind, double value) {
            out.powerTerms.push_back({name, caption, unit, kind, value});
        };
        power("launchedPower", "Potência óptica média injetada", dBm, TermKind::Available,
              launched);
        power("receiverSensitivity", "Sensitividade do receptor", dBm, TermKind::Required,
              sensitivity);
        const Extended connectors = Extended(4) * connectorLoss;
        power("connectors", "Conectores (4)", dB, TermKind::Loss, store(connectors));
        power("couplerLoss", "Acoplador estrela (inserção + divisão)", dB, TermKind::Loss,
              couplerLoss);
        power("safetyMargin", "Margem de segurança", dB, TermKind::Loss, margin);
        const Extended perKm = Extended(alpha) * 2;
        power("fibre", "Atenuação da fibra (até o acoplador e dele)", dB, TermKind::Loss,
              store(perKm * km));
        out.powerMargin = store(
            (Extended(launched) - sensitivity - connectors - couplerLoss - margin) - perKm * km);

        addNetworkRiseTimeBudget(
            out,
            {bitRate, bandwidth, dispersion, spectralWidth, in.lineCode, in.blockCode,
             in.fibreType},
            [&] { return convert(&In::normalizedBandwidth); }, km);
    });
}

} // namespace vantero::estrela
