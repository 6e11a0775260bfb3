#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantero::cli {

// The command line as given, before it is checked against a calculator.
struct Arguments {
    bool help = false;
    bool version = false;
    std::string calculator; // empty when none is named; or the command "catalogue"
    std::vector<std::string> words; // what follows the command "catalogue"
    std::optional<std::string> open;
    std::vector<std::string> sets; // NAME=VALUE, in order
    std::vector<std::string> uses; // KIND=NAME[@WAVELENGTH], in order
    std::vector<std::string> catalogues; // the user's catalogue files, in order
    bool json = false;
    std::optional<std::string> save;
    std::optional<std::string> sweep; // NAME=FROM:TO:COUNT, or the NAME of a choice
    std::optional<std::string> links; // a table of links; "-" is standard input
    bool log = false;
    std::optional<std::string> csv;
    std::optional<std::string> plot;
    std::vector<std::string> at; // lengths in km, in order
    std::optional<std::string> report;
    std::vector<std::string> spreads; // NAME=DISTRIBUTION:PARAMETERS, in order
    std::optional<std::string> trials;
    std::optional<std::string> seed;
    std::optional<std::string> threads;
};

// What the shell completes an option's value to.
enum class Completion {
    Nothing,      // a value only the user knows (a length, say)
    Files,        // folders and files; only those ending in one of the extensions
                  // the option lists, when it lists any
    ProjectFiles, // folders and the project files of the calculator on the line
    Setting,      // NAME= of the calculator's inputs and choices; after
                  // "CHOICE=", the choice's values
    Swept,        // NAME= of the calculator's numeric inputs, and its choices
    Spread,       // NAME= of the calculator's numeric inputs; after "NAME=",
                  // the distributions with their colon
    Calculator,   // the name of a calculator
    Words,        // one of the words the option lists
    Part,         // KIND= of the kinds of part; after "KIND=", the names of the
                  // catalogue's parts of that kind (a fibre's with "@")
};

// One way of giving an option, as help shows it: the placeholder of its value
// (none for a flag) and its paragraph, and the manual page's paragraph where
// that says more.
struct OptionForm {
    std::string_view placeholder = {};
    std::string_view help;
    std::string_view manual = {};
};

// The most forms an option has (--sweep NAME=FROM:TO:COUNT and --sweep CHOICE).
inline constexpr std::size_t maxOptionForms = 2;

// An option of vantero: everything the parser, --help, the manual page and
// the shell's completion know of it.
struct OptionSpec {
    // Where its value goes: a flag is set; a single value may be given once;
    // a repeated one is kept in order.
    using Flag = bool Arguments::*;
    using Single = std::optional<std::string> Arguments::*;
    using Repeated = std::vector<std::string> Arguments::*;

    std::string_view name;       // "--open"
    std::string_view alias = {}; // "-h"
    std::variant<Flag, Single, Repeated> value;
    Completion completion = Completion::Nothing;
    // Blank-separated: the extensions of Files (".png .svg"), the words of Words.
    std::string_view completes = {};
    OptionForm forms[maxOptionForms] = {}; // those with a paragraph, in order

    constexpr bool takesValue() const { return !std::holds_alternative<Flag>(value); }
    constexpr bool repeats() const { return std::holds_alternative<Repeated>(value); }
    constexpr std::size_t formCount() const {
        std::size_t count = 0;
        while (count < maxOptionForms && !forms[count].help.empty()) {
            ++count;
        }
        return count;
    }
};

// Every option of vantero, each once, in the order the messages that list
// them name them.
std::span<const OptionSpec> commandLineOptions();

// The ways to run vantero, one usage line each. A word "--name" stands for
// the option with its placeholder ("--open FILE") and "..." when it repeats;
// "--name=PLACEHOLDER" picks one of its forms; brackets make it optional.
// Other words stand for themselves.
std::span<const std::string_view> usageModes();

// The option called `name`, or by the alias `name`, if any.
const OptionSpec* findOption(std::span<const OptionSpec> options, std::string_view name);

// An option as help names it: "--open FILE", "-h, --help".
std::string optionTag(const OptionSpec& option, const OptionForm& form);

// The items of a mode's usage line: "CALCULATOR", "[--open FILE]",
// "[--set NAME=VALUE]...". A mode that names an option `options` lacks, or a
// form it does not have, is a fault of the program (std::logic_error).
std::vector<std::string> usageItems(std::string_view mode, std::span<const OptionSpec> options);

// The options in the order the modes first name them, then those the modes
// leave out, in their own order.
std::vector<const OptionSpec*> optionsInUsageOrder(std::span<const OptionSpec> options,
                                                   std::span<const std::string_view> modes);

} // namespace vantero::cli
