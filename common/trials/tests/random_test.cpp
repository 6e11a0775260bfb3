#include "common/trials/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vantero::trials {
namespace {

// The generator's published known answers.
TEST(Philox, givesTheKnownAnswers) {
    struct Case {
        std::array<std::uint32_t, 4> counter;
        std::array<std::uint32_t, 2> key;
        std::array<std::uint32_t, 4> expected;
    };
    for (const Case& c : {
             Case{{0, 0, 0, 0}, {0, 0}, {0x6627e8d5, 0xe169c58d, 0xbc57ac4c, 0x9b00dbd8}},
             Case{{0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff},
                  {0xffffffff, 0xffffffff},
                  {0x408f276d, 0x41c83b0e, 0xa20bc7c6, 0x6d5451fd}},
             Case{{0x243f6a88, 0x85a308d3, 0x13198a2e, 0x03707344},
                  {0xa4093822, 0x299f31d0},
                  {0xd16cfe09, 0x94fdcceb, 0x5001e420, 0x24126ea1}},
         }) {
        EXPECT_EQ(philox4x32(c.counter, c.key), c.expected);
    }
}

TEST(DrawBits, dependOnEveryPartOfTheKeyAndTheSeed) {
    const std::array<std::uint64_t, 2> base = drawBits(7, {12, 3, 4});
    EXPECT_NE(base[0], base[1]);
    EXPECT_EQ(drawBits(7, {12, 3, 4}), base);
    EXPECT_NE(drawBits(8, {12, 3, 4}), base);
    EXPECT_NE(drawBits(7, {12 + (std::uint64_t{1} << 32), 3, 4}), base);
    EXPECT_NE(drawBits(7, {12, 4, 4}), base);
    EXPECT_NE(drawBits(7, {12, 3, 5}), base);
    EXPECT_NE(drawBits(7 + (std::uint64_t{1} << 32), {12, 3, 4}), base);
}

TEST(OpenUnitInterval, neverReachesItsEnds) {
    EXPECT_GT(openUnitInterval(0), 0.0);
    EXPECT_LT(openUnitInterval(std::numeric_limits<std::uint64_t>::max()), 1.0);
    EXPECT_EQ(openUnitInterval(std::uint64_t{1} << 63), 0.5 + 1 / 9007199254740992.0);
    EXPECT_EQ(openUnitInterval(0), 1 / 9007199254740992.0);
}

TEST(NaturalLog, agreesWithTheLibraryToAFewUnitsInTheLastPlace) {
    double worst = 0;
    for (double x = 1e-300; x < 1e300; x *= 1.37) {
        const double expected = std::log(x);
        const double ulp = std::nextafter(std::fabs(expected), INFINITY) - std::fabs(expected);
        worst = std::max(worst, std::fabs(naturalLog(x) - expected) / ulp);
    }
    for (double x = 0.5; x < 2; x += 1e-4) {
        const double expected = std::log(x);
        const double scale = std::max(std::fabs(expected), 1e-300);
        const double ulp = std::nextafter(scale, INFINITY) - scale;
        worst = std::max(worst, std::fabs(naturalLog(x) - expected) / ulp);
    }
    EXPECT_LE(worst, 4.0);
    EXPECT_EQ(naturalLog(1), 0.0);
}

TEST(StandardNormalQuantile, givesTheTabulatedPoints) {
    struct Case {
        double p;
        double z;
    };
    for (const Case c :
         {Case{0.5, 0}, Case{0.975, 1.959963984540054}, Case{0.8413447460685429, 1.0},
          Case{0.01, -2.326347874040841}, Case{0.99, 2.326347874040841},
          Case{1e-10, -6.361340902404056}, Case{1e-300, -37.04709629936120}}) {
        EXPECT_NEAR(standardNormalQuantile(c.p), c.z, 1e-14 * std::max(1.0, std::fabs(c.z))) << c.p;
    }
}

} // namespace
} // namespace vantero::trials
