#pragma once

#include "common/calculator/calculator.h"
#include "common/calculator/fields.h"
#include "common/links/verdict.h"
#include "estrela/core/starlink.h"

#include <array>

namespace vantero::estrela {

// The passive star calculator's description: its numeric inputs, its
// choices, its results in the order a run sets them, and its texts.
extern const std::array<InputField<StarLinkInput>, 11> starLinkInputs;
extern const std::array<ChoiceField<StarLinkInput>, 3> starLinkChoices;
extern const std::array<ResultField<StarLinkResult>, 6> starLinkResults;
// The loss the power budget takes once per item: each of the four connectors.
extern const std::array<ItemLossField<StarLinkInput>, 1> starLinkItemLosses;
extern const VerdictTexts starLinkTexts;

// The passive star calculator, for the window, the command line and the
// tools: the tables above, the ".stl" project file and calculateStarLink.
const Calculator& calculator();

} // namespace vantero::estrela
