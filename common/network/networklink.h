#pragma once

#include "common/calculator/fields.h"
#include "common/calculator/partinputs.h"
#include "common/links/budgets.h"
#include "common/links/choices.h"
#include "common/links/solver.h"
#include "common/links/verdict.h"

#include <array>
#include <functional>
#include <optional>
#include <string_view>

namespace vantero {

// The rise times of one star or ring run, each set when the run computes it.
struct RiseTimes {
    std::optional<double> system;     // ns
    std::optional<double> electrical; // ns
    std::optional<double> chromatic;  // ns per km
    std::optional<double> modal;      // ns over one km, multimode fibre only
};

// The outputs of one run of a star or ring network, in the order the run sets
// them (powerDistance, the message, riseTimeDistance and the verdict), what
// the run found on the way, and the failure that ended it, if any. The two
// programs' result records are this one.
struct NetworkLinkResult : LinkResult {
    std::optional<RiseTimeOutcome> riseTimeOutcome;
    RiseTimes riseTimes;
};

// The result table of a program's record derived from NetworkLinkResult;
// `captionComponent` is the label that names the maximum distance.
template <typename Result>
constexpr std::array<ResultField<Result>, 6>
networkLinkResultFields(std::string_view captionComponent) {
    return {{
        {"powerDistance", "Edit15", OutputKind::Number, &Result::powerDistance,
         "Balanço de Potência(Km)"},
        {"message", "", OutputKind::Message, &Result::riseTimeMessage},
        {"riseTimeDistance", "Edit16", OutputKind::Number, &Result::riseTimeDistance,
         "Balanço de Tempo de Subida (Km)"},
        {"distanceCaption", captionComponent, OutputKind::Text, &Result::distanceCaption},
        {"verdict", "Label8", OutputKind::Text, &Result::verdict},
        {"maximumDistance", "Edit7", OutputKind::Number, &Result::maximumDistance},
    }};
}

// The choices of a star or ring window: three radio groups, the line code on
// "Sistema", the block code (7B8B at start) on "Transmissor" and the fibre
// type on "Fibra".
template <typename Input> constexpr std::array<ChoiceField<Input>, 3> networkLinkChoices() {
    return {{
        choiceField<&Input::lineCode, Input>({.name = "lineCode",
                                              .components = {"RadioGroup2", ""},
                                              .caption = "Código de Linha",
                                              .page = Page::Sistema,
                                              .items = lineCodeItems,
                                              .values = lineCodeNames}),
        choiceField<&Input::blockCode, Input>({.name = "blockCode",
                                               .components = {"RadioGroup3", ""},
                                               .caption = "Código de Bloco",
                                               .page = Page::Transmissor,
                                               .items = blockCodeNames,
                                               .values = blockCodeNames,
                                               .initial = static_cast<int>(BlockCode::Code7B8B)}),
        choiceField<&Input::fibreType, Input>({.name = "fibreType",
                                               .components = {"RadioGroup1", ""},
                                               .caption = "Tipo de Fibra",
                                               .page = Page::Fibra,
                                               .items = fibreTypeItems,
                                               .values = fibreTypeNames}),
    }};
}

// What a catalogue part sets in a star or ring window: a transceiver the
// launched power, the receiver's sensitivity and the spectral width; a fibre
// at a wavelength its attenuation and chromatic dispersion there, its type,
// the normalised bandwidth of its window and, from a planning entry, the
// loss of a connector.
template <typename Input, std::size_t I, std::size_t C>
consteval auto networkLinkParts(const std::array<InputField<Input>, I>& inputs,
                                const std::array<ChoiceField<Input>, C>& choices) {
    return partInputs(inputs, choices,
                      std::to_array<PartInput>({
                          {PartFigure::LaunchPower, "launchedPower"},
                          {PartFigure::Sensitivity, "receiverSensitivity"},
                          {PartFigure::SpectralWidth, "spectralWidth"},
                          {PartFigure::Attenuation, "fibreAttenuation"},
                          {PartFigure::ChromaticDispersion, "chromaticDispersion"},
                          {PartFigure::FibreType, "fibreType"},
                          {PartFigure::ModalBandwidth, "normalizedBandwidth"},
                          {PartFigure::ConnectorLoss, "connectorLoss"},
                      }));
}

// The converted figures that the rise-time budget of a network uses.
struct NetworkRiseTimeFigures {
    double bitRate;
    double fibreBandwidth;
    double chromaticDispersion;
    double spectralWidth;
    LineCode lineCode;
    BlockCode blockCode;
    FibreType fibreType;
};

// The rise-time budget and the verdict of a star or ring run, once its power
// budget has set `out.powerDistance`. The normalised bandwidth of multimode
// fibre is converted (by `normalizedBandwidth`) only for multimode fibre,
// after the chromatic rise time and before the test, so that a zero faults
// even where the test then fails.
//
// When the budget cannot be met the run sets the message and, since no length
// of fibre meets it, reports the network as limited by dispersion with a
// maximum distance of 0; it sets no rise-time distance. Otherwise the nearer
// of the two distances is the maximum, a tie going to attenuation; a rise-time
// distance that is not a number cannot be ordered and faults the comparison.
void runRiseTimeBudget(NetworkLinkResult& out, const NetworkRiseTimeFigures& link,
                       const std::function<double()>& normalizedBandwidth, RiseTimeSolver solver,
                       const VerdictTexts& texts);

// Both budgets of a star or ring network at `km` km, once the power terms
// are in: the rise-time terms from the same figures, converted in the same
// order as in a run (the normalised bandwidth for multimode fibre only, after
// the chromatic rise time).
void addNetworkRiseTimeBudget(LinkBudgets& budgets, const NetworkRiseTimeFigures& link,
                              const std::function<double()>& normalizedBandwidth, double km);

} // namespace vantero
