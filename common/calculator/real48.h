#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vantero {

// The six-byte real of every project file. Byte 0 is the exponent biased by
// 129 (0 means the value is zero); bytes 1 to 5, read as one 40-bit
// little-endian integer, hold the 39 fraction bits below the leading one and,
// in bit 39, the sign. The significand has 40 bits, the range is 2^-128 to
// (2 - 2^-39) x 2^126, and there is no negative zero, infinity or not-a-number.
using Real48 = std::array<std::uint8_t, 6>;

inline constexpr std::size_t real48Size = 6;

// The six bytes of a value parsed from a field. The significand is cut to 40
// bits, adding one when the first dropped bit is set (ties away from zero; a
// carry raises the exponent). A value below the range is stored as zero. A
// value at or above the range, an infinity and a not-a-number throw the
// overflow fault.
Real48 toReal48(long double value);

// The same, or nothing for a value at or above the range.
std::optional<Real48> fitReal48(long double value);

// The value of six bytes; every such value is exact in a double, so this
// never fails.
double fromReal48(std::span<const std::uint8_t, real48Size> bytes);

} // namespace vantero
