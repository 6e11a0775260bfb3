#pragma once

#include "common/links/budgets.h"
#include "common/links/choices.h"
#include "common/links/output.h"
#include "common/links/solver.h"
#include "common/links/verdict.h"
#include "common/numbers/numbers.h"
#include "tavo/core/sensitivity.h"

namespace vantero::tavo {

// The figures of one point-to-point link, as the texts of the window's fields
// and the window's choices; a new record holds the window's initial texts and
// selections (the tables of tavo/core/description.h).
struct PointLinkInput {
    PointLinkInput();

    // Converted at the start of every run, in this order.
    NumberText bitRate;
    NumberText launchedPower;
    NumberText fibreAttenuation;
    NumberText spliceLoss;
    NumberText gainMargin;
    NumberText connectorCount;
    NumberText connectorLoss;
    NumberText cableSectionLength;
    NumberText receiverPenalty;
    NumberText blockM;
    NumberText blockN;
    NumberText electricalBandwidth;
    NumberText spectralWidth;
    // Converted only on the path of the run that needs them.
    NumberText chromaticDispersion;
    NumberText zeroDispersionWavelength;
    NumberText dispersionSlope;
    NumberText manualSensitivity;
    NumberText normalizedBandwidth;

    LineCode lineCode{};
    BerChoice berChoice{};
    DetectorType detectorType{};
    FibreType fibreType{};
};

// The outputs of one run, in the order the run sets them (powerDistance and
// the verdict's outputs are the link's: LinkResult), and the failure that
// ended it, if any.
struct PointLinkResult : LinkResult {
    Output sensitivity;        // Edit9, only when a detector is selected
    Output systemRiseTime;     // Edit17
    Output computedDispersion; // Edit21, only when the dispersion is computed
    Output txRxRiseTime;       // Edit18
};

// One run of the point-to-point budget: the power-budget distance, the
// rise-time distance, and the smaller of the two with the effect that limits
// the link. Nothing is kept between runs. When the rise-time budget cannot be
// met the run sets the message and reports the link as limited by dispersion
// with a maximum distance of 0. A failure ends the run at its step and is
// kept in `fault`, after the outputs set before it. Multimode fibre takes the
// rise-time distance from `solver`.
PointLinkResult calculatePointLink(const PointLinkInput& input, RiseTimeSolver solver = Newton);

// Chromatic dispersion at 1300 nm (ps/(nm km)) of a fibre with zero-dispersion
// wavelength lambda0 (nm) and slope s0 (ps/(nm^2 km)).
double dispersionAt1300(double lambda0, double s0);

// Both budgets of a point-to-point link at `km` km of fibre (see LinkBudgets).
// The power terms, in the order of the power budget's formula: the launched
// power, the gain margin, the sensitivity (the detector's curve, or the typed
// figure), the receiver penalties, the connectors (their count times the loss
// of each), the splices (one per cable section: the splice loss over the
// section length, times the length) and the fibre (its attenuation times the
// length).
LinkBudgets pointLinkBudgetsAt(const PointLinkInput& input, double km);

} // namespace vantero::tavo
