#pragma once

#include "calculators/registry.h"
#include "cli/core/options.h"

#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::cli {

// A command line the program cannot follow: its text says what is wrong and
// what would be right.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The command that lists the catalogue of parts, where a calculator is named:
// no calculator may be called so.
inline constexpr std::string_view catalogueCommand = "catalogue";

// Reads the arguments after the program's name. Each option with a value
// takes it from the next argument or after "=" ("--open=x.dig"); "--" ends
// the options (what follows is the calculator). Options that do not go
// together (--json with --sweep, --csv without it, ...) are a usage error.
// After the command "catalogue" the words that follow are its own (a kind
// and a name); it takes only --catalogue and --json.
Arguments parseArguments(std::span<const std::string_view> args,
                         std::span<const OptionSpec> options = commandLineOptions());

// Where an output file is named, "-" stands for standard output.
constexpr std::string_view standardOutputName = "-";
inline bool isStandardOutput(const std::optional<std::string>& path) {
    return path && *path == standardOutputName;
}

// One --set, resolved against a calculator: a numeric input's new text, or a
// choice's new value.
struct Setting {
    enum class Kind { Text, Choice } kind;
    std::size_t index;
    std::string text;
    int value = 0;
};

// Resolves NAME=VALUE. An unknown name, a choice value that is not one of the
// choice's (in either case), or no "=" is a usage error that lists what is
// valid; a text that
// is not a number fails with NumberFormatFailure naming the input. (A number
// beyond the range of a double is left to the run, which faults on it as the
// window does.)
Setting resolveSetting(const Calculator& calculator, std::string_view nameValue);

void applySetting(Session& session, const Setting& setting);

// Reads the length of --at: a number of km, 0 or more, by the number rules of
// the fields. Anything else is a usage error.
double parseLength(std::string_view text);

// The names of a calculator's inputs or choices, for the messages that list
// them: "a, b, c".
std::string inputNames(const Calculator& calculator);
std::string choiceValues(const ChoiceDescription& choice);
std::string calculatorNames();
// What is wrong with a calculator's name that is none: "no calculator "x";
// the calculators are a, b, c".
std::string unknownCalculatorMessage(std::string_view name);

} // namespace vantero::cli
