#include "common/numbers/formatting.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace vantero {
namespace {

__extension__ typedef unsigned __int128 Wide; // M x 5^k needs up to 117 bits

constexpr int significantDigits = 18;
constexpr int exponentFormFrom = 36; // decimal exponent of 1e36

// A decimal magnitude: 18 digits d[0..17] and the decimal exponent of d[0],
// value = d0.d1d2...d17 x 10^exponent.
struct Decimal {
    char digits[significantDigits];
    int exponent;
};

// Adds one unit in the last of the first `count` digits; a carry out of the
// first digit gives 1000... and raises the exponent.
void incrementAt(Decimal& d, int count) {
    for (int i = count - 1; i >= 0; --i) {
        if (d.digits[i] != '9') {
            ++d.digits[i];
            return;
        }
        d.digits[i] = '0';
    }
    d.digits[0] = '1';
    ++d.exponent;
}

// Keeps the first `keep` digits (0 <= keep < 18), rounding half away from
// zero on the digits that follow, and zeroes the rest.
void roundHalfAway(Decimal& d, int keep) {
    const bool up = d.digits[keep] >= '5';
    std::fill(d.digits + keep, d.digits + significantDigits, '0');
    if (up) {
        if (keep == 0) {
            d.digits[0] = '1';
            ++d.exponent;
        } else {
            incrementAt(d, keep);
        }
    }
}

// A double lies exactly halfway between two 18-digit decimals only when its
// exact expansion has 19 significant digits, the last a 5. With the value
// M x 2^-k (M odd) that expansion is the integer M x 5^k, which can have 19
// digits only for 3 <= k <= 27. Returns true and the 18 digits rounded away
// from zero for such a tie.
bool exactTie(double magnitude, Decimal& d) {
    int e2 = 0;
    const double fraction = std::frexp(magnitude, &e2);
    auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    int k = 53 - e2;
    while (k > 0 && (mantissa & 1) == 0) {
        mantissa >>= 1;
        --k;
    }
    if (k < 3 || k > 27) {
        return false;
    }
    Wide exact = mantissa;
    for (int i = 0; i < k; ++i) {
        exact *= 5;
    }
    constexpr auto low = static_cast<Wide>(1'000'000'000'000'000'000ULL);
    if (exact < low || exact >= low * 10 || exact % 10 != 5) {
        return false;
    }
    auto prefix = static_cast<std::uint64_t>(exact / 10) + 1; // half away from zero
    int digits = 18;
    if (prefix == 1'000'000'000'000'000'000ULL) {
        prefix /= 10;
        ++digits;
    }
    for (int i = significantDigits - 1; i >= 0; --i) {
        d.digits[i] = static_cast<char>('0' + prefix % 10);
        prefix /= 10;
    }
    // exact = magnitude x 10^k, and has 19 digits.
    d.exponent = 18 - k + (digits - 18);
    return true;
}

// The 18 significant digits of a finite non-zero magnitude, rounded half away
// from zero.
Decimal eighteenDigits(double magnitude) {
    Decimal d{};
    if (exactTie(magnitude, d)) {
        return d;
    }
    // Not a tie: the correctly rounded digits are the ones wanted.
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                   std::chars_format::scientific, significantDigits - 1)
                         .ptr;
    d.digits[0] = buffer[0];
    std::copy(buffer + 2, buffer + 1 + significantDigits, d.digits + 1);
    const char* exponent = std::find(buffer, end, 'e') + 1;
    if (*exponent == '+') {
        ++exponent;
    }
    std::from_chars(exponent, end, d.exponent);
    return d;
}

// Appends the digit at decimal position p (10^p) of d; beyond the 18 digits
// it is 0.
char digitAt(const Decimal& d, int p) {
    const int index = d.exponent - p;
    return index >= 0 && index < significantDigits ? d.digits[index] : '0';
}

std::string fixedText(const Decimal& d, int decimals) {
    std::string out;
    out.reserve(static_cast<std::size_t>(std::max(d.exponent, 0) + decimals + 3));
    for (int p = std::max(d.exponent, 0); p >= 0; --p) {
        out += digitAt(d, p);
    }
    if (decimals > 0) {
        out += '.';
        for (int p = -1; p >= -decimals; --p) {
            out += digitAt(d, p);
        }
    }
    return out;
}

std::string exponentText(Decimal d, int decimals) {
    if (decimals + 1 < significantDigits) {
        roundHalfAway(d, decimals + 1);
    }
    std::string out(1, d.digits[0]);
    if (decimals > 0) {
        out += '.';
        for (int i = 1; i <= decimals; ++i) {
            out += i < significantDigits ? d.digits[i] : '0';
        }
    }
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "E%+03d", d.exponent);
    return out + exponent;
}

} // namespace

std::string formatFixed(double value, int decimals) {
    if (std::isnan(value)) {
        return "Nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "+Inf" : "-Inf";
    }
    decimals = std::max(decimals, 0);
    Decimal d{};
    std::fill(std::begin(d.digits), std::end(d.digits), '0');
    if (value != 0) {
        d = eighteenDigits(std::fabs(value));
    }
    std::string body;
    if (value != 0 && d.exponent >= exponentFormFrom) {
        body = exponentText(d, decimals);
    } else {
        // Round to the decimals: keep the digits down to 10^-decimals.
        const int keep = d.exponent + 1 + decimals;
        if (keep < 0) {
            std::fill(std::begin(d.digits), std::end(d.digits), '0');
        } else if (keep < significantDigits) {
            roundHalfAway(d, keep);
        }
        body = fixedText(d, decimals);
    }
    const bool zero = body.find_first_not_of("0.") == std::string::npos;
    // The sign goes in front in place: GCC 12 takes `"-" + body` for an
    // overlapping copy (-Wrestrict) at -O2 and above.
    if (value < 0 && !zero) {
        body.insert(body.begin(), '-');
    }
    return body;
}

} // namespace vantero
