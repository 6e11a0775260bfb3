#include "common/catalogue/figures.h"

namespace vantero::catalogue {
namespace {

constexpr FigureRule rules[] = {
    {"wavelength", PartKind::Transceiver, "nm", "wavelength of the transmitter", Worst::Any},
    {"launch-power", PartKind::Transceiver, "dBm", "average launch power", Worst::Min},
    {"sensitivity", PartKind::Transceiver, "dBm", "receiver sensitivity (average power)",
     Worst::Max},
    {"overload", PartKind::Transceiver, "dBm", "receiver overload (average power)", Worst::Any},
    {"spectral-width", PartKind::Transceiver, "nm", "RMS spectral width", Worst::Max},
    {"extinction-ratio", PartKind::Transceiver, "dB", "extinction ratio", Worst::Any},
    {"rise-time", PartKind::Transceiver, "ns", "rise and fall time (20-80 %)", Worst::Any},
    {"power-budget", PartKind::Transceiver, "dB", "link power budget", Worst::Any},
    {"penalties", PartKind::Transceiver, "dB", "allocation for link or path penalties",
     Worst::Any},
    {"reach", PartKind::Transceiver, "km", "operating distance", Worst::Any},
    {"attenuation", PartKind::Fibre, "dB/km", "attenuation", Worst::Max, true},
    {"zero-dispersion-wavelength", PartKind::Fibre, "nm", "zero-dispersion wavelength",
     Worst::Range},
    {"dispersion-slope", PartKind::Fibre, "ps/(nm^2.km)", "zero-dispersion slope", Worst::Max},
    {"bandwidth", PartKind::Fibre, "MHz.km", "modal bandwidth (overfilled launch)", Worst::Min,
     true},
    {"effective-bandwidth", PartKind::Fibre, "MHz.km", "effective modal bandwidth (laser launch)",
     Worst::Min, true},
    {"bend-loss", PartKind::Fibre, "dB", "macrobend loss", Worst::Any, true},
    {"splice-loss", PartKind::Fibre, "dB", "loss of a splice", Worst::Max},
    {"connector-loss", PartKind::Fibre, "dB", "loss of a mated connector pair", Worst::Max},
};

} // namespace

std::span<const FigureRule> figureRules() {
    return rules;
}

const FigureRule* findFigureRule(PartKind kind, std::string_view name) {
    for (const FigureRule& rule : rules) {
        if (rule.kind == kind && rule.name == name) {
            return &rule;
        }
    }
    return nullptr;
}

std::optional<std::string_view> fileFigureName(PartFigure figure) {
    switch (figure) {
    case PartFigure::LaunchPower:
        return "launch-power";
    case PartFigure::Sensitivity:
        return "sensitivity";
    case PartFigure::SpectralWidth:
        return "spectral-width";
    case PartFigure::Attenuation:
        return "attenuation";
    case PartFigure::ChromaticDispersion:
    case PartFigure::ZeroDispersionWavelength:
        return "zero-dispersion-wavelength";
    case PartFigure::DispersionSlope:
        return "dispersion-slope";
    case PartFigure::ModalBandwidth:
        return "bandwidth";
    case PartFigure::SpliceLoss:
        return "splice-loss";
    case PartFigure::ConnectorLoss:
        return "connector-loss";
    case PartFigure::FibreType:
        break;
    }
    return std::nullopt;
}

} // namespace vantero::catalogue
