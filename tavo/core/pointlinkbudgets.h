#pragma once

#include "common/budgets.h"
#include "tavo/core/pointlink.h"

namespace vantero::tavo {

// Both budgets of a point-to-point link at `km` km of fibre (see LinkBudgets).
// The power terms, in the order of the power budget's formula: the launched
// power, the gain margin, the sensitivity (the detector's curve, or the typed
// figure), the receiver penalties, the connectors (their count times the loss
// of each), the splices (one per cable section: the splice loss over the
// section length, times the length) and the fibre (its attenuation times the
// length).
LinkBudgets pointLinkBudgetsAt(const PointLinkInput& input, double km);

} // namespace vantero::tavo
