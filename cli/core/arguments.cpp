#include "cli/core/arguments.h"

#include "cli/core/joined.h"
#include "common/numbers/failure.h"
#include "common/numbers/numbers.h"

#include <algorithm>

namespace vantero::cli {
namespace {

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// --at and --report describe one link, not a sweep.
void checkSingleCalculationOptions(const Arguments& a) {
    if (!a.at.empty()) {
        throw UsageError("--at goes with a single calculation, not with --sweep");
    }
    if (a.report) {
        throw UsageError("--report goes with a single calculation, not with --sweep");
    }
}

// The catalogue's listing: at most a kind and a name, and of the options only
// the files it reads and the JSON form.
void checkCatalogueCommand(const Arguments& a) {
    if (a.words.size() > 2) {
        throw UsageError("catalogue takes at most a kind and a name, not " +
                         inQuotes(a.words[2]));
    }
    if (!a.words.empty() && a.words[0] != "fibre" && a.words[0] != "transceiver") {
        throw UsageError("catalogue lists the kinds fibre and transceiver, not " +
                         inQuotes(a.words[0]));
    }
    const bool others = a.open || !a.sets.empty() || !a.uses.empty() || a.save || a.sweep ||
                        a.log || a.csv || a.plot || !a.at.empty() || a.report || a.links ||
                        !a.spreads.empty() || a.trials || a.seed || a.threads;
    if (others) {
        throw UsageError("catalogue takes only --catalogue and --json");
    }
}

// A table of links writes its own CSV or JSON Lines, of each link at the
// length of its row, and its own report, the summary of the table.
void checkLinksOptions(const Arguments& a) {
    for (const auto& [given, name] :
         {std::pair{a.sweep.has_value(), "--sweep"}, std::pair{!a.at.empty(), "--at"},
          std::pair{a.save.has_value(), "--save"}, std::pair{a.plot.has_value(), "--plot"},
          std::pair{a.log, "--log"}, std::pair{!a.spreads.empty(), "--spread"},
          std::pair{a.trials.has_value(), "--trials"}, std::pair{a.seed.has_value(), "--seed"}}) {
        if (given) {
            throw UsageError(std::string(name) +
                             " does not go with --links: the table gives each link its figures "
                             "and its length");
        }
    }
    if (a.json && a.csv) {
        throw UsageError("--json with --links writes JSON Lines to standard output, in the place "
                         "of the CSV: leave out --csv");
    }
}

// The name an option's NAME=... gives.
std::string_view nameOf(std::string_view nameValue) {
    return nameValue.substr(0, nameValue.find('='));
}

// --spread runs trials of one link: a sweep, a project file to save and the
// sweep's options do not go with it, nor a --set of a spread input; the
// trials' histograms and report page are still to come.
void checkTrialCombination(const Arguments& a) {
    if (a.sweep) {
        throw UsageError("--spread and --sweep: the trials draw inputs, the sweep steps one; "
                         "give one of the two");
    }
    for (const std::string& spread : a.spreads) {
        for (const std::string& set : a.sets) {
            if (nameOf(set) == nameOf(spread)) {
                throw UsageError("--set " + set + " and --spread " + spread +
                                 ": the spread gives " + std::string(nameOf(spread)) +
                                 " its values; leave out one of the two");
            }
        }
    }
    if (a.save) {
        throw UsageError("--save goes with a single calculation, not with --spread");
    }
    if (a.log) {
        throw UsageError("--log goes with --sweep NAME=FROM:TO:COUNT");
    }
}

void checkCombination(const Arguments& a) {
    if (a.calculator == catalogueCommand) {
        checkCatalogueCommand(a);
        return;
    }
    if (isStandardOutput(a.save)) {
        throw UsageError("--save writes a project file: name the file (\"-\", standard output, "
                         "is for --csv and --plot)");
    }
    if (a.links) {
        checkLinksOptions(a);
        return;
    }
    if (isStandardOutput(a.csv) && isStandardOutput(a.plot)) {
        throw UsageError("--csv - and --plot -: only one of them can go to standard output");
    }
    if (!a.spreads.empty()) {
        checkTrialCombination(a);
        return;
    }
    for (const auto& [given, name] :
         {std::pair{a.trials.has_value(), "--trials"}, std::pair{a.seed.has_value(), "--seed"}}) {
        if (given) {
            throw UsageError(std::string(name) + " goes with --spread");
        }
    }
    if (a.sweep) {
        const std::string_view swept = std::string_view(*a.sweep).substr(0, a.sweep->find('='));
        for (const std::string& set : a.sets) {
            if (std::string_view(set).substr(0, set.find('=')) == swept) {
                throw UsageError("--set " + set + " and --sweep " + *a.sweep +
                                 ": the sweep gives " + std::string(swept) +
                                 " its values; leave out one of the two");
            }
        }
        if (a.json) {
            throw UsageError("--json goes with a single calculation, not with --sweep");
        }
        if (a.save) {
            throw UsageError("--save goes with a single calculation, not with --sweep");
        }
        checkSingleCalculationOptions(a);
        return;
    }
    if (a.csv) {
        throw UsageError("--csv goes with --sweep NAME=FROM:TO:COUNT, --links FILE or --spread");
    }
    for (const auto& [given, name] :
         {std::pair{a.log, "--log"}, std::pair{a.plot.has_value(), "--plot"}}) {
        if (given) {
            throw UsageError(std::string(name) + " goes with --sweep NAME=FROM:TO:COUNT");
        }
    }
}

} // namespace

Arguments parseArguments(std::span<const std::string_view> args,
                         std::span<const OptionSpec> options) {
    Arguments a;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        // After "--" nothing is an option, whatever it looks like; nor is "-".
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            if (a.calculator == catalogueCommand) {
                a.words.emplace_back(arg);
                continue;
            }
            if (!a.calculator.empty()) {
                throw UsageError("one calculator at a time: " + inQuotes(a.calculator) + " and " +
                                 inQuotes(arg));
            }
            a.calculator = arg;
            continue;
        }
        const std::string_view name = arg.substr(0, arg.find('='));
        const OptionSpec* option = findOption(options, name);
        if (option == nullptr || (name.size() < arg.size() && !option->takesValue())) {
            throw UsageError("unknown option " + inQuotes(arg) + "; the options are " +
                             joined(options, &OptionSpec::name, ", ", " and "));
        }
        if (const auto* flag = std::get_if<OptionSpec::Flag>(&option->value)) {
            a.*(*flag) = true;
            continue;
        }
        std::string value;
        if (name.size() < arg.size()) {
            value = arg.substr(name.size() + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            throw UsageError(std::string(name) + " needs a value");
        }
        if (const auto* repeated = std::get_if<OptionSpec::Repeated>(&option->value)) {
            (a.*(*repeated)).push_back(std::move(value));
            continue;
        }
        std::optional<std::string>& single = a.*std::get<OptionSpec::Single>(option->value);
        if (single.has_value()) {
            throw UsageError(std::string(name) + " is given twice");
        }
        single = std::move(value);
    }
    if (!a.help && !a.version) {
        checkCombination(a);
    }
    return a;
}

std::string inputNames(const Calculator& calculator) {
    return joined(calculator.inputs(), &InputDescription::name);
}

std::string choiceValues(const ChoiceDescription& choice) {
    return joined(choice.values);
}

std::string calculatorNames() {
    return joined(calculators(), [](const Calculator* c) { return c->name(); });
}

std::string unknownCalculatorMessage(std::string_view name) {
    return "no calculator \"" + std::string(name) + "\"; the calculators are " + calculatorNames();
}

Setting resolveSetting(const Calculator& calculator, std::string_view nameValue) {
    const std::size_t equals = nameValue.find('=');
    if (equals == std::string_view::npos) {
        throw UsageError("--set needs NAME=VALUE, not " + inQuotes(nameValue));
    }
    const std::string_view name = nameValue.substr(0, equals);
    const std::string_view value = nameValue.substr(equals + 1);

    if (const auto input = calculator.findInput(name)) {
        // A number beyond a double is left to the run, which faults on it as
        // the window's does.
        if (const NumberText text(value); !text.isNumber() && !text.overflows()) {
            (void)text.value(name); // throws
        }
        return {Setting::Kind::Text, *input, std::string(value)};
    }
    if (const auto choice = calculator.findChoice(name)) {
        const ChoiceDescription& description = calculator.choices()[*choice];
        if (const auto v = findChoiceValue(description, value)) {
            return {Setting::Kind::Choice, *choice, {}, *v};
        }
        throw UsageError(std::string(name) + " is one of " + choiceValues(description) + ", not " +
                         inQuotes(value));
    }
    throw UsageError(std::string(calculator.name()) + " has no input or choice " + inQuotes(name) +
                     "; its inputs are " + inputNames(calculator) + "; its choices are " +
                     joined(calculator.choices(), &ChoiceDescription::name));
}

void applySetting(Session& session, const Setting& setting) {
    if (setting.kind == Setting::Kind::Text) {
        session.setText(setting.index, setting.text);
    } else {
        session.setChoice(setting.index, setting.value);
    }
}

double parseLength(std::string_view text) {
    const NumberText length(text);
    if (!length.isNumber() || !(length.value() >= 0)) {
        throw UsageError("--at needs a length of fibre in km, 0 or more, not \"" +
                         std::string(text) + "\"");
    }
    return static_cast<double>(length.value());
}

} // namespace vantero::cli
