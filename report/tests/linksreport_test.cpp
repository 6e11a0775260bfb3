// What the summary report of a table of links says: the bars of its
// histograms from the summary's, the failing links worst first, the counts
// and the base; and the layout of a histogram.

#include "calculators/registry.h"
#include "report/linksreport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace vantero::report {
namespace {

struct BinsCase {
    const char* name;
    std::vector<double> values;
};

// State: a histogram of some values. Action: take its bins for the report.
// Expected: contiguous bins of one width from the one that holds the least
// value to the one that holds the greatest, every value counted once.
TEST(HistogramBins, runFromTheLeastValueToTheGreatest) {
    const BinsCase cases[] = {
        {"none", {}},
        {"one value", {2.5}},
        {"margins of both signs", {-3.2, -0.1, 0, 0.05, 1.5, 7.25, 7.25}},
        {"all short", {-40, -39.5, -12}},
        {"wide apart", {-1e6, 3, 2e6}},
        {"the same margin over and over", {1, 1, 1, 1}},
        {"not finite left out", {1, NAN, INFINITY, 3}},
    };
    for (const BinsCase& c : cases) {
        SCOPED_TRACE(c.name);
        linktable::MarginHistogram histogram;
        std::size_t finite = 0;
        for (const double v : c.values) {
            histogram.add(v);
            finite += std::isfinite(v) ? 1 : 0;
        }
        const std::vector<HistogramBin> bins = histogramBins(histogram);
        if (finite == 0) {
            EXPECT_TRUE(bins.empty());
            continue;
        }
        ASSERT_FALSE(bins.empty());
        EXPECT_LE(bins.size(), linktable::MarginHistogram::binCount);
        EXPECT_GT(bins.front().count, 0U);
        EXPECT_GT(bins.back().count, 0U);
        EXPECT_LE(bins.front().from, histogram.minimum());
        EXPECT_GT(bins.front().to, histogram.minimum());
        EXPECT_LE(bins.back().from, histogram.maximum());
        EXPECT_GT(bins.back().to, histogram.maximum());
        const double width = histogram.binWidth();
        std::uint64_t total = 0;
        for (std::size_t b = 0; b < bins.size(); ++b) {
            EXPECT_EQ(bins[b].to - bins[b].from, width) << b;
            if (b > 0) {
                EXPECT_EQ(bins[b].from, bins[b - 1].to) << b;
            }
            total += bins[b].count;
        }
        EXPECT_EQ(total, finite);
        for (const double v : c.values) {
            if (std::isfinite(v)) {
                const auto holds = std::find_if(bins.begin(), bins.end(), [v](const auto& bin) {
                    return bin.from <= v && v < bin.to;
                });
                ASSERT_NE(holds, bins.end()) << v;
                EXPECT_GT(holds->count, 0U) << v;
            }
        }
    }
}

// An ok link of a row with both margins at a length.
linktable::LinkOutcome linkAt(std::size_t row, std::string_view id, double length, double power,
                              double riseTime) {
    linktable::LinkOutcome o;
    o.row = row;
    o.id = id;
    o.length = length;
    o.point.limitedBy = row % 2 == 0 ? LimitingFactor::Attenuation : LimitingFactor::Dispersion;
    LinkBudgets budgets;
    budgets.distance = length;
    budgets.powerMargin = power;
    budgets.riseTimeMargin = riseTime;
    budgets.riseTimeBudgetPossible = true;
    o.budgets = budgets;
    return o;
}

linktable::LinkOutcome linkWithStatus(std::size_t row, linktable::LinkStatus status) {
    linktable::LinkOutcome o;
    o.row = row;
    o.status = status;
    return o;
}

// State: the summary of a table of tavo links: some meet both budgets, some
// fail one or both, some fault, one is in error, one has no length; the base
// with a bit rate of its own. Action: gather the report. Expected: its
// counts, each failing list worst first (the earlier row first between
// equal margins) with the cells of its rows, and the base by page.
TEST(LinksReport, countsTheLinksAndListsTheFailingWorstFirst) {
    const Calculator& tavo = *findCalculator("tavo");
    const std::unique_ptr<Session> base = tavo.newSession();
    base->setText(*tavo.findInput("bitRate"), "140");
    linktable::LinkSummary summary;
    summary.setBase(*base);
    const std::string ids[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
    for (const linktable::LinkOutcome& o :
         {linkAt(1, ids[0], 10, 5, 1), linkAt(2, ids[1], 60, -7.5, 2), linkAt(3, ids[2], 12.5, -1, 0.5),
          linkAt(4, ids[3], 80, -7.5, -3), linkAt(5, ids[4], 5, 2, -0.25), linkAt(6, ids[5], 1, 0, 0),
          linkWithStatus(7, linktable::LinkStatus::Fault),
          linkWithStatus(8, linktable::LinkStatus::Error),
          linkWithStatus(9, linktable::LinkStatus::Fault), linkWithStatus(10, linktable::LinkStatus::Ok)}) {
        summary.add(o);
    }
    const LinksReport report = linksReport(summary, tavo, "/x/links.csv", "02/03/2026");
    EXPECT_EQ(report.program, "tavo");
    EXPECT_EQ(report.table, "/x/links.csv");
    EXPECT_EQ(report.links, 10U);
    EXPECT_FALSE(report.allMet);
    std::vector<std::uint64_t> counts;
    for (const LinkCount& count : report.counts) {
        counts.push_back(count.count);
    }
    // Both met; failing one or both; of them the power, the rise time;
    // without a length; faults; errors.
    EXPECT_EQ(counts, (std::vector<std::uint64_t>{2, 4, 3, 2, 1, 2, 1}));

    const auto rowsOf = [](const FailingList& list) {
        std::vector<std::size_t> rows;
        for (const linktable::FailingLink& link : list.worst) {
            rows.push_back(link.row);
        }
        return rows;
    };
    EXPECT_EQ(rowsOf(report.failing[0]), (std::vector<std::size_t>{2, 4, 3}));
    EXPECT_EQ(report.failing[0].count, 3U);
    EXPECT_EQ(rowsOf(report.failing[1]), (std::vector<std::size_t>{4, 5}));
    EXPECT_EQ(failingCells(report.failing[0].worst[2]),
              (std::array<std::string, 6>{"3", "C", "12.50000", "-1.00000", "0.50000",
                                          "Dispersão"}));
    EXPECT_EQ(report.margins[0].count, 6U);
    EXPECT_EQ(report.margins[0].minimum, -7.5);
    EXPECT_EQ(report.margins[1].maximum, 2);

    bool bitRate = false;
    for (const ReportInputPage& page : report.base) {
        for (const ReportInput& input : page.inputs) {
            bitRate = bitRate || (input.text == "140" && input.unit == "Mbit/s");
        }
    }
    EXPECT_TRUE(bitRate);
}

TEST(LinksReport, givesSharesOfTheLinksInTenthsOfAPercent) {
    struct Case {
        std::uint64_t count, links;
        const char* text;
    };
    for (const Case& c : {Case{1, 8, "12.5 %"}, Case{0, 5, "0.0 %"}, Case{5, 5, "100.0 %"},
                          Case{1, 100000, "< 0.1 %"}, Case{99999, 100000, "> 99.9 %"},
                          Case{0, 0, ""}}) {
        EXPECT_EQ(shareText(c.count, c.links), c.text) << c.count << "/" << c.links;
    }
}

// Texts five units wide a character, lines ten high.
const TextMeasure fiveEach{
    [](TextRole, std::string_view text) { return 5.0 * static_cast<double>(text.size()); },
    [](TextRole) { return 10.0; }};

MarginDistribution distributionOf(std::vector<HistogramBin> bins) {
    MarginDistribution d{"Margem de potência (dB)", "dB", std::move(bins), 0, 0, 0};
    for (const HistogramBin& bin : d.bins) {
        d.count += bin.count;
    }
    if (!d.bins.empty()) {
        d.minimum = d.bins.front().from;
        d.maximum = d.bins.back().to;
    }
    return d;
}

struct LayoutCase {
    const char* name;
    std::vector<HistogramBin> bins;
    bool limitInSight;
};

// State: a distribution of margins. Action: lay out its histogram. Expected:
// a bar for each bin with links, within the plot, standing on the bottom,
// its height in proportion to its count; short of the budget left of 0,
// met right of it; the limit marked where it is in sight; a notice for no
// links.
TEST(MarginHistogram, standsABarForEachBinInTheColourOfItsSide) {
    const LayoutCase cases[] = {
        {"both sides", {{-2, -1, 3}, {-1, 0, 1}, {0, 1, 0}, {1, 2, 6}, {2, 3, 2}}, true},
        {"all met, near the limit", {{0.5, 0.75, 4}, {0.75, 1, 1}}, true},
        {"all met, far from the limit", {{30, 31, 2}, {31, 32, 9}}, false},
        {"hundreds of links", {{-0.5, 0, 12}, {0, 0.5, 431}, {0.5, 1, 97}}, true},
        {"one bin of one link", {{-5, -4.9990234375, 1}}, false},
        {"none", {}, false},
    };
    const Box area{0, 0, 400, 220};
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const LineChart chart = marginHistogram(distributionOf(c.bins), area, ChartLook{}, fiveEach);
        const std::size_t withLinks = static_cast<std::size_t>(std::count_if(
            c.bins.begin(), c.bins.end(), [](const HistogramBin& b) { return b.count > 0; }));
        ASSERT_EQ(chart.bars.size(), withLinks);
        EXPECT_EQ(chart.notice.has_value(), c.bins.empty());
        EXPECT_EQ(chart.verticals.size(), c.limitInSight ? 1U : 0U);
        std::size_t bar = 0;
        double perLink = 0;
        for (const HistogramBin& bin : c.bins) {
            if (bin.count == 0) {
                continue;
            }
            const ChartBar& b = chart.bars[bar++];
            EXPECT_TRUE(b.box.within(chart.plot)) << bin.from;
            EXPECT_NEAR(b.box.bottom(), chart.plot.bottom(), 1e-9);
            EXPECT_EQ(b.kind, bin.to <= 0 ? BarKind::MarginShort : BarKind::MarginMet);
            EXPECT_NEAR(b.box.left + b.box.width / 2, chart.x.pixel((bin.from + bin.to) / 2),
                        1e-9);
            if (perLink == 0) {
                perLink = b.box.height / static_cast<double>(bin.count);
            }
            EXPECT_NEAR(b.box.height, perLink * static_cast<double>(bin.count), 1e-9);
        }
        if (c.limitInSight) {
            EXPECT_NEAR(chart.verticals[0].x, chart.x.pixel(0), 1e-9);
            for (const ChartBar& b : chart.bars) {
                EXPECT_EQ(b.box.right() <= chart.verticals[0].x, b.kind == BarKind::MarginShort);
            }
        }
        // Whole numbers of links on the ticks.
        for (const TickMark& tick : chart.yTicks) {
            const double links = chart.y.min + (tick.at - chart.y.first) /
                                                   (chart.y.last - chart.y.first) *
                                                   (chart.y.max - chart.y.min);
            EXPECT_EQ(tick.label->text, std::to_string(std::lround(links)));
        }
    }
}

} // namespace
} // namespace vantero::report
