#include "tavo/core/sensitivity.h"

#include "common/extended.h"

#include <bit>
#include <cstdint>

namespace vantero::tavo {
namespace {

constexpr long double ln10 = 2.30258509299405L;

// S = a log10(B) - b, with log10(B) taken as ln(B) / ln 10 and a / ln 10 held
// as one working-precision constant.
double curve(long double a, long double b, double bitRate) {
    return store(Extended(a / ln10) * naturalLog(bitRate) - b);
}

} // namespace

double fixedSensitivity() {
    return std::bit_cast<double>(std::uint64_t{0xC0508014D0EB42E2});
}

double detectorSensitivity(BerChoice ber, int detectorType, double bitRate) {
    if (ber == BerChoice::Ber1E11) {
        return curve(9.6L, 69.1L, bitRate);
    }
    switch (detectorType) {
    case SiPin:
        return Extended(bitRate) >= 45 ? curve(8.0L, 49.4L, bitRate) : curve(15.4L, 61.8L, bitRate);
    case SiApd:
        return curve(8.5L, 68.7L, bitRate);
    case InGaAsPin1550:
        return curve(11.51L, 60.5L, bitRate);
    case InGaAsPin1300:
        return curve(11.6L, 60.9L, bitRate);
    default:
        return fixedSensitivity();
    }
}

} // namespace vantero::tavo
