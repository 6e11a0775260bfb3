#include "common/numbers/failure.h"
#include "common/testing/calculationtesting.h"
#include "pelkadi/newton.h"
#include "tavo/core/description.h"
#include "tavo/core/pointlink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace vantero::tavo {
namespace {

using enum DetectorType;

// The names of the outputs a run set, in the order it set them.
std::vector<std::string> setOutputs(const PointLinkResult& r) {
    return setOutputNames<PointLinkResult>(r, pointLinkResults);
}

std::string faultText(const PointLinkResult& r) {
    return faultTextOf(r);
}

TEST(PointLink, workedExampleWithEveryDefault) {
    // State: every field at its initial text (single-mode, NRZ, 1E-9, Si PIN).
    const PointLinkResult r = calculatePointLink(PointLinkInput{});
    EXPECT_FALSE(r.fault) << faultText(r);
    EXPECT_EQ(r.sensitivity.text(), "-38.21522");
    EXPECT_EQ(r.powerDistance.text(), "49.52537");
    EXPECT_EQ(r.systemRiseTime.text(), "15.44118");
    EXPECT_EQ(r.txRxRiseTime.text(), "17.50000");
    EXPECT_EQ(r.riseTimeDistance.text(), "2274.89331");
    EXPECT_EQ(r.distanceCaption.text(), "Distância máxima em termos de potência (km)");
    EXPECT_EQ(r.verdict.text(), "O sistema é limitado por atenuação");
    EXPECT_EQ(r.maximumDistance.text(), "49.52537");
    EXPECT_EQ(r.limitedBy, LimitingFactor::Attenuation);
    EXPECT_EQ(setOutputs(r),
              (std::vector<std::string>{"sensitivity", "powerDistance", "systemRiseTime",
                                        "txRxRiseTime", "riseTimeDistance", "distanceCaption",
                                        "verdict", "maximumDistance"}));
}

TEST(PointLink, returnToZeroFailsTheRiseTimeBudgetOnEveryRun) {
    // State: RZ halves the system rise time (7.72059 ns, 59.6 <= 153.125).
    // Expected: the single-mode message, no rise-time distance, and the link
    // limited by dispersion at 0 km, whatever an earlier run computed.
    PointLinkInput in;
    in.lineCode = LineCode::RZ;
    for (int run = 0; run < 2; ++run) {
        (void)calculatePointLink(PointLinkInput{}); // an earlier run with a distance
        const PointLinkResult r = calculatePointLink(in);
        EXPECT_FALSE(r.fault);
        EXPECT_EQ(r.systemRiseTime.text(), "7.72059");
        EXPECT_EQ(r.riseTimeMessage.text(),
                  "tempo de subida do sistema menor que a soma dos tempos do transmissor e do "
                  "receptor");
        EXPECT_FALSE(r.riseTimeDistance.isSet());
        EXPECT_EQ(r.distanceCaption.text(), "Distância máxima em termos de dispersão (km)");
        EXPECT_EQ(r.verdict.text(), "O sistema é limitado por dispersão");
        EXPECT_EQ(r.maximumDistance.text(), "0.00000");
        EXPECT_EQ(r.limitedBy, LimitingFactor::Dispersion);
        EXPECT_EQ(setOutputs(r),
                  (std::vector<std::string>{"sensitivity", "powerDistance", "systemRiseTime",
                                            "txRxRiseTime", "message", "distanceCaption", "verdict",
                                            "maximumDistance"}));
    }
}

TEST(PointLink, typedSensitivityIsUsedAndDispersionComputed) {
    // State: no detector selected, -40 typed as the sensitivity.
    // Expected: S = -40 in the budget, the sensitivity left as typed, and the
    // dispersion computed from lambda0 and S0, not read from its field.
    PointLinkInput in;
    in.detectorType = DetectorType::None;
    in.manualSensitivity = "-40";
    in.chromaticDispersion = "not read";
    const PointLinkResult r = calculatePointLink(in);
    EXPECT_FALSE(r.fault) << faultText(r);
    EXPECT_FALSE(r.sensitivity.isSet());
    EXPECT_EQ(r.powerDistance.text(), "52.50000"); // (0-5+40-2-1.5)/0.6
    EXPECT_EQ(r.computedDispersion.text(), "-2.85702");
}

TEST(PointLink, detectorAt1300nmComputesTheDispersion) {
    PointLinkInput in;
    in.detectorType = InGaAsPin1300;
    const PointLinkResult r = calculatePointLink(in);
    EXPECT_FALSE(r.fault) << faultText(r);
    EXPECT_EQ(r.sensitivity.text(), "-43.13484");
    EXPECT_EQ(r.computedDispersion.text(), "-2.85702");
    // tau is negative; its square makes the sign irrelevant.
    EXPECT_EQ(r.riseTimeDistance.text(), calculatePointLink([] {
                                             PointLinkInput positive;
                                             positive.chromaticDispersion = "2.8570167637687756";
                                             return positive;
                                         }())
                                             .riseTimeDistance.text());
}

TEST(PointLink, dispersionAt1300) {
    EXPECT_NEAR(dispersionAt1300(1330, 0.092), -2.8570168, 1e-7);
    EXPECT_EQ(dispersionAt1300(1300, 0.092), 0); // at the zero-dispersion wavelength
    EXPECT_NEAR(dispersionAt1300(0, 0.092), 29.9, 1e-12);
}

TEST(PointLink, multimodeFibreTakesTheDistanceFromNewton) {
    // State: the default link on multimode fibre, the dialog holding 100.
    // Expected: Newton gets Ts^2 = 238.42993, 2 te^2 = 153.125,
    // td^2 = 0.00406^2 and tm^2 = 4.42^2, in that order, and its answer is the
    // rise-time distance as it comes.
    PointLinkInput in;
    in.fibreType = FibreType::Multimode;
    const PointLinkResult r = calculatePointLink(in);
    ASSERT_FALSE(r.fault) << faultText(r);
    const double l = r.riseTimeDistance.value();
    const double ts2 = std::pow(700.0 / (4.0 / 3 * 34), 2);
    EXPECT_NEAR(ts2, 238.42993, 1e-5);
    const double residual =
        0.00406 * 0.00406 * l * l + 4.42 * 4.42 * std::pow(l, 1.4) - (ts2 - 153.125);
    EXPECT_NEAR(residual, 0, 1e-9);
    EXPECT_EQ(r.riseTimeDistance.text(), "2.86573");
    EXPECT_EQ(r.verdict.text(), "O sistema é limitado por dispersão");
    EXPECT_EQ(r.maximumDistance.text(), "2.86573");

    in.normalizedBandwidth = "200"; // a wider modal bandwidth reaches further
    EXPECT_GT(calculatePointLink(in).riseTimeDistance.value(), l);
}

TEST(PointLink, multimodeFibrePassesTheFourSquaresToTheSolverInOrder) {
    // State: the default link on multimode fibre, the dialog holding 100.
    // Expected: one call with Ts^2, 2 te^2, td^2 and tm^2, and the solver's
    // answer as the rise-time distance.
    SolverProbe probe;
    probe.answer(1.5);
    PointLinkInput in;
    in.fibreType = FibreType::Multimode;
    const PointLinkResult r = calculatePointLink(in, SolverProbe::solve);
    ASSERT_FALSE(r.fault) << faultText(r);
    ASSERT_EQ(probe.calls().size(), 1U);
    const SolverProbe::Call& call = probe.calls()[0];
    EXPECT_NEAR(call.ts2, 238.42993, 1e-5);
    EXPECT_EQ(call.te2x2, 153.125);
    EXPECT_NEAR(call.td2, 0.0000164836, 1e-12);
    EXPECT_NEAR(call.tm2, 19.5364, 1e-12);
    EXPECT_EQ(r.riseTimeDistance.text(), "1.50000");
    EXPECT_EQ(r.maximumDistance.text(), "1.50000");
}

TEST(PointLink, singleModeFibreDoesNotCallTheSolver) {
    SolverProbe probe;
    EXPECT_FALSE(calculatePointLink(PointLinkInput{}, SolverProbe::solve).fault);
    EXPECT_TRUE(probe.calls().empty());
}

TEST(PointLink, multimodeRejectionHasItsOwnWording) {
    PointLinkInput in;
    in.fibreType = FibreType::Multimode;
    in.lineCode = LineCode::RZ;
    const PointLinkResult r = calculatePointLink(in);
    EXPECT_EQ(r.riseTimeMessage.text(),
              "tempo de subida do sistema menor que a soma do tempo do transmissor e receptor");
    EXPECT_EQ(r.maximumDistance.text(), "0.00000");
}

TEST(PointLink, fractionalConnectorsAndNegativeMargin) {
    PointLinkInput in;
    in.connectorCount = "2.5";
    EXPECT_EQ(calculatePointLink(in).powerDistance.text(), "50.77537");
    in = {};
    in.gainMargin = "-5";
    EXPECT_EQ(calculatePointLink(in).powerDistance.text(), "66.19204");
}

TEST(PointLink, aBlankAroundANumberIsIgnored) {
    PointLinkInput in;
    in.fibreAttenuation = "0.35 ";
    EXPECT_EQ(calculatePointLink(in).powerDistance.text(), "49.52537");
}

TEST(PointLink, fieldsNotOnThePathAreNotConverted) {
    // Bad text in a field the run does not need raises nothing.
    PointLinkInput in;
    in.zeroDispersionWavelength = "1e999";
    in.dispersionSlope = "x";
    in.manualSensitivity = "abc";
    in.normalizedBandwidth = "0,5";
    EXPECT_FALSE(calculatePointLink(in).fault);
}

struct FaultCase {
    const char* name;
    std::function<void(PointLinkInput&)> change;
    const char* fault;
    std::vector<std::string> setBefore;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class PointLinkFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(PointLinkFaults, endTheRunAtTheirStep) {
    PointLinkInput in;
    GetParam().change(in);
    const PointLinkResult r = calculatePointLink(in);
    EXPECT_EQ(faultText(r), GetParam().fault);
    EXPECT_EQ(setOutputs(r), GetParam().setBefore);
    EXPECT_FALSE(r.limitedBy.has_value());
}

const std::vector<std::string> none;
const std::vector<std::string> sensitivityOnly{"sensitivity"};
const std::vector<std::string> throughPower{"sensitivity", "powerDistance"};
const std::vector<std::string> throughRiseTime{"sensitivity", "powerDistance", "systemRiseTime"};
const std::vector<std::string> throughTxRx{"sensitivity", "powerDistance", "systemRiseTime",
                                           "txRxRiseTime"};
constexpr const char* divZero = "Floating point division by zero";
constexpr const char* invalid = "Invalid floating point operation";
constexpr const char* overflow = "Floating point overflow";

INSTANTIATE_TEST_SUITE_P(
    Inputs, PointLinkFaults,
    testing::Values(
        FaultCase{"cable section 0", [](auto& in) { in.cableSectionLength = "0"; }, divZero,
                  sensitivityOnly},
        FaultCase{"cable section and splice 0",
                  [](auto& in) {
                      in.cableSectionLength = "0";
                      in.spliceLoss = "0";
                  },
                  invalid, sensitivityOnly},
        FaultCase{"loss per km 0", [](auto& in) { in.fibreAttenuation = "-0.25"; }, divZero,
                  sensitivityOnly},
        FaultCase{"block m 0", [](auto& in) { in.blockM = "0"; }, divZero, throughPower},
        FaultCase{"block n 0", [](auto& in) { in.blockN = "0"; }, divZero, throughPower},
        FaultCase{"bit rate 0 in the curve", [](auto& in) { in.bitRate = "0"; }, divZero, none},
        FaultCase{"negative bit rate in the curve", [](auto& in) { in.bitRate = "-34"; }, invalid,
                  none},
        FaultCase{"bit rate 0 without a curve",
                  [](auto& in) {
                      in.bitRate = "0";
                      in.detectorType = InGaAsApd1550;
                  },
                  divZero, throughPower},
        FaultCase{"electrical bandwidth 0", [](auto& in) { in.electricalBandwidth = "0"; }, divZero,
                  throughRiseTime},
        FaultCase{"no chromatic dispersion", [](auto& in) { in.chromaticDispersion = "0"; },
                  divZero, throughTxRx},
        FaultCase{"no spectral width", [](auto& in) { in.spectralWidth = "0"; }, divZero,
                  throughTxRx},
        FaultCase{"multimode bandwidth 0",
                  [](auto& in) {
                      in.fibreType = FibreType::Multimode;
                      in.normalizedBandwidth = "0";
                  },
                  divZero, throughTxRx},
        FaultCase{"multimode without dispersion: an unlimited distance",
                  [](auto& in) {
                      in.fibreType = FibreType::Multimode;
                      in.chromaticDispersion = "0";
                      in.normalizedBandwidth = "1e300";
                  },
                  overflow, throughTxRx},
        FaultCase{"a number beyond a double", [](auto& in) { in.gainMargin = "1e400"; }, overflow,
                  none},
        FaultCase{"a power distance beyond a double",
                  [](auto& in) {
                      in.launchedPower = "1e300";
                      in.fibreAttenuation = "1e-300";
                      in.spliceLoss = "0";
                  },
                  overflow, sensitivityOnly},
        FaultCase{"a comma in the bit rate", [](auto& in) { in.bitRate = "3,4"; },
                  "\"3,4\" não é um número válido", none},
        FaultCase{"letters in the used dispersion",
                  [](auto& in) { in.chromaticDispersion = "2.03x"; },
                  "\"2.03x\" não é um número válido", throughRiseTime},
        FaultCase{"letters in the typed sensitivity",
                  [](auto& in) {
                      in.detectorType = DetectorType::None;
                      in.manualSensitivity = "-40 dBm";
                  },
                  "\"-40 dBm\" não é um número válido", none}),
    [](const auto& info) { return testNameOf(info.param.name); });

TEST(PointLink, leadingInputsAreCheckedInOrderAndNoOthers) {
    const auto session = calculator().newSession();
    const auto set = [&](const char* input, const char* text) {
        session->setText(*calculator().findInput(input), text);
    };
    set("manualSensitivity", "x"); // converted only without a detector
    set("chromaticDispersion", "x");
    EXPECT_NO_THROW(session->checkLeadingInputs());
    set("spectralWidth", "2,0"); // the last leading input
    set("electricalBandwidth", "1e999");
    EXPECT_THROW(session->checkLeadingInputs(), ArithmeticFault); // the earlier one first
    set("electricalBandwidth", "40");
    try {
        session->checkLeadingInputs();
        ADD_FAILURE() << "no failure";
    } catch (const NumberFormatFailure& failure) {
        EXPECT_EQ(failure.input(), "spectralWidth");
    }
}

TEST(PointLink, numberFormatFailureNamesTheInput) {
    PointLinkInput in;
    in.connectorLoss = "0,3";
    const PointLinkResult r = calculatePointLink(in);
    const auto* failure =
        r.fault ? dynamic_cast<const NumberFormatFailure*>(&r.fault->failure()) : nullptr;
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(failure->input(), "connectorLoss");
}

TEST(PointLink, tieBetweenTheDistancesIsAttenuationLimited) {
    // State: a power distance of 2 / 1.3 km (typed sensitivity -2, no other
    // loss, 1.3 dB/km) and a rise-time distance of 2 / 1.3 km too
    // (Ts = 2 ns, te negligible, tau = 0.001 * 1300 * 1 = 1.3 ns/km).
    // Expected: the tie counts as attenuation-limited.
    PointLinkInput in;
    in.detectorType = DetectorType::None;
    in.manualSensitivity = "-2";
    in.gainMargin = "0";
    in.receiverPenalty = "0";
    in.connectorCount = "0";
    in.spliceLoss = "0";
    in.fibreAttenuation = "1.3";
    in.blockM = "1";
    in.blockN = "1";
    in.bitRate = "350";
    in.electricalBandwidth = "1e300";
    in.zeroDispersionWavelength = "0";
    in.dispersionSlope = "4"; // D = 1300 * 4 / 4 = 1300 ps/(nm km)
    in.spectralWidth = "1";
    const PointLinkResult r = calculatePointLink(in);
    ASSERT_FALSE(r.fault) << faultText(r);
    ASSERT_EQ(r.powerDistance.value(), r.riseTimeDistance.value());
    EXPECT_EQ(r.verdict.text(), "O sistema é limitado por atenuação");
    EXPECT_EQ(r.distanceCaption.text(), "Distância máxima em termos de potência (km)");
    EXPECT_EQ(r.maximumDistance.text(), "1.53846");
    EXPECT_EQ(r.limitedBy, LimitingFactor::Attenuation);
}

} // namespace
} // namespace vantero::tavo
