#include "common/numbers/extended.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <vector>

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

// The library's logl, called at run time (never folded by the compiler).
long double (*volatile libraryLog)(long double) = ::logl;

struct LogRange {
    const char* name;
    long double from; // drawn evenly in log x
    long double to;
};

TEST(Extended, logarithmIsTheLibrarysBitForBit) {
    const long double limit = 0.29; // where the library changes form, as a double
    std::vector<long double> xs{1,
                                1 + limit,
                                1 - limit,
                                std::nextafter(1 + limit, 2.0L),
                                std::nextafter(1 + limit, 0.0L),
                                std::nextafter(1 - limit, 2.0L),
                                std::nextafter(1 - limit, 0.0L),
                                std::nextafter(1.0L, 2.0L),
                                std::nextafter(1.0L, 0.0L),
                                std::numeric_limits<long double>::denorm_min(),
                                std::numeric_limits<long double>::min(),
                                std::numeric_limits<long double>::max(),
                                std::numeric_limits<long double>::infinity()};
    std::mt19937_64 draw(20261208);
    std::uniform_real_distribution<long double> u(0, 1);
    for (const LogRange& range :
         {LogRange{"near one", 0.7L, 1.3L}, LogRange{"bit rates", 1e-3L, 1e6L},
          LogRange{"the whole range", 1e-4930L, 1e4930L}}) {
        for (int i = 0; i < 100000; ++i) {
            const long double a = std::log(range.from);
            xs.push_back(std::exp(a + u(draw) * (std::log(range.to) - a)));
        }
    }
    for (const long double x : xs) {
        const long double ours = unitLog(x);
        const long double library = libraryLog(x);
        ASSERT_EQ(std::memcmp(&ours, &library, 10), 0) << "ln " << x;
    }
    EXPECT_FALSE(std::signbit(unitLog(1)));
}

// Doubles drawn evenly in log x over [from, to].
std::vector<double> logSpread(double from, double to, int count, std::mt19937_64& draw) {
    std::uniform_real_distribution<double> u(std::log(from), std::log(to));
    std::vector<double> xs;
    for (int i = 0; i < count; ++i) {
        xs.push_back(std::exp(u(draw)));
    }
    return xs;
}

TEST(Extended, logarithmBoundsHoldTheUnitsValue) {
    std::mt19937_64 draw(8122026);
    std::vector<double> xs = logSpread(0x1p-1022, 0x1p1023, 200000, draw);
    for (const double x : logSpread(1e-3, 1e6, 200000, draw)) {
        xs.push_back(x);
    }
    // Each end of the table's 256ths of [1, 2), and either side of 1 +- 0.29.
    for (int j = 0; j <= 256; ++j) {
        const double edge = 1 + j / 256.0;
        for (const double x : {edge, std::nextafter(edge, 0.0), std::nextafter(edge, 4.0)}) {
            xs.push_back(x * 1024);
            xs.push_back(x / 1024);
        }
    }
    xs.insert(xs.end(), {std::nextafter(1.29, 2.0), std::nextafter(0.71, 0.0), 0.5, 2, 1e300,
                         std::numeric_limits<double>::max(), std::numeric_limits<double>::min()});
    for (const double x : xs) {
        const std::optional<LogBounds> bounds = unitLogBounds(x);
        ASSERT_EQ(bool(bounds), std::fabs(x - 1) > 0.29) << x;
        if (!bounds) {
            continue;
        }
        const long double log = unitLog(x);
        ASSERT_LE(bounds->low, log) << x;
        ASSERT_GE(bounds->high, log) << x;
        ASSERT_LE(bounds->high - bounds->low, std::fabs(log) * 0x1p-55L) << x;
    }
    for (const double x : {0.0, -2.0, 1.0, 1.2, 0.8, 0x1p-1074, std::nan(""),
                           std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(unitLogBounds(x)) << x;
    }
}

// storedOfLog against the step taken on the logarithm itself, for steps like
// a sensitivity curve's (a ln B - b, stored), rising and falling.
TEST(Extended, storedOfLogIsTheStepOfTheLogarithm) {
    std::mt19937_64 draw(20261209);
    // Factors and offsets of the size of the receivers' curves.
    std::uniform_real_distribution<long double> factor(3, 7);
    std::uniform_real_distribution<long double> offset(45, 75);
    std::size_t fromBounds = 0;
    std::size_t points = 0;
    for (int curve = 0; curve < 40; ++curve) {
        const long double a = (curve % 2 == 0 ? 1 : -1) * factor(draw);
        const long double b = (curve % 4 < 2 ? 1 : -1) * offset(draw);
        const auto step = [&](Extended log) { return store(Extended(a) * log - b); };
        for (const double x : logSpread(1e-3, 1e6, 20000, draw)) {
            const double expected = step(Extended(unitLog(x)));
            ASSERT_EQ(std::bit_cast<std::uint64_t>(storedOfLog(x, step)),
                      std::bit_cast<std::uint64_t>(expected))
                << "a " << a << " b " << b << " x " << x;
            if (const auto bounds = unitLogBounds(x);
                bounds && step(Extended(bounds->low)) == step(Extended(bounds->high))) {
                ++fromBounds;
            }
            ++points;
        }
    }
    // The bounds are what makes it fast: they must settle nearly every point.
    EXPECT_GT(fromBounds, points * 9 / 10);
    // Faults come from the logarithm, as before.
    const auto step = [](Extended log) { return store(log * 2.0); };
    EXPECT_THROW((void)storedOfLog(0.0, step), ArithmeticFault);
    EXPECT_THROW((void)storedOfLog(-1.0, step), ArithmeticFault);
}

} // namespace
} // namespace vantero
