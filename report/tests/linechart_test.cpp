// The one layout of every chart with lines: the shaded stretches where they
// are, and every text of the chart of a sweep inside its picture, the
// legend clear of the other labels.

#include "report/sweepchart.h"
#include "report/tests/chartpoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vantero::report {
namespace {

// Texts five units wide a character, lines ten high (fourteen for titles).
const TextMeasure fiveEach{
    [](TextRole, std::string_view text) { return 5.0 * static_cast<double>(text.size()); },
    [](TextRole role) { return role == TextRole::Title ? 14.0 : 10.0; }};

TEST(Stretches, reachHalfwayToTheirNeighboursOrToTheEdge) {
    const Axis x{0, 10, false, 100, 200};
    const Box plot{100, 0, 100, 50};
    struct Case {
        const char* name;
        std::vector<std::pair<double, bool>> shaded;
        std::vector<std::pair<double, double>> stretches;
    };
    const Case cases[] = {
        {"none", {{0, false}, {5, false}, {10, false}}, {}},
        {"in the middle", {{0, false}, {4, true}, {6, true}, {10, false}}, {{120, 180}}},
        {"from the left edge", {{2, true}, {4, false}, {10, false}}, {{100, 130}}},
        {"to the right edge", {{0, false}, {8, true}}, {{140, 200}}},
        {"two", {{0, true}, {2, false}, {4, true}, {10, false}}, {{100, 110}, {130, 170}}},
        {"everywhere", {{3, true}}, {{100, 200}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(stretchesWhere(c.shaded, x, plot), c.stretches);
    }
}

// A point of a link whose power distance is `scale` times the input and
// whose rise-time distance is 2275 km: a sweep of the launched power from
// -1e308 dBm to 1e308 (scale 1/0.6) turns from attenuation- to
// dispersion-limited where the two meet, at 2275 km.
ChartPoint scaledPoint(double x, double scale) {
    constexpr double riseTime = 2275;
    ChartPoint p;
    p.input = x;
    p.powerDistance = x * scale;
    p.riseTimeDistance = riseTime;
    const bool attenuation = *p.powerDistance < riseTime;
    p.limitedBy = attenuation ? LimitingFactor::Attenuation : LimitingFactor::Dispersion;
    p.maximumDistance = attenuation ? *p.powerDistance : riseTime;
    return p;
}

TEST(Axes, placeValuesAlongSpansBeyondTheLargestDouble) {
    struct Case {
        const char* name;
        Axis axis;
        double value;
        double pixel;
    };
    const Case cases[] = {
        {"the left end", {-1e308, 1e308, false, 100, 300}, -1e308, 100},
        {"the middle", {-1e308, 1e308, false, 100, 300}, 0, 200},
        {"the right end", {-1e308, 1e308, false, 100, 300}, 1e308, 300},
        {"a quarter", {-1.6e308, 1.6e308, false, 0, 400}, -0.8e308, 100},
        {"upwards", {-1.6e308, 1.6e308, false, 400, 0}, 0.8e308, 100},
        {"an ordinary span", {0, 10, false, 0, 100}, 2.5, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(c.axis.pixel(c.value), c.pixel, 1e-9);
    }
}

TEST(SweepChartLayout, drawsEveryLineOverRangesAsWideAsDoublesGo) {
    struct Case {
        const char* name;
        double from;
        double to;
        bool logarithmic;
        double scale;
        std::size_t crossovers;
    };
    const Case cases[] = {
        {"inputs across all doubles", -1e308, 1e308, false, 1 / 0.6, 1},
        {"distances across all doubles", -100, 100, false, 1.7e306, 1},
        {"inputs across all exponents", 1e-300, 1e308, true, 1, 1},
        {"an ordinary sweep", 1, 1000, false, 1, 0},
    };
    const Box area{16, 14, 1168, 732};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SweepChart sweep = linkChart(c.from, c.to, c.logarithmic, 0);
        ChartEnvelope envelope(c.from, c.to, c.logarithmic);
        constexpr int count = 1000;
        for (int i = 0; i < count; ++i) {
            const double share = static_cast<double>(i) / (count - 1);
            envelope.add(scaledPoint(
                c.logarithmic
                    ? std::pow(10.0, std::lerp(std::log10(c.from), std::log10(c.to), share))
                    : std::lerp(c.from, c.to, share),
                c.scale));
        }
        sweep.points = envelope.points();
        sweep.crossovers = envelope.crossovers();
        // Fewer points than columns: each its own column, all kept.
        EXPECT_EQ(sweep.points.size(), static_cast<std::size_t>(count));
        ASSERT_EQ(sweep.crossovers.size(), c.crossovers);
        if (c.crossovers != 0) {
            EXPECT_DOUBLE_EQ(*sweep.crossovers[0].distance, 2275);
        }

        const LineChart chart = layoutSweepChart(sweep, area, pictureLook(), fiveEach);
        for (const Axis& axis : {chart.x, chart.y}) {
            EXPECT_TRUE(std::isfinite(axis.min) && std::isfinite(axis.max) && axis.min < axis.max);
        }
        EXPECT_GE(chart.xTicks.size(), 3u);
        EXPECT_GE(chart.yTicks.size(), 3u);
        for (const TickMark& t : chart.xTicks) {
            EXPECT_TRUE(t.at >= chart.plot.left - 1e-9 && t.at <= chart.plot.right() + 1e-9)
                << t.at;
        }
        for (const TickMark& t : chart.yTicks) {
            EXPECT_TRUE(t.at >= chart.plot.top - 1e-9 && t.at <= chart.plot.bottom() + 1e-9)
                << t.at;
        }
        // Every line drawn, across the plot, within its room.
        ASSERT_EQ(chart.lines.size(), 3u);
        for (const ChartLine& line : chart.lines) {
            double leftmost = chart.plot.right();
            double rightmost = chart.plot.left;
            for (const std::vector<Pixel>& piece : line.pieces) {
                for (const Pixel& p : piece) {
                    EXPECT_TRUE(chart.clip.contains(p.x, p.y)) << line.caption;
                    leftmost = std::min(leftmost, p.x);
                    rightmost = std::max(rightmost, p.x);
                }
            }
            EXPECT_GT(rightmost - leftmost, chart.plot.width / 3) << line.caption;
        }
    }
}

TEST(SweepChartLayout, keepsEveryTextInThePictureAndTheLegendClearOfTheLabels) {
    struct Case {
        const char* name;
        SweepChart chart;
    };
    const Case cases[] = {
        {"linear", linkChart(1, 1000, false, 200)},
        {"logarithmic", linkChart(1, 1000, true, 200)},
        {"negative and logarithmic", linkChart(-1, -1000, true, 200)},
        {"a single point", linkChart(5, 5, false, 1)},
        {"no point", linkChart(1, 1000, false, 0)},
    };
    const Box area{16, 14, 1168, 732};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LineChart chart = layoutSweepChart(c.chart, area, pictureLook(), fiveEach);
        EXPECT_TRUE(chart.plot.within(area));
        std::vector<Box> labels;
        for (const TickMark& t : chart.xTicks) {
            if (t.label) {
                labels.push_back(t.label->box);
                EXPECT_GE(t.at, chart.plot.left - 1e-9);
                EXPECT_LE(t.at, chart.plot.right() + 1e-9);
            }
        }
        for (const TickMark& t : chart.yTicks) {
            labels.push_back(t.label->box);
        }
        for (const Label& title : chart.titles) {
            labels.push_back(title.box);
        }
        for (const Box& box : labels) {
            EXPECT_TRUE(box.within(area)) << box.left << ", " << box.top;
        }
        // The legend: each line's caption, and the marks' when there are any.
        ASSERT_TRUE(chart.legend.frame);
        EXPECT_TRUE(chart.legend.frame->within(chart.plot));
        EXPECT_EQ(chart.legend.entries.size(), 3 + (c.chart.crossovers.empty() ? 0u : 1u));
        for (const VerticalMark& mark : chart.verticals) {
            ASSERT_TRUE(mark.frame);
            EXPECT_TRUE(mark.frame->within(chart.plot));
            EXPECT_FALSE(mark.frame->intersects(*chart.legend.frame));
        }
        for (const Stretch& stretch : chart.stretches) {
            if (stretch.label) {
                EXPECT_FALSE(stretch.label->box.intersects(*chart.legend.frame));
            }
        }
        EXPECT_EQ(chart.notice.has_value(), c.chart.points.empty());
    }
}

TEST(SweepChartLayout, marksEachChangeOfTheLimitWithItsValueAndShadesTheFailedBudget) {
    const SweepChart sweep = linkChart(1, 1000, false, 200);
    const LineChart chart = layoutSweepChart(sweep, {0, 0, 1200, 760}, pictureLook(), fiveEach);
    ASSERT_EQ(sweep.crossovers.size(), 1u);
    ASSERT_EQ(chart.verticals.size(), 1u);
    EXPECT_NEAR(chart.verticals[0].x, chart.x.pixel(sweep.crossovers[0].input), 1e-9);
    EXPECT_EQ(chart.verticals[0].label.text.substr(0, chart.verticals[0].label.text.find('\n')),
              "atenuação → dispersão");
    // Its dot where the two distances meet.
    ASSERT_EQ(chart.markers.size(), 1u);
    EXPECT_NEAR(chart.markers[0].at.y, chart.y.pixel(*sweep.crossovers[0].distance), 1e-9);
    // From 500 on the rise-time budget fails, to the right edge.
    ASSERT_EQ(chart.stretches.size(), 1u);
    EXPECT_GT(chart.stretches[0].left, chart.x.pixel(495));
    EXPECT_LT(chart.stretches[0].left, chart.x.pixel(505));
    EXPECT_EQ(chart.stretches[0].right, chart.plot.right());
    ASSERT_TRUE(chart.stretches[0].label);
    EXPECT_EQ(chart.stretches[0].label->text, riseTimeNotMet);
    EXPECT_EQ(chart.stretches[0].label->ink, Ink::Warning);
    // The rise-time distance runs far above the chart: its caption says so.
    ASSERT_EQ(chart.lines.size(), 3u);
    EXPECT_EQ(chart.lines[2].caption,
              "Balanço de Tempo de Subida (km), acima da escala até 5000 km");
}

} // namespace
} // namespace vantero::report
