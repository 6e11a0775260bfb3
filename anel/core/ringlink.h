#pragma once

#include "common/choices.h"
#include "common/fields.h"
#include "common/networklink.h"
#include "common/numbers.h"
#include "common/solver.h"

#include <array>
#include <string_view>

namespace vantero::anel {

// The figures of one ring link, as the texts of the window's fields (their
// initial texts here), by page, and the window's choices.
struct RingLinkInput {
    // Sistema
    NumberText switchIsolationLoss = "1";
    NumberText safetyMargin = "3";
    NumberText bitRate = "15";
    NumberText isolatedStations = "0";
    NumberText connectorLoss = "1";
    LineCode lineCode = LineCode::NRZ;
    // Transmissor
    NumberText launchedPower = "-12";
    NumberText spectralWidth = "850";
    NumberText switchInputLoss = "1";
    BlockCode blockCode = BlockCode::Code7B8B;
    // Receptor
    NumberText receiverSensitivity = "-25";
    NumberText switchOutputLoss = "1";
    // Fibra
    NumberText fibreAttenuation = "0.35";
    NumberText fibreBandwidth = "100";
    NumberText chromaticDispersion = "40";
    FibreType fibreType = FibreType::SingleMode;
    // The multimode fibre dialog's field; converted for multimode fibre only.
    NumberText normalizedBandwidth = "100";
};

// The outputs of one run, in the order the run sets them (the distance
// caption goes to Label7), what the run found on the way, and the failure that
// ended it, if any.
struct RingLinkResult : NetworkLinkResult {};

extern const std::array<InputField<RingLinkInput>, 14> ringLinkInputs;
extern const std::array<ResultField<RingLinkResult>, 6> ringLinkResults;

// The ring has one message for both fibre types.
inline constexpr std::string_view riseTimeMessage =
    "O tempo de subida do sistema apresentou um valor menor do que o tempo de subida do "
    "transmissor";
inline constexpr std::string_view attenuationCaption =
    "Distância máxima em termos de atenuação vale (Km)";
inline constexpr std::string_view attenuationVerdict = "O sistema é limitado por atenuação";
inline constexpr std::string_view dispersionCaption =
    "Distância máxima em termos de dispersão (Km)";
inline constexpr std::string_view dispersionVerdict = "O sistema é limitado por dispersão";

// One run of the ring budget: the power-budget distance, the rise-time
// distance, and the smaller of the two with the effect that limits the ring.
// Nothing is kept between runs: when the rise-time budget cannot be met the
// run sets the message and reports the ring as limited by dispersion with a
// maximum distance of 0, whatever an earlier run found. A failure ends the run
// at its step and is kept in `fault`, after the outputs set before it.
// Multimode fibre takes the rise-time distance from `solver`.
RingLinkResult calculateRingLink(const RingLinkInput& input, RiseTimeSolver solver = Newton);

} // namespace vantero::anel
