#include "tavo/core/sensitivity.h"

#include "common/numbers/extended.h"

#include <bit>
#include <cstdint>

namespace vantero::tavo {
namespace {

// S = a log10(B) - b, with log10(B) taken as ln(B) / ln 10 and a / ln 10 held
// as one working-precision constant.
double sensitivityOn(const SensitivityCurve& curve, double bitRate) {
    return storedOfLog(
        bitRate, [&](Extended logB) { return store(Extended(curve.multiplier) * logB - curve.b); });
}

} // namespace

double fixedSensitivity() {
    return std::bit_cast<double>(std::uint64_t{0xC0508014D0EB42E2});
}

double detectorSensitivity(BerChoice ber, DetectorType detectorType, double bitRate) {
    if (ber == BerChoice::Ber1E11) {
        return sensitivityOn(lowErrorRateCurve, bitRate);
    }
    const Photodetector* detector = photodetector(detectorType);
    if (detector == nullptr || !detector->curve) {
        return fixedSensitivity();
    }
    if (detector->highRateCurve && Extended(bitRate) >= 45) {
        return sensitivityOn(*detector->highRateCurve, bitRate);
    }
    return sensitivityOn(*detector->curve, bitRate);
}

} // namespace vantero::tavo
