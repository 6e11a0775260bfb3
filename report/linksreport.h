#pragma once

#include "common/calculator/calculator.h"
#include "common/linktable/summary.h"
#include "report/designreport.h"
#include "report/linechart.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::report {

// What the summary report of a table of links says, gathered from the
// summary the table's run leaves (common/linktable/summary.h), with no
// layout and no Qt: the painter (report/paint) lays it out on A4 pages.

// One bar of a histogram: how many values lie from `from` up to `to`.
struct HistogramBin {
    double from = 0;
    double to = 0;
    std::uint64_t count = 0;
};

// The bins of a histogram from the one of its least value to the one of its
// greatest, the empty ones between them included; none when it is empty.
std::vector<HistogramBin> histogramBins(const linktable::MarginHistogram& histogram);

// How one margin is spread over the links that ran and have a length.
struct MarginDistribution {
    std::string title; // "Margem de potência (dB)"
    std::string unit;  // "dB"
    std::vector<HistogramBin> bins;
    std::uint64_t count = 0;
    double minimum = 0;
    double maximum = 0;
};

// A line of the table of counts: what the links are, how many of them, and
// whether it is a part of the line before.
struct LinkCount {
    std::string label;
    std::uint64_t count = 0;
    bool part = false;
};

// The links that fail one budget: how many, and the worst of them, the worst
// margin first.
struct FailingList {
    std::string title;
    std::uint64_t count = 0;
    std::vector<linktable::FailingLink> worst;
};

struct LinksReport {
    std::string program; // "tavo"
    std::string caption;  // the calculator window's caption
    std::string table;    // the table's file, or "entrada padrão"
    std::string date;     // dd/mm/aaaa
    std::uint64_t links = 0;
    std::vector<LinkCount> counts;
    // Every link ran, and every one with a length meets both budgets.
    bool allMet = true;
    // Of the power margin and of the rise-time margin.
    std::array<MarginDistribution, 2> margins;
    std::array<FailingList, 2> failing;
    // The figures every link starts from (--open, --use, --set).
    std::vector<ReportInputPage> base;
};

// Gathers the report of a table of `calculator`'s links, read from `table`.
LinksReport linksReport(const linktable::LinkSummary& summary, const Calculator& calculator,
                        const std::string& table, const std::string& date);

// The headings of the lists of failing links, and the cells of one link:
// its row, its id, its length, both margins (as the window writes numbers)
// and what limits it.
inline constexpr std::array<std::string_view, 6> failingHeadings = {
    "Linha",         "Identificação", "Comprimento (km)", "Margem de potência (dB)",
    "Margem de tempo de subida (ns)", "Limitado por"};
std::array<std::string, 6> failingCells(const linktable::FailingLink& link);

// A count as a share of `links`: "12.5 %", "< 0.1 %".
std::string shareText(std::uint64_t count, std::uint64_t links);

// How a margin is spread, as a chart with bars (report/linechart.h): how many
// links against the margin, the bars short of the budget (below 0) in the
// colour of what is missing, the others in that of what is left, and the
// budget's limit, a margin of 0, marked where it is in sight.
LineChart marginHistogram(const MarginDistribution& distribution, const Box& area,
                          const ChartLook& look, const TextMeasure& measure);

} // namespace vantero::report
