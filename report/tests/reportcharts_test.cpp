// The arithmetic of the design report's charts: bars and waterfall steps
// where the budgets put them, labels that stay in the plot and clear of the
// bars, lines clipped to the plot, and the two margin plots aligned.

#include "calculators/registry.h"
#include "report/barchart.h"
#include "report/reportcharts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace vantero::report {
namespace {

const Box area{50, 100, 500, 220};
const ChartLook look = pageLook();

// Texts five units wide a character (bytes, which is near enough), lines ten
// high.
const TextMeasure fiveEach{
    [](TextRole, std::string_view text) { return 5.0 * static_cast<double>(text.size()); },
    [](TextRole) { return 10.0; }};

std::unique_ptr<Session> link(const char* calculator,
                              const std::vector<std::pair<const char*, const char*>>& texts) {
    auto session = findCalculator(calculator)->newSession();
    for (const auto& [name, text] : texts) {
        session->setText(*session->calculator().findInput(name), text);
    }
    return session;
}

// Every label of a bar chart lies in the plot's width and clear of its own
// bar and of the reference line (unless it is on the bar).
void expectLabelsClear(const BarChart& chart) {
    for (const BarRow& row : chart.rows) {
        SCOPED_TRACE(row.caption.text);
        const Box& value = row.value.box;
        EXPECT_GE(value.left, chart.plot.left - 1e-9);
        EXPECT_LE(value.right(), chart.plot.right() + 1e-9);
        EXPECT_LE(row.caption.box.right(), chart.plot.left);
        if (!row.valueInside()) {
            EXPECT_FALSE(value.intersects(row.bar));
            if (chart.reference) {
                EXPECT_FALSE(value.left < chart.reference->x && value.right() > chart.reference->x);
            }
        }
    }
}

TEST(ReportCharts, theWaterfallStepsDownFromTheLaunchedPowerToTheMargin) {
    struct Case {
        const char* name;
        const char* calculator;
        std::vector<std::pair<const char*, const char*>> texts;
        double km;
    };
    const Case cases[] = {
        {"tavo at its power-budget distance", "tavo", {}, 49.52537446258219},
        {"a negative loss raises the level", "tavo", {{"gainMargin", "-3"}}, 10},
        {"short of the sensitivity", "estrela", {{"couplerLoss", "21"}}, 0},
        {"a ring of isolated stations", "anel", {{"isolatedStations", "3"}}, 0.4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LinkBudgets b = link(c.calculator, c.texts)->budgetsAt(c.km);
        ASSERT_FALSE(b.fault);
        const BarChart chart = powerWaterfall(b, area, look, fiveEach);
        double launched = 0;
        double sensitivity = 0;
        std::size_t losses = 0;
        for (const BudgetTerm& t : b.powerTerms) {
            launched = t.kind == TermKind::Available ? t.value : launched;
            sensitivity = t.kind == TermKind::Required ? t.value : sensitivity;
            losses += t.kind == TermKind::Loss ? 1 : 0;
        }
        ASSERT_EQ(chart.rows.size(), losses + 2);
        const Axis& x = chart.axis;
        EXPECT_LE(x.min, std::min(sensitivity, sensitivity + *b.powerMargin));
        EXPECT_GE(x.max, launched);
        // From the sensitivity up to the launched power.
        EXPECT_NEAR(chart.rows.front().bar.left, x.pixel(std::min(sensitivity, launched)), 1e-9);
        EXPECT_NEAR(chart.rows.front().bar.right(), x.pixel(std::max(sensitivity, launched)), 1e-9);
        // Each step starts where the one before ended.
        ASSERT_EQ(chart.steps.size(), chart.rows.size() - 1);
        double level = launched;
        std::size_t row = 1;
        for (const BudgetTerm& t : b.powerTerms) {
            if (t.kind != TermKind::Loss) {
                continue;
            }
            EXPECT_NEAR(chart.steps[row - 1].first.x, x.pixel(level), 1e-9);
            const Box& bar = chart.rows[row].bar;
            const double next = level - t.value;
            EXPECT_NEAR(bar.left, x.pixel(std::min(level, next)), 1e-9);
            EXPECT_NEAR(bar.width, std::max(std::fabs(x.pixel(next) - x.pixel(level)), 1.0), 1e-9);
            EXPECT_EQ(chart.rows[row].kind, t.value >= 0 ? BarKind::Loss : BarKind::Gain);
            level = next;
            ++row;
        }
        // The margin: from the sensitivity to what is left.
        const BarRow& margin = chart.rows.back();
        EXPECT_NEAR(x.pixel(level), x.pixel(sensitivity + *b.powerMargin), 1e-6);
        EXPECT_EQ(margin.kind, *b.powerMargin >= 0 ? BarKind::MarginMet : BarKind::MarginShort);
        EXPECT_NEAR(chart.reference->x, x.pixel(sensitivity), 1e-9);
        expectLabelsClear(chart);
    }
}

TEST(ReportCharts, riseTimeBarsStartAtZeroAndTheMarginSpansLinkToAllowed) {
    for (const char* lineCode : {"NRZ", "RZ"}) {
        auto session = findCalculator("tavo")->newSession();
        session->setChoice(*session->calculator().findChoice("lineCode"),
                           lineCode == std::string("RZ") ? 1 : 0);
        const LinkBudgets b = session->budgetsAt(30);
        const BarChart chart = riseTimeBars(b, area, look, fiveEach);
        ASSERT_EQ(chart.rows.size(), b.riseTimeTerms.size() + 1);
        EXPECT_EQ(chart.axis.min, 0);
        for (std::size_t i = 0; i < b.riseTimeTerms.size(); ++i) {
            EXPECT_NEAR(chart.rows[i].bar.left, chart.axis.pixel(0), 1e-9);
        }
        const double allowed = b.riseTimeTerms.front().value;
        const double link = b.riseTimeTerms.back().value;
        const Box& margin = chart.rows.back().bar;
        EXPECT_NEAR(margin.left, chart.axis.pixel(std::min(allowed, link)), 1e-9);
        EXPECT_NEAR(margin.right(), chart.axis.pixel(std::max(allowed, link)), 1e-9);
        EXPECT_EQ(chart.rows.back().kind,
                  b.riseTimeBudgetMet() ? BarKind::MarginMet : BarKind::MarginShort);
        expectLabelsClear(chart);
    }
}

TEST(ReportCharts, valuesForTheEyeNeverReadMinusZero) {
    EXPECT_EQ(chartValue(-1e-15, 2, "dB", true), "0.00 dB");
    EXPECT_EQ(chartValue(-0.004, 2, "dB"), "0.00 dB");
    EXPECT_EQ(chartValue(29.71522, 2, "dB", true), "+29.72 dB");
    EXPECT_EQ(chartValue(-4.65378, 2, "ns", true), "-4.65 ns");
    EXPECT_EQ(chartValue(7e307, 2, "dB", true), "+7e+307 dB");
}

TEST(ReportCharts, linesBreakAtGapsAndAreClippedToThePlot) {
    Axis x{0, 10, false, 0, 100};
    Axis y{0, 10, false, 100, 0};
    using P = std::vector<std::pair<double, std::optional<double>>>;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        P points;
        std::vector<std::vector<Pixel>> pieces;
    };
    const Case cases[] = {
        {"one piece", {{0, 0}, {5, 5}, {10, 0}}, {{{0, 100}, {50, 50}, {100, 100}}}},
        {"a gap",
         {{0, 0}, {2, 2}, {4, {}}, {6, 4}, {8, 4}},
         {{{0, 100}, {20, 80}}, {{60, 60}, {80, 60}}}},
        {"a lone point", {{0, {}}, {5, 5}, {10, nan}}, {{{50, 50}}}},
        {"through the top", {{0, 5}, {5, 15}, {10, 5}}, {{{0, 50}, {25, 0}}, {{75, 0}, {100, 50}}}},
        {"all above", {{0, 11}, {10, 20}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pieces = linePieces(c.points, x, y);
        ASSERT_EQ(pieces.size(), c.pieces.size());
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            ASSERT_EQ(pieces[i].size(), c.pieces[i].size()) << i;
            for (std::size_t j = 0; j < pieces[i].size(); ++j) {
                EXPECT_NEAR(pieces[i][j].x, c.pieces[i][j].x, 1e-9);
                EXPECT_NEAR(pieces[i][j].y, c.pieces[i][j].y, 1e-9);
            }
        }
    }
}

// The contents of the report of a calculator's link at its initial figures,
// with some choices set by the names of their values, with its charts.
DesignReport reportOf(const char* name,
                      const std::vector<std::pair<const char*, const char*>>& choices = {}) {
    const Calculator& calculator = *findCalculator(name);
    const auto session = calculator.newSession();
    for (const auto& [choice, value] : choices) {
        const std::size_t index = *calculator.findChoice(choice);
        const auto& values = calculator.choices()[index].values;
        const auto named = std::find(values.begin(), values.end(), std::string_view(value));
        session->setChoice(index, static_cast<int>(named - values.begin()));
    }
    return designReport(*session, session->run(), "", "01/02/2026");
}

TEST(ReportCharts, theMarginPlotsShareTheirEdgesAndMarkTheDistances) {
    for (const DesignReport& report :
         {reportOf("tavo", {{"fibreType", "Multimode"}}), reportOf("estrela")}) {
        const auto charts = marginCharts(report, area, look, fiveEach);
        EXPECT_EQ(charts[0].plot.left, charts[1].plot.left);
        EXPECT_EQ(charts[0].plot.right(), charts[1].plot.right());
        EXPECT_LE(charts[0].plot.bottom(), charts[1].plot.top);
        EXPECT_LE(charts[1].plot.bottom(), area.bottom());
        for (const LineChart& chart : charts) {
            ASSERT_EQ(chart.verticals.size(), 1u);
            EXPECT_NEAR(chart.verticals[0].x, chart.x.pixel(report.maximumDistance), 1e-9);
            ASSERT_TRUE(chart.zeroY);
            for (const ChartMarker& m : chart.markers) {
                EXPECT_NEAR(m.at.y, *chart.zeroY, 1e-9);
                ASSERT_TRUE(m.label);
                EXPECT_TRUE(m.label->box.left >= chart.plot.left &&
                            m.label->box.right() <= chart.plot.right());
                EXPECT_FALSE(m.label->box.intersects(chart.verticals[0].label.box));
            }
        }
        // The limiting budget's margin crosses zero at the maximum distance.
        const std::size_t limiting = report.riseTimeDistance == report.maximumDistance ? 1 : 0;
        ASSERT_EQ(charts[limiting].markers.size(), 1u);
        EXPECT_NEAR(charts[limiting].markers[0].at.x, charts[limiting].verticals[0].x, 1e-9);
    }
}

TEST(ReportCharts, theBitRateChartMarksThisDesignAndWhereTheRiseTimeBudgetFails) {
    const DesignReport report = reportOf("tavo");
    const auto chart = bitRateChart(report, area, look, fiveEach);
    ASSERT_TRUE(chart);
    EXPECT_TRUE(chart->x.logarithmic);
    EXPECT_DOUBLE_EQ(chart->x.min, 3.4);
    EXPECT_DOUBLE_EQ(chart->x.max, 340);
    ASSERT_EQ(chart->markers.size(), 1u);
    EXPECT_NEAR(chart->markers[0].at.x, chart->x.pixel(34), 1e-9);
    EXPECT_NEAR(chart->markers[0].at.y, chart->y.pixel(report.maximumDistance), 1e-9);
    ASSERT_TRUE(chart->markers[0].label);
    EXPECT_EQ(chart->markers[0].label->text, "Este projeto: 34 Mbit/s, 49.53 km");
    // Above about 42.4 Mbit/s no fibre meets the rise-time budget.
    ASSERT_EQ(chart->stretches.size(), 1u);
    EXPECT_GT(chart->stretches[0].left, chart->x.pixel(42));
    EXPECT_LT(chart->stretches[0].left, chart->x.pixel(43));
    EXPECT_EQ(chart->stretches[0].right, chart->plot.right());
    EXPECT_EQ(chart->legend.entries.size(), 3u);
    EXPECT_LE(chart->legend.entries.back().text.box.right(), area.right());

    DesignReport none = report;
    none.bitRateSweep.clear();
    EXPECT_FALSE(bitRateChart(none, area, look, fiveEach));
}

} // namespace
} // namespace vantero::report
