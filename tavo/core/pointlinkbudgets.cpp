#include "tavo/core/pointlinkbudgets.h"

#include "common/fields.h"
#include "common/risetime.h"
#include "tavo/core/description.h"

namespace vantero::tavo {

using In = PointLinkInput;

LinkBudgets pointLinkBudgetsAt(const PointLinkInput& in, double km) {
    return budgetsAt(km, [&](LinkBudgets& out) {
        auto convert = [&](NumberText In::*member) {
            return convertInput<In>(in, member, pointLinkInputs);
        };
        // The figures in the order a run converts them.
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
        const double s = photodetector(in.detectorType) != nullptr
                             ? detectorSensitivity(in.berChoice, in.detectorType, b)
                             : convert(&In::manualSensitivity);

        // The power budget, ((((Pt - M) - S) - Pen) - Nc Lc) - (Ls / Lcab + a) L:
        // its distance divides the first part by the loss per km.
        auto power = [&](std::string_view name, std::string_view caption, std::string_view unit,
                         TermKind kind, double value) {
            out.powerTerms.push_back({name, caption, unit, kind, value});
        };
        power("launchedPower", "Potência óptica acoplada na fibra", dBm, TermKind::Available, pt);
        power("gainMargin", "Margem de ganho", dB, TermKind::Loss, m);
        power("sensitivity", "Sensibilidade do receptor", dBm, TermKind::Required, s);
        power("receiverPenalty", "Penalidades no receptor", dB, TermKind::Loss, pen);
        const Extended connectors = Extended(nc) * lc;
        power("connectors", "Conectores", dB, TermKind::Loss, store(connectors));
        const Extended splicesPerKm = Extended(ls) / lcab;
        power("splices", "Emendas (uma por lance de cabo)", dB, TermKind::Loss,
              store(splicesPerKm * km));
        power("fibre", "Atenuação da fibra", dB, TermKind::Loss, store(Extended(alpha) * km));
        out.powerMargin =
            store(((((Extended(pt) - m) - s) - pen) - connectors) - (splicesPerKm + alpha) * km);

        // The rise-time budget, from the rise times of a run.
        const double r = store(Extended(blockN) / blockM);
        const double tSys = systemRiseTime(in.lineCode, r, b);
        double d = 0;
        if (!computesDispersionAt1300(in.detectorType)) {
            d = convert(&In::chromaticDispersion);
        } else {
            const double lambda0 = convert(&In::zeroDispersionWavelength);
            const double s0 = convert(&In::dispersionSlope);
            d = dispersionAt1300(lambda0, s0);
        }
        const double tRx = electricalRiseTime(bel);
        const double tau = chromaticRiseTime(d, deltaLambda);
        std::optional<double> tm;
        if (in.fibreType == FibreType::Multimode) {
            tm = modalRiseTime(convert(&In::normalizedBandwidth));
        }
        addRiseTimeBudget(out, tSys, tRx, tau, tm, km);
    });
}

} // namespace vantero::tavo
