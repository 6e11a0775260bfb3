#include "common/numbers/formatting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace vantero {
namespace {

struct Formatted {
    double value;
    int decimals;
    const char* text;
};

void PrintTo(const Formatted& f, std::ostream* os) {
    *os << '"' << f.text << '"';
}

class FormatsFixedPoint : public testing::TestWithParam<Formatted> {};

TEST_P(FormatsFixedPoint, asTheWindowShowsIt) {
    EXPECT_EQ(formatFixed(GetParam().value, GetParam().decimals), GetParam().text)
        << std::hexfloat << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Results, FormatsFixedPoint,
    testing::Values(Formatted{100.0 / 7, 5, "14.28571"}, Formatted{0, 5, "0.00000"},
                    Formatted{-38.215224677, 5, "-38.21522"}, Formatted{49.525374, 5, "49.52537"},
                    Formatted{2274.8933149, 5, "2274.89331"}, Formatted{-0.0, 5, "0.00000"},
                    Formatted{1e-10, 5, "0.00000"}, Formatted{123456789, 0, "123456789"},
                    Formatted{-3.5, 0, "-4"}, Formatted{0.25, 1, "0.3"}));

INSTANTIATE_TEST_SUITE_P(FileValues, FormatsFixedPoint,
                         testing::Values(Formatted{1330, 3, "1330.000"}, Formatted{0.3, 3, "0.300"},
                                         Formatted{1, 3, "1.000"}, Formatted{-10, 3, "-10.000"},
                                         Formatted{1.23456, 3, "1.235"},
                                         Formatted{0.0920000000000000012, 3, "0.092"}));

// Halfway cases at the first dropped decimal go away from zero.
INSTANTIATE_TEST_SUITE_P(
    Halfway, FormatsFixedPoint,
    testing::Values(Formatted{0.015625, 5, "0.01563"}, Formatted{-0.015625, 5, "-0.01563"},
                    Formatted{0.125, 2, "0.13"}, Formatted{-0.125, 2, "-0.13"},
                    Formatted{2.5, 0, "3"}, Formatted{0.0005, 3, "0.001"},
                    // a carry through every digit
                    Formatted{9.999995, 5, "10.00000"}, Formatted{999.9995, 3, "1000.000"},
                    // just below halfway stays down
                    Formatted{0.999995, 5, "0.99999"}, Formatted{2.675, 2, "2.67"},
                    // the rounding to 18 significant digits comes first:
                    // 10000000000000.001953125 is 10000000000000.0020 at 18
                    // digits, so it shows ...00200, not ...00195
                    Formatted{1e13 + 0x1p-9, 5, "10000000000000.00200"},
                    // 1.490116119384765625 is exactly halfway at its 18th
                    // digit, which also goes away from zero
                    Formatted{0x1p-26 * 1e8, 17, "1.49011611938476563"}));

// A negative value that rounds to zero shows no sign.
INSTANTIATE_TEST_SUITE_P(Signs, FormatsFixedPoint,
                         testing::Values(Formatted{-0.000001, 5, "0.00000"},
                                         Formatted{-0.000005, 5, "-0.00001"},
                                         Formatted{-0.4, 0, "0"}));

// Either side of 1e36: the largest double below it still in fixed point, with
// 18 significant digits; from 1e36 an exponent form with the same decimals.
INSTANTIATE_TEST_SUITE_P(
    Large, FormatsFixedPoint,
    testing::Values(Formatted{std::nextafter(1e36, 0.0), 5,
                              "999999999999999895000000000000000000.00000"},
                    Formatted{1e36, 5, "1.00000E+36"}, Formatted{-1e36, 5, "-1.00000E+36"},
                    Formatted{2.5e40, 3, "2.500E+40"}, Formatted{-2.5e40, 5, "-2.50000E+40"},
                    Formatted{1.7976931348623157e308, 5, "1.79769E+308"},
                    Formatted{1.5e38, 3, "1.500E+38"}, Formatted{1e300, 0, "1E+300"}));

TEST(FormatFixed, specialValues) {
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::quiet_NaN(), 5), "Nan");
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::infinity(), 5), "+Inf");
    EXPECT_EQ(formatFixed(-std::numeric_limits<double>::infinity(), 3), "-Inf");
}

TEST(FormatFixed, theTwoFormatsOfTheCalculators) {
    EXPECT_EQ(formatResult(-38.215224677), "-38.21522");
    EXPECT_EQ(formatFileValue(34), "34.000");
}

} // namespace
} // namespace vantero

namespace vantero {
namespace {

// Reference: the exact decimal expansion of the double (printf prints it in
// full with enough digits), rounded by hand to 18 significant digits and then
// to the decimals, both half away from zero.
std::string referenceFixed(double value, int decimals) {
    char buffer[1200];
    std::snprintf(buffer, sizeof buffer, "%.800e", std::fabs(value));
    std::string digits;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            digits += *p;
        }
    }
    int exponent = std::atoi(p + 1);
    auto roundAt = [&](std::size_t keep) {
        const bool up = keep < digits.size() && digits[keep] >= '5';
        digits.resize(keep);
        if (up) {
            std::size_t i = keep;
            while (i > 0 && digits[i - 1] == '9') {
                digits[--i] = '0';
            }
            if (i == 0) {
                digits.insert(digits.begin(), '1');
                digits.pop_back();
                ++exponent;
            } else {
                ++digits[i - 1];
            }
        }
    };
    roundAt(18);
    const int keep = exponent + 1 + decimals;
    if (keep <= 0) {
        const bool up = keep == 0 && digits[0] >= '5';
        digits.assign(1, up ? '1' : '0'); // not = "1": GCC 12 -Wrestrict at -O3
        exponent = up ? -decimals : 0;
    } else if (keep < 18) {
        roundAt(static_cast<std::size_t>(keep));
    }
    std::string out;
    for (int position = std::max(exponent, 0); position >= -decimals; --position) {
        if (position == -1) {
            out += '.';
        }
        const int index = exponent - position;
        out += index >= 0 && index < static_cast<int>(digits.size()) ? digits[index] : '0';
    }
    const bool zero = out.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !zero) {
        out.insert(out.begin(), '-'); // not "-" + out: GCC 12 -Wrestrict
    }
    return out;
}

TEST(FormatFixed, agreesWithTheExactExpansionOnRandomValues) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-12, 30);
    std::uniform_int_distribution<int> decimals(0, 8);
    for (int i = 0; i < 20000; ++i) {
        double value = mantissa(random) * std::pow(10.0, exponent(random));
        if (i % 4 == 0) {
            // values with few binary digits land on exact ties
            value = std::ldexp(std::round(std::ldexp(value, 20)), -20);
        }
        const int n = decimals(random);
        ASSERT_EQ(formatFixed(value, n), referenceFixed(value, n))
            << std::hexfloat << value << " with " << n << " decimals";
    }
}

TEST(FormatFixed, agreesWithTheExactExpansionOnEighteenDigitTies) {
    // M x 2^-k (M odd) is exactly halfway at its 18th digit when M x 5^k has
    // 19 digits: pick M in that range for each k where one exists.
    std::mt19937_64 random(7);
    int ties = 0;
    for (int k = 3; k <= 27; ++k) {
        const double power = std::pow(5.0, k);
        const double low = std::ceil(1e18 / power);
        const double high = std::min(1e19 / power, 0x1p53);
        if (low >= high) {
            continue;
        }
        std::uniform_real_distribution<double> pick(low, high);
        for (int i = 0; i < 200; ++i) {
            const auto m = static_cast<std::uint64_t>(pick(random)) | 1;
            const double value = std::ldexp(static_cast<double>(m), -k);
            for (int n : {0, 3, 5, 12, 17}) {
                ASSERT_EQ(formatFixed(value, n), referenceFixed(value, n))
                    << std::hexfloat << value << " with " << n << " decimals";
            }
            ++ties;
        }
    }
    EXPECT_GT(ties, 1000);
}

} // namespace
} // namespace vantero
