#include "pelkadi/newton.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Budget {
    const char* name;
    double ts2, te2x2, td2, tm2;
};

void PrintTo(const Budget& b, std::ostream* os) {
    *os << b.name;
}

double residual(const Budget& b, double length) {
    return b.td2 * length * length + b.tm2 * std::pow(length, 1.4) - (b.ts2 - b.te2x2);
}

class NewtonSolves : public testing::TestWithParam<Budget> {};

TEST_P(NewtonSolves, theRiseTimeBudget) {
    const Budget& b = GetParam();
    const double length = Newton(b.ts2, b.te2x2, b.td2, b.tm2);
    ASSERT_GT(length, 0) << b.name;
    EXPECT_NEAR(residual(b, length) / (b.ts2 - b.te2x2), 0, 1e-12) << b.name;
    // The modal term grows faster than linearly with the length only for
    // q = 1; with q = 0.7 the length lies beyond the q = 1 closed form
    // whenever it exceeds 1 km, and short of it below 1 km.
    const double closedFormQ1 = std::sqrt((b.ts2 - b.te2x2) / (b.td2 + b.tm2));
    if (length > 1) {
        EXPECT_GE(length, closedFormQ1) << b.name;
    } else {
        EXPECT_LE(length, closedFormQ1) << b.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Links, NewtonSolves,
                         testing::Values(Budget{"default point-to-point link", 238.42993252595157,
                                                153.125, 0.00406 * 0.00406, 4.42 * 4.42},
                                         Budget{"modal term dominant", 1000, 10, 1e-6, 0.01},
                                         Budget{"chromatic term dominant", 1000, 10, 4, 1e-6},
                                         Budget{"both alike", 50, 2, 1, 1},
                                         Budget{"a short link", 1, 0.5, 3, 30},
                                         Budget{"a very long link", 1e6, 1, 1e-12, 1e-10}));

TEST(Newton, reducesToTheClosedFormsOfEachTermAlone) {
    // Without modal dispersion: td2 L^2 = c.
    EXPECT_NEAR(Newton(100, 19, 9, 0), 3.0, 1e-12);
    // Without chromatic dispersion: tm2 L^1.4 = c.
    EXPECT_NEAR(Newton(100, 19, 0, 81), 1.0, 1e-12);
    EXPECT_NEAR(Newton(101, 20, 0, 1), std::pow(81.0, 1 / 1.4), 1e-10);
}

TEST(Newton, noBudgetLeftIsNoDistance) {
    EXPECT_EQ(Newton(10, 10, 1, 1), 0.0);
    EXPECT_EQ(Newton(5, 10, 1, 1), 0.0);
}

TEST(Newton, noDispersionIsNoLimit) {
    EXPECT_EQ(Newton(10, 1, 0, 0), std::numeric_limits<double>::infinity());
}

TEST(Newton, moreModalDispersionShortensTheLink) {
    double previous = std::numeric_limits<double>::infinity();
    for (double tm2 : {0.1, 1.0, 10.0, 100.0}) {
        const double length = Newton(238.43, 153.125, 1.6e-5, tm2);
        EXPECT_LT(length, previous) << tm2;
        previous = length;
    }
}

} // namespace
