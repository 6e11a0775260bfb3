#include "common/links/risetime.h"
#include "common/numbers/failure.h"

#include <gtest/gtest.h>

namespace vantero {
namespace {

TEST(RiseTimeBudget, isMetOnlyWithRoomToSpare) {
    // Ts^2 = 4 against 2 te^2 just under and just over 4.
    EXPECT_TRUE(riseTimeBudgetMet(2, 1.414213562373095));
    EXPECT_FALSE(riseTimeBudgetMet(2, 1.4142135623730951));
    EXPECT_FALSE(riseTimeBudgetMet(0, 0)); // equality fails
    EXPECT_TRUE(riseTimeBudgetMet(-2, 1)); // only the squares count
}

TEST(RiseTimeBudget, blockCodesTakeTheirDecimalRatios) {
    EXPECT_EQ(blockCodeFactor(BlockCode::Code3B4B), 1.33333);
    EXPECT_EQ(blockCodeFactor(BlockCode::Code7B8B), 1.14285);
    EXPECT_EQ(blockCodeFactor(BlockCode::Code8B10B), 1.25);
}

double PELKADI_CALL sumOfArguments(double a, double b, double c, double d) {
    return a + 10 * b + 100 * c + 1000 * d;
}

TEST(RiseTimeDistance, singleModeIsTheClosedFormAndCallsNoSolver) {
    // (Ts^2 - 2 te^2) / td^2 = (9 - 8) / 0.25: 2 km.
    EXPECT_EQ(riseTimeDistance(3, 2, 0.5, std::nullopt, sumOfArguments), 2);
    EXPECT_EQ(riseTimeDistance(3, 2, -0.5, std::nullopt, sumOfArguments), 2);
}

TEST(RiseTimeDistance, multimodeHandsTheSquaresToTheSolver) {
    // 1 + 10 x 2 + 100 x 4 + 1000 x 9
    EXPECT_EQ(riseTimeDistance(1, 1, 2, 3.0, sumOfArguments), 9421);
}

TEST(RiseTimeDistance, anUnboundedSingleModeDistanceIsADivisionByZero) {
    EXPECT_THROW((void)riseTimeDistance(5, 1, 0, std::nullopt, sumOfArguments), ArithmeticFault);
}

} // namespace
} // namespace vantero
