#include "cli/core/choicesweep.h"

#include "cli/core/arguments.h"

#include <string>

namespace vantero::cli {

std::optional<ChoiceSweep> parseChoiceSweep(const Calculator& calculator,
                                            std::string_view sweepArgument) {
    const std::size_t equals = sweepArgument.find('=');
    const std::string_view name = sweepArgument.substr(0, equals);
    const auto choice = calculator.findChoice(name);
    if (!choice) {
        if (!calculator.findInput(name)) {
            std::string choices;
            for (const ChoiceDescription& c : calculator.choices()) {
                choices += (choices.empty() ? "" : ", ") + std::string(c.name);
            }
            throw UsageError("--sweep varies a numeric input of " + std::string(calculator.name()) +
                             ": " + inputNames(calculator) + "; or a choice: " + choices +
                             "; not \"" + std::string(name) + "\"");
        }
        return std::nullopt;
    }
    if (equals != std::string_view::npos) {
        throw UsageError(std::string(name) + " is a choice: --sweep " + std::string(name) +
                         " runs each of its values (" +
                         choiceValues(calculator.choices()[*choice]) + "), with no range");
    }
    return ChoiceSweep{*choice};
}

} // namespace vantero::cli
