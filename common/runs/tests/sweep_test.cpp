// The values of a sweep's points: both ends exact, evenly spaced or in a
// constant ratio.

#include "common/runs/sweep.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace vantero {
namespace {

std::string shortest(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

TEST(SweepValues, evenlySpacedWithBothEndsExact) {
    const SweepRange range{0, 0, 1, 11, false};
    std::vector<std::string> values;
    for (std::size_t i = 0; i < range.count; ++i) {
        values.push_back(shortest(sweepValue(range, i)));
    }
    EXPECT_EQ(values, (std::vector<std::string>{"0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6",
                                                "0.7", "0.8", "0.9", "1"}));
    const SweepRange down{0, 10, -10, 3, false};
    EXPECT_EQ(sweepValue(down, 1), 0);
    EXPECT_EQ(sweepValue(down, 2), -10);
}

TEST(SweepValues, logarithmicMeetsEveryDecadeAndKeepsItsRatio) {
    const SweepRange decades{0, 1, 1000, 4, true};
    EXPECT_EQ(sweepValue(decades, 0), 1);
    EXPECT_EQ(sweepValue(decades, 1), 10);
    EXPECT_EQ(sweepValue(decades, 2), 100);
    EXPECT_EQ(sweepValue(decades, 3), 1000);

    const SweepRange fine{0, 1, 1000, 1000000, true};
    const double ratio = std::pow(1000.0, 1.0 / 999999);
    for (const std::size_t i : {1u, 2u, 499999u, 500000u, 999998u}) {
        EXPECT_NEAR(sweepValue(fine, i) / sweepValue(fine, i - 1), ratio, 1e-13) << i;
    }
    EXPECT_EQ(sweepValue(fine, 999999), 1000);

    const SweepRange negative{0, -1, -100, 3, true};
    EXPECT_EQ(sweepValue(negative, 1), -10);
    EXPECT_EQ(sweepValue(negative, 2), -100);
}

} // namespace
} // namespace vantero
