#include "cli/core/program.h"

#include "cli/core/arguments.h"
#include "cli/core/budgetoutput.h"
#include "cli/core/csvwriter.h"
#include "cli/core/report.h"
#include "common/failure.h"
#include "common/filereplacement.h"
#include "common/projectfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace vantero::cli {
namespace {

constexpr std::string_view usage =
    "Usage:\n"
    "  vantero CALCULATOR [--open FILE] [--set NAME=VALUE]... [--json] [--save FILE]\n"
    "          [--at KM]... [--report FILE.pdf]\n"
    "  vantero CALCULATOR [--open FILE] [--set NAME=VALUE]... --sweep NAME=FROM:TO:COUNT\n"
    "          [--log] [--csv FILE] [--plot FILE.png|FILE.svg|FILE.pdf]\n"
    "  vantero [CALCULATOR] --help\n";

constexpr std::string_view purpose =
    "Runs the link budget of one calculator, @, on the texts its window starts with, as the "
    "window's OK button does, and prints the results in the order the window sets them: per "
    "line the result's name, a tab and its text exactly as the window shows it; the rise-time "
    "message, when there is one, as \"message<TAB>text\" at its place.";

constexpr std::string_view options =
    "\n"
    "  --open FILE       start from a project file, read as \"Abrir...\" reads it; the\n"
    "                    name must end in the calculator's extension. A choice record\n"
    "                    holding no code of its choice leaves that choice at its\n"
    "                    initial value, except tavo's fibreType, which the window\n"
    "                    then calculates as Multimode.\n"
    "  --set NAME=VALUE  replace the text of a numeric input, or set a choice; after\n"
    "                    --open, in order. Texts follow the rules of the window's\n"
    "                    fields: blanks around the number are ignored, an empty text\n"
    "                    is 0, and only \".\" separates decimals.\n"
    "  --json            print one JSON object instead: calculator, inputs, results\n"
    "                    (value and text), message and fault, and with --at the\n"
    "                    array \"at\" (one object per length, in order, also for\n"
    "                    one): distance, powerTerms and riseTimeTerms (arrays of\n"
    "                    {name, value, unit}), powerMargin, riseTimeMargin,\n"
    "                    powerBudgetMet, riseTimeBudgetMet and fault.\n"
    "  --save FILE       before the calculation, write the inputs as \"Salvar Como...\"\n"
    "                    does: the extension is appended when the name lacks it, and\n"
    "                    the file is replaced only once the new one is complete.\n"
    "  --at KM           after the results, both budgets at KM km of fibre (0 or\n"
    "                    more; give it again for more lengths): \"at<TAB>KM\", each\n"
    "                    term of the power budget in the order of the formula (the\n"
    "                    launched power in dBm, then what is taken from it: the\n"
    "                    sensitivity in dBm and each loss in dB), each term of the\n"
    "                    rise-time budget in ns (the system rise time allowed,\n"
    "                    then the link's rise times and their root sum of squares,\n"
    "                    linkRiseTime), then powerMargin (dB), riseTimeMargin (ns),\n"
    "                    powerBudgetMet and riseTimeBudgetMet (yes or no). Each\n"
    "                    margin is 0 at its budget's distance, positive nearer;\n"
    "                    when the rise-time budget cannot be met, riseTimeMargin is\n"
    "                    negative at every length. A run that faults gives no\n"
    "                    budgets.\n"
    "  --report FILE.pdf\n"
    "                    also write an A4 design report in Portuguese: the inputs\n"
    "                    by page, the results as the window shows them, both\n"
    "                    budgets at the maximum distance (tables and charts), the\n"
    "                    maximum distance against the bit rate and both margins\n"
    "                    against the length; of a run that faults, the inputs and\n"
    "                    the results up to the fault.\n"
    "  --sweep NAME=FROM:TO:COUNT\n"
    "                    run COUNT points of one numeric input, FROM and TO included,\n"
    "                    evenly spaced, and print CSV: the input, powerDistance,\n"
    "                    riseTimeDistance (empty when the rise-time budget fails),\n"
    "                    maximumDistance, limitedBy (Attenuation or Dispersion) and\n"
    "                    message (the rise-time message or the fault of the point).\n"
    "                    Numbers in their shortest form that reads back exactly.\n"
    "  --log             space the points geometrically (a constant ratio).\n"
    "  --csv FILE        write the CSV to FILE instead of standard output.\n"
    "  --plot FILE       also draw both distances and the maximum against the input,\n"
    "                    with the points where the limit changes marked, as PNG, SVG\n"
    "                    or PDF by the file's extension (.png, .svg, .pdf).\n"
    "  --help            this text; after a calculator, only its inputs and choices.\n"
    "\n"
    "Exit status: 0 when the calculation ran (a failed rise-time budget is a\n"
    "result, not an error; so is a faulting point of a sweep, shown in its row);\n"
    "1 on an arithmetic fault, its text on standard error after the results set\n"
    "before it; 2 on a usage error or a text that is not a number, naming the\n"
    "input; 3 on a file failure; 4 when the memory runs out.\n";

std::string trimmed(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return std::string(text);
}

std::string padded(std::string_view text, std::size_t width) {
    std::string cell(text);
    cell.resize(std::max(width, cell.size() + 1), ' ');
    return cell;
}

// `text` in lines of at most `width` characters, each after `indent` blanks.
std::string wrapped(std::string_view text, std::size_t indent, std::size_t width) {
    std::string lines;
    std::string line;
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        const std::string_view word = text.substr(0, blank);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines += std::string(indent, ' ') + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + std::string(word);
        text.remove_prefix(blank == std::string_view::npos ? text.size() : blank + 1);
    }
    if (!line.empty()) {
        lines += std::string(indent, ' ') + line + "\n";
    }
    return lines;
}

std::string calculatorHelp(const Calculator& calculator) {
    constexpr std::size_t nameWidth = 26;
    constexpr std::size_t initialWidth = 12;
    constexpr std::size_t unitWidth = 14;
    const std::string valueIndent(2 + nameWidth + initialWidth, ' ');

    std::string text = "\n" + std::string(calculator.name()) + ": " +
                       std::string(calculator.caption()) + " (project files " +
                       std::string(calculator.layout().extension) + ")\n";
    text += "  " + padded("input", nameWidth) + padded("initial", initialWidth) +
            padded("unit", unitWidth) + "label\n";
    std::vector<std::string_view> notInFile;
    for (const InputDescription& input : calculator.inputs()) {
        text += "  " + padded(input.name, nameWidth) + padded(input.initialText, initialWidth) +
                padded(input.unit, unitWidth) + trimmed(input.label) + "\n";
        bool inFile = false;
        for (const ProjectRecord& record : calculator.layout().records) {
            inFile = inFile || record.input == input.name;
        }
        if (!inFile) {
            notInFile.push_back(input.name);
        }
    }
    text += "  " + padded("choice", nameWidth) + padded("initial", initialWidth) + "values\n";
    const std::vector<int> initial = calculator.initialChoices();
    for (std::size_t i = 0; i < calculator.choices().size(); ++i) {
        const ChoiceDescription& choice = calculator.choices()[i];
        text += "  " + padded(choice.name, nameWidth) +
                padded(choice.values[static_cast<std::size_t>(initial[i])], initialWidth);
        if (!choice.codes) {
            text += choiceValues(choice) + "\n";
        } else {
            for (std::size_t v = 0; v < choice.values.size(); ++v) {
                const int item = choice.itemOfValue(static_cast<int>(v));
                text += (v == 0 ? "" : valueIndent) + std::string(choice.values[v]) + " " +
                        std::string(item < 0 ? choice.noItem
                                             : choice.items[static_cast<std::size_t>(item)]) +
                        "\n";
            }
        }
        if (!choice.note.empty()) {
            text += wrapped(choice.note, valueIndent.size(), 78 - valueIndent.size());
        }
    }
    if (!notInFile.empty()) {
        std::string names;
        for (std::string_view name : notInFile) {
            names += (names.empty() ? "" : ", ") + std::string(name);
        }
        text += wrapped("Not kept in the project file: " + names + ".", 2, 76);
    }
    return text;
}

// Reports a failure on `err` as the window's error box shows it, with its
// final full stop, and gives its exit status. A file failure names the file.
int report(std::FILE* err, const Failure& failure) {
    std::string line;
    const auto* file = dynamic_cast<const FileFailure*>(&failure);
    if (file != nullptr && !file->path().empty()) {
        line = file->path() + ": ";
    }
    line += failureMessage(failure) + ".\n";
    std::fputs(line.c_str(), err);
    return exitStatus(failure);
}

[[noreturn]] void failWriting(const std::string& path) {
    throw FileFailure(errno != 0 ? errno : EIO, path);
}

// Flushes a stream the results went to, reporting a failure to write.
void flushStream(std::FILE* out, const std::string& name) {
    errno = 0;
    if (std::fflush(out) != 0 || std::ferror(out)) {
        failWriting(name);
    }
}

// Runs the sweep, writing its CSV as it goes, and then draws its chart. A
// named output file takes the place of the old one only once it is whole; a
// pipe or a device is written as the sweep runs.
int runSweep(const Session& session, const SweepRange& range, const Arguments& a, std::FILE* out,
             const ChartRenderer& drawChart) {
    const Calculator& calculator = session.calculator();
    std::optional<FileReplacement> csvFile;
    if (a.csv) {
        csvFile.emplace(*a.csv, SpecialFiles::WriteInto);
    }
    std::optional<SweepChart> chart;
    std::optional<ChartEnvelope> envelope;
    if (a.plot) {
        chart = sweepChart(calculator, range);
        envelope.emplace(range.from, range.to, range.logarithmic);
    }
    CsvWriter csv(csvFile ? [&file = *csvFile](std::string_view bytes) { file.write(bytes); }
                          : streamSink(out, "standard output"));
    csv.header(calculator.inputs()[range.input].name);
    runSweepBlocks(
        session, range, envelope.has_value(),
        [&](const SweepBlock& block) {
            csv.write(block.csv);
            if (envelope) {
                for (const ChartPoint& point : block.chart) {
                    envelope->add(point);
                }
            }
        },
        sweepWorkers(range.count));
    csv.finish();
    if (csvFile) {
        csvFile->commit();
    } else {
        flushStream(out, "standard output");
    }
    if (chart) {
        chart->points = envelope->points();
        chart->crossovers = envelope->crossovers();
        const std::string picture = drawChart(*chart, *imageFormatOf(*a.plot));
        replaceFile(*a.plot,
                    {reinterpret_cast<const std::uint8_t*>(picture.data()), picture.size()},
                    SpecialFiles::WriteInto);
    }
    return 0;
}

// The design report of the link, written to its file.
void writeReport(const Session& session, const RunReport& run, const Arguments& a,
                 const ReportRenderer& drawReport) {
    const std::string project =
        a.open ? std::filesystem::absolute(*a.open).lexically_normal().string() : std::string();
    const std::string pdf = drawReport(designReport(session, run, project, todaysDate()));
    replaceFile(*a.report, std::span(reinterpret_cast<const std::uint8_t*>(pdf.data()), pdf.size()),
                SpecialFiles::WriteInto);
}

int runOnce(const Session& session, const Arguments& a, const std::vector<double>& lengths,
            std::FILE* out, const ReportRenderer& drawReport) {
    const RunReport run = session.run();
    // The budgets of a link whose run went through, up to the first that
    // faults.
    std::vector<LinkBudgets> at;
    for (std::size_t i = 0; i < lengths.size() && !run.fault; ++i) {
        at.push_back(session.budgetsAt(lengths[i]));
        if (at.back().fault) {
            break;
        }
    }
    std::string text;
    if (a.json) {
        text = runJson(session, run, a.at.empty() ? nullptr : &at);
    } else {
        text = runText(run);
        for (const LinkBudgets& budgets : at) {
            text += budgetsText(budgets);
        }
    }
    std::fwrite(text.data(), 1, text.size(), out);
    flushStream(out, "standard output");
    if (a.report) {
        writeReport(session, run, a, drawReport);
    }
    if (run.fault) {
        run.fault->raise();
    }
    if (!at.empty() && at.back().fault) {
        at.back().fault->raise();
    }
    return 0;
}

int run(const Arguments& a, std::FILE* out, std::FILE* err, const ChartRenderer& drawChart,
        const ReportRenderer& drawReport) {
    const Calculator* calculator = findCalculator(a.calculator);
    if (a.help) {
        if (!a.calculator.empty() && calculator == nullptr) {
            throw UsageError("no calculator \"" + a.calculator + "\"; the calculators are " +
                             calculatorNames());
        }
        const std::string text = helpText(calculator);
        std::fputs(text.c_str(), out);
        return 0;
    }
    if (a.calculator.empty()) {
        throw UsageError("name a calculator: " + calculatorNames());
    }
    if (calculator == nullptr) {
        throw UsageError("no calculator \"" + a.calculator + "\"; the calculators are " +
                         calculatorNames());
    }
    if (a.plot && !drawChart) {
        throw UsageError("--plot: this build of vantero draws no charts (it was built without Qt)");
    }
    if (a.plot && !imageFormatOf(*a.plot)) {
        throw UsageError("--plot writes PNG, SVG or PDF, by the extension of its file (.png, "
                         ".svg or .pdf), not \"" +
                         *a.plot + "\"");
    }
    if (a.report && !hasExtension(*a.report, ".pdf")) {
        throw UsageError("--report writes a PDF file, whose name ends in .pdf, not \"" + *a.report +
                         "\"");
    }
    if (a.report && !drawReport) {
        throw UsageError(
            "--report: this build of vantero draws no reports (it was built without Qt)");
    }
    std::vector<double> lengths;
    for (const std::string& length : a.at) {
        lengths.push_back(parseLength(length));
    }

    // Everything given is checked before any file is read or written.
    std::vector<Setting> settings;
    for (const std::string& set : a.sets) {
        settings.push_back(resolveSetting(*calculator, set));
    }
    std::optional<SweepRange> range;
    if (a.sweep) {
        range = parseSweep(*calculator, *a.sweep, a.log);
    }

    const std::unique_ptr<Session> session = calculator->newSession();
    if (a.open) {
        if (!isProjectPath(*a.open, calculator->layout().extension)) {
            std::fprintf(err, "%s: %s.\n", a.open->c_str(), cannotOpenWarning);
            return 3;
        }
        openProject(*session, *a.open);
    }
    for (const Setting& setting : settings) {
        applySetting(*session, setting);
    }
    if (a.save) {
        saveProject(*session, projectPathForSaving(*a.save, calculator->layout().extension));
    }
    if (range) {
        return runSweep(*session, *range, a, out, drawChart);
    }
    return runOnce(*session, a, lengths, out, drawReport);
}

} // namespace

std::string helpText(const Calculator* only) {
    std::string text(usage);
    if (only == nullptr) {
        // The calculators, "a (x), b (y) or c (z)", where the purpose says @.
        std::string list;
        const auto all = calculators();
        for (std::size_t i = 0; i < all.size(); ++i) {
            list += i == 0 ? "" : i + 1 == all.size() ? " or " : ", ";
            list += std::string(all[i]->name()) + " (" + std::string(all[i]->network()) + ")";
        }
        std::string paragraph(purpose);
        paragraph.replace(paragraph.find('@'), 1, list);
        text += "\n" + wrapped(paragraph, 0, 79);
        text += options;
    }
    for (const Calculator* calculator : calculators()) {
        if (only == nullptr || only == calculator) {
            text += calculatorHelp(*calculator);
        }
    }
    return text;
}

int runCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* err,
                   const ChartRenderer& drawChart, const ReportRenderer& drawReport) {
    try {
        return run(parseArguments(args), out, err, drawChart, drawReport);
    } catch (const UsageError& error) {
        std::fprintf(err,
                     "vantero: %s\n(vantero --help lists the calculators, their inputs "
                     "and their choices)\n",
                     error.what());
        return 2;
    } catch (const Failure& failure) {
        return report(err, failure);
    } catch (const std::bad_alloc&) {
        std::fputs("vantero: Out of memory.\n", err);
        return 4;
    }
}

} // namespace vantero::cli
