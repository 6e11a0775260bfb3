#pragma once

#include "common/numbers/failure.h"

#include <cmath>

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

// Natural logarithm: zero is a division by zero, a negative value an invalid
// operation.
inline Extended naturalLog(Extended x) {
    if (x.value() == 0) {
        throw ArithmeticFault(FaultKind::DivisionByZero);
    }
    if (x.value() < 0 || std::isnan(x.value())) {
        throw ArithmeticFault(FaultKind::InvalidOperation);
    }
    return Extended(std::log(x.value()));
}

} // namespace vantero
