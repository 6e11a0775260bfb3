#pragma once

#include "common/calculator/calculator.h"
#include "common/calculator/fields.h"
#include "common/links/verdict.h"
#include "tavo/core/pointlink.h"

#include <array>

namespace vantero::tavo {

// The point-to-point calculator's description: its numeric inputs (the first
// thirteen converted at the start of every run, in this order), its choices,
// its results in the order a run sets them, and its texts.
extern const std::array<InputField<PointLinkInput>, 18> pointLinkInputs;
extern const std::array<ChoiceField<PointLinkInput>, 5> pointLinkChoices;
extern const std::array<ResultField<PointLinkResult>, 10> pointLinkResults;
// The losses the power budget takes once per item: each connector and each
// splice.
extern const std::array<ItemLossField<PointLinkInput>, 2> pointLinkItemLosses;
extern const VerdictTexts pointLinkTexts;

// The point-to-point calculator, for the window, the command line and the
// tools: the tables above, the ".dig" project file and calculatePointLink.
const Calculator& calculator();

} // namespace vantero::tavo
