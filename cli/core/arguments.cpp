#include "cli/core/arguments.h"

#include "common/failure.h"
#include "common/numbers.h"

namespace vantero::cli {
namespace {

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

template <typename Items, typename Name> std::string joined(const Items& items, Name name) {
    std::string list;
    for (const auto& item : items) {
        if (!list.empty()) {
            list += ", ";
        }
        list += name(item);
    }
    return list;
}

// An option that takes a value: the text after "=", or else the next argument.
struct ValueOption {
    std::string_view name;
    std::optional<std::string> Arguments::*single = nullptr;
    std::vector<std::string> Arguments::*repeated = nullptr;
};

constexpr ValueOption valueOptions[] = {
    {"--open", &Arguments::open},      {"--set", nullptr, &Arguments::sets},
    {"--save", &Arguments::save},      {"--sweep", &Arguments::sweep},
    {"--csv", &Arguments::csv},        {"--plot", &Arguments::plot},
    {"--at", nullptr, &Arguments::at}, {"--report", &Arguments::report},
};

// --at and --report describe one link, not a sweep.
void checkSingleCalculationOptions(const Arguments& a) {
    if (!a.at.empty()) {
        throw UsageError("--at goes with a single calculation, not with --sweep");
    }
    if (a.report) {
        throw UsageError("--report goes with a single calculation, not with --sweep");
    }
}

void checkCombination(const Arguments& a) {
    if (a.sweep) {
        if (a.json) {
            throw UsageError("--json goes with a single calculation, not with --sweep");
        }
        if (a.save) {
            throw UsageError("--save goes with a single calculation, not with --sweep");
        }
        checkSingleCalculationOptions(a);
        return;
    }
    for (const auto& [given, name] :
         {std::pair{a.log, "--log"}, std::pair{a.csv.has_value(), "--csv"},
          std::pair{a.plot.has_value(), "--plot"}}) {
        if (given) {
            throw UsageError(std::string(name) + " goes with --sweep NAME=FROM:TO:COUNT");
        }
    }
}

} // namespace

Arguments parseArguments(std::span<const std::string_view> args) {
    Arguments a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            a.help = true;
            continue;
        }
        if (arg == "--json") {
            a.json = true;
            continue;
        }
        if (arg == "--log") {
            a.log = true;
            continue;
        }
        if (!arg.starts_with("-")) {
            if (!a.calculator.empty()) {
                throw UsageError("one calculator at a time: " + inQuotes(a.calculator) + " and " +
                                 inQuotes(arg));
            }
            a.calculator = arg;
            continue;
        }
        const std::string_view name = arg.substr(0, arg.find('='));
        const ValueOption* option = nullptr;
        for (const ValueOption& candidate : valueOptions) {
            if (candidate.name == name) {
                option = &candidate;
            }
        }
        if (option == nullptr) {
            throw UsageError("unknown option " + inQuotes(arg) +
                             "; the options are --open, --set, --json, --save, --at, --report, "
                             "--sweep, --log, --csv, --plot and --help");
        }
        std::string value;
        if (name.size() < arg.size()) {
            value = arg.substr(name.size() + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            throw UsageError(std::string(name) + " needs a value");
        }
        if (option->repeated != nullptr) {
            (a.*option->repeated).push_back(std::move(value));
        } else if ((a.*option->single).has_value()) {
            throw UsageError(std::string(name) + " is given twice");
        } else {
            a.*option->single = std::move(value);
        }
    }
    if (!a.help) {
        checkCombination(a);
    }
    return a;
}

std::string inputNames(const Calculator& calculator) {
    return joined(calculator.inputs(), [](const InputDescription& d) { return d.name; });
}

std::string choiceValues(const ChoiceDescription& choice) {
    return joined(choice.values, [](std::string_view v) { return v; });
}

std::string calculatorNames() {
    return joined(calculators(), [](const Calculator* c) { return c->name(); });
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
        for (std::size_t v = 0; v < description.values.size(); ++v) {
            if (description.values[v] == value) {
                return {Setting::Kind::Choice, *choice, {}, static_cast<int>(v)};
            }
        }
        throw UsageError(std::string(name) + " is one of " + choiceValues(description) + ", not " +
                         inQuotes(value));
    }
    throw UsageError(
        std::string(calculator.name()) + " has no input or choice " + inQuotes(name) +
        "; its inputs are " + inputNames(calculator) + "; its choices are " +
        joined(calculator.choices(), [](const ChoiceDescription& d) { return d.name; }));
}

void applySetting(Session& session, const Setting& setting) {
    if (setting.kind == Setting::Kind::Text) {
        session.setText(setting.index, setting.text);
    } else {
        session.setChoice(setting.index, setting.value);
    }
}

} // namespace vantero::cli
