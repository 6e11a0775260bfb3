#pragma once

#include "common/budgets.h"
#include "estrela/core/starlink.h"

namespace vantero::estrela {

// Both budgets of a passive star link at `km` km of fibre (see LinkBudgets).
// The power terms, in the order of the power budget's formula: the launched
// power, the receiver sensitivity, the four connectors, the star coupler's
// insertion and splitting loss, the safety margin and the fibre (its
// attenuation over two lengths: to the coupler and from it).
LinkBudgets starLinkBudgetsAt(const StarLinkInput& input, double km);

} // namespace vantero::estrela
