#pragma once

#include "common/links/budgets.h"
#include "common/links/choices.h"
#include "common/links/solver.h"
#include "common/network/networklink.h"
#include "common/numbers/numbers.h"

namespace vantero::estrela {

// The figures of one passive star link, as the texts of the window's fields,
// by page, and the window's choices; a new record holds the window's initial
// texts and selections (the tables of estrela/core/description.h).
struct StarLinkInput {
    StarLinkInput();

    // Sistema
    NumberText connectorLoss;
    NumberText safetyMargin;
    NumberText bitRate;
    LineCode lineCode{};
    // Transmissor
    NumberText launchedPower;
    NumberText spectralWidth;
    BlockCode blockCode{};
    // Receptor
    NumberText receiverSensitivity;
    NumberText couplerLoss;
    // Fibra
    NumberText fibreAttenuation;
    NumberText fibreBandwidth;
    NumberText chromaticDispersion;
    FibreType fibreType{};
    // The multimode fibre dialog's field; converted for multimode fibre only.
    NumberText normalizedBandwidth;
};

// The outputs of one run, in the order the run sets them (the distance
// caption goes to Label9), what the run found on the way, and the failure that
// ended it, if any.
struct StarLinkResult : NetworkLinkResult {};

// One run of the passive star budget: the power-budget distance, the
// rise-time distance, and the smaller of the two with the effect that limits
// the network. Nothing is kept between runs. When the rise-time budget cannot
// be met the run sets the message and reports the network as limited by
// dispersion with a maximum distance of 0. A failure ends the run at its step
// and is kept in `fault`, after the outputs set before it. Multimode fibre
// takes the rise-time distance from `solver`.
StarLinkResult calculateStarLink(const StarLinkInput& input, RiseTimeSolver solver = Newton);

// Both budgets of a passive star link at `km` km of fibre (see LinkBudgets).
// The power terms, in the order of the power budget's formula: the launched
// power, the receiver sensitivity, the four connectors, the star coupler's
// insertion and splitting loss, the safety margin and the fibre (its
// attenuation over two lengths: to the coupler and from it).
LinkBudgets starLinkBudgetsAt(const StarLinkInput& input, double km);

} // namespace vantero::estrela
