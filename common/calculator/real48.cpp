#include "common/calculator/real48.h"

#include "common/numbers/failure.h"

#include <cmath>

namespace vantero {
namespace {

constexpr int bias = 129;
constexpr int significandBits = 40;
constexpr std::uint64_t leadingOne = std::uint64_t{1} << (significandBits - 1);
constexpr std::uint64_t signBit = std::uint64_t{1} << 39;

} // namespace

Real48 toReal48(long double value) {
    const std::optional<Real48> bytes = fitReal48(value);
    if (!bytes) {
        throw ArithmeticFault(FaultKind::Overflow);
    }
    return *bytes;
}

std::optional<Real48> fitReal48(long double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    Real48 bytes{};
    if (value == 0) {
        return bytes;
    }
    // value = m x 2^k with 0.5 <= |m| < 1, so value = 1.xxx x 2^(k - 1).
    int k = 0;
    const long double m = std::frexp(std::fabs(value), &k);
    // The leading one, the 39 bits kept after it and the first dropped bit:
    // 41 bits, exact whatever the width of long double.
    const auto head = static_cast<std::uint64_t>(std::ldexp(m, significandBits + 1));
    std::uint64_t significand = (head >> 1) + (head & 1);
    int exponent = k - 1;
    if (significand == 2 * leadingOne) { // the carry: 1.000... one binade up
        significand = leadingOne;
        ++exponent;
    }
    const int biased = exponent + bias;
    if (biased <= 0) {
        return bytes; // below the range: zero, whatever the sign
    }
    if (biased >= 256) {
        return std::nullopt;
    }
    std::uint64_t low = significand - leadingOne; // the 39 fraction bits
    if (std::signbit(value)) {
        low |= signBit;
    }
    bytes[0] = static_cast<std::uint8_t>(biased);
    for (std::size_t i = 1; i < real48Size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(low & 0xFF);
        low >>= 8;
    }
    return bytes;
}

double fromReal48(std::span<const std::uint8_t, real48Size> bytes) {
    if (bytes[0] == 0) {
        return 0.0;
    }
    std::uint64_t low = 0;
    for (std::size_t i = real48Size - 1; i >= 1; --i) {
        low = (low << 8) | bytes[i];
    }
    const std::uint64_t significand = leadingOne | (low & (signBit - 1));
    const double magnitude =
        std::ldexp(static_cast<double>(significand), bytes[0] - bias - (significandBits - 1));
    return (low & signBit) != 0 ? -magnitude : magnitude;
}

} // namespace vantero
