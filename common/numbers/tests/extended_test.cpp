#include "common/numbers/extended.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace vantero {
namespace {

struct FaultCase {
    const char* name;
    std::function<void()> step;
    FaultKind kind;
    const char* text;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class TrapsTheFault : public testing::TestWithParam<FaultCase> {};

TEST_P(TrapsTheFault, atTheStep) {
    try {
        GetParam().step();
        ADD_FAILURE() << GetParam().name << ": no fault";
    } catch (const ArithmeticFault& fault) {
        EXPECT_EQ(fault.kind(), GetParam().kind) << GetParam().name;
        EXPECT_EQ(fault.text(), GetParam().text) << GetParam().name;
    }
}

constexpr long double nan = std::numeric_limits<long double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Operations, TrapsTheFault,
    testing::Values(
        FaultCase{"one over zero", [] { (void)(Extended(1.0) / 0.0); }, FaultKind::DivisionByZero,
                  "Floating point division by zero"},
        FaultCase{"minus one over zero", [] { (void)(Extended(-1.0) / 0.0); },
                  FaultKind::DivisionByZero, "Floating point division by zero"},
        FaultCase{"zero over zero", [] { (void)(Extended(0.0) / 0.0); },
                  FaultKind::InvalidOperation, "Invalid floating point operation"},
        FaultCase{"root of a negative", [] { (void)squareRoot(-1.0); }, FaultKind::InvalidOperation,
                  "Invalid floating point operation"},
        FaultCase{"logarithm of zero", [] { (void)naturalLog(0.0); }, FaultKind::DivisionByZero,
                  "Floating point division by zero"},
        FaultCase{"logarithm of a negative", [] { (void)naturalLog(-2.0); },
                  FaultKind::InvalidOperation, "Invalid floating point operation"},
        FaultCase{"product beyond the working range", [] { (void)(Extended(1e4000L) * 1e4000L); },
                  FaultKind::Overflow, "Floating point overflow"},
        FaultCase{"sum beyond the working range",
                  [] {
                      const long double big = std::numeric_limits<long double>::max();
                      (void)(Extended(big) + big);
                  },
                  FaultKind::Overflow, "Floating point overflow"},
        FaultCase{"storing beyond a double", [] { (void)store(Extended(1e400L)); },
                  FaultKind::Overflow, "Floating point overflow"},
        FaultCase{"storing an infinity",
                  [] { (void)store(Extended(std::numeric_limits<double>::infinity())); },
                  FaultKind::Overflow, "Floating point overflow"},
        FaultCase{"comparing a not-a-number", [] { (void)(Extended(nan) >= 1.0); },
                  FaultKind::InvalidOperation, "Invalid floating point operation"},
        FaultCase{"comparing with a not-a-number", [] { (void)(Extended(1.0) < nan); },
                  FaultKind::InvalidOperation, "Invalid floating point operation"}));

TEST(Extended, underflowAndInexactResultsPass) {
    EXPECT_EQ((Extended(1e-4000L) * 1e-4000L).value(), 0);
    EXPECT_EQ(store(Extended(1e-400L)), 0.0);
    EXPECT_NEAR((Extended(1.0) / 3.0).value(), 1.0L / 3, 1e-19L);
}

TEST(Extended, workingPrecisionIsWiderThanADouble) {
    // 1 + 2^-60 is lost in a double but kept in the working precision.
    const Extended x = Extended(1.0) + 0x1p-60L;
    EXPECT_GT(x.value(), 1.0L);
    EXPECT_EQ(store(x), 1.0);
}

TEST(Extended, storingANotANumberIsNoFault) {
    // A not-a-number handed back by an outside entry is stored and shown; the
    // fault comes only when it is compared.
    EXPECT_TRUE(std::isnan(store(Extended(nan))));
}

} // namespace
} // namespace vantero
