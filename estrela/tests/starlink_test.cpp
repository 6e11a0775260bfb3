#include "common/numbers/failure.h"
#include "common/numbers/formatting.h"
#include "common/testing/calculationtesting.h"
#include "estrela/core/description.h"
#include "estrela/core/starlink.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vantero::estrela {
namespace {

std::vector<std::string> setOutputs(const StarLinkResult& r) {
    return setOutputNames<StarLinkResult>(r, starLinkResults);
}

const std::vector<std::string> allOutputs{"powerDistance", "riseTimeDistance", "distanceCaption",
                                          "verdict", "maximumDistance"};
const std::vector<std::string> rejectedOutputs{"powerDistance", "message", "distanceCaption",
                                               "verdict", "maximumDistance"};

TEST(StarLink, everyInitialValueIsLimitedByDispersion) {
    // State: every field at its initial text (NRZ, 7B8B, single-mode fibre).
    const StarLinkResult r = calculateStarLink(StarLinkInput{});
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.powerDistance.text(), "14.28571");
    EXPECT_EQ(r.riseTimeDistance.text(), "0.04347");
    EXPECT_EQ(r.distanceCaption.text(), "Distância máxima em termos de dispersão (km)");
    EXPECT_EQ(r.verdict.text(), "O Sistema é limitado por dispersão");
    EXPECT_EQ(r.maximumDistance.text(), "0.04347");
    EXPECT_EQ(r.riseTimeOutcome, RiseTimeOutcome::Computed);
    EXPECT_EQ(r.limitedBy, LimitingFactor::Dispersion);
    EXPECT_EQ(setOutputs(r), allOutputs);
    EXPECT_EQ(formatResult(*r.riseTimes.system), "6.12504");
    EXPECT_EQ(*r.riseTimes.electrical, 3.5);
    EXPECT_EQ(formatResult(*r.riseTimes.chromatic), "83.00000");
    EXPECT_FALSE(r.riseTimes.modal.has_value());
}

TEST(StarLink, narrowSourceAndWideFibreAreLimitedByAttenuation) {
    StarLinkInput in;
    in.spectralWidth = "2";
    in.chromaticDispersion = "3.5";
    in.fibreBandwidth = "1000";
    in.blockCode = BlockCode::Code8B10B;
    const StarLinkResult r = calculateStarLink(in);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.riseTimeDistance.text(), "796.86887");
    EXPECT_EQ(r.distanceCaption.text(), "Distância máxima em termos de atenuação (km)");
    EXPECT_EQ(r.verdict.text(), "O Sistema é limitado por atenuação");
    EXPECT_EQ(r.maximumDistance.text(), "14.28571");
    EXPECT_EQ(r.limitedBy, LimitingFactor::Attenuation);
}

TEST(StarLink, returnToZeroLeavesNoRoomForTheFibre) {
    // State: the initial values with RZ line code, so Ts = 3.06252 ns and
    // Ts^2 < 2 te^2 = 24.5.
    // Expected: the single-mode message, no rise-time distance, and the
    // network limited by dispersion at 0 km.
    StarLinkInput in;
    in.lineCode = LineCode::RZ;
    const StarLinkResult r = calculateStarLink(in);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(formatResult(*r.riseTimes.system), "3.06252");
    EXPECT_EQ(r.riseTimeMessage.text(), "O tempo de subida do sistema apresentou um valor menor "
                                        "do que o tempo de subida do transmissor");
    EXPECT_EQ(r.riseTimeOutcome, RiseTimeOutcome::RejectedSingleMode);
    EXPECT_EQ(r.distanceCaption.text(), "Distância máxima em termos de dispersão (km)");
    EXPECT_EQ(r.verdict.text(), "O Sistema é limitado por dispersão");
    EXPECT_EQ(r.maximumDistance.text(), "0.00000");
    EXPECT_EQ(r.limitedBy, LimitingFactor::Dispersion);
    EXPECT_EQ(setOutputs(r), rejectedOutputs);
}

TEST(StarLink, multimodeRejectionHasItsOwnWordingAndCallsNoSolver) {
    SolverProbe probe;
    StarLinkInput in;
    in.lineCode = LineCode::RZ;
    in.fibreType = FibreType::Multimode;
    const StarLinkResult r = calculateStarLink(in, SolverProbe::solve);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.riseTimeMessage.text(),
              "O tempo de subida do sistema apresentou um valor menor do que o tempo do "
              "transmissor");
    EXPECT_EQ(r.riseTimeOutcome, RiseTimeOutcome::RejectedMultimode);
    EXPECT_EQ(r.maximumDistance.text(), "0.00000");
    EXPECT_EQ(setOutputs(r), rejectedOutputs);
    EXPECT_TRUE(probe.calls().empty());
}

struct BlockCodeCase {
    const char* name;
    BlockCode code;
    const char* systemRiseTime; // ns, seven decimals
};

void PrintTo(const BlockCodeCase& c, std::ostream* os) {
    *os << c.name;
}

class StarBlockCodes : public testing::TestWithParam<BlockCodeCase> {};

TEST_P(StarBlockCodes, setTheSystemRiseTimeByTheirDecimalRatio) {
    // 3B4B and 7B8B take the decimals 1.33333 and 1.14285: 4/3 would give
    // 5.2500000 and 8/7 6.1250000 at NRZ and 100 Mbit/s.
    StarLinkInput in;
    in.blockCode = GetParam().code;
    const StarLinkResult r = calculateStarLink(in);
    ASSERT_TRUE(r.riseTimes.system.has_value()) << faultTextOf(r);
    EXPECT_EQ(formatFixed(*r.riseTimes.system, 7), GetParam().systemRiseTime);
}

INSTANTIATE_TEST_SUITE_P(AtNrz100Mbit, StarBlockCodes,
                         testing::Values(BlockCodeCase{"3B4B", BlockCode::Code3B4B, "5.2500131"},
                                         BlockCodeCase{"7B8B", BlockCode::Code7B8B, "6.1250383"},
                                         BlockCodeCase{"8B10B", BlockCode::Code8B10B, "5.6000000"}),
                         [](const auto& info) { return testNameOf(info.param.name); });

TEST(StarLink, lossesBeyondTheMarginGiveANegativeDistance) {
    // State: a coupler loss of 21 dB, 11 dB more than the budget leaves.
    // Expected: -2.85714 km, shorter than the rise-time distance, so the
    // network is limited by attenuation.
    StarLinkInput in;
    in.couplerLoss = "21";
    const StarLinkResult r = calculateStarLink(in);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.powerDistance.text(), "-2.85714");
    EXPECT_EQ(r.verdict.text(), "O Sistema é limitado por atenuação");
    EXPECT_EQ(r.maximumDistance.text(), "-2.85714");
}

TEST(StarLink, powerBudgetCountsFourConnectorsAndTheCouplerOnce) {
    // Each term moves the distance by its own weight over 2 x 0.35 dB/km.
    const double base = calculateStarLink(StarLinkInput{}).powerDistance.value();
    StarLinkInput in;
    in.connectorLoss = "1.7";
    EXPECT_NEAR(calculateStarLink(in).powerDistance.value(), base - 4 * 0.7 / 0.7, 1e-12);
    in = {};
    in.couplerLoss = "9.7";
    EXPECT_NEAR(calculateStarLink(in).powerDistance.value(), base - 0.7 / 0.7, 1e-12);
    in = {};
    in.safetyMargin = "3.7";
    EXPECT_NEAR(calculateStarLink(in).powerDistance.value(), base - 0.7 / 0.7, 1e-12);
}

TEST(StarLink, multimodeFibrePassesTheFourSquaresToTheSolverInOrder) {
    // State: the initial values on multimode fibre, the dialog holding 100.
    // Expected: one call with Ts^2, 2 te^2, td^2 and tm^2, and the answer
    // used as it comes.
    SolverProbe probe;
    probe.answer(0.5);
    StarLinkInput in;
    in.fibreType = FibreType::Multimode;
    const StarLinkResult r = calculateStarLink(in, SolverProbe::solve);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    ASSERT_EQ(probe.calls().size(), 1U);
    const SolverProbe::Call& call = probe.calls()[0];
    const double ts = *r.riseTimes.system;
    EXPECT_EQ(call.ts2, ts * ts);
    EXPECT_NEAR(call.ts2, 37.516, 1e-3);
    EXPECT_EQ(call.te2x2, 24.5);
    EXPECT_NEAR(call.td2, 6889, 1e-9);
    EXPECT_NEAR(call.tm2, 19.5364, 1e-12);
    EXPECT_EQ(formatResult(*r.riseTimes.modal), "4.42000");
    EXPECT_EQ(r.riseTimeDistance.text(), "0.50000");
    EXPECT_EQ(r.verdict.text(), "O Sistema é limitado por dispersão");
    EXPECT_EQ(r.maximumDistance.text(), "0.50000");
    EXPECT_EQ(setOutputs(r), allOutputs);
}

TEST(StarLink, multimodeFibreTakesNewtonsAnswerByDefault) {
    SolverProbe probe;
    StarLinkInput in;
    in.fibreType = FibreType::Multimode;
    const StarLinkResult probed = calculateStarLink(in, SolverProbe::solve);
    ASSERT_EQ(probe.calls().size(), 1U);
    const SolverProbe::Call& c = probe.calls()[0];
    const StarLinkResult r = calculateStarLink(in);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.riseTimeDistance.value(), Newton(c.ts2, c.te2x2, c.td2, c.tm2));
    EXPECT_EQ(r.riseTimeDistance.value(), probed.riseTimeDistance.value());
    EXPECT_GT(r.riseTimeDistance.value(), 0);
}

TEST(StarLink, tieBetweenTheDistancesIsAttenuationLimited) {
    // State: Ts = 350 / (1.25 x 140) ns (RZ, 8B10B, 140 Mbit/s), just under
    // 2 ns as 0.35 is held; a negligible te and td = 1 ns/km make the
    // rise-time distance Ts km. The power budget gives the same double: the
    // launched power alone over 2 x 0.5 dB/km.
    StarLinkInput in;
    in.launchedPower = "1.9999999999999998";
    in.receiverSensitivity = "0";
    in.connectorLoss = "0";
    in.couplerLoss = "0";
    in.safetyMargin = "0";
    in.fibreAttenuation = "0.5";
    in.lineCode = LineCode::RZ;
    in.blockCode = BlockCode::Code8B10B;
    in.bitRate = "140";
    in.fibreBandwidth = "1e300";
    in.chromaticDispersion = "1000";
    in.spectralWidth = "1";
    const StarLinkResult r = calculateStarLink(in);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    ASSERT_EQ(r.powerDistance.value(), r.riseTimeDistance.value());
    EXPECT_EQ(r.limitedBy, LimitingFactor::Attenuation);
    EXPECT_EQ(r.distanceCaption.text(), "Distância máxima em termos de atenuação (km)");
    EXPECT_EQ(r.maximumDistance.text(), "2.00000");
}

TEST(StarLink, fieldsAreConvertedInTheWindowsOrder) {
    // State: every field of the main window holds a text that is not a
    // number. Expected: each run names the first one still bad in the order
    // of the OK sequence; mending it lets the next one fail.
    const std::vector<NumberText StarLinkInput::*> order{
        &StarLinkInput::safetyMargin,        &StarLinkInput::bitRate,
        &StarLinkInput::launchedPower,       &StarLinkInput::spectralWidth,
        &StarLinkInput::receiverSensitivity, &StarLinkInput::fibreAttenuation,
        &StarLinkInput::fibreBandwidth,      &StarLinkInput::chromaticDispersion,
        &StarLinkInput::connectorLoss,       &StarLinkInput::couplerLoss};
    StarLinkInput in;
    for (auto member : order) {
        in.*member = "x";
    }
    in.fibreType = FibreType::Multimode;
    in.normalizedBandwidth = "x";
    for (auto member : order) {
        const StarLinkResult r = calculateStarLink(in);
        const auto* failure =
            r.fault ? dynamic_cast<const NumberFormatFailure*>(&r.fault->failure()) : nullptr;
        ASSERT_NE(failure, nullptr);
        const auto* expected = findInput<StarLinkInput>(starLinkInputs, failure->input());
        ASSERT_NE(expected, nullptr) << failure->input();
        EXPECT_EQ(expected->member, member) << failure->input();
        EXPECT_TRUE(setOutputs(r).empty());
        in.*member = StarLinkInput{}.*member;
    }
    // The dialog's field comes last, after the power budget.
    const StarLinkResult r = calculateStarLink(in);
    const auto* failure =
        r.fault ? dynamic_cast<const NumberFormatFailure*>(&r.fault->failure()) : nullptr;
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(failure->input(), "normalizedBandwidth");
    EXPECT_EQ(setOutputs(r), std::vector<std::string>{"powerDistance"});
}

TEST(StarLink, singleModeFibreLeavesTheDialogsFieldAlone) {
    StarLinkInput in;
    in.normalizedBandwidth = "1e400";
    EXPECT_FALSE(calculateStarLink(in).fault);
    in.normalizedBandwidth = "0";
    EXPECT_FALSE(calculateStarLink(in).fault);
}

TEST(StarLink, zeroDispersionFaultsOnlyWhereTheBudgetIsMet) {
    // Where the budget fails no distance is computed, so nothing divides by
    // the chromatic rise time.
    StarLinkInput in;
    in.lineCode = LineCode::RZ;
    in.chromaticDispersion = "0";
    const StarLinkResult r = calculateStarLink(in);
    EXPECT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.riseTimeOutcome, RiseTimeOutcome::RejectedSingleMode);
}

using StarFaultCase = FaultCase<StarLinkInput>;

class StarLinkFaults : public testing::TestWithParam<StarFaultCase> {};

TEST_P(StarLinkFaults, endTheRunAtTheirStep) {
    const StarLinkResult r = runFaultCase(GetParam(), calculateStarLink);
    EXPECT_EQ(faultTextOf(r), GetParam().fault);
    EXPECT_EQ(setOutputs(r), GetParam().setBefore);
    EXPECT_FALSE(r.limitedBy.has_value());
}

INSTANTIATE_TEST_SUITE_P(Network, StarLinkFaults,
                         testing::ValuesIn(networkLinkFaultCases<StarLinkInput>()),
                         [](const auto& info) { return testNameOf(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Star, StarLinkFaults,
                         testing::Values(StarFaultCase{"fibre attenuation 0 with nothing left over",
                                                       [](auto& in) {
                                                           in.fibreAttenuation = "0";
                                                           in.couplerLoss = "19";
                                                       },
                                                       invalidOperationText,
                                                       {}},
                                         StarFaultCase{"a power distance beyond a double",
                                                       [](auto& in) {
                                                           in.launchedPower = "1e300";
                                                           in.fibreAttenuation = "1e-300";
                                                       },
                                                       overflowText,
                                                       {}},
                                         StarFaultCase{"a coupler loss beyond a double",
                                                       [](auto& in) { in.couplerLoss = "1e400"; },
                                                       overflowText,
                                                       {}}),
                         [](const auto& info) { return testNameOf(info.param.name); });

TEST(StarLink, aDistanceThatIsNotANumberIsShownBeforeTheFault) {
    StarLinkInput in;
    in.fibreType = FibreType::Multimode;
    const StarLinkResult r = calculateStarLink(in, answerNotANumber);
    EXPECT_EQ(r.riseTimeDistance.text(), "Nan");
    EXPECT_EQ(r.riseTimeOutcome, RiseTimeOutcome::Computed);
    EXPECT_EQ(faultTextOf(r), "Invalid floating point operation");
}

} // namespace
} // namespace vantero::estrela
