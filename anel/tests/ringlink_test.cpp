#include "anel/core/description.h"
#include "anel/core/ringlink.h"
#include "common/numbers/failure.h"
#include "common/numbers/formatting.h"
#include "common/testing/calculationtesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vantero::anel {
namespace {

std::vector<std::string> setOutputs(const RingLinkResult& r) {
    return setOutputNames<RingLinkResult>(r, ringLinkResults);
}

constexpr const char* message =
    "O tempo de subida do sistema apresentou um valor menor do que o tempo de subida do "
    "transmissor";

TEST(RingLink, everyInitialValueIsLimitedByDispersion) {
    // State: every field at its initial text (NRZ, 7B8B, single-mode fibre).
    const RingLinkResult r = calculateRingLink(RingLinkInput{});
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.powerDistance.value(), 4 / 0.35);
    EXPECT_EQ(r.powerDistance.text(), "11.42857");
    EXPECT_EQ(formatResult(*r.riseTimes.system), "40.83359");
    EXPECT_EQ(*r.riseTimes.electrical, 3.5);
    EXPECT_EQ(formatResult(*r.riseTimes.chromatic), "34.00000");
    EXPECT_EQ(r.riseTimeDistance.text(), "1.19213");
    EXPECT_EQ(r.distanceCaption.text(), "Distância máxima em termos de dispersão (Km)");
    EXPECT_EQ(r.verdict.text(), "O sistema é limitado por dispersão");
    EXPECT_EQ(r.maximumDistance.text(), "1.19213");
    EXPECT_EQ(r.riseTimeOutcome, RiseTimeOutcome::Computed);
    EXPECT_EQ(r.limitedBy, LimitingFactor::Dispersion);
    EXPECT_EQ(setOutputs(r),
              (std::vector<std::string>{"powerDistance", "riseTimeDistance", "distanceCaption",
                                        "verdict", "maximumDistance"}));
}

struct CodeCase {
    const char* name;
    LineCode lineCode;
    BlockCode blockCode;
    const char* riseTimeDistance;
};

void PrintTo(const CodeCase& c, std::ostream* os) {
    *os << c.name;
}

class RingCodes : public testing::TestWithParam<CodeCase> {};

TEST_P(RingCodes, setTheRiseTimeDistance) {
    RingLinkInput in;
    in.lineCode = GetParam().lineCode;
    in.blockCode = GetParam().blockCode;
    const RingLinkResult r = calculateRingLink(in);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.riseTimeDistance.text(), GetParam().riseTimeDistance);
    EXPECT_EQ(r.maximumDistance.text(), GetParam().riseTimeDistance);
}

INSTANTIATE_TEST_SUITE_P(
    AtTheInitialValues, RingCodes,
    testing::Values(CodeCase{"NRZ 7B8B", LineCode::NRZ, BlockCode::Code7B8B, "1.19213"},
                    CodeCase{"RZ 7B8B", LineCode::RZ, BlockCode::Code7B8B, "0.58258"},
                    CodeCase{"NRZ 3B4B", LineCode::NRZ, BlockCode::Code3B4B, "1.01907"},
                    CodeCase{"NRZ 8B10B", LineCode::NRZ, BlockCode::Code8B10B, "1.08835"}),
    [](const auto& info) { return testNameOf(info.param.name); });

struct StationsCase {
    const char* stations;
    const char* powerDistance;
    LimitingFactor limitedBy;
};

void PrintTo(const StationsCase& c, std::ostream* os) {
    *os << "N = " << c.stations;
}

class RingIsolatedStations : public testing::TestWithParam<StationsCase> {};

TEST_P(RingIsolatedStations, eachAddsTwoConnectorsASwitchAndALengthOfFibre) {
    RingLinkInput in;
    in.isolatedStations = GetParam().stations;
    const RingLinkResult r = calculateRingLink(in);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.powerDistance.text(), GetParam().powerDistance);
    EXPECT_EQ(r.limitedBy, GetParam().limitedBy);
}

INSTANTIATE_TEST_SUITE_P(Budget, RingIsolatedStations,
                         testing::Values(
                             // (13 - 1 - 1 - 3 - 6 - 1) / 0.7
                             StationsCase{"1", "1.42857", LimitingFactor::Dispersion},
                             // (13 - 1 - 1 - 3 - 8 - 2) / 1.05: shorter than any rise-time distance
                             StationsCase{"2", "-1.90476", LimitingFactor::Attenuation},
                             // fractions are used as they come: (13 - 5 - 5 - 0.5) / 0.525
                             StationsCase{"0.5", "4.76190", LimitingFactor::Dispersion}),
                         [](const auto& info) { return testNameOf(info.param.stations); });

TEST(RingLink, inputAndOutputSwitchLossesWeighAlike) {
    RingLinkInput input;
    input.switchInputLoss = "2";
    RingLinkInput output;
    output.switchOutputLoss = "2";
    const RingLinkResult a = calculateRingLink(input);
    const RingLinkResult b = calculateRingLink(output);
    EXPECT_EQ(a.powerDistance.value(), b.powerDistance.value());
    EXPECT_EQ(a.powerDistance.text(), "8.57143"); // one dB less: 3 / 0.35
}

TEST(RingLink, isolationLossCountsOncePerIsolatedStation) {
    RingLinkInput in;
    in.switchIsolationLoss = "5"; // no isolated station: no effect
    EXPECT_EQ(calculateRingLink(in).powerDistance.text(), "11.42857");
    in.isolatedStations = "1";
    EXPECT_EQ(calculateRingLink(in).powerDistance.text(), "-4.28571"); // (13 - 11 - 5) / 0.7
}

TEST(RingLink, aFastBitRateFailsTheSameOnEveryRun) {
    // State: 1000 Mbit/s, so Ts = 0.61250 ns leaves no room for 2 te^2.
    // Expected: the message, no rise-time distance and the ring limited by
    // dispersion at 0 km, on a first run and after a run that had a distance
    // alike: nothing of an earlier run is kept.
    RingLinkInput in;
    in.bitRate = "1000";
    const RingLinkResult first = calculateRingLink(in);
    ASSERT_EQ(calculateRingLink(RingLinkInput{}).riseTimeDistance.text(), "1.19213");
    const RingLinkResult later = calculateRingLink(in);
    for (const RingLinkResult* r : {&first, &later}) {
        ASSERT_FALSE(r->fault) << faultTextOf(*r);
        EXPECT_EQ(formatResult(*r->riseTimes.system), "0.61250");
        EXPECT_EQ(r->riseTimeMessage.text(), message);
        EXPECT_EQ(r->riseTimeOutcome, RiseTimeOutcome::RejectedSingleMode);
        EXPECT_EQ(r->distanceCaption.text(), "Distância máxima em termos de dispersão (Km)");
        EXPECT_EQ(r->verdict.text(), "O sistema é limitado por dispersão");
        EXPECT_EQ(r->maximumDistance.text(), "0.00000");
        EXPECT_EQ(r->limitedBy, LimitingFactor::Dispersion);
        EXPECT_EQ(setOutputs(*r),
                  (std::vector<std::string>{"powerDistance", "message", "distanceCaption",
                                            "verdict", "maximumDistance"}));
    }
}

TEST(RingLink, multimodeRejectionHasTheSameWording) {
    SolverProbe probe;
    RingLinkInput in;
    in.bitRate = "1000";
    in.fibreType = FibreType::Multimode;
    const RingLinkResult r = calculateRingLink(in, SolverProbe::solve);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.riseTimeMessage.text(), message);
    EXPECT_EQ(r.riseTimeOutcome, RiseTimeOutcome::RejectedMultimode);
    EXPECT_EQ(r.maximumDistance.text(), "0.00000");
    EXPECT_TRUE(probe.calls().empty());
}

TEST(RingLink, multimodeFibrePassesTheFourSquaresToTheSolverInOrder) {
    SolverProbe probe;
    probe.answer(0.75);
    RingLinkInput in;
    in.fibreType = FibreType::Multimode;
    const RingLinkResult r = calculateRingLink(in, SolverProbe::solve);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    ASSERT_EQ(probe.calls().size(), 1U);
    const SolverProbe::Call& call = probe.calls()[0];
    const double ts = *r.riseTimes.system;
    EXPECT_EQ(call.ts2, ts * ts);
    EXPECT_NEAR(call.ts2, 1667.38195, 1e-5);
    EXPECT_EQ(call.te2x2, 24.5);
    EXPECT_NEAR(call.td2, 1156, 1e-9);
    EXPECT_NEAR(call.tm2, 19.5364, 1e-12);
    EXPECT_EQ(r.riseTimeDistance.text(), "0.75000");
    EXPECT_EQ(r.maximumDistance.text(), "0.75000");
    EXPECT_EQ(r.verdict.text(), "O sistema é limitado por dispersão");
}

TEST(RingLink, multimodeFibreTakesNewtonsAnswerByDefault) {
    SolverProbe probe;
    RingLinkInput in;
    in.fibreType = FibreType::Multimode;
    (void)calculateRingLink(in, SolverProbe::solve);
    ASSERT_EQ(probe.calls().size(), 1U);
    const SolverProbe::Call& c = probe.calls()[0];
    const RingLinkResult r = calculateRingLink(in);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    EXPECT_EQ(r.riseTimeDistance.value(), Newton(c.ts2, c.te2x2, c.td2, c.tm2));
    EXPECT_GT(r.riseTimeDistance.value(), 0);
}

TEST(RingLink, tieBetweenTheDistancesIsAttenuationLimited) {
    // State: a solver answering exactly the power distance.
    SolverProbe probe;
    RingLinkInput in;
    in.fibreType = FibreType::Multimode;
    probe.answer(4 / 0.35);
    const RingLinkResult r = calculateRingLink(in, SolverProbe::solve);
    ASSERT_FALSE(r.fault) << faultTextOf(r);
    ASSERT_EQ(r.powerDistance.value(), r.riseTimeDistance.value());
    EXPECT_EQ(r.limitedBy, LimitingFactor::Attenuation);
    EXPECT_EQ(r.distanceCaption.text(), "Distância máxima em termos de atenuação vale (Km)");
    EXPECT_EQ(r.verdict.text(), "O sistema é limitado por atenuação");
    EXPECT_EQ(r.maximumDistance.text(), "11.42857");

    // One step short of the power distance is dispersion-limited.
    probe.answer(std::nextafter(4 / 0.35, 0.0));
    EXPECT_EQ(calculateRingLink(in, SolverProbe::solve).limitedBy, LimitingFactor::Dispersion);
}

TEST(RingLink, fieldsAreConvertedInTheWindowsOrder) {
    // State: every field of the main window holds a text that is not a
    // number. Expected: each run names the first one still bad in the order
    // of the OK sequence; mending it lets the next one fail.
    const std::vector<NumberText RingLinkInput::*> order{&RingLinkInput::bitRate,
                                                         &RingLinkInput::launchedPower,
                                                         &RingLinkInput::receiverSensitivity,
                                                         &RingLinkInput::spectralWidth,
                                                         &RingLinkInput::chromaticDispersion,
                                                         &RingLinkInput::fibreAttenuation,
                                                         &RingLinkInput::fibreBandwidth,
                                                         &RingLinkInput::isolatedStations,
                                                         &RingLinkInput::switchOutputLoss,
                                                         &RingLinkInput::switchIsolationLoss,
                                                         &RingLinkInput::switchInputLoss,
                                                         &RingLinkInput::connectorLoss,
                                                         &RingLinkInput::safetyMargin};
    RingLinkInput in;
    for (auto member : order) {
        in.*member = "1e400";
    }
    in.bitRate = "x"; // the first is a bad text, the others beyond a double
    for (auto member : order) {
        const RingLinkResult r = calculateRingLink(in);
        if (member == &RingLinkInput::bitRate) {
            const auto* failure =
                r.fault ? dynamic_cast<const NumberFormatFailure*>(&r.fault->failure()) : nullptr;
            ASSERT_NE(failure, nullptr);
            EXPECT_EQ(failure->input(), "bitRate");
        } else {
            EXPECT_EQ(faultTextOf(r), "Floating point overflow");
        }
        EXPECT_TRUE(setOutputs(r).empty());
        in.*member = RingLinkInput{}.*member;
    }
    EXPECT_FALSE(calculateRingLink(in).fault);
}

TEST(RingLink, conversionFaultsComeInTheWindowsOrder) {
    // Two bad fields: the one converted first decides the failure.
    RingLinkInput in;
    in.safetyMargin = "x";     // converted last
    in.isolatedStations = "y"; // converted eighth
    auto failure = calculateRingLink(in).fault;
    ASSERT_TRUE(failure);
    ASSERT_NE(dynamic_cast<const NumberFormatFailure*>(&failure->failure()), nullptr);
    EXPECT_EQ(dynamic_cast<const NumberFormatFailure&>(failure->failure()).input(),
              "isolatedStations");
    in.launchedPower = "z"; // converted second
    failure = calculateRingLink(in).fault;
    ASSERT_TRUE(failure);
    EXPECT_EQ(dynamic_cast<const NumberFormatFailure&>(failure->failure()).input(),
              "launchedPower");
}

using RingFaultCase = FaultCase<RingLinkInput>;

class RingLinkFaults : public testing::TestWithParam<RingFaultCase> {};

TEST_P(RingLinkFaults, endTheRunAtTheirStep) {
    const RingLinkResult r = runFaultCase(GetParam(), calculateRingLink);
    EXPECT_EQ(faultTextOf(r), GetParam().fault);
    EXPECT_EQ(setOutputs(r), GetParam().setBefore);
    EXPECT_FALSE(r.limitedBy.has_value());
}

INSTANTIATE_TEST_SUITE_P(Network, RingLinkFaults,
                         testing::ValuesIn(networkLinkFaultCases<RingLinkInput>()),
                         [](const auto& info) { return testNameOf(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Ring, RingLinkFaults,
    testing::Values(RingFaultCase{"fibre attenuation 0 with nothing left over",
                                  [](auto& in) {
                                      in.fibreAttenuation = "0";
                                      in.safetyMargin = "7";
                                  },
                                  invalidOperationText,
                                  {}},
                    RingFaultCase{"isolated stations -1",
                                  [](auto& in) { in.isolatedStations = "-1"; },
                                  divisionByZeroText,
                                  {}},
                    RingFaultCase{"isolated stations -1 with nothing left over",
                                  [](auto& in) {
                                      in.isolatedStations = "-1";
                                      in.safetyMargin = "10";
                                  },
                                  invalidOperationText,
                                  {}},
                    RingFaultCase{"a comma in the station count",
                                  [](auto& in) { in.isolatedStations = "1,5"; },
                                  "\"1,5\" não é um número válido",
                                  {}}),
    [](const auto& info) { return testNameOf(info.param.name); });

TEST(RingLink, aDistanceThatIsNotANumberIsShownAndTheVerdictFaults) {
    // State: the solver answers a not-a-number.
    // Expected: "Nan" as the rise-time distance, then the invalid operation
    // of the comparison; caption, verdict and maximum distance stay unset.
    RingLinkInput in;
    in.fibreType = FibreType::Multimode;
    const RingLinkResult r = calculateRingLink(in, answerNotANumber);
    EXPECT_EQ(r.powerDistance.text(), "11.42857");
    EXPECT_EQ(r.riseTimeDistance.text(), "Nan");
    EXPECT_EQ(r.riseTimeOutcome, RiseTimeOutcome::Computed);
    EXPECT_FALSE(r.maximumDistance.isSet());
    EXPECT_EQ(faultTextOf(r), "Invalid floating point operation");
}

} // namespace
} // namespace vantero::anel
