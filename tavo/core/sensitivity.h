#pragma once

namespace vantero::tavo {

// Bit-error rate the receiver must meet.
enum class BerChoice { Ber1E9 = 0, Ber1E11 = 1 };

// Photodetector code: 1 to 5 are the items of the photodetector list in their
// order, 0 means that none is selected (the user typed a sensitivity).
enum DetectorType : int {
    NoDetector = 0,
    SiPin = 1,         // "Si PIN (800-900nm)"
    SiApd = 2,         // "Si APD (800-900nm)"
    InGaAsPin1550 = 3, // "InGaAs PIN (1550nm)"
    InGaAsApd1550 = 4, // "InGaAs APD (1550nm)"
    InGaAsPin1300 = 5, // "InGaAs PIN (1300nm)"
};

// Receiver sensitivity in dBm for a bit rate in Mbit/s: the empirical curve
// S = a log10(B) - b of the detector and error rate. A bit rate of 0 is a
// division by zero and a negative one an invalid operation, except where the
// sensitivity is a fixed value and no logarithm is taken.
double detectorSensitivity(BerChoice ber, int detectorType, double bitRate);

// The fixed sensitivity of the 1550 nm APD at 1E-9, also used when no
// detector is selected.
double fixedSensitivity();

} // namespace vantero::tavo
