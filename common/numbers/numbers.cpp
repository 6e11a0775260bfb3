#include "common/numbers/numbers.h"

#include "common/numbers/failure.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <optional>

namespace vantero {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips a run of digits and returns how many there were.
std::size_t skipDigits(std::string_view s, std::size_t& i) {
    const std::size_t start = i;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
    }
    return i - start;
}

bool isWellFormed(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = skipDigits(s, i);
    if (i < s.size() && s[i] == '.') {
        ++i;
        digits += skipDigits(s, i);
    }
    if (digits == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        if (skipDigits(s, i) == 0) {
            return false;
        }
    }
    return i == s.size();
}

// The "C" locale, so that "." is the decimal point whatever the user's locale.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", locale_t{});
    return locale;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A well-formed number of at most as many digits as the long double's
// significand holds exactly, scaled by a power of ten that it holds exactly
// too: one multiplication or division of two exact values, which rounds as
// strtold does. None for any other.
std::optional<long double> exactlyScaled(std::string_view s) {
    constexpr int digits = std::numeric_limits<long double>::digits;
    // The largest power of ten the significand holds exactly: 10^k = 5^k 2^k,
    // with 5^k below 2^digits.
    constexpr int largestPower = [] {
        long double limit = 1;
        for (int d = 0; d < digits; ++d) {
            limit *= 2;
        }
        int k = 0;
        for (long double five = 5; five < limit; five *= 5) {
            ++k;
        }
        return k;
    }();
    constexpr std::uint64_t largestSignificand =
        digits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << digits) - 1;
    std::size_t i = 0;
    const bool negative = s[0] == '-';
    if (s[0] == '+' || s[0] == '-') {
        ++i;
    }
    std::uint64_t significand = 0;
    int scale = 0;
    int significant = 0;
    bool point = false;
    for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
        if (s[i] == '.') {
            point = true;
            continue;
        }
        if (significand == 0 && s[i] == '0') {
            scale -= point ? 1 : 0;
            continue;
        }
        if (++significant > 19) {
            return std::nullopt;
        }
        significand = significand * 10 + static_cast<std::uint64_t>(s[i] - '0');
        scale -= point ? 1 : 0;
    }
    if (i < s.size()) {
        ++i;
        const bool negativeExponent = s[i] == '-';
        if (s[i] == '+' || s[i] == '-') {
            ++i;
        }
        int exponent = 0;
        for (; i < s.size(); ++i) {
            if (exponent > 1000) {
                return std::nullopt;
            }
            exponent = exponent * 10 + (s[i] - '0');
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    if (significand > largestSignificand) {
        return std::nullopt;
    }
    long double value = static_cast<long double>(significand);
    if (significand != 0) {
        if (scale > largestPower || scale < -largestPower) {
            return std::nullopt;
        }
        long double power = 1;
        for (int k = 0; k < (scale < 0 ? -scale : scale); ++k) {
            power *= 10;
        }
        value = scale < 0 ? value / power : value * power;
    }
    return negative ? -value : value;
}

enum class Outcome { Number, NotANumber, Overflow };

struct Parsed {
    long double value = 0;
    Outcome outcome = Outcome::Number;
};

Parsed parse(std::string_view text) {
    const std::string_view number = trimmed(text);
    if (number.empty()) {
        return {};
    }
    if (!isWellFormed(number)) {
        return {0, Outcome::NotANumber};
    }
    long double value = 0;
    if (const std::optional<long double> exact = exactlyScaled(number)) {
        value = *exact;
    } else {
        const std::string copy(number); // strtold needs a terminated string
        value = strtold_l(copy.c_str(), nullptr, cLocale());
    }
    // Judge the range as a double holds it: beyond it is the overflow fault,
    // below it the value is zero.
    const double asDouble = static_cast<double>(value);
    if (std::isinf(asDouble)) {
        return {0, Outcome::Overflow};
    }
    if (asDouble == 0) {
        return {};
    }
    return {value, Outcome::Number};
}

[[noreturn]] void failParsing(Outcome outcome, std::string_view text, std::string_view input) {
    if (outcome == Outcome::Overflow) {
        throw ArithmeticFault(FaultKind::Overflow);
    }
    throw NumberFormatFailure(std::string(text), std::string(input));
}

} // namespace

long double parseNumber(std::string_view text) {
    const Parsed parsed = parse(text);
    if (parsed.outcome != Outcome::Number) {
        failParsing(parsed.outcome, text, {});
    }
    return parsed.value;
}

NumberText::NumberText(std::string_view text) : m_text(text) {
    const Parsed parsed = parse(text);
    m_value = parsed.value;
    m_stored = static_cast<double>(m_value);
    m_isNumber = parsed.outcome == Outcome::Number;
    m_overflows = parsed.outcome == Outcome::Overflow;
}

NumberText NumberText::of(long double value) {
    NumberText result;
    result.setNumber(value);
    return result;
}

void NumberText::fail(std::string_view input) const {
    failParsing(m_overflows ? Outcome::Overflow : Outcome::NotANumber, m_text, input);
}

} // namespace vantero
