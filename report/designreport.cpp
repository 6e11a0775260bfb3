#include "report/designreport.h"

#include "common/numbers/formatting.h"
#include "common/numbers/numbers.h"
#include "common/runs/runoutput.h"
#include "report/axis.h"

#include <array>
#include <cmath>
#include <ctime>

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
                section.inputs.push_back(
                    {oneLine(input.label), session.text(i), std::string(input.unit)});
            }
        }
        for (std::size_t i = 0; i < calculator.choices().size(); ++i) {
            const ChoiceDescription& choice = calculator.choices()[i];
            if (choice.page == page) {
                const int item = choice.itemOfValue(session.choice(i));
                section.inputs.push_back(
                    {oneLine(choice.caption),
                     item < 0 ? "(nenhum)"
                              : std::string(choice.items[static_cast<std::size_t>(item)]),
                     {},
                     true});
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

std::string todaysDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%d/%m/%Y", &local);
    return text;
}

} // namespace vantero::report
