#include "cli/core/options.h"

#include <algorithm>
#include <stdexcept>

namespace vantero::cli {
namespace {

// Each option once. A new option is a row here (and, when it takes a value,
// a member of Arguments for it); the parser, --help, the manual page and the
// shell's completion read it from this table.
constexpr OptionSpec options[] = {
    {.name = "--open",
     .value = &Arguments::open,
     .completion = Completion::ProjectFiles,
     .forms = {{"FILE",
                "start from a project file, read as \"Abrir...\" reads it; the name must end in "
                "the calculator's extension. A choice record holding no code of its choice "
                "leaves that choice at its initial value, except tavo's fibreType, which the "
                "window then calculates as Multimode."}}},
    {.name = "--set",
     .value = &Arguments::sets,
     .completion = Completion::Setting,
     .forms = {{"NAME=VALUE",
                "replace the text of a numeric input, or set a choice; after --open, in order. "
                "Texts follow the rules of the window's fields: blanks around the number are "
                "ignored, an empty text is 0, and only \".\" separates decimals. A choice's "
                "value is matched whatever the case of its letters (rz is RZ)."}}},
    {.name = "--use",
     .value = &Arguments::uses,
     .completion = Completion::Part,
     .forms = {{"KIND=NAME[@NM]",
                "set the inputs a part of the catalogue gives, before every --set (which still "
                "wins): transceiver=NAME its minimum launch power, its sensitivity (in tavo the "
                "typed one, detectorType=0) and its spectral width; fibre=NAME@NM, at NM nm, "
                "its attenuation there, its chromatic dispersion there from its zero-dispersion "
                "wavelength and slope (the end of the range that gives the larger dispersion), "
                "those two, its type and, for multimode fibre, the modal bandwidth of that "
                "window. Standard error says which inputs each part set, from which figures, "
                "and which it left as they were. \"vantero catalogue\" lists the parts."}}},
    {.name = "--catalogue",
     .value = &Arguments::catalogues,
     .completion = Completion::Files,
     .completes = ".toml",
     .forms = {{"FILE",
                "read parts from FILE too, after the shipped catalogue and the files of "
                "$XDG_CONFIG_HOME/vantero/catalogue (~/.config/vantero/catalogue); a part of "
                "the same kind and name takes the place of the one read before, and standard "
                "error says so."}}},
    {.name = "--save",
     .value = &Arguments::save,
     .completion = Completion::Files,
     .forms = {{"FILE", "before the calculation, write the inputs as \"Salvar Como...\" does: the "
                        "extension is appended when the name lacks it, and the file is replaced "
                        "only once the new one is complete."}}},
    {.name = "--sweep",
     .value = &Arguments::sweep,
     .completion = Completion::Swept,
     .forms = {{"NAME=FROM:TO:COUNT",
                "run COUNT points of one numeric input, FROM and TO included, evenly spaced, "
                "and print CSV: the input, powerDistance, riseTimeDistance (empty when the "
                "rise-time budget fails), maximumDistance, limitedBy (Attenuation or "
                "Dispersion) and message (the rise-time message or the fault of the point). "
                "Numbers in their shortest form that reads back exactly. The swept input cannot "
                "also be given to --set."},
               {"CHOICE",
                "run each value of a choice, in the order listed below, and print the same CSV "
                "with the value's name in the first column.",
                "run each value of a choice, in the order CALCULATORS below lists them, and "
                "print the same CSV with the value's name in the first column."}}},
    {.name = "--links",
     .value = &Arguments::links,
     .completion = Completion::Files,
     .forms = {{"FILE",
                "run every link of a table: a CSV file (\"-\" is standard input) whose header "
                "names each column by an input or a choice (the names below), or id (any text, "
                "copied to the output) or length (km: both budgets at that length, as --at), "
                "or fibre or transceiver (a part of the catalogue, NAME@NM or NAME, as --use "
                "names it). Each link starts from --open, every --use and every --set; a "
                "part's cell sets the inputs the part gives, and then each other non-empty "
                "cell replaces that input's text or sets that choice. Prints CSV, one row per link "
                "in the table's order: row, id, the columns of --sweep, with a length column "
                "length, powerMargin, riseTimeMargin, powerBudgetMet and riseTimeBudgetMet "
                "(yes or no), then status (ok; fault, an arithmetic fault; error, a cell that "
                "is not a number or not a value of its choice, a part the catalogue lacks, or "
                "a row that cannot be read) and error (the message, naming the column). A bad "
                "row never stops the others."}}},
    {.name = "--spread",
     .value = &Arguments::spreads,
     .completion = Completion::Spread,
     .forms = {{"NAME=DIST",
                "run the calculation many times (trials), each time drawing the numeric input "
                "NAME from DIST: normal:MEAN,SD, uniform:LOW,HIGH or triangular:LOW,MODE,HIGH "
                "(give it again for more inputs), and print what the trials give: the mean, "
                "the standard deviation and the 1, 5, 50, 95 and 99 % points of powerDistance, "
                "riseTimeDistance and maximumDistance over the trials that gave them, the "
                "share of trials limited by attenuation and by dispersion, with --at the "
                "share that meets the power budget, the rise-time budget and both at each "
                "length and the same figures of both margins, and the share of trials that "
                "faulted with the first fault. The loss of each connector, splice or switch "
                "is drawn item by item (five connectors are five draws; where the count grows "
                "with the length, the items of that length, and a distance is where the "
                "margin with the items of that length is 0). The points are exact up to "
                "8388608 figures in all (trials times 3 + 2 per --at length); beyond, within "
                "0.01 % of the exact ones, in bounded memory. A spread input cannot also be "
                "given to --set."}}},
    {.name = "--trials",
     .value = &Arguments::trials,
     .forms = {{"N", "the number of trials, 100000 unless given (1 to 1000000000000)."}}},
    {.name = "--seed",
     .value = &Arguments::seed,
     .forms = {{"S",
                "the seed of the draws, a whole number from 0 to 18446744073709551615; 1 "
                "unless given, so that a run repeats itself. The same seed gives the same "
                "output whatever the threads, and on every x86-64 machine; the output gives "
                "the seed."}}},
    {.name = "--threads",
     .value = &Arguments::threads,
     .forms = {{"N",
                "run a large sweep or the trials on N threads (1 to 1024), by default as "
                "many as there are processors this process may use; the output is the same "
                "whatever N. Where a thread cannot be started, fewer do the work."}}},
    {.name = "--csv",
     .value = &Arguments::csv,
     .completion = Completion::Files,
     .forms = {{"FILE",
                "write the CSV to FILE instead of standard output. With --spread, the CSV of "
                "every trial: trial, each spread input (for an item loss, the mean of the "
                "items the budget took), powerDistance, riseTimeDistance, maximumDistance, "
                "limitedBy, then for each --at length L powerMargin@L and riseTimeMargin@L "
                "(and the item losses that grow with the length, NAME@L), and fault; the "
                "summary still goes to standard output, unless FILE is \"-\"."}}},
    {.name = "--plot",
     .value = &Arguments::plot,
     .completion = Completion::Files,
     .completes = ".png .svg .pdf",
     .forms = {{"FILE.png|FILE.svg|FILE.pdf",
                "draw both distances and the maximum against the input, with the points where "
                "the limit changes marked, as PNG, SVG or PDF by the file's extension (.png, "
                ".svg, .pdf; \"-\" is PNG on standard output); without --csv, only the chart is "
                "written. With --spread, the histograms of the trials instead: the share of "
                "trials in each bin of maximumDistance and, for each --at length, of "
                "powerMargin (and of riseTimeMargin when it varies), the 1, 50 and 99 % points "
                "marked with their values and, on a margin, the trials short of 0 in red; the "
                "summary still goes to standard output, unless FILE is \"-\"."}}},
    {.name = "--at",
     .value = &Arguments::at,
     .forms = {{"KM",
                "after the results, both budgets at KM km of fibre (0 or more; give it again "
                "for more lengths): \"at<TAB>KM\", each term of the power budget in the order of "
                "the formula (the launched power in dBm, then what is taken from it: the "
                "sensitivity in dBm and each loss in dB), each term of the rise-time budget in "
                "ns (the system rise time allowed, then the link's rise times and their root "
                "sum of squares, linkRiseTime), then powerMargin (dB), riseTimeMargin (ns), "
                "powerBudgetMet and riseTimeBudgetMet (yes or no). Each margin is 0 at its "
                "budget's distance, positive nearer; when the rise-time budget cannot be met, "
                "riseTimeMargin is negative at every length. A run that faults gives no "
                "budgets."}}},
    {.name = "--report",
     .value = &Arguments::report,
     .completion = Completion::Files,
     .completes = ".pdf",
     .forms = {{"FILE.pdf",
                "also write an A4 design report in Portuguese: the inputs by page, the results "
                "as the window shows them, both budgets at the maximum distance (tables and "
                "charts), the maximum distance against the bit rate and both margins against "
                "the length; of a run that faults, the inputs and the results up to the "
                "fault. With --links, the summary of the table instead: how many links meet "
                "both budgets, fail one, fault or are in error, how each margin is spread "
                "(histograms), the links that fail each budget, the worst margin first (row, "
                "id, length, margins, limit), and the inputs every link starts from. With "
                "--spread, the report of the inputs as given (the worst case) and a page of "
                "the trials: the spreads, the share that meets each budget and both at each "
                "--at length beside that length's own verdict, and the histograms of "
                "maximumDistance and of powerMargin at each length."}}},
    {.name = "--json",
     .value = &Arguments::json,
     .forms = {{.help = "print one JSON object instead: calculator, inputs, results (value and "
                        "text), message and fault, and with --at the array \"at\" (one object "
                        "per length, in order, also for one): distance, powerTerms and "
                        "riseTimeTerms (arrays of {name, value, unit}), powerMargin, "
                        "riseTimeMargin, powerBudgetMet, riseTimeBudgetMet and fault. With "
                        "--links, JSON Lines instead of the CSV: one such object per link, on "
                        "a line, after row, id, status and error, with \"at\" when the table "
                        "has a length column."}}},
    {.name = "--log",
     .value = &Arguments::log,
     .forms = {{.help = "space the points geometrically (a constant ratio)."}}},
    {.name = "--help",
     .alias = "-h",
     .value = &Arguments::help,
     .forms = {{.help = "this text; after a calculator, only its inputs and choices.",
                .manual = "print the usage, the options, the exit status, the examples and the "
                          "inputs and choices of every calculator; after a calculator, only the "
                          "usage and that calculator's inputs and choices."}}},
    {.name = "--version",
     .value = &Arguments::version,
     .forms = {{.help = "the version of vantero and its licence."}}},
};

constexpr std::string_view modes[] = {
    "CALCULATOR [--open] [--use] [--set] [--json] [--save] [--at] [--report]",
    "CALCULATOR [--open] [--use] [--set] --sweep=NAME=FROM:TO:COUNT [--log] [--csv] [--plot] "
    "[--threads]",
    "CALCULATOR [--open] [--use] [--set] --sweep=CHOICE [--csv]",
    "CALCULATOR [--open] [--use] [--set] --links [--csv] [--json] [--report] [--threads]",
    "CALCULATOR [--open] [--use] [--set] --spread [--trials] [--seed] [--threads] [--at] [--json] "
    "[--csv] [--plot] [--report]",
    "catalogue [fibre|transceiver] [NAME] [--catalogue] [--json]",
    "[CALCULATOR] --help",
    "--version",
};

constexpr const OptionSpec* optionIn(std::span<const OptionSpec> table, std::string_view name) {
    for (const OptionSpec& option : table) {
        if (option.name == name || (!option.alias.empty() && option.alias == name)) {
            return &option;
        }
    }
    return nullptr;
}

// A word of a mode, read against the options.
struct ModeWord {
    std::string_view text; // brackets aside
    bool optional = false;
    const OptionSpec* option = nullptr;
    std::size_t form = 0;
};

constexpr ModeWord modeWord(std::string_view word, std::span<const OptionSpec> table) {
    ModeWord w;
    w.optional = word.size() > 1 && word.front() == '[' && word.back() == ']';
    w.text = w.optional ? word.substr(1, word.size() - 2) : word;
    if (!w.text.starts_with("--")) {
        return w;
    }
    const std::size_t equals = w.text.find('=');
    w.option = optionIn(table, w.text.substr(0, equals));
    if (w.option == nullptr) {
        throw std::logic_error("the usage names an option there is not: " + std::string(word));
    }
    const std::size_t count = w.option->formCount();
    if (equals == std::string_view::npos) {
        if (count > 1) {
            throw std::logic_error("the usage must say which form of " +
                                   std::string(w.option->name) + " it means");
        }
        return w;
    }
    while (w.form < count && w.option->forms[w.form].placeholder != w.text.substr(equals + 1)) {
        ++w.form;
    }
    if (w.form == count) {
        throw std::logic_error("the usage names a form there is not: " + std::string(word));
    }
    return w;
}

template <typename Visit>
constexpr void forEachModeWord(std::string_view mode, std::span<const OptionSpec> table,
                               Visit visit) {
    while (!mode.empty()) {
        const std::size_t blank = mode.find(' ');
        visit(modeWord(mode.substr(0, blank), table));
        mode.remove_prefix(blank == std::string_view::npos ? mode.size() : blank + 1);
    }
}

// Every option has a name of its own and a paragraph for help, a placeholder
// exactly when it takes a value, and every option a mode names is in the table.
consteval bool tableIsWhole() {
    for (std::size_t i = 0; i < std::size(options); ++i) {
        const OptionSpec& option = options[i];
        const std::span<const OptionSpec> before(options, i);
        if (optionIn(before, option.name) != nullptr ||
            (!option.alias.empty() && optionIn(before, option.alias) != nullptr)) {
            return false;
        }
        if (!option.name.starts_with("--") || option.formCount() == 0) {
            return false;
        }
        for (std::size_t f = 0; f < option.formCount(); ++f) {
            if (option.forms[f].placeholder.empty() == option.takesValue()) {
                return false;
            }
        }
    }
    for (const std::string_view mode : modes) {
        forEachModeWord(mode, options, [](const ModeWord&) {});
    }
    return true;
}
static_assert(tableIsWhole());

} // namespace

std::span<const OptionSpec> commandLineOptions() {
    return options;
}

std::span<const std::string_view> usageModes() {
    return modes;
}

const OptionSpec* findOption(std::span<const OptionSpec> table, std::string_view name) {
    return optionIn(table, name);
}

std::string optionTag(const OptionSpec& option, const OptionForm& form) {
    std::string tag;
    if (!option.alias.empty()) {
        tag += option.alias;
        tag += ", ";
    }
    tag += option.name;
    if (!form.placeholder.empty()) {
        tag += ' ';
        tag += form.placeholder;
    }
    return tag;
}

std::vector<std::string> usageItems(std::string_view mode, std::span<const OptionSpec> table) {
    std::vector<std::string> items;
    forEachModeWord(mode, table, [&items](const ModeWord& w) {
        std::string item(w.text);
        if (w.option != nullptr) {
            item = w.option->name;
            if (const std::string_view placeholder = w.option->forms[w.form].placeholder;
                !placeholder.empty()) {
                item += ' ';
                item += placeholder;
            }
        }
        if (w.optional) {
            item = "[" + item + "]";
        }
        if (w.option != nullptr && w.option->repeats()) {
            item += "...";
        }
        items.push_back(std::move(item));
    });
    return items;
}

std::vector<const OptionSpec*> optionsInUsageOrder(std::span<const OptionSpec> table,
                                                   std::span<const std::string_view> usage) {
    std::vector<const OptionSpec*> order;
    const auto add = [&order](const OptionSpec* option) {
        if (option != nullptr && std::find(order.begin(), order.end(), option) == order.end()) {
            order.push_back(option);
        }
    };
    for (const std::string_view mode : usage) {
        forEachModeWord(mode, table, [&add](const ModeWord& w) { add(w.option); });
    }
    for (const OptionSpec& option : table) {
        add(&option);
    }
    return order;
}

} // namespace vantero::cli
