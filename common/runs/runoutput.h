#pragma once

#include "common/calculator/calculator.h"
#include "common/numbers/failure.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantero {

// The budgets at each of `lengths` of the link the session holds, after its
// run `run`: none when the run ended in a fault, else up to the first length
// whose budgets fault (included).
std::vector<LinkBudgets> budgetsAtLengths(const Session& session, const RunReport& run,
                                          std::span<const double> lengths);

// The results of a run as lines "name<TAB>text", in the order the run set
// them, each text as the window shows it; the rise-time message as
// "message<TAB>text" at its place.
std::string runText(const RunReport& run);

// The run as one JSON object: "calculator", "inputs" (every input's text and
// every choice's value), "results" (in the order set: {"value", "text"} for a
// number, {"text"} for a caption or verdict), "message" and "fault" (string or
// null), and after them "at", the budgets at the lengths of --at when they
// are given (an array, empty when the run ended in a fault: see
// appendBudgetsJson).
std::string runJson(const Session& session, const RunReport& run,
                    const std::vector<LinkBudgets>* at = nullptr);

// The text a failure is reported with, without the final full stop: a text
// that is not a number names its input ("bitRate: ...").
std::string failureMessage(const Failure& failure);

} // namespace vantero
