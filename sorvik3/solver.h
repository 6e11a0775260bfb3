#pragma once

#include <cstdint>

namespace vantero::sorvik3 {

// The values one iteration stores, each at its own width, in the order they
// are computed: the four logarithms too, which come from the math library.
struct IterationValues {
    std::int32_t j;
    float x;
    double logFreq, A, logH, B, logX, C;
    double argument; // 1 - x^2 / (17 H)
    double logArgument;
    float f1, f2, dx, final, erro;
};

// Watches the iteration of `solve`: told at the start of every iteration its
// number (from 1) and the estimate it starts from, and at its end what it
// stored.
class IterationObserver {
public:
    virtual void iterationStarts(std::int32_t j, float x) = 0;
    virtual void iterationEnds(const IterationValues&) {}

protected:
    ~IterationObserver() = default;
};

// The logarithm of the loss equation. A zero or negative argument is a math
// error: it is reported as one line on standard error, "<program>: log10:
// SING error" for zero, "<program>: log10: DOMAIN error" for a negative
// value (<program> being the program's file name without folders), and the
// result is -DBL_MAX or a not-a-number, with which the iteration goes on.
double log10Reported(double value);

// The Newton-Raphson iteration behind the entry `Sorvik3`, with an optional
// observer; returns the single-precision estimate `final`.
float solve(double aten_borda, double freq, double termo_A, double H,
            IterationObserver* observer = nullptr);

} // namespace vantero::sorvik3
