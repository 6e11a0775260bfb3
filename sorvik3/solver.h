#pragma once

#include <cstdint>

namespace vantero::sorvik3 {

// Watches the iteration of `solve`: told at the start of every iteration its
// number (from 1) and the estimate it starts from.
class IterationObserver {
public:
    virtual void iterationStarts(std::int32_t j, float x) = 0;

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
