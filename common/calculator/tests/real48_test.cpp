#include "common/calculator/real48.h"
#include "common/numbers/failure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace vantero {
namespace {

std::string hex(const Real48& bytes) {
    std::string text;
    for (const std::uint8_t b : bytes) {
        char two[4];
        std::snprintf(two, sizeof two, "%s%02X", text.empty() ? "" : " ", b);
        text += two;
    }
    return text;
}

struct Example {
    const char* name;
    long double value;
    Real48 bytes;
};

void PrintTo(const Example& e, std::ostream* os) {
    *os << e.name;
}

// Values whose six bytes are fixed, in file order. Each holds in 40 bits, so
// the reader gives back the value itself.
class Real48Example : public testing::TestWithParam<Example> {};

TEST_P(Real48Example, isWrittenAsItsBytes) {
    EXPECT_EQ(hex(toReal48(GetParam().value)), hex(GetParam().bytes));
}

TEST_P(Real48Example, readsBackAsItsValue) {
    EXPECT_EQ(fromReal48(GetParam().bytes), static_cast<double>(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Values, Real48Example,
    testing::Values(
        Example{"zero", 0.0L, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        Example{"one", 1.0L, {0x81, 0x00, 0x00, 0x00, 0x00, 0x00}},
        Example{"two", 2.0L, {0x82, 0x00, 0x00, 0x00, 0x00, 0x00}},
        Example{"three", 3.0L, {0x82, 0x00, 0x00, 0x00, 0x00, 0x40}},
        Example{"four", 4.0L, {0x83, 0x00, 0x00, 0x00, 0x00, 0x00}},
        Example{"five", 5.0L, {0x83, 0x00, 0x00, 0x00, 0x00, 0x20}},
        Example{"thirtyFour", 34.0L, {0x86, 0x00, 0x00, 0x00, 0x00, 0x08}},
        Example{"minusTen", -10.0L, {0x84, 0x00, 0x00, 0x00, 0x00, 0xA0}},
        Example{"thirteenThirty", 1330.0L, {0x8B, 0x00, 0x00, 0x00, 0x40, 0x26}},
        Example{"lowestBitOfTheFraction", 1.0L + 0x1p-39L, {0x81, 0x01, 0x00, 0x00, 0x00, 0x00}},
        Example{"largest", 0x1p127L - 0x1p87L, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
        Example{"minusLargest", -(0x1p127L - 0x1p87L), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        Example{"smallest", 0x1p-128L, {0x01, 0x00, 0x00, 0x00, 0x00, 0x00}}),
    [](const auto& info) { return std::string(info.param.name); });

// Values that are cut to 40 significand bits, below the range or beyond it.
class Real48Rounding : public testing::TestWithParam<Example> {};

TEST_P(Real48Rounding, writesTheRoundedValue) {
    EXPECT_EQ(hex(toReal48(GetParam().value)), hex(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Values, Real48Rounding,
    testing::Values(
        // the first dropped bit decides, away from zero
        Example{"halfUnitRoundsUp", 1.0L + 0x1p-40L, {0x81, 0x01, 0x00, 0x00, 0x00, 0x00}},
        Example{"negativeHalfUnitRoundsAwayFromZero",
                -(1.0L + 0x1p-40L),
                {0x81, 0x01, 0x00, 0x00, 0x00, 0x80}},
        Example{"belowHalfUnitRoundsDown", 1.0L + 0x1p-41L, {0x81, 0x00, 0x00, 0x00, 0x00, 0x00}},
        // the bits after the first dropped one are not looked at
        Example{"laterBitsIgnored",
                1.0L + 0x1p-39L + 0x1p-41L + 0x1p-62L,
                {0x81, 0x01, 0x00, 0x00, 0x00, 0x00}},
        // a carry out of the significand raises the exponent
        Example{"carryIntoNextPower", 2.0L - 0x1p-40L, {0x82, 0x00, 0x00, 0x00, 0x00, 0x00}},
        Example{"carryToTheSmallest", 0x1p-128L - 0x1p-169L, {0x01, 0x00, 0x00, 0x00, 0x00, 0x00}},
        // below the range: zero, the sign dropped
        Example{"justBelowTheSmallest", 0x1p-128L - 0x3p-170L, {0, 0, 0, 0, 0, 0}},
        Example{"halfTheSmallest", 0x1p-129L, {0, 0, 0, 0, 0, 0}},
        Example{"tenToTheMinus40", 1e-40L, {0, 0, 0, 0, 0, 0}},
        Example{"minusTenToTheMinus40", -1e-40L, {0, 0, 0, 0, 0, 0}},
        Example{"belowTheRangeOfADouble", 1e-4000L, {0, 0, 0, 0, 0, 0}},
        Example{"negativeZero", -0.0L, {0, 0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Unwritable {
    const char* name;
    long double value;
};

void PrintTo(const Unwritable& u, std::ostream* os) {
    *os << u.name;
}

class Real48Overflow : public testing::TestWithParam<Unwritable> {};

TEST_P(Real48Overflow, failsWithTheOverflowFault) {
    try {
        (void)toReal48(GetParam().value);
        ADD_FAILURE() << "written";
    } catch (const ArithmeticFault& fault) {
        EXPECT_EQ(fault.kind(), FaultKind::Overflow);
        EXPECT_EQ(fault.text(), "Floating point overflow");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, Real48Overflow,
    testing::Values(Unwritable{"roundsUpBeyondTheLargest", 0x1p127L - 0x1p86L},
                    Unwritable{"twoToThe127", 0x1p127L}, Unwritable{"minusTwoToThe127", -0x1p127L},
                    Unwritable{"tenToThe39", 1e39L},
                    Unwritable{"largestDouble", std::numeric_limits<double>::max()},
                    Unwritable{"infinity", std::numeric_limits<long double>::infinity()},
                    Unwritable{"minusInfinity", -std::numeric_limits<long double>::infinity()},
                    Unwritable{"notANumber", std::numeric_limits<long double>::quiet_NaN()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Real48Reader, aZeroExponentIsZeroWhateverTheOtherBytes) {
    EXPECT_EQ(fromReal48(Real48{0x00, 0xFF, 0x12, 0x34, 0x56, 0xFF}), 0.0);
    EXPECT_FALSE(std::signbit(fromReal48(Real48{0x00, 0, 0, 0, 0, 0x80})));
}

// Every six bytes with a non-zero exponent are a value that the writer
// writes back to the same six bytes.
TEST(Real48Reader, everyValueItReadsIsWrittenBackUnchanged) {
    std::mt19937_64 random(48);
    for (int i = 0; i < 100000; ++i) {
        Real48 bytes;
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        if (bytes[0] == 0) {
            bytes[0] = 1;
        }
        const double value = fromReal48(bytes);
        ASSERT_EQ(hex(toReal48(value)), hex(bytes)) << value;
    }
}

// A value v = (-1)^s x m x 2^(E - 63) with a 64-bit significand m, rounded to
// 40 bits by integer arithmetic: the expected outcome of the writer.
struct Rounded {
    bool overflow = false;
    double value = 0; // zero below the range
};

Rounded roundTo40Bits(bool negative, std::uint64_t m, int exponent) {
    std::uint64_t kept = m >> 24;
    if (((m >> 23) & 1) != 0) {
        ++kept;
    }
    if (kept == std::uint64_t{1} << 40) {
        kept >>= 1;
        ++exponent;
    }
    Rounded r;
    if (exponent + 129 >= 256) {
        r.overflow = true;
    } else if (exponent + 129 > 0) {
        r.value = std::ldexp(static_cast<double>(kept), exponent - 39) * (negative ? -1 : 1);
    }
    return r;
}

TEST(Real48Property, readingWhatWasWrittenGivesTheValueRoundedTo40Bits) {
    constexpr int digits = std::numeric_limits<long double>::digits;
    constexpr std::uint64_t lowBitsBeyondLongDouble =
        digits >= 64 ? 0 : (std::uint64_t{1} << (64 - digits)) - 1;
    std::mt19937_64 random(40);
    std::uniform_int_distribution<int> exponents(-135, 132); // past both ends of the range
    int written = 0;
    for (int i = 0; i < 200000; ++i) {
        // As many significand bits as long double holds, so that the value is exact.
        const std::uint64_t m = (random() | (std::uint64_t{1} << 63)) & ~lowBitsBeyondLongDouble;
        const int exponent = exponents(random);
        const bool negative = (random() & 1) != 0;
        const long double value =
            std::ldexp(static_cast<long double>(m), exponent - 63) * (negative ? -1 : 1);
        const Rounded expected = roundTo40Bits(negative, m, exponent);
        if (expected.overflow) {
            ASSERT_THROW((void)toReal48(value), ArithmeticFault) << static_cast<double>(value);
            continue;
        }
        ASSERT_EQ(fromReal48(toReal48(value)), expected.value) << static_cast<double>(value);
        ++written;
    }
    EXPECT_GT(written, 150000); // most values are in the range
}

} // namespace
} // namespace vantero
