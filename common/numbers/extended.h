#pragma once

#include "common/numbers/failure.h"

#include <cmath>
#include <optional>

namespace vantero {

// A value in the working precision of the budget formulas (the 80-bit
// extended type on x86-64). Every operation looks at its operands and result
// and throws the arithmetic fault at the step where it happens, so that a
// division by zero, an invalid operation or an overflow is never carried on
// as an infinity or a not-a-number. Underflow and inexact results pass.
//
// Formulas read as on paper as long as their first operand is an Extended:
//     Extended(pt) - m - s
class Extended {
public:
    constexpr Extended(long double value) : m_value(value) {} // NOLINT: implicit by design
    constexpr Extended(double value) : m_value(value) {}      // NOLINT
    constexpr Extended(int value) : m_value(value) {}         // NOLINT

    constexpr long double value() const { return m_value; }

    friend Extended operator+(Extended a, Extended b) { return checked(a.m_value + b.m_value); }
    friend Extended operator-(Extended a, Extended b) { return checked(a.m_value - b.m_value); }
    friend Extended operator*(Extended a, Extended b) { return checked(a.m_value * b.m_value); }
    friend Extended operator/(Extended a, Extended b) {
        if (b.m_value == 0) {
            throw ArithmeticFault(a.m_value == 0 || std::isnan(a.m_value)
                                      ? FaultKind::InvalidOperation
                                      : FaultKind::DivisionByZero);
        }
        return checked(a.m_value / b.m_value);
    }
    Extended operator-() const { return Extended(-m_value); }

    // Ordered comparisons: a not-a-number on either side is an invalid
    // operation, as on the floating-point unit.
    friend bool operator<(Extended a, Extended b) { return ordered(a, b).m_value < b.m_value; }
    friend bool operator>(Extended a, Extended b) { return ordered(a, b).m_value > b.m_value; }
    friend bool operator<=(Extended a, Extended b) { return ordered(a, b).m_value <= b.m_value; }
    friend bool operator>=(Extended a, Extended b) { return ordered(a, b).m_value >= b.m_value; }

private:
    static Extended checked(long double r) {
        // One test for both: r - r is 0 for a finite r and a not-a-number for
        // an infinity or a not-a-number.
        if (!(r - r == 0)) [[unlikely]] {
            fault(r);
        }
        return Extended(r);
    }
    [[noreturn]] static void fault(long double r) {
        throw ArithmeticFault(std::isinf(r) ? FaultKind::Overflow : FaultKind::InvalidOperation);
    }
    // Returns a, after checking that the pair can be ordered.
    static Extended ordered(Extended a, Extended b) {
        if (std::isnan(a.m_value) || std::isnan(b.m_value)) {
            throw ArithmeticFault(FaultKind::InvalidOperation);
        }
        return a;
    }

    long double m_value;
};

// Rounds a working value to a double, as when a named quantity is stored. A
// value beyond the range of a double (an infinity included) is the overflow
// fault; a not-a-number is stored as it is.
inline double store(Extended x) {
    const double d = static_cast<double>(x.value());
    if (std::isinf(d)) {
        throw ArithmeticFault(FaultKind::Overflow);
    }
    return d;
}

inline Extended squareRoot(Extended x) {
    if (x.value() < 0 || std::isnan(x.value())) {
        throw ArithmeticFault(FaultKind::InvalidOperation);
    }
    return Extended(std::sqrt(x.value()));
}

// The natural logarithm of a positive x as the C library's logl gives it on
// x86-64, where it is the floating-point unit's y log2(x) with y = ln 2: x
// itself, or, within 0.29 of 1, x - 1 given to the form for 1 + t, which
// keeps its accuracy there. Written inline it costs about half the call; the
// tests hold it to the library's value bit for bit.
inline long double unitLog(long double x) {
#if defined(__x86_64__) && defined(__GNUC__)
    if (!std::isfinite(x)) {
        return std::log(x);
    }
    long double ln2;
    asm("fldln2" : "=t"(ln2));
    long double t = x - 1;
    long double result;
    if (std::fabs(t) > static_cast<long double>(0.29)) {
        asm("fyl2x" : "=t"(result) : "0"(x), "u"(ln2) : "st(1)");
    } else {
        t = t == 0 ? 0.0L : t; // ln 1 is +0
        asm("fyl2xp1" : "=t"(result) : "0"(t), "u"(ln2) : "st(1)");
    }
    return result;
#else
    return std::log(x);
#endif
}

// Bounds of unitLog(x) found without the unit's logarithm instruction, whose
// latency is a third of a sweep's point: a table and a polynomial give ln x
// within 2^-61.4 |ln x| (2^-62.9 seen), the unit is within an ulp (2^-63),
// and the bounds lie 2^-59 |ln x| either side. None for an x that is not a
// finite normal number above 0, or within 0.29 of 1.
struct LogBounds {
    long double low;
    long double high;
};
std::optional<LogBounds> unitLogBounds(double x);

// Natural logarithm: zero is a division by zero, a negative value an invalid
// operation.
inline Extended naturalLog(Extended x) {
    if (x.value() == 0) {
        throw ArithmeticFault(FaultKind::DivisionByZero);
    }
    if (x.value() < 0 || std::isnan(x.value())) {
        throw ArithmeticFault(FaultKind::InvalidOperation);
    }
    return Extended(unitLog(x.value()));
}

// step(ln x), ln x as naturalLog gives it, for a step that never decreases
// or never increases in ln x (products and sums rounded, then stored): from
// the bounds of the logarithm when the step gives both the same value, which
// is then the step's value at every point between them; else from the
// logarithm itself, faults and all.
template <typename Step> double storedOfLog(double x, Step step) {
    if (const std::optional<LogBounds> bounds = unitLogBounds(x)) {
        const double low = step(Extended(bounds->low));
        if (low == step(Extended(bounds->high))) {
            return low;
        }
    }
    return step(naturalLog(x));
}

} // namespace vantero
