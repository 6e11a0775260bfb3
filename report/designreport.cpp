#include "report/designreport.h"

#include "common/catalogue/catalogue.h"
#include "common/numbers/formatting.h"
#include "common/numbers/numbers.h"
#include "common/runs/runoutput.h"
#include "report/axis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <stdexcept>

namespace vantero::report {
namespace {

constexpr std::size_t sweepPoints = 241;

std::string trimmed(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return std::string(text);
}

// A label on one line: the window breaks some in two.
std::string oneLine(std::string_view label) {
    std::string line(label);
    for (char& c : line) {
        c = c == '\n' ? ' ' : c;
    }
    return trimmed(line);
}

// The item of a choice's value as the window shows it.
std::string choiceItem(const ChoiceDescription& choice, int value) {
    const int item = choice.itemOfValue(value);
    return item < 0 ? "(nenhum)" : std::string(choice.items[static_cast<std::size_t>(item)]);
}

std::vector<ReportInputPage> inputPages(const Session& session) {
    const Calculator& calculator = session.calculator();
    constexpr std::array pages{Page::Sistema, Page::Transmissor, Page::Receptor, Page::Fibra,
                               Page::FibreDialog};
    std::vector<ReportInputPage> result;
    for (const Page page : pages) {
        ReportInputPage section{std::string(pageTitle(page)), {}};
        for (std::size_t i = 0; i < calculator.inputs().size(); ++i) {
            const InputDescription& input = calculator.inputs()[i];
            if (input.page == page) {
                section.inputs.push_back({oneLine(input.label),
                                          session.text(i),
                                          std::string(input.unit),
                                          false,
                                          std::string(input.name),
                                          {}});
            }
        }
        for (std::size_t i = 0; i < calculator.choices().size(); ++i) {
            const ChoiceDescription& choice = calculator.choices()[i];
            if (choice.page == page) {
                section.inputs.push_back({oneLine(choice.caption),
                                          choiceItem(choice, session.choice(i)),
                                          {},
                                          true,
                                          std::string(choice.name),
                                          {}});
            }
        }
        if (!section.inputs.empty()) {
            result.push_back(std::move(section));
        }
    }
    return result;
}

std::optional<double> numberOutput(const RunReport& run, std::string_view name) {
    for (const RunOutput& o : run.outputs) {
        if (o.name == name && o.output.isNumber()) {
            return o.output.value();
        }
    }
    return std::nullopt;
}

// The results as the window shows them: the distance caption is the label of
// the maximum distance.
std::vector<ReportResult> results(const RunReport& run) {
    std::string distanceCaption;
    for (const RunOutput& o : run.outputs) {
        if (o.name == "distanceCaption") {
            distanceCaption = o.output.text();
        }
    }
    std::vector<ReportResult> lines;
    for (const RunOutput& o : run.outputs) {
        if (o.name == "distanceCaption") {
            continue;
        }
        switch (o.kind) {
        case OutputKind::Message:
            lines.push_back({ReportResult::Kind::Message, {}, o.output.text()});
            break;
        case OutputKind::Text:
            lines.push_back({ReportResult::Kind::Verdict, {}, o.output.text()});
            break;
        case OutputKind::Number: {
            std::string label = oneLine(o.label);
            if (label.empty()) {
                label = o.name == "maximumDistance" ? distanceCaption : std::string(o.name);
            }
            lines.push_back({ReportResult::Kind::Number, label, o.output.text()});
            break;
        }
        }
    }
    if (run.fault) {
        lines.push_back(
            {ReportResult::Kind::Fault, {}, failureMessage(run.fault->failure()) + "."});
    }
    return lines;
}

// The distances over two decades of bit rate around this design's, on a copy
// of the session.
void sweepBitRate(const Session& session, DesignReport& report) {
    const Calculator& calculator = session.calculator();
    const auto input = calculator.findInput("bitRate");
    if (!input) {
        return;
    }
    const NumberText text(session.text(*input));
    if (!text.isNumber() || !(text.value() > 0) ||
        !std::isfinite(static_cast<double>(text.value()))) {
        return;
    }
    report.bitRate = static_cast<double>(text.value());
    report.bitRateLabel = oneLine(calculator.inputs()[*input].label);
    report.bitRateUnit = calculator.inputs()[*input].unit;
    const std::unique_ptr<Session> copy = calculator.newSession();
    copyFigures(session, *copy);
    for (std::size_t i = 0; i < sweepPoints; ++i) {
        const double exponent = -1 + 2.0 * static_cast<double>(i) / (sweepPoints - 1);
        const SweepPoint point = copy->runAt(*input, report.bitRate * std::pow(10.0, exponent));
        if (!point.fault) {
            report.bitRateSweep.push_back(point);
        }
    }
}

// Both margins from 0 km to twice the maximum distance (or the power
// distance, or 1 km, when that is not positive).
void sweepMargins(const Session& session, DesignReport& report) {
    double reach = report.maximumDistance;
    if (!(reach > 0)) {
        reach = report.powerDistance.value_or(0);
    }
    if (!(reach > 0) || !std::isfinite(reach)) {
        reach = 1;
    }
    // To a round length past twice the reach.
    const double step = niceStep(2 * reach, 8);
    const double last = std::ceil(2 * reach / step) * step;
    for (std::size_t i = 0; i < sweepPoints; ++i) {
        const double km = last * static_cast<double>(i) / (sweepPoints - 1);
        const LinkBudgets b = session.budgetsAt(km);
        report.margins.push_back({km, b.powerMargin, b.riseTimeMargin});
    }
}

// The input of the report named `name`.
ReportInput& reportInput(DesignReport& report, std::string_view name) {
    for (ReportInputPage& page : report.pages) {
        for (ReportInput& input : page.inputs) {
            if (input.name == name) {
                return input;
            }
        }
    }
    throw std::logic_error("the report has no input " + std::string(name));
}

// A figure's value in the report's words: "-14.4 dBm", "de -8.2 a 0.5 dBm",
// "no mínimo 3.5 dB", "no máximo 0.4 dB/km".
std::string figureValue(const catalogue::Figure& figure) {
    using catalogue::numberText;
    std::string text;
    if (figure.value) {
        text = numberText(*figure.value);
    } else if (figure.min && figure.max) {
        text = "de " + numberText(*figure.min) + " a " + numberText(*figure.max);
    } else if (figure.min) {
        text = "no mínimo " + numberText(*figure.min);
    } else {
        text = "no máximo " + numberText(figure.max.value_or(0));
    }
    return text + " " + figure.unit;
}

// The number of `source` among the report's, added when it is new.
std::size_t sourceIndex(DesignReport& report, std::vector<const catalogue::Source*>& known,
                        const catalogue::Source& source) {
    const auto found = std::find(known.begin(), known.end(), &source);
    if (found != known.end()) {
        return static_cast<std::size_t>(found - known.begin());
    }
    known.push_back(&source);
    report.sources.push_back(
        {source.document, source.edition, source.page, source.address, source.reproduces});
    return known.size() - 1;
}

// What set an input after the part `uses[from]`: "--set", the request of the
// last part after it that set it, or nothing.
std::string setAgainBy(std::span<const catalogue::PartUse> uses, std::size_t from,
                       std::string_view input, std::span<const std::string> setAfter) {
    if (std::find(setAfter.begin(), setAfter.end(), input) != setAfter.end()) {
        return "--set";
    }
    for (std::size_t i = uses.size(); i-- > from + 1;) {
        for (const catalogue::SetInput& set : uses[i].set) {
            if (set.input == input) {
                return catalogue::requestText(
                    {uses[i].part->kind, uses[i].part->name, uses[i].wavelength});
            }
        }
    }
    return {};
}

} // namespace

DesignReport designReport(const Session& session, const RunReport& run,
                          const std::string& projectFile, const std::string& date) {
    const Calculator& calculator = session.calculator();
    DesignReport report;
    report.program = calculator.name();
    report.caption = calculator.caption();
    report.projectFile = projectFile;
    report.date = date;
    report.pages = inputPages(session);
    report.results = results(run);
    report.faulted = run.fault.has_value();
    if (report.faulted) {
        return report;
    }
    report.powerDistance = numberOutput(run, "powerDistance");
    report.riseTimeDistance = numberOutput(run, "riseTimeDistance");
    report.maximumDistance = numberOutput(run, "maximumDistance").value_or(0);
    report.maximumDistanceText = formatResult(report.maximumDistance);
    // A negative maximum distance (losses beyond the power budget) is no
    // length of fibre: the budgets are then those at 0 km.
    const LinkBudgets budgets = session.budgetsAt(std::max(report.maximumDistance, 0.0));
    if (!budgets.fault) {
        report.budgets = budgets;
    }
    sweepBitRate(session, report);
    sweepMargins(session, report);
    return report;
}

std::vector<ReportInputPage> reportInputPages(const Session& session) {
    return inputPages(session);
}

void addUsedParts(DesignReport& report, const Calculator& calculator,
                  std::span<const catalogue::PartUse> uses, std::span<const std::string> setAfter) {
    std::vector<const catalogue::Source*> known;
    for (std::size_t u = 0; u < uses.size(); ++u) {
        const catalogue::PartUse& use = uses[u];
        const catalogue::Part& part = *use.part;
        ReportPart reported{catalogue::requestText({part.kind, part.name, use.wavelength}),
                            part.kind,
                            part.name,
                            part.title,
                            use.wavelength,
                            part.file,
                            part.line,
                            {},
                            {}};
        for (const catalogue::SetInput& set : use.set) {
            ReportInput& input = reportInput(report, set.input);
            ReportPartInput line{std::string(set.input),
                                 input.label,
                                 set.text,
                                 input.unit,
                                 input.choice,
                                 {},
                                 set.reportHow,
                                 std::string(set.reportNote),
                                 setAgainBy(uses, u, set.input, setAfter),
                                 {}};
            if (const auto choice = calculator.findChoice(set.input)) {
                const ChoiceDescription& description = calculator.choices()[*choice];
                const auto value =
                    std::find(description.values.begin(), description.values.end(), set.text);
                if (value != description.values.end()) {
                    line.text = choiceItem(description,
                                           static_cast<int>(value - description.values.begin()));
                }
            }
            for (const catalogue::Figure* figure : set.figures) {
                line.figures.push_back({figure->name,
                                        figure->at ? catalogue::bandText(*figure->at) : "",
                                        figureValue(*figure), figure->note,
                                        sourceIndex(report, known, *figure->source)});
            }
            if (line.overriddenBy.empty()) {
                input.part = part.name;
            } else {
                line.usedText = input.text;
            }
            reported.set.push_back(std::move(line));
        }
        for (const std::string_view left : use.left) {
            reported.left.push_back(reportInput(report, left).label);
        }
        report.parts.push_back(std::move(reported));
    }
}

std::string todaysDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%d/%m/%Y", &local);
    return text;
}

} // namespace vantero::report
