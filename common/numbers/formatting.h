#pragma once

#include <string>

namespace vantero {

// Fixed-point text of a number with `decimals` digits after a "." decimal
// point: the value is first rounded to 18 significant digits, then to the
// decimals, both half away from zero. A leading "-" marks a negative value
// (never a zero); there are no blanks and no thousands separator.
//
// Magnitudes of 1e36 and more (after the rounding to 18 digits) come in an
// exponent form with the same number of decimals: "1.00000E+36",
// "-2.50000E+40". A not-a-number is "Nan", infinities "+Inf" and "-Inf".
std::string formatFixed(double value, int decimals);

// The five-decimal text of the calculation results.
inline std::string formatResult(double value) {
    return formatFixed(value, 5);
}

// The three-decimal text of the values read from a project file.
inline std::string formatFileValue(double value) {
    return formatFixed(value, 3);
}

} // namespace vantero
