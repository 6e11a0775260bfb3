#pragma once

#include "common/links/budgets.h"

#include <span>
#include <string>
#include <string_view>

namespace vantero {

// The budgets at the lengths given with --at, after the results.

// The budgets at one length as lines "name<TAB>text": "at" and the length,
// each power term, each rise-time term, powerMargin, riseTimeMargin (numbers
// in the five-decimal text), then powerBudgetMet and riseTimeBudgetMet ("yes"
// or "no"). Budgets that end in a fault give only the length and the terms
// found before it.
std::string budgetsText(const LinkBudgets& budgets);

// The budgets at the lengths given, as the JSON array of the key "at", one
// object per length: "distance", "powerTerms" and "riseTimeTerms" (arrays of
// {"name", "value", "unit"}), "powerMargin", "riseTimeMargin" (null when not
// found), "powerBudgetMet", "riseTimeBudgetMet" (false after a fault) and
// "fault" (string or null).
void appendBudgetsJson(std::string& json, std::span<const LinkBudgets> lengths);

} // namespace vantero
