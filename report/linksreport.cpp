#include "report/linksreport.h"

#include "common/numbers/formatting.h"
#include "report/axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantero::report {
namespace {

MarginDistribution distribution(const linktable::MarginHistogram& histogram, std::string title,
                                std::string unit) {
    MarginDistribution d;
    d.title = std::move(title);
    d.unit = std::move(unit);
    d.bins = histogramBins(histogram);
    d.count = histogram.count();
    d.minimum = histogram.minimum();
    d.maximum = histogram.maximum();
    return d;
}

// The base's figures as the design report lists a link's: by page of the
// window, with their labels and units.
std::vector<ReportInputPage> basePages(const linktable::LinkSummary& summary,
                                       const Calculator& calculator) {
    const std::unique_ptr<Session> session = calculator.newSession();
    for (const auto& [name, text] : summary.base) {
        if (const auto input = calculator.findInput(name)) {
            session->setText(*input, text);
        } else if (const auto choice = calculator.findChoice(name)) {
            if (const auto value = findChoiceValue(calculator.choices()[*choice], text)) {
                session->setChoice(*choice, *value);
            }
        }
    }
    return reportInputPages(*session);
}

// The values of a distribution's axis: its bins, widened to a tenth of their
// magnitude when they are narrower (all links alike), and to 0, the budget's
// limit, when that is no farther than their span.
std::pair<double, double> histogramRange(const MarginDistribution& d) {
    if (d.bins.empty()) {
        return {0, 1};
    }
    double lo = d.bins.front().from;
    double hi = d.bins.back().to;
    const double least = 0.1 * std::max({std::fabs(lo), std::fabs(hi), 1.0});
    if (hi - lo < least) {
        const double middle = (lo + hi) / 2;
        lo = middle - least / 2;
        hi = middle + least / 2;
    }
    const double span = hi - lo;
    if (lo > 0 && lo <= span) {
        lo = 0;
    }
    if (hi < 0 && -hi <= span) {
        hi = 0;
    }
    return {lo, hi};
}

} // namespace

std::vector<HistogramBin> histogramBins(const linktable::MarginHistogram& histogram) {
    std::vector<HistogramBin> bins;
    if (histogram.count() == 0) {
        return bins;
    }
    const auto counts = histogram.bins();
    std::size_t first = 0;
    std::size_t last = counts.size() - 1;
    while (counts[first] == 0) {
        ++first;
    }
    while (counts[last] == 0) {
        --last;
    }
    const double width = histogram.binWidth();
    for (std::size_t b = first; b <= last; ++b) {
        const double from = histogram.lowerEdge() + static_cast<double>(b) * width;
        bins.push_back({from, from + width, counts[b]});
    }
    return bins;
}

std::string shareText(std::uint64_t count, std::uint64_t links) {
    if (links == 0) {
        return {};
    }
    const double share = 100.0 * static_cast<double>(count) / static_cast<double>(links);
    if (count > 0 && share < 0.05) {
        return "< 0.1 %";
    }
    if (count < links && share > 99.95) {
        return "> 99.9 %";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", share);
    return text;
}

std::array<std::string, 6> failingCells(const linktable::FailingLink& link) {
    std::string limit;
    if (link.limitedBy) {
        limit = *link.limitedBy == LimitingFactor::Attenuation ? "Atenuação" : "Dispersão";
    }
    return {std::to_string(link.row),          link.id,
            formatResult(link.length),         formatResult(link.powerMargin),
            formatResult(link.riseTimeMargin), limit};
}

LinksReport linksReport(const linktable::LinkSummary& summary, const Calculator& calculator,
                        const std::string& table, const std::string& date) {
    LinksReport report;
    report.program = calculator.name();
    report.caption = calculator.caption();
    report.table = table;
    report.date = date;
    report.links = summary.links;
    report.allMet = summary.allMet();
    report.counts = {
        {"Atendem aos dois balanços no seu comprimento", summary.meetingBoth},
        {"Não atendem a um dos balanços, ou aos dois", summary.failing},
        {"ao balanço de potência", summary.failingPower, true},
        {"ao balanço de tempo de subida", summary.failingRiseTime, true},
        {"Sem comprimento: só as distâncias", summary.withoutLength},
        {"Com falha aritmética (fault)", summary.faults},
        {"Com erro numa célula ou na linha (error)", summary.errors},
    };
    report.margins = {
        distribution(summary.powerMargins, "Margem de potência (dB)", "dB"),
        distribution(summary.riseTimeMargins, "Margem de tempo de subida (ns)", "ns")};
    report.failing = {FailingList{"Enlaces que não atendem ao balanço de potência",
                                  summary.worstPower.count(), summary.worstPower.worstFirst()},
                      FailingList{"Enlaces que não atendem ao balanço de tempo de subida",
                                  summary.worstRiseTime.count(),
                                  summary.worstRiseTime.worstFirst()}};
    report.base = basePages(summary, calculator);
    return report;
}

LineChart marginHistogram(const MarginDistribution& d, const Box& area, const ChartLook& look,
                          const TextMeasure& measure) {
    LinePlan plan;
    const auto [lo, hi] = histogramRange(d);
    plan.x = roundAxis(lo, hi, 8);
    std::uint64_t most = 0;
    for (const HistogramBin& bin : d.bins) {
        most = std::max(most, bin.count);
        plan.bars.push_back({bin.from, bin.to, static_cast<double>(bin.count),
                             bin.to <= 0 ? BarKind::MarginShort : BarKind::MarginMet});
    }
    // Whole numbers of links on the ticks: a step of one or more, and not 2.5.
    plan.yLow = 0;
    plan.yHigh = std::max(1.05 * static_cast<double>(most), 4.0);
    plan.yTicks = 4;
    const Axis counts = roundAxis(plan.yLow, plan.yHigh, plan.yTicks);
    for (const Tick& tick : linearTicks(counts.min, counts.max, plan.yTicks)) {
        if (tick.value != std::floor(tick.value)) {
            plan.yTicks = 5;
        }
    }
    plan.xTitle = d.title;
    plan.yTitle = "Enlaces";
    if (d.bins.empty()) {
        plan.notice = "Nenhum enlace com comprimento";
        return layoutLineChart(plan, area, look, measure);
    }
    plan.subtitle = std::to_string(d.count) + (d.count == 1 ? " enlace" : " enlaces") + ", de " +
                    shortNumber(d.minimum) + " a " + shortNumber(d.maximum) + " " + d.unit +
                    "; cada barra, " + shortNumber(d.bins.front().to - d.bins.front().from) + " " +
                    d.unit;
    if (plan.x.min <= 0 && plan.x.max >= 0) {
        plan.marks.push_back({0, "limite do balanço (margem 0)", false, std::nullopt});
    }
    return layoutLineChart(plan, area, look, measure);
}

} // namespace vantero::report
