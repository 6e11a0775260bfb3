#pragma once

#include "common/choices.h"
#include "common/fields.h"
#include "common/networklink.h"
#include "common/numbers.h"
#include "common/solver.h"

#include <array>
#include <string_view>

namespace vantero::estrela {

// The figures of one passive star link, as the texts of the window's fields
// (their initial texts here), by page, and the window's choices.
struct StarLinkInput {
    // Sistema
    NumberText connectorLoss = "1";
    NumberText safetyMargin = "3";
    NumberText bitRate = "100";
    LineCode lineCode = LineCode::NRZ;
    // Transmissor
    NumberText launchedPower = "-10";
    NumberText spectralWidth = "830";
    BlockCode blockCode = BlockCode::Code7B8B;
    // Receptor
    NumberText receiverSensitivity = "-36";
    NumberText couplerLoss = "9";
    // Fibra
    NumberText fibreAttenuation = "0.35";
    NumberText fibreBandwidth = "100";
    NumberText chromaticDispersion = "100";
    FibreType fibreType = FibreType::SingleMode;
    // The multimode fibre dialog's field; converted for multimode fibre only.
    NumberText normalizedBandwidth = "100";
};

// The outputs of one run, in the order the run sets them (the distance
// caption goes to Label9), what the run found on the way, and the failure that
// ended it, if any.
struct StarLinkResult : NetworkLinkResult {};

extern const std::array<InputField<StarLinkInput>, 11> starLinkInputs;
extern const std::array<ResultField<StarLinkResult>, 6> starLinkResults;

inline constexpr std::string_view singleModeRiseTimeMessage =
    "O tempo de subida do sistema apresentou um valor menor do que o tempo de subida do "
    "transmissor";
inline constexpr std::string_view multimodeRiseTimeMessage =
    "O tempo de subida do sistema apresentou um valor menor do que o tempo do transmissor";
inline constexpr std::string_view attenuationCaption =
    "Distância máxima em termos de atenuação (km)";
inline constexpr std::string_view attenuationVerdict = "O Sistema é limitado por atenuação";
inline constexpr std::string_view dispersionCaption =
    "Distância máxima em termos de dispersão (km)";
inline constexpr std::string_view dispersionVerdict = "O Sistema é limitado por dispersão";

// One run of the passive star budget: the power-budget distance, the
// rise-time distance, and the smaller of the two with the effect that limits
// the network. Nothing is kept between runs. When the rise-time budget cannot
// be met the run sets the message and reports the network as limited by
// dispersion with a maximum distance of 0. A failure ends the run at its step
// and is kept in `fault`, after the outputs set before it. Multimode fibre
// takes the rise-time distance from `solver`.
StarLinkResult calculateStarLink(const StarLinkInput& input, RiseTimeSolver solver = Newton);

} // namespace vantero::estrela
