#include "report/sweepchart.h"
#include "report/tests/chartpoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace vantero::report {
namespace {

struct Range {
    const char* name;
    double min;
    double max;
};

void PrintTo(const Range& r, std::ostream* os) {
    *os << r.name;
}

class TickRanges : public testing::TestWithParam<Range> {};

// However narrow or wide the range, the ticks are few, finite, in order and
// within it (the loop that made them once counted beyond 2^53 forever).
TEST_P(TickRanges, areFewAndWithinTheRange) {
    const Range& r = GetParam();
    for (const auto& ticks : {linearTicks(r.min, r.max, 8), logTicks(r.min, r.max)}) {
        ASSERT_FALSE(ticks.empty());
        EXPECT_LE(ticks.size(), 64u);
        const double slack = (r.max - r.min) * 1e-9;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_TRUE(std::isfinite(ticks[i].value));
            EXPECT_GE(ticks[i].value, r.min - slack);
            EXPECT_LE(ticks[i].value, r.max + slack);
            if (i > 0) {
                EXPECT_LT(std::fabs(ticks[i - 1].value), std::fabs(ticks[i].value));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Extremes, TickRanges,
    testing::Values(Range{"oneUlpAtOne", 1, std::nextafter(1.0, 2.0)},
                    Range{"twoUlpsAtAThousand", 1000,
                          std::nextafter(std::nextafter(1000.0, 2e3), 2e3)},
                    Range{"narrowNearTheTop", 1.7e308, std::nextafter(1.7e308, 1.79e308)},
                    Range{"wideAsDoublesGo", 1e-300, 1.7e308}, Range{"ordinary", 1, 1000}),
    [](const auto& info) { return std::string(info.param.name); });

// A link that turns from attenuation- to dispersion-limited near 40, fails
// its rise-time budget from 500 on, and has a spike of power distance at
// 700.
ChartPoint point(double x) {
    ChartPoint p = linkPoint(x, 2500);
    if (x > 700 && x < 700.001) {
        p.powerDistance = 1e4;
    }
    return p;
}

std::vector<ChartPoint> sweep(std::size_t count) {
    std::vector<ChartPoint> points;
    for (std::size_t i = 0; i < count; ++i) {
        points.push_back(
            point(1 + 999.0 * static_cast<double>(i) / static_cast<double>(count - 1)));
    }
    return points;
}

std::vector<double> inputs(const std::vector<ChartPoint>& points) {
    std::vector<double> xs;
    for (const ChartPoint& p : points) {
        xs.push_back(p.input);
    }
    return xs;
}

TEST(ChartEnvelope, keepsASweepOfFewerPointsThanColumnsWhole) {
    const std::vector<ChartPoint> all = sweep(1000);
    ChartEnvelope envelope(1, 1000, false);
    for (const ChartPoint& p : all) {
        envelope.add(p);
    }
    EXPECT_EQ(inputs(envelope.points()), inputs(all));
    ASSERT_EQ(envelope.crossovers().size(), findCrossovers(all, false).size());
}

TEST(ChartEnvelope, boundsALargeSweepAndKeepsWhatThePictureShows) {
    // State: two million points into 2048 columns.
    const std::vector<ChartPoint> all = sweep(2000000);
    ChartEnvelope envelope(1, 1000, false);
    for (const ChartPoint& p : all) {
        envelope.add(p);
    }
    const std::vector<ChartPoint> kept = envelope.points();
    EXPECT_LT(kept.size(), 2048u * 12);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end(),
                               [](const auto& a, const auto& b) { return a.input < b.input; }));
    // The spike, the ends and both sides of the failing budget are there.
    const auto power = [](const ChartPoint& p) { return *p.powerDistance; };
    EXPECT_EQ(std::ranges::max(kept, {}, power).powerDistance, 1e4);
    EXPECT_EQ(kept.front().input, all.front().input);
    EXPECT_EQ(kept.back().input, all.back().input);
    const auto firstRejected = std::ranges::find_if(all, &ChartPoint::riseTimeRejected);
    const std::vector<double> keptInputs = inputs(kept);
    for (const auto side : {firstRejected - 1, firstRejected}) {
        EXPECT_TRUE(std::ranges::binary_search(keptInputs, side->input)) << side->input;
    }
    // Every change of the limit where the whole sweep has it.
    const std::vector<Crossover> exact = findCrossovers(all, false);
    ASSERT_EQ(envelope.crossovers().size(), exact.size());
    for (std::size_t i = 0; i < exact.size(); ++i) {
        EXPECT_EQ(envelope.crossovers()[i].input, exact[i].input);
    }
}

ChartPoint point(double x, double lp, std::optional<double> ld, LimitingFactor limit) {
    const double max = !ld ? 0 : limit == LimitingFactor::Attenuation ? lp : *ld;
    return {{x, lp, ld, max, limit}, !ld};
}

constexpr auto attenuation = LimitingFactor::Attenuation;
constexpr auto dispersion = LimitingFactor::Dispersion;

TEST(Crossovers, lieWhereTheTwoDistancesMeet) {
    // State: the rise-time distance falls from 30 to 10 km across a power
    // distance of 20 km: they meet halfway, or at 10^1.5 on a log axis.
    const std::vector<ChartPoint> points{point(1, 20, 40, attenuation),
                                         point(10, 20, 30, attenuation),
                                         point(100, 20, 10, dispersion)};
    const auto linear = findCrossovers(points, false);
    ASSERT_EQ(linear.size(), 1u);
    EXPECT_DOUBLE_EQ(linear[0].input, 55);
    EXPECT_DOUBLE_EQ(*linear[0].distance, 20);
    EXPECT_EQ(linear[0].before, attenuation);
    EXPECT_EQ(linear[0].after, dispersion);

    const auto logarithmic = findCrossovers(points, true);
    ASSERT_EQ(logarithmic.size(), 1u);
    EXPECT_DOUBLE_EQ(logarithmic[0].input, std::pow(10, 1.5));
}

TEST(Crossovers, beforeAFailedBudgetLieHalfwayWithoutADistance) {
    const std::vector<ChartPoint> points{point(10, 20, 30, attenuation),
                                         point(1000, 18, std::nullopt, dispersion)};
    const auto logarithmic = findCrossovers(points, true);
    ASSERT_EQ(logarithmic.size(), 1u);
    EXPECT_DOUBLE_EQ(logarithmic[0].input, 100);
    EXPECT_FALSE(logarithmic[0].distance.has_value());
    EXPECT_DOUBLE_EQ(findCrossovers(points, false)[0].input, 505);
}

TEST(Crossovers, everyChangeIsMarkedEitherWay) {
    const std::vector<ChartPoint> points{
        point(1, 20, 10, dispersion), point(2, 20, 30, attenuation), point(3, 20, 40, attenuation),
        point(4, 20, 5, dispersion)};
    const auto crossovers = findCrossovers(points, false);
    ASSERT_EQ(crossovers.size(), 2u);
    EXPECT_EQ(crossovers[0].before, dispersion);
    EXPECT_EQ(crossovers[0].after, attenuation);
    EXPECT_DOUBLE_EQ(crossovers[0].input, 1.5);
    EXPECT_DOUBLE_EQ(crossovers[1].input, 3 + 20.0 / 35);
    EXPECT_TRUE(findCrossovers(std::vector(points.begin() + 1, points.begin() + 3), false).empty());
}

TEST(Charts, labelTheAxisWithTheWindowsLabelAndUnit) {
    EXPECT_EQ(axisLabel("Número total de conectores ", ""), "Número total de conectores");
    EXPECT_EQ(axisLabel("m", ""), "m");
    EXPECT_EQ(axisLabel("Margem de ganho (dB)", "dB"), "Margem de ganho (dB)");
    EXPECT_EQ(axisLabel("Sensitividade", "dBm"), "Sensitividade (dBm)");
}

} // namespace
} // namespace vantero::report
