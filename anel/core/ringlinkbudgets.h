#pragma once

#include "anel/core/ringlink.h"
#include "common/budgets.h"

namespace vantero::anel {

// Both budgets of a ring link at `km` km of fibre between neighbouring
// stations (see LinkBudgets). The power terms, in the order of the power
// budget's formula: the launched power, the receiver sensitivity, the
// receiving switch's output loss, the transmitting switch's input loss, the
// safety margin, the connectors (2 (N + 2) of them), the isolation loss of
// the N isolated stations' switches and the fibre (its attenuation over the
// N + 1 lengths the light crosses).
LinkBudgets ringLinkBudgetsAt(const RingLinkInput& input, double km);

} // namespace vantero::anel
