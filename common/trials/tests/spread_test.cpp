#include "common/trials/spread.h"

#include "anel/core/description.h"
#include "common/testing/calculationtesting.h"
#include "tavo/core/description.h"

#include <gtest/gtest.h>

namespace vantero::trials {
namespace {

TEST(ParseSpread, readsEachDistributionAndMarksItemLosses) {
    const Calculator& tavo = tavo::calculator();
    const Spread normal = parseSpread(tavo, "connectorLoss=normal:0.3,0.05");
    EXPECT_EQ(normal.input, *tavo.findInput("connectorLoss"));
    EXPECT_EQ(normal.distribution, Distribution::Normal);
    EXPECT_EQ(normal.parameters[0], 0.3);
    EXPECT_EQ(normal.parameters[1], 0.05);
    EXPECT_TRUE(normal.itemLoss.has_value());
    EXPECT_FALSE(normal.itemsByLength);

    const Spread splices = parseSpread(tavo, "spliceLoss=uniform:0.1,0.3");
    EXPECT_EQ(splices.distribution, Distribution::Uniform);
    EXPECT_TRUE(splices.itemsByLength);

    const Spread triangle = parseSpread(tavo, "fibreAttenuation=triangular:0.3, 0.35 ,0.5");
    EXPECT_EQ(triangle.distribution, Distribution::Triangular);
    EXPECT_EQ(triangle.parameters[1], 0.35);
    EXPECT_FALSE(triangle.itemLoss.has_value());

    EXPECT_TRUE(parseSpread(anel::calculator(), "switchIsolationLoss=normal:1,0.1").itemLoss);
    // Degenerate spreads are fixed values.
    EXPECT_EQ(parseSpread(tavo, "bitRate=normal:34,0").valueAt(0.9), 34);
    EXPECT_EQ(parseSpread(tavo, "bitRate=uniform:34,34").valueAt(0.9), 34);
}

struct BadSpread {
    const char* text;
    const char* message;
};

class BadSpreads : public testing::TestWithParam<BadSpread> {};

TEST_P(BadSpreads, areRefusedNamingTheSpreadAndTheFault) {
    try {
        (void)parseSpread(tavo::calculator(), GetParam().text);
        FAIL() << "accepted " << GetParam().text;
    } catch (const SpreadError& error) {
        EXPECT_EQ(std::string(error.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spreads, BadSpreads,
    testing::Values(
        BadSpread{"connectorLoss=normal:0.3,-0.1",
                  "connectorLoss=normal:0.3,-0.1: the standard deviation SD must be 0 or more, "
                  "not -0.1"},
        BadSpread{"connectorLoss=uniform:0.4,0.2",
                  "connectorLoss=uniform:0.4,0.2: LOW must not exceed HIGH"},
        BadSpread{"connectorLoss=triangular:0.4,0.2,0.1",
                  "connectorLoss=triangular:0.4,0.2,0.1: LOW must not exceed HIGH"},
        BadSpread{"connectorLoss=triangular:0.1,0.5,0.4",
                  "connectorLoss=triangular:0.1,0.5,0.4: MODE must lie between LOW and HIGH"},
        BadSpread{"connectorloss=normal:1,1",
                  "connectorloss=normal:1,1: tavo has no numeric input \"connectorloss\"; its "
                  "inputs are bitRate, launchedPower, fibreAttenuation, spliceLoss, gainMargin, "
                  "connectorCount, connectorLoss, cableSectionLength, receiverPenalty, blockM, "
                  "blockN, electricalBandwidth, spectralWidth, chromaticDispersion, "
                  "zeroDispersionWavelength, dispersionSlope, manualSensitivity, "
                  "normalizedBandwidth"},
        BadSpread{"lineCode=uniform:0,1",
                  "lineCode=uniform:0,1: lineCode is a choice; a spread draws a numeric input"},
        BadSpread{"bitRate=gauss:34,1",
                  "bitRate=gauss:34,1: the distributions are normal:MEAN,SD, uniform:LOW,HIGH "
                  "and triangular:LOW,MODE,HIGH, not \"gauss\""},
        BadSpread{"bitRate", "bitRate: the distributions are normal:MEAN,SD, uniform:LOW,HIGH "
                             "and triangular:LOW,MODE,HIGH, not \"\""},
        BadSpread{"bitRate=normal:34", "bitRate=normal:34: normal takes MEAN,SD"},
        BadSpread{"bitRate=triangular:1,2",
                  "bitRate=triangular:1,2: triangular takes LOW,MODE,HIGH"},
        BadSpread{"bitRate=uniform:1,2,3", "bitRate=uniform:1,2,3: uniform takes LOW,HIGH"},
        BadSpread{"bitRate=normal:34,1e999",
                  "bitRate=normal:34,1e999: SD must be a number, not \"1e999\""},
        BadSpread{"bitRate=uniform:a,2", "bitRate=uniform:a,2: LOW must be a number, not \"a\""}),
    [](const auto& info) { return testNameOf(info.param.text); });

// The draws are the distributions' quantiles: known points of each.
TEST(SpreadValueAt, isTheDistributionsQuantile) {
    const Calculator& tavo = tavo::calculator();
    const Spread uniform = parseSpread(tavo, "bitRate=uniform:10,20");
    const Spread triangle = parseSpread(tavo, "bitRate=triangular:0,1,4");
    const Spread normal = parseSpread(tavo, "bitRate=normal:10,2");
    EXPECT_DOUBLE_EQ(uniform.valueAt(0.25), 12.5);
    // F(1) = 1/4 at the mode; F(x) = 1 - (4 - x)^2 / 12 beyond it.
    EXPECT_DOUBLE_EQ(triangle.valueAt(0.25), 1);
    EXPECT_DOUBLE_EQ(triangle.valueAt(1.0 / 16), 0.5);
    EXPECT_DOUBLE_EQ(triangle.valueAt(1 - 3.0 / 12), 1 + (3 - std::sqrt(3.0)));
    EXPECT_NEAR(normal.valueAt(0.975), 10 + 2 * 1.959963984540054, 1e-13);
    EXPECT_DOUBLE_EQ(triangle.mean(), 5.0 / 3);
    EXPECT_DOUBLE_EQ(triangle.standardDeviation(), std::sqrt((0 + 1 + 16 - 0 - 0 - 4) / 18.0));
    EXPECT_DOUBLE_EQ(uniform.standardDeviation(), 10 / std::sqrt(12.0));
}

} // namespace
} // namespace vantero::trials
