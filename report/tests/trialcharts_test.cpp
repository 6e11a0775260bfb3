// The histograms of trials: the bars hold every trial that gave the figure
// once, the 1, 50 and 99 % points stand where they are, the bars short of a
// margin of 0 are in the colour of what is missing, and the picture keeps
// every chart within it.

#include "report/trialcharts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace vantero::report {
namespace {

// Texts five units wide a character, lines ten high (fourteen for titles).
const TextMeasure fiveEach{
    [](TextRole, std::string_view text) { return 5.0 * static_cast<double>(text.size()); },
    [](TextRole role) { return role == TextRole::Title ? 14.0 : 10.0; }};

// A figure of `values`, as the trials give it.
TrialFigure figureOf(const std::vector<double>& values, bool margin) {
    trials::FigureSample sample;
    for (const double v : values) {
        sample.add(v);
    }
    TrialFigure figure;
    figure.title = margin ? "Margem de potência a 40 km" : "Distância máxima";
    figure.axisTitle = margin ? "Margem de potência (dB)" : "Distância máxima (km)";
    figure.unit = margin ? "dB" : "km";
    figure.margin = margin;
    figure.histogram = sample.histogram(trials::histogramBins);
    figure.statistics = sample.statistics();
    return figure;
}

// `count` values spread evenly from `low` to `high`, the last at `high`.
std::vector<double> evenly(double low, double high, int count) {
    std::vector<double> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(count == 1 ? low : low + (high - low) * i / (count - 1));
    }
    return values;
}

struct Case {
    const char* name;
    std::vector<double> values;
    std::uint64_t trials; // some did not give the figure when more than the values
    bool margin;
};

const Case cases[] = {
    {"a distance", evenly(30, 50, 1000), 1000, false},
    {"a distance some trials did not give", evenly(30, 50, 600), 1000, false},
    {"a margin met by every trial", evenly(0.5, 3, 999), 999, true},
    {"a margin short in every trial", evenly(-4, -0.1, 500), 500, true},
    {"a margin across 0", evenly(-1.3, 2.9, 4001), 4001, true},
    {"a margin from exactly 0", evenly(0, 2, 77), 77, true},
    {"one value short of 0", std::vector<double>(50, -0.25), 50, true},
    {"one margin of exactly 0", std::vector<double>(20, 0), 20, true},
    {"one value", std::vector<double>(10, 42), 10, false},
};

TEST(TrialHistogram, theBarsHoldTheShareOfTheTrialsThatGaveTheFigure) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TrialFigure figure = figureOf(c.values, c.margin);
        const LinePlan plan = histogramPlan(figure, c.trials, "");
        const trials::Histogram& h = *figure.histogram;
        // Each bar's share in proportion to its width, so that the two parts
        // of a bin across 0 count once and no bar covers another.
        const double binWidth = h.high > h.low ? (h.high - h.low) / double(h.counts.size())
                                               : plan.bars.at(0).to - plan.bars.at(0).from;
        double shares = 0;
        for (std::size_t i = 0; i < plan.bars.size(); ++i) {
            const LinePlan::Bar& bar = plan.bars[i];
            EXPECT_LT(bar.from, bar.to);
            if (i > 0) {
                EXPECT_NEAR(bar.from, plan.bars[i - 1].to, 1e-9 * binWidth);
            }
            shares += bar.value * (bar.to - bar.from) / binWidth;
        }
        EXPECT_NEAR(shares, 100.0 * double(c.values.size()) / double(c.trials), 1e-9);
        EXPECT_LE(plan.bars.front().from, h.low);
        EXPECT_GE(plan.bars.back().to, h.high);
    }
}

// A case's figure and its histogram laid out in `area`.
struct LaidOut {
    TrialFigure figure;
    LineChart chart;
};

LaidOut laidOut(const Case& c, const Box& area) {
    TrialFigure figure = figureOf(c.values, c.margin);
    LineChart chart = trialHistogram(figure, c.trials, "", area, pictureLook(), fiveEach);
    return {std::move(figure), std::move(chart)};
}

TEST(TrialHistogram, marksThePercentilesWhereTheyAreWithTheirValues) {
    const Box area{10, 20, 600, 380};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [figure, chart] = laidOut(c, area);
        const trials::Statistics& s = *figure.statistics;
        ASSERT_EQ(chart.verticals.size(), 3U);
        const double points[] = {s.p01, s.p50, s.p99};
        const char* names[] = {"1 %: ", "50 %: ", "99 %: "};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(chart.verticals[i].x, chart.x.pixel(points[i]), 1e-9);
            EXPECT_GE(chart.verticals[i].x, chart.plot.left);
            EXPECT_LE(chart.verticals[i].x, chart.plot.right());
            EXPECT_EQ(chart.verticals[i].label.text,
                      names[i] + shortNumber(points[i]) + " " + figure.unit);
        }
        EXPECT_TRUE(chart.plot.within(area));
        for (const ChartBar& bar : chart.bars) {
            EXPECT_TRUE(bar.box.within(chart.plot));
        }
    }
}

TEST(TrialHistogram, colourTheBarsShortOfAMarginOfZeroAsWhatIsMissing) {
    const Box area{0, 0, 800, 400};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [figure, chart] = laidOut(c, area);
        ASSERT_FALSE(chart.bars.empty());
        if (!c.margin) {
            EXPECT_FALSE(chart.zeroX);
            for (const ChartBar& bar : chart.bars) {
                EXPECT_EQ(bar.kind, BarKind::Share);
            }
            continue;
        }
        // The axis reaches 0 whenever it is no farther than the values' span.
        const double span = figure.histogram->high - figure.histogram->low;
        if (figure.histogram->low <= span && -figure.histogram->high <= span) {
            ASSERT_TRUE(chart.zeroX);
        }
        const double zero = chart.x.pixel(0);
        int shortBars = 0;
        for (const ChartBar& bar : chart.bars) {
            const double middle = bar.box.left + bar.box.width / 2;
            EXPECT_EQ(bar.kind, middle < zero ? BarKind::MarginShort : BarKind::MarginMet)
                << bar.box.left << " " << zero;
            // No bin of several values reaches across 0.
            if (span > 0) {
                EXPECT_TRUE(bar.box.right() <= zero + 1 || bar.box.left >= zero - 1);
            }
            shortBars += bar.kind == BarKind::MarginShort ? 1 : 0;
        }
        const bool anyShort = figure.histogram->low < 0;
        EXPECT_EQ(shortBars > 0, anyShort);
    }
}

TEST(TrialHistogram, saysWhenNoTrialGaveTheFigure) {
    TrialFigure figure;
    figure.title = "Margem de tempo de subida a 10 km";
    figure.margin = true;
    const LineChart chart =
        trialHistogram(figure, 100, "", {0, 0, 600, 400}, pictureLook(), fiveEach);
    EXPECT_TRUE(chart.bars.empty());
    EXPECT_TRUE(chart.verticals.empty());
    ASSERT_TRUE(chart.notice);
    EXPECT_EQ(chart.notice->text, "Nenhum ensaio deu este valor");
}

TEST(TrialShares, neverReadNoneOrAllWhenSomeTrialsButNotAllAreIn) {
    const std::pair<double, const char*> cases[] = {
        {0, "0 %"},           {1e-9, "< 0.01 %"},      {0.00005, "0.01 %"}, {0.841345, "84.13 %"},
        {0.99994, "99.99 %"}, {0.999999, "> 99.99 %"}, {1, "100 %"},
    };
    for (const auto& [share, text] : cases) {
        EXPECT_EQ(percentText(share), text) << share;
    }
}

// Trials of a link at some lengths: the power margin varies, the rise-time
// margin at the first length too.
TrialCharts chartsAt(std::size_t lengths) {
    TrialCharts charts;
    charts.caption = "Distância Máxima";
    charts.program = "tavo";
    charts.trials = 200;
    charts.spreads = {"connectorLoss=normal:0.3,0.1", "fibreAttenuation=uniform:0.3,0.4"};
    charts.maximumDistance = figureOf(evenly(40, 48, 200), false);
    for (std::size_t i = 0; i < lengths; ++i) {
        TrialLength at;
        at.distance = 10.0 * double(i + 1);
        at.powerMargin = figureOf(evenly(2 - double(i), 5 - double(i), 200), true);
        at.riseTimeMargin =
            figureOf(i == 0 ? evenly(0.5, 1, 200) : std::vector<double>(200, 1), true);
        charts.at.push_back(at);
    }
    return charts;
}

TEST(TrialPicture, holdsAChartForEachFigureWithinItsHeight) {
    const struct {
        std::size_t lengths;
        std::size_t charts; // the rise-time margin that varies beside its power margin
        bool saysLeftOut;
    } cases[] = {{0, 1, false}, {1, 3, false}, {3, 5, false}, {plottedLengths + 2, 14, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lengths);
        const TrialCharts charts = chartsAt(c.lengths);
        const TrialPicture picture = layoutTrialPicture(charts, pictureLook(), fiveEach);
        EXPECT_EQ(picture.charts.size(), c.charts);
        const Box whole{0, 0, trialPictureWidth, trialPictureHeight(charts)};
        for (const LineChart& chart : picture.charts) {
            EXPECT_TRUE(chart.plot.within(whole));
            for (const Label& title : chart.titles) {
                EXPECT_TRUE(title.box.within(whole)) << title.text;
            }
        }
        for (std::size_t i = 1; i < picture.charts.size(); ++i) {
            const Box& before = picture.charts[i - 1].plot;
            const Box& plot = picture.charts[i].plot;
            EXPECT_FALSE(plot.intersects(before));
        }
        const std::vector<std::string> heading = trialHeading(charts);
        EXPECT_EQ(heading.size(), 3U + (c.saysLeftOut ? 1 : 0));
        EXPECT_EQ(heading[1], "Dispersão: connectorLoss=normal:0.3,0.1");
    }
}

} // namespace
} // namespace vantero::report
