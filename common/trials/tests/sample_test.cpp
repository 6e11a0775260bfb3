#include "common/trials/sample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace vantero::trials {
namespace {

// 1, 2, ..., n added in a scrambled order.
FigureSample ramp(int n, bool exact, double offset = 0) {
    FigureSample sample(exact);
    for (int i = 0; i < n; ++i) {
        sample.add(offset + 1 + (i * 7919) % n);
    }
    return sample;
}

TEST(FigureSample, givesPercentilesBetweenTheNearestOrderStatistics) {
    // 1..101: the point at p is 1 + 100 p exactly; 1..11: interpolated.
    for (const bool exact : {true, false}) {
        const double tolerance = exact ? 0 : FigureSample::sketchAccuracy;
        FigureSample sample = ramp(101, exact);
        const Statistics s = *sample.statistics();
        EXPECT_EQ(s.count, 101U);
        EXPECT_DOUBLE_EQ(s.mean, 51);
        EXPECT_DOUBLE_EQ(s.sd, std::sqrt(101 * 102 / 12.0));
        for (const auto& [got, want] :
             {std::pair{s.p01, 2.0}, std::pair{s.p05, 6.0}, std::pair{s.p50, 51.0},
              std::pair{s.p95, 96.0}, std::pair{s.p99, 100.0}}) {
            EXPECT_NEAR(got, want, want * tolerance) << exact;
        }
        FigureSample small = ramp(11, exact);
        EXPECT_NEAR(small.statistics()->p05, 1.5, 1.5 * tolerance);
        EXPECT_NEAR(small.statistics()->p99, 10.9, 10.9 * tolerance);
    }
}

TEST(FigureSample, sketchesValuesOfBothSignsAndZero) {
    FigureSample exact(true);
    FigureSample sketch(false);
    for (int i = -500; i <= 500; ++i) {
        const double value = i == 0 ? 0 : std::copysign(std::pow(1.01, std::abs(i)), i);
        exact.add(value);
        sketch.add(value);
    }
    const Statistics e = *exact.statistics();
    const Statistics s = *sketch.statistics();
    EXPECT_EQ(s.mean, e.mean);
    EXPECT_EQ(s.sd, e.sd);
    EXPECT_EQ(e.p50, 0);
    EXPECT_EQ(s.p50, 0);
    for (const auto& [got, want] : {std::pair{s.p01, e.p01}, std::pair{s.p05, e.p05},
                                    std::pair{s.p95, e.p95}, std::pair{s.p99, e.p99}}) {
        EXPECT_NEAR(got, want, std::fabs(want) * FigureSample::sketchAccuracy);
        EXPECT_NE(got, want); // a bucket's value, not the value itself
    }
}

TEST(FigureSample, mergesBlocksToTheSameFiguresAsOneRun) {
    for (const bool exact : {true, false}) {
        FigureSample whole(exact);
        FigureSample merged(exact);
        FigureSample block(exact);
        for (int i = 0; i < 3000; ++i) {
            const double value = std::sin(i) * 1e3;
            whole.add(value);
            block.add(value);
            if (i % 1000 == 999) {
                merged.merge(std::move(block));
                block = FigureSample(exact);
            }
        }
        const Statistics w = *whole.statistics();
        const Statistics m = *merged.statistics();
        EXPECT_EQ(m.count, w.count);
        EXPECT_NEAR(m.mean, w.mean, 1e-12);
        EXPECT_NEAR(m.sd, w.sd, 1e-9);
        EXPECT_EQ(m.p01, w.p01);
        EXPECT_EQ(m.p99, w.p99);
    }
}

// Room reserved for the values changes nothing of what they give.
TEST(FigureSample, mergedIntoReservedRoomKeepsTheLeastAndGreatest) {
    FigureSample reserved;
    reserved.reserve(100);
    FigureSample block;
    block.add(5);
    block.add(7);
    reserved.merge(std::move(block));
    const Histogram h = *reserved.histogram(2);
    EXPECT_EQ(h.low, 5);
    EXPECT_EQ(h.high, 7);
    EXPECT_EQ(reserved.statistics()->mean, 6);
}

TEST(FigureSample, givesNothingForAFigureNoTrialGave) {
    FigureSample sample;
    EXPECT_FALSE(sample.statistics());
    EXPECT_FALSE(sample.histogram(10));
}

TEST(FigureSample, countsTheHistogramInEqualBinsFromLeastToGreatest) {
    for (const bool exact : {true, false}) {
        const FigureSample sample = ramp(100, exact, 0.5); // 1.5 .. 100.5
        const Histogram h = *sample.histogram(4);
        EXPECT_EQ(h.low, 1.5);
        EXPECT_EQ(h.high, 100.5);
        // Bins of 24.75: [1.5, 26.25) holds 1.5..25.5, and so on; the last
        // holds its upper end.
        EXPECT_EQ(h.counts, (std::vector<std::uint64_t>{25, 25, 25, 25})) << exact;
        EXPECT_EQ(std::accumulate(h.counts.begin(), h.counts.end(), std::uint64_t{0}), 100U);
    }
    FigureSample flat;
    flat.add(3);
    flat.add(3);
    EXPECT_EQ(flat.histogram(8)->counts, std::vector<std::uint64_t>{2});
}

} // namespace
} // namespace vantero::trials
