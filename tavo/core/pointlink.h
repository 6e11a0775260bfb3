#pragma once

#include "common/choices.h"
#include "common/fields.h"
#include "common/numbers.h"
#include "common/output.h"
#include "common/solver.h"
#include "tavo/core/sensitivity.h"

#include <array>
#include <optional>
#include <string_view>

namespace vantero::tavo {

// The figures of one point-to-point link, as the texts of the window's fields
// (their initial texts here) and the window's choices.
struct PointLinkInput {
    // Converted at the start of every run, in this order.
    NumberText bitRate = "34";
    NumberText launchedPower = "0";
    NumberText fibreAttenuation = "0.35";
    NumberText spliceLoss = "1";
    NumberText gainMargin = "5";
    NumberText connectorCount = "5";
    NumberText connectorLoss = "0.3";
    NumberText cableSectionLength = "4";
    NumberText receiverPenalty = "2";
    NumberText blockM = "3";
    NumberText blockN = "4";
    NumberText electricalBandwidth = "40";
    NumberText spectralWidth = "2";
    // Converted only on the path of the run that needs them.
    NumberText chromaticDispersion = "2.03";
    NumberText zeroDispersionWavelength = "1330";
    NumberText dispersionSlope = "0.092";
    NumberText manualSensitivity = "-38.21522";
    NumberText normalizedBandwidth = "100";

    LineCode lineCode = LineCode::NRZ;
    BerChoice berChoice = BerChoice::Ber1E9;
    int detectorType = SiPin;
    FibreType fibreType = FibreType::SingleMode;
};

// The outputs of one run, in the order the run sets them, and the failure
// that ended it, if any.
struct PointLinkResult {
    Output sensitivity;        // Edit9, only when a detector is selected
    Output powerDistance;      // Edit15
    Output systemRiseTime;     // Edit17
    Output computedDispersion; // Edit21, only when the dispersion is computed
    Output txRxRiseTime;       // Edit18
    Output riseTimeMessage;    // message box, when the rise-time budget fails
    Output riseTimeDistance;   // Edit16
    Output distanceCaption;    // Label1
    Output verdict;            // Label8
    Output maximumDistance;    // Edit1

    // The effect that limits the link, once the comparison is made.
    std::optional<LimitingFactor> limitedBy;
    FaultRecord fault;
};

extern const std::array<InputField<PointLinkInput>, 18> pointLinkInputs;
extern const std::array<ResultField<PointLinkResult>, 10> pointLinkResults;

inline constexpr std::string_view singleModeRiseTimeMessage =
    "tempo de subida do sistema menor que a soma dos tempos do transmissor e do receptor";
inline constexpr std::string_view multimodeRiseTimeMessage =
    "tempo de subida do sistema menor que a soma do tempo do transmissor e receptor";
inline constexpr std::string_view powerCaption = "Distância máxima em termos de potência (km)";
inline constexpr std::string_view dispersionCaption =
    "Distância máxima em termos de dispersão (km)";
inline constexpr std::string_view attenuationVerdict = "O sistema é limitado por atenuação";
inline constexpr std::string_view dispersionVerdict = "O sistema é limitado por dispersão";

// One run of the point-to-point budget: the power-budget distance, the
// rise-time distance, and the smaller of the two with the effect that limits
// the link. Nothing is kept between runs. When the rise-time budget cannot be
// met the run sets the message and reports the link as limited by dispersion
// with a maximum distance of 0. A failure ends the run at its step and is
// kept in `fault`, after the outputs set before it. Multimode fibre takes the
// rise-time distance from `solver`.
PointLinkResult calculatePointLink(const PointLinkInput& input, RiseTimeSolver solver = Newton);

// Converts the inputs that every run converts first (the leading rows of
// pointLinkInputs, bitRate to spectralWidth) in their order, and throws the
// first failure. The window does this before it blanks the result fields, so
// that a field that is not a number leaves the last results on screen.
void checkLeadingInputs(const PointLinkInput& input);

// Chromatic dispersion at 1300 nm (ps/(nm km)) of a fibre with zero-dispersion
// wavelength lambda0 (nm) and slope s0 (ps/(nm^2 km)).
double dispersionAt1300(double lambda0, double s0);

} // namespace vantero::tavo
