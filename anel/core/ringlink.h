#pragma once

#include "common/links/budgets.h"
#include "common/links/choices.h"
#include "common/links/solver.h"
#include "common/network/networklink.h"
#include "common/numbers/numbers.h"

namespace vantero::anel {

// The figures of one ring link, as the texts of the window's fields, by page,
// and the window's choices; a new record holds the window's initial texts and
// selections (the tables of anel/core/description.h).
struct RingLinkInput {
    RingLinkInput();

    // Sistema
    NumberText switchIsolationLoss;
    NumberText safetyMargin;
    NumberText bitRate;
    NumberText isolatedStations;
    NumberText connectorLoss;
    LineCode lineCode{};
    // Transmissor
    NumberText launchedPower;
    NumberText spectralWidth;
    NumberText switchInputLoss;
    BlockCode blockCode{};
    // Receptor
    NumberText receiverSensitivity;
    NumberText switchOutputLoss;
    // Fibra
    NumberText fibreAttenuation;
    NumberText fibreBandwidth;
    NumberText chromaticDispersion;
    FibreType fibreType{};
    // The multimode fibre dialog's field; converted for multimode fibre only.
    NumberText normalizedBandwidth;
};

// The outputs of one run, in the order the run sets them (the distance
// caption goes to Label7), what the run found on the way, and the failure that
// ended it, if any.
struct RingLinkResult : NetworkLinkResult {};

// One run of the ring budget: the power-budget distance, the rise-time
// distance, and the smaller of the two with the effect that limits the ring.
// Nothing is kept between runs: when the rise-time budget cannot be met the
// run sets the message and reports the ring as limited by dispersion with a
// maximum distance of 0, whatever an earlier run found. A failure ends the run
// at its step and is kept in `fault`, after the outputs set before it.
// Multimode fibre takes the rise-time distance from `solver`.
RingLinkResult calculateRingLink(const RingLinkInput& input, RiseTimeSolver solver = Newton);

// Both budgets of a ring link at `km` km of fibre between neighbouring
// stations (see LinkBudgets). The power terms, in the order of the power
// budget's formula: the launched power, the receiver sensitivity, the
// receiving switch's output loss, the transmitting switch's input loss, the
// safety margin, the connectors (2 (N + 2) of them), the isolation loss of
// the N isolated stations' switches and the fibre (its attenuation over the
// N + 1 lengths the light crosses).
LinkBudgets ringLinkBudgetsAt(const RingLinkInput& input, double km);

} // namespace vantero::anel
