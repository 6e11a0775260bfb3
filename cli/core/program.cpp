#include "cli/core/program.h"

#include "cli/core/arguments.h"
#include "cli/core/choicesweep.h"
#include "cli/core/joined.h"
#include "cli/core/links.h"
#include "cli/core/sweepargument.h"
#include "cli/core/trialplan.h"
#include "cli/core/usedparts.h"
#include "common/calculator/projectfile.h"
#include "common/catalogue/listing.h"
#include "common/catalogue/locations.h"
#include "common/fileoutput/filereplacement.h"
#include "common/numbers/failure.h"
#include "common/runs/budgetoutput.h"
#include "common/runs/csvwriter.h"
#include "common/runs/runoutput.h"
#include "common/runs/sweep.h"
#include "common/trials/summaryoutput.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vantero::cli {
namespace {

constexpr std::string_view purpose =
    "Runs the link budget of one calculator, @, on the texts its window starts with, as the "
    "window's OK button does, and prints the results in the order the window sets them: per "
    "line the result's name, a tab and its text exactly as the window shows it; the rise-time "
    "message, when there is one, as \"message<TAB>text\" at its place.";

// What --help says after the options.
constexpr std::string_view closing =
    "\n"
    "Where a file is written (--csv, --plot), \"-\" is standard output, and so is a\n"
    "name of the file standard output is open on (/dev/stdout, say): it is written\n"
    "as a stream. Where one is read (--links), \"-\" is standard input. \"--\" ends\n"
    "the options: what follows it is the calculator.\n"
    "\n"
    "Exit status:\n"
    "  0  the calculation ran: a failed rise-time budget is a result, not an error,\n"
    "     and so is a faulting point of a sweep, shown in its row, or a faulting\n"
    "     trial, counted among the trials; with --links, every link ran and meets\n"
    "     both budgets at its length;\n"
    "  1  an arithmetic fault, its text on standard error after the results set\n"
    "     before it; with --links, a link that faults, has a bad cell or fails a\n"
    "     budget at its length (the output is whole all the same);\n"
    "  2  a usage error, or a text that is not a number (the message names the\n"
    "     input), or a column of --links that is none or is given twice;\n"
    "  3  a file failure: a file that cannot be read or written, standard output\n"
    "     included;\n"
    "  4  the memory ran out.\n"
    "A run that faults and then cannot write its report reports both, the fault\n"
    "first, and exits with the status of the second (3, or 4).\n"
    "Every error message goes to standard error as \"vantero: MESSAGE\".\n"
    "\n"
    "Examples:\n"
    "  vantero tavo\n"
    "      the point-to-point link at the initial figures of its window\n"
    "  vantero estrela --set fibreType=multimode --set fibreBandwidth=500 --json\n"
    "      a star link on multimode fibre, as one JSON object\n"
    "  vantero tavo --set lineCode=RZ --save rz\n"
    "      saves the figures as rz.dig, then calculates\n"
    "  vantero anel --sweep bitRate=1:1000:31 --log --csv anel.csv\n"
    "      the ring at 31 bit rates from 1 to 1000 Mbit/s, ten a decade\n"
    "  vantero tavo --sweep bitRate=1:1000:1000 --log --plot tavo.png\n"
    "      the chart of 1000 bit rates, and no CSV\n"
    "  vantero estrela --sweep blockCode --csv -\n"
    "      the star link with each block code, CSV on standard output\n"
    "  vantero tavo --open base.dig --links links.csv --csv verdicts.csv\n"
    "      every link of a table from the figures of base.dig, each with its own\n"
    "      cells and length, its verdict and margins in verdicts.csv\n"
    "  vantero tavo --spread connectorLoss=normal:0.3,0.1 --at 40 --json\n"
    "      how likely the link closes at 40 km when each connector scatters\n";

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
        if (!line.empty()) {
            line += ' ';
        }
        line += word;
        text.remove_prefix(blank == std::string_view::npos ? text.size() : blank + 1);
    }
    if (!line.empty()) {
        lines += std::string(indent, ' ') + line + "\n";
    }
    return lines;
}

// The usage: a line for each mode, its items wrapped before column 80.
std::string usageText(std::span<const OptionSpec> options) {
    constexpr std::size_t width = 79;
    const std::string continuation(10, ' ');
    std::string text = "Usage:\n";
    for (const std::string_view mode : usageModes()) {
        std::string line = "  vantero";
        for (const std::string& item : usageItems(mode, options)) {
            if (line != "  vantero" && line.size() + 1 + item.size() > width) {
                text += line + "\n";
                line = continuation + item;
            } else {
                line += ' ';
                line += item;
            }
        }
        text += line + "\n";
    }
    return text;
}

// Each form of each option: its tag, and its paragraph in a column of its own.
std::string optionsText(std::span<const OptionSpec> options) {
    constexpr std::size_t column = 20;
    std::string text = "\nOptions:\n";
    for (const OptionSpec* option : optionsInUsageOrder(options, usageModes())) {
        for (std::size_t f = 0; f < option->formCount(); ++f) {
            const std::string tag = "  " + optionTag(*option, option->forms[f]);
            std::string entry = wrapped(option->forms[f].help, column, 79 - column);
            if (tag.size() + 2 <= column) {
                entry.replace(0, tag.size(), tag);
            } else {
                entry.insert(0, tag + "\n");
            }
            text += entry;
        }
    }
    return text;
}

std::string calculatorHelp(const Calculator& calculator) {
    constexpr std::size_t nameWidth = 26;
    constexpr std::size_t initialWidth = 12;
    constexpr std::size_t unitWidth = 14;
    const std::string valueIndent(2 + nameWidth + initialWidth, ' ');

    // Appended piece by piece: GCC 12 takes `"\n" + name` for an overlapping
    // copy (-Wrestrict) at -O3.
    std::string text = "\n";
    text += calculator.name();
    text += ": ";
    text += calculator.caption();
    text += " (project files ";
    text += calculator.layout().extension;
    text += ")\n";
    text += "  " + padded("input", nameWidth) + padded("initial", initialWidth) +
            padded("unit", unitWidth) + "label\n";
    std::vector<std::string_view> notInFile;
    for (const InputDescription& input : calculator.inputs()) {
        text += "  " + padded(input.name, nameWidth) + padded(input.initialText, initialWidth) +
                padded(input.unit, unitWidth) + std::string(input.trimmedLabel()) + "\n";
        if (!calculator.keptInProjectFile(input.name)) {
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
        text += wrapped("Not kept in the project file: " + joined(notInFile) + ".", 2, 76);
    }
    if (!calculator.itemLosses().empty()) {
        text += wrapped("Drawn item by item by --spread: " +
                            joined(calculator.itemLosses(),
                                   [](const ItemLossDescription& loss) {
                                       return std::string(loss.input) + " (each of " +
                                              std::string(loss.items) + ")";
                                   }) +
                            ".",
                        2, 76);
    }
    return text;
}

// Reports a failure on `err` as the window's error box shows it, with its
// final full stop, after the program's name, and gives its exit status. A
// file failure names the file.
int report(std::FILE* err, const Failure& failure) {
    std::string line = "vantero: ";
    const auto* file = dynamic_cast<const FileFailure*>(&failure);
    if (file != nullptr && !file->path().empty()) {
        line += file->path() + ": ";
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

// Writes `text` to standard output and makes sure it got there.
void writeStandardOutput(std::FILE* out, std::string_view text,
                         const std::string& name = "standard output") {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0 ||
        std::ferror(out)) {
        failWriting(name);
    }
}

// Whether `path` names the file standard output is open on for writing:
// /dev/stdout, /proc/self/fd/1, or the file it was redirected to, by its
// name. Replacing that file would throw away what others wrote to it before
// (or after, at the offset they share); it is written as a stream instead.
bool namesStandardOutput(const std::string& path, std::FILE* out) {
    const int fd = ::fileno(out);
    const int mode = fd < 0 ? -1 : ::fcntl(fd, F_GETFL);
    struct stat named {};
    struct stat open {};
    return mode >= 0 && (mode & O_ACCMODE) != O_RDONLY && ::fstat(fd, &open) == 0 &&
           ::stat(path.c_str(), &named) == 0 && named.st_dev == open.st_dev &&
           named.st_ino == open.st_ino;
}

// Whether an output goes to standard output: "-", or a name of its file.
bool toStandardOutput(const std::optional<std::string>& path, std::FILE* out) {
    return isStandardOutput(path) || (path && namesStandardOutput(*path, out));
}

// The name standard output goes by in failures: "standard output" for "-".
std::string standardOutputName(const std::optional<std::string>& path) {
    return path && !isStandardOutput(path) ? *path : std::string("standard output");
}

// Where a named output file goes: in the place of the old one once it is
// whole; a pipe or a device is written as the bytes come, and standard
// output, also by a name of its file, as a stream.
void openOutput(std::optional<FileReplacement>& file, const std::optional<std::string>& path,
                std::FILE* out) {
    if (path && !toStandardOutput(path, out)) {
        file.emplace(*path, SpecialFiles::WriteInto);
    }
}

OutputSink outputSink(std::optional<FileReplacement>& file, std::FILE* out,
                      const std::optional<std::string>& path) {
    if (file) {
        return [&file = *file](std::string_view bytes) { file.write(bytes); };
    }
    return streamSink(out, standardOutputName(path));
}

void finishOutput(std::optional<FileReplacement>& file, std::FILE* out,
                  const std::optional<std::string>& path) {
    if (file) {
        file->commit();
    } else {
        flushStream(out, standardOutputName(path));
    }
}

// Standard output takes one output: the results, the CSV or the chart.
void checkOneOutputOnStandardOutput(const Arguments& a, std::FILE* out) {
    if (a.csv && a.plot && toStandardOutput(a.csv, out) && toStandardOutput(a.plot, out)) {
        throw UsageError("--csv " + *a.csv + " and --plot " + *a.plot +
                         ": both name standard output, and only one of them can go there");
    }
    if (a.report && !a.sweep && toStandardOutput(a.report, out)) {
        throw UsageError("--report " + *a.report +
                         " names standard output, which takes the results; name another file");
    }
    if (a.save && toStandardOutput(a.save, out)) {
        throw UsageError("--save " + *a.save +
                         " names standard output; --save writes a project file: name the file");
    }
}

// Writes the picture of --plot: to standard output as a PNG for "-", else in
// the format of its file's name, in the place of the old file once it is
// whole (standard output, by a name of its file, as a stream).
void writePicture(const std::string& path, std::FILE* out,
                  const std::function<std::string(report::ImageFormat)>& draw) {
    if (isStandardOutput(path)) {
        writeStandardOutput(out, draw(report::ImageFormat::Png));
    } else if (namesStandardOutput(path, out)) {
        writeStandardOutput(out, draw(*report::imageFormatOf(path)), path);
    } else {
        const std::string picture = draw(*report::imageFormatOf(path));
        replaceFile(path, {reinterpret_cast<const std::uint8_t*>(picture.data()), picture.size()},
                    SpecialFiles::WriteInto);
    }
}

// Runs the sweep, writing its CSV as it goes (none when only a chart is
// asked for), and then draws its chart.
int runSweep(const Session& session, const SweepRange& range, const Arguments& a, std::FILE* out,
             const ChartRenderer& drawChart) {
    const Calculator& calculator = session.calculator();
    const bool writesCsv = a.csv || !a.plot;
    std::optional<FileReplacement> csvFile;
    openOutput(csvFile, a.csv, out);
    std::optional<report::SweepChart> chart;
    std::optional<report::ChartEnvelope> envelope;
    if (a.plot) {
        chart = report::sweepChart(calculator, range);
        envelope.emplace(range.from, range.to, range.logarithmic);
    }
    std::optional<CsvWriter> csv;
    if (writesCsv) {
        csv.emplace(outputSink(csvFile, out, a.csv));
        csv->header(calculator.inputs()[range.input].name);
    }
    runSweepBlocks(
        session, range, envelope.has_value(),
        [&](const SweepBlock& block) {
            if (csv) {
                csv->write(block.csv);
            }
            if (envelope) {
                for (const ChartPoint& point : block.chart) {
                    envelope->add(point);
                }
            }
        },
        sweepWorkers(range.count, threadCount(a)));
    if (csv) {
        csv->finish();
        finishOutput(csvFile, out, a.csv);
    }
    if (chart) {
        chart->points = envelope->points();
        chart->crossovers = envelope->crossovers();
        writePicture(*a.plot, out,
                     [&](report::ImageFormat format) { return drawChart(*chart, format); });
    }
    return 0;
}

// Runs the calculation at each value of a choice, writing its CSV: the same
// columns as a sweep of a number, the value's name in the first.
int runChoiceSweep(Session& session, const ChoiceSweep& sweep, const Arguments& a, std::FILE* out) {
    const ChoiceDescription& choice = session.calculator().choices()[sweep.choice];
    std::optional<FileReplacement> csvFile;
    openOutput(csvFile, a.csv, out);
    CsvWriter csv(outputSink(csvFile, out, a.csv));
    csv.header(choice.name);
    for (std::size_t v = 0; v < choice.values.size(); ++v) {
        csv.row(choice.values[v], session.runWithChoice(sweep.choice, static_cast<int>(v)));
    }
    csv.finish();
    finishOutput(csvFile, out, a.csv);
    return 0;
}

// A file named on the command line as the reports name it: whole, from the
// root.
std::string absolutePath(const std::string& path) {
    return std::filesystem::absolute(path).lexically_normal().string();
}

// A report's PDF, in the place of the old file once it is whole.
void writePdf(const std::string& path, const std::string& pdf) {
    replaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(pdf.data()), pdf.size()),
                SpecialFiles::WriteInto);
}

// Runs every link of the table on the session's figures, writing its CSV or
// JSON Lines as it goes, and then its summary report; a part a column names
// comes from the catalogue `parts` reads.
int runLinks(const Session& session, const Arguments& a, std::FILE* out, std::FILE* err,
             UsedParts& parts, const LinksReportRenderer& drawLinksReport) {
    LinksTable table(session.calculator(), *a.links,
                     [&]() -> const catalogue::Catalogue& { return parts.wholeCatalogue(err); });
    std::optional<FileReplacement> csvFile;
    openOutput(csvFile, a.csv, out);
    const linktable::LinkSummary summary =
        table.run(session, a.json, outputSink(csvFile, out, a.csv));
    finishOutput(csvFile, out, a.csv);
    if (a.report) {
        const std::string name = *a.links == "-" ? "entrada padrão" : absolutePath(*a.links);
        writePdf(*a.report, drawLinksReport(report::linksReport(summary, session.calculator(), name,
                                                                report::todaysDate())));
    }
    return summary.allMet() ? 0 : 1;
}

// What the link was given besides its file: the parts of the catalogue, and
// the inputs and choices set after them, by name.
struct Given {
    const UsedParts& parts;
    std::vector<std::string> setAfter;
};

// The design report of the link, written to its file, with the page of the
// trials when there were any.
void writeReport(const Session& session, const RunReport& run, const Arguments& a,
                 const Given& given, const ReportRenderer& drawReport,
                 std::optional<report::TrialCharts> trials = std::nullopt) {
    const std::string project = a.open ? absolutePath(*a.open) : std::string();
    report::DesignReport design = report::designReport(session, run, project, report::todaysDate());
    report::addUsedParts(design, session.calculator(), given.parts.uses(), given.setAfter);
    design.trials = std::move(trials);
    writePdf(*a.report, drawReport(design));
}

// Runs the trials of --spread, writing the CSV of every trial as they go when
// asked, then what they gave (not when the CSV or the histograms go to
// standard output), the histograms of --plot, and the design report of the
// inputs as given, the worst case, with a page of the trials.
int runTrials(const Session& session, const trials::TrialPlan& plan, const Arguments& a,
              const Given& given, std::FILE* out, const TrialPlotRenderer& drawTrials,
              const ReportRenderer& drawReport) {
    // The other inputs must be numbers; the spread ones are drawn.
    const std::unique_ptr<Session> drawn = session.copy();
    for (const trials::Spread& spread : plan.spreads) {
        drawn->setNumber(spread.input, spread.mean());
    }
    drawn->checkLeadingInputs();
    std::optional<FileReplacement> csvFile;
    openOutput(csvFile, a.csv, out);
    OutputSink csv;
    if (a.csv) {
        csv = outputSink(csvFile, out, a.csv);
        csv(trials::trialCsvHeader(plan));
    }
    trials::TrialSummary summary = trials::runTrials(session, plan, csv);
    if (a.csv) {
        finishOutput(csvFile, out, a.csv);
    }
    if (!toStandardOutput(a.csv, out) && !toStandardOutput(a.plot, out)) {
        writeStandardOutput(out, a.json ? trials::trialJson(session.calculator(), plan, summary)
                                        : trials::trialText(session.calculator(), plan, summary));
    }
    if (!a.plot && !a.report) {
        return 0;
    }
    report::TrialCharts charts = report::trialCharts(session.calculator(), plan, summary);
    if (a.plot) {
        writePicture(*a.plot, out,
                     [&](report::ImageFormat format) { return drawTrials(charts, format); });
    }
    if (a.report) {
        const RunReport run = session.run();
        report::setWorstCase(charts, budgetsAtLengths(session, run, plan.lengths));
        writeReport(session, run, a, given, drawReport, std::move(charts));
    }
    return 0;
}

int runOnce(const Session& session, const Arguments& a, const std::vector<double>& lengths,
            const Given& given, std::FILE* out, std::FILE* err, const ReportRenderer& drawReport) {
    const RunReport run = session.run();
    const std::vector<LinkBudgets> at = budgetsAtLengths(session, run, lengths);
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
    // The fault that ended the run or its budgets, told last.
    const RunFault* fault = run.fault                      ? &*run.fault
                            : !at.empty() && at.back().fault ? &*at.back().fault
                                                             : nullptr;
    if (a.report) {
        try {
            writeReport(session, run, a, given, drawReport);
        } catch (...) {
            // Both are told, the fault first; the status is the report's.
            if (fault != nullptr) {
                report(err, fault->failure());
            }
            throw;
        }
    }
    if (fault != nullptr) {
        fault->raise();
    }
    return 0;
}

int run(const Arguments& a, std::FILE* out, std::FILE* err, const ChartRenderer& drawChart,
        const ReportRenderer& drawReport, const LinksReportRenderer& drawLinksReport,
        const TrialPlotRenderer& drawTrials) {
    const Calculator* calculator = findCalculator(a.calculator);
    if (a.help) {
        if (!a.calculator.empty() && calculator == nullptr && a.calculator != catalogueCommand) {
            throw UsageError(unknownCalculatorMessage(a.calculator));
        }
        writeStandardOutput(out, helpText(calculator));
        return 0;
    }
    if (a.version) {
        writeStandardOutput(out, versionText());
        return 0;
    }
    if (a.calculator.empty()) {
        throw UsageError("name a calculator: " + calculatorNames());
    }
    if (a.calculator == catalogueCommand) {
        std::vector<std::string> notices;
        const catalogue::Catalogue parts = catalogue::loadCatalogue(a.catalogues, notices);
        for (const std::string& notice : notices) {
            std::fprintf(err, "vantero: catalogue: %s\n", notice.c_str());
        }
        writeStandardOutput(out, catalogue::catalogueListing(parts, a.words, a.json));
        return 0;
    }
    if (calculator == nullptr) {
        throw UsageError(unknownCalculatorMessage(a.calculator));
    }
    if (a.plot && !(a.spreads.empty() ? static_cast<bool>(drawChart)
                                      : static_cast<bool>(drawTrials))) {
        throw UsageError("--plot: this build of vantero draws no charts (it was built without Qt)");
    }
    if (a.plot && !isStandardOutput(a.plot) && !report::imageFormatOf(*a.plot)) {
        throw UsageError("--plot writes PNG, SVG or PDF, by the extension of its file (.png, "
                         ".svg or .pdf), not \"" +
                         *a.plot + "\"");
    }
    if (a.report && !report::hasExtension(*a.report, ".pdf")) {
        throw UsageError("--report writes a PDF file, whose name ends in .pdf, not \"" + *a.report +
                         "\"");
    }
    const bool drawsReports =
        a.links ? static_cast<bool>(drawLinksReport) : static_cast<bool>(drawReport);
    if (a.report && !drawsReports) {
        throw UsageError(
            "--report: this build of vantero draws no reports (it was built without Qt)");
    }
    std::vector<double> lengths;
    for (const std::string& length : a.at) {
        lengths.push_back(parseLength(length));
    }

    // Everything given is checked before any file is read or written.
    checkOneOutputOnStandardOutput(a, out);
    std::vector<Setting> settings;
    for (const std::string& set : a.sets) {
        settings.push_back(resolveSetting(*calculator, set));
    }
    std::optional<SweepRange> range;
    std::optional<ChoiceSweep> choiceSweep;
    if (a.sweep) {
        choiceSweep = parseChoiceSweep(*calculator, *a.sweep);
        if (!choiceSweep) {
            range = parseSweep(*calculator, *a.sweep, a.log);
        } else if (a.log || a.plot) {
            throw UsageError(std::string(a.log ? "--log" : "--plot") +
                             " goes with the sweep of a numeric input, not of the choice " +
                             *a.sweep);
        }
    }
    (void)threadCount(a);
    std::optional<trials::TrialPlan> plan;
    if (!a.spreads.empty()) {
        plan = trialPlan(*calculator, a, lengths);
    }

    UsedParts parts(*calculator, a.uses, a.catalogues, err);

    const std::unique_ptr<Session> session = calculator->newSession();
    if (a.open) {
        if (!isProjectPath(*a.open, calculator->layout().extension)) {
            std::fprintf(err, "vantero: %s: %s.\n", a.open->c_str(), cannotOpenWarning);
            return 3;
        }
        openProject(*session, *a.open);
    }
    parts.apply(*session, err);
    for (const Setting& setting : settings) {
        applySetting(*session, setting);
    }
    if (a.links) {
        return runLinks(*session, a, out, err, parts, drawLinksReport);
    }
    if (a.save) {
        saveProject(*session, projectFileForSaving(*a.save, calculator->layout().extension));
    }
    if (range) {
        return runSweep(*session, *range, a, out, drawChart);
    }
    if (choiceSweep) {
        return runChoiceSweep(*session, *choiceSweep, a, out);
    }
    Given given{parts, {}};
    for (const Setting& setting : settings) {
        given.setAfter.emplace_back(setting.kind == Setting::Kind::Text
                                        ? calculator->inputs()[setting.index].name
                                        : calculator->choices()[setting.index].name);
    }
    if (plan) {
        return runTrials(*session, *plan, a, given, out, drawTrials, drawReport);
    }
    return runOnce(*session, a, lengths, given, out, err, drawReport);
}

} // namespace

int exitStatus(const Failure& failure) {
    if (dynamic_cast<const ArithmeticFault*>(&failure) != nullptr) {
        return 1;
    }
    if (dynamic_cast<const NumberFormatFailure*>(&failure) != nullptr) {
        return 2;
    }
    return 3;
}

std::string purposeText() {
    // The calculators, "a (x), b (y) or c (z)", where the purpose says @.
    const std::string list = joined(
        calculators(),
        [](const Calculator* c) {
            return std::string(c->name()) + " (" + std::string(c->network()) + ")";
        },
        ", ", " or ");
    // Appended piece by piece: GCC 12 takes a replace() here for an
    // overlapping copy (-Wrestrict) at -O3.
    const std::size_t at = purpose.find('@');
    std::string paragraph(purpose.substr(0, at));
    paragraph += list;
    paragraph += purpose.substr(at + 1);
    return wrapped(paragraph, 0, 79);
}

std::string closingHelpText() {
    return std::string(closing);
}

std::string generalHelpText(std::span<const OptionSpec> options) {
    return usageText(options) + "\n" + purposeText() + optionsText(options) + closingHelpText();
}

std::string helpText(const Calculator* only) {
    std::string text = only == nullptr ? generalHelpText() : usageText(commandLineOptions());
    for (const Calculator* calculator : calculators()) {
        if (only == nullptr || only == calculator) {
            text += calculatorHelp(*calculator);
        }
    }
    return text;
}

std::string versionText() {
    return "vantero (VANTERO) " VANTERO_VERSION "\n"
           "Copyright (c) 2026 The VANTERO developers.\n"
           "Licensed under the MIT licence: you may use, copy, change and give it away;\n"
           "it comes without any warranty.\n";
}

int runCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* err,
                   const ChartRenderer& drawChart, const ReportRenderer& drawReport,
                   const LinksReportRenderer& drawLinksReport,
                   const TrialPlotRenderer& drawTrials) {
    try {
        return run(parseArguments(args), out, err, drawChart, drawReport, drawLinksReport,
                   drawTrials);
    } catch (const UsageError& error) {
        std::fprintf(err, "vantero: %s\nTry 'vantero --help' for more information.\n",
                     error.what());
        return 2;
    } catch (const catalogue::CatalogueError& error) {
        std::fprintf(err, "vantero: %s\n", error.what());
        return 2;
    } catch (const Failure& failure) {
        return report(err, failure);
    } catch (const std::bad_alloc&) {
        std::fputs("vantero: Out of memory.\n", err);
        return 4;
    }
}

} // namespace vantero::cli
