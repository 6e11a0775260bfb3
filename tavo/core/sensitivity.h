#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vantero::tavo {

// Bit-error rate the receiver must meet.
enum class BerChoice { Ber1E9 = 0, Ber1E11 = 1 };

// Photodetector code: 1 to 5 are the items of the photodetector list in their
// order, None means that none is selected (the user typed a sensitivity).
enum class DetectorType {
    None = 0,
    SiPin = 1,
    SiApd = 2,
    InGaAsPin1550 = 3,
    InGaAsApd1550 = 4,
    InGaAsPin1300 = 5,
};

// An empirical sensitivity curve S = a log10(B) - b, in dBm for a bit rate B
// in Mbit/s.
struct SensitivityCurve {
    constexpr SensitivityCurve(long double a, long double b)
        : a(a), b(b), multiplier(a / 2.30258509299405L) {}

    long double a;
    long double b;
    // The factor of ln(B): a / ln 10 held as one working-precision constant,
    // ln 10 taken as 2.30258509299405.
    long double multiplier;
};

// One photodetector of the list.
struct Photodetector {
    DetectorType type;
    std::string_view caption;
    // Its curve at 1E-9; none for a detector whose sensitivity is the fixed
    // value at every bit rate.
    std::optional<SensitivityCurve> curve;
    // A second curve that takes over from 45 Mbit/s up (45 included).
    std::optional<SensitivityCurve> highRateCurve;
    // The chromatic dispersion is computed at 1300 nm from the fibre's
    // zero-dispersion wavelength and slope instead of being typed.
    bool dispersionAt1300;
};

// The photodetectors, in the order of the list.
inline constexpr std::array<Photodetector, 5> photodetectors{{
    {DetectorType::SiPin, "Si PIN (800-900nm)", SensitivityCurve{15.4L, 61.8L},
     SensitivityCurve{8.0L, 49.4L}, false},
    {DetectorType::SiApd, "Si APD (800-900nm)", SensitivityCurve{8.5L, 68.7L}, {}, false},
    {DetectorType::InGaAsPin1550,
     "InGaAs PIN (1550nm)",
     SensitivityCurve{11.51L, 60.5L},
     {},
     false},
    {DetectorType::InGaAsApd1550, "InGaAs APD (1550nm)", {}, {}, false},
    {DetectorType::InGaAsPin1300, "InGaAs PIN (1300nm)", SensitivityCurve{11.6L, 60.9L}, {}, true},
}};

// The low error rate has one curve for every detector, and only the 1550 nm
// APD is offered with it.
inline constexpr SensitivityCurve lowErrorRateCurve{9.6L, 69.1L};
inline constexpr DetectorType lowErrorRateDetector = DetectorType::InGaAsApd1550;

// The photodetector of a code, or nullptr for None.
constexpr const Photodetector* photodetector(DetectorType type) {
    for (const Photodetector& detector : photodetectors) {
        if (detector.type == type) {
            return &detector;
        }
    }
    return nullptr;
}

// The list's captions, in order.
inline constexpr std::array<std::string_view, photodetectors.size()> photodetectorCaptions = [] {
    std::array<std::string_view, photodetectors.size()> captions{};
    for (std::size_t i = 0; i < photodetectors.size(); ++i) {
        captions[i] = photodetectors[i].caption;
    }
    return captions;
}();

// Whether a run computes the chromatic dispersion at 1300 nm: for a detector
// that says so, and when none is selected.
constexpr bool computesDispersionAt1300(DetectorType type) {
    const Photodetector* detector = photodetector(type);
    return detector == nullptr || detector->dispersionAt1300;
}

// Receiver sensitivity in dBm for a bit rate in Mbit/s: the curve of the
// detector and error rate. A bit rate of 0 is a division by zero and a
// negative one an invalid operation, except where the sensitivity is the
// fixed value and no logarithm is taken.
double detectorSensitivity(BerChoice ber, DetectorType detectorType, double bitRate);

// The fixed sensitivity of the 1550 nm APD at 1E-9, also used when no
// detector is selected.
double fixedSensitivity();

} // namespace vantero::tavo
