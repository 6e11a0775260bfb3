#include "common/numbers/failure.h"
#include "common/numbers/formatting.h"
#include "tavo/core/sensitivity.h"

#include <gtest/gtest.h>

namespace vantero::tavo {
namespace {

using enum DetectorType;

using enum DetectorType;

struct Curve {
    BerChoice ber;
    DetectorType detector;
    double bitRate;
    const char* text;
};

void PrintTo(const Curve& c, std::ostream* os) {
    *os << "detector " << static_cast<int>(c.detector)
        << (c.ber == BerChoice::Ber1E11 ? " 1E-11 " : " 1E-9 ") << c.bitRate;
}

class DetectorCurves : public testing::TestWithParam<Curve> {};

TEST_P(DetectorCurves, giveTheSensitivityToFiveDecimals) {
    const Curve& c = GetParam();
    EXPECT_EQ(formatResult(detectorSensitivity(c.ber, c.detector, c.bitRate)), c.text)
        << "detector " << static_cast<int>(c.detector) << " at " << c.bitRate << " Mbit/s";
}

constexpr auto e9 = BerChoice::Ber1E9;
constexpr auto e11 = BerChoice::Ber1E11;

INSTANTIATE_TEST_SUITE_P(At34MbitPerSecond, DetectorCurves,
                         testing::Values(Curve{e9, SiPin, 34, "-38.21522"},
                                         Curve{e9, SiApd, 34, "-55.68243"},
                                         Curve{e9, InGaAsPin1550, 34, "-42.87268"},
                                         Curve{e9, InGaAsApd1550, 34, "-66.00127"},
                                         Curve{e9, InGaAsPin1300, 34, "-43.13484"},
                                         Curve{e9, DetectorType::None, 34, "-66.00127"},
                                         // the low error rate has one curve for every detector
                                         Curve{e11, SiPin, 34, "-54.39780"},
                                         Curve{e11, InGaAsApd1550, 34, "-54.39780"},
                                         Curve{e11, DetectorType::None, 34, "-54.39780"}));

INSTANTIATE_TEST_SUITE_P(
    SiPinThreshold, DetectorCurves,
    testing::Values(Curve{e9, SiPin, 45, "-36.17430"},     // 45 takes the high-rate curve
                    Curve{e9, SiPin, 44.999, "-36.34068"}, // just below, the low-rate one
                    // 100 lies on the high-rate curve: 8 * 2 - 49.4
                    Curve{e9, SiPin, 100, "-33.40000"}, Curve{e11, SiPin, 100, "-49.90000"}));

TEST(DetectorSensitivity, fixedValueIsTheExactDouble) {
    EXPECT_EQ(fixedSensitivity(), -66.00127051329358);
    EXPECT_EQ(detectorSensitivity(e9, InGaAsApd1550, 34), fixedSensitivity());
}

TEST(DetectorSensitivity, logarithmFaultsOnABitRateOfZeroOrLess) {
    struct Case {
        DetectorType detector;
        BerChoice ber;
        double bitRate;
        FaultKind kind;
    };
    for (const Case c : {Case{SiPin, e9, 0, FaultKind::DivisionByZero},
                         Case{SiApd, e9, -1, FaultKind::InvalidOperation},
                         Case{InGaAsPin1300, e11, 0, FaultKind::DivisionByZero},
                         Case{InGaAsApd1550, e11, -34, FaultKind::InvalidOperation}}) {
        try {
            (void)detectorSensitivity(c.ber, c.detector, c.bitRate);
            ADD_FAILURE() << "detector " << static_cast<int>(c.detector) << ": no fault";
        } catch (const ArithmeticFault& fault) {
            EXPECT_EQ(fault.kind(), c.kind) << "detector " << static_cast<int>(c.detector);
        }
    }
}

TEST(DetectorSensitivity, fixedValueTakesNoLogarithm) {
    // The 1550 nm APD at 1E-9 and "no detector" never look at the bit rate.
    EXPECT_EQ(detectorSensitivity(e9, InGaAsApd1550, 0), fixedSensitivity());
    EXPECT_EQ(detectorSensitivity(e9, DetectorType::None, -5), fixedSensitivity());
}

} // namespace
} // namespace vantero::tavo
