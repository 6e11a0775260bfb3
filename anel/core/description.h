#pragma once

#include "anel/core/ringlink.h"
#include "common/calculator/calculator.h"
#include "common/calculator/fields.h"
#include "common/links/verdict.h"

#include <array>

namespace vantero::anel {

// The ring calculator's description: its numeric inputs, its choices, its
// results in the order a run sets them, and its texts.
extern const std::array<InputField<RingLinkInput>, 14> ringLinkInputs;
extern const std::array<ChoiceField<RingLinkInput>, 3> ringLinkChoices;
extern const std::array<ResultField<RingLinkResult>, 6> ringLinkResults;
// The losses the power budget takes once per item: each connector, and the
// isolation of each isolated station's switch.
extern const std::array<ItemLossField<RingLinkInput>, 2> ringLinkItemLosses;
extern const VerdictTexts ringLinkTexts;

// The ring calculator, for the window, the command line and the tools: the
// tables above, the ".anel" project file and calculateRingLink.
const Calculator& calculator();

} // namespace vantero::anel
