#include "pelkadi/newton.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double modalLengthExponent = PELKADI_MODAL_LENGTH_EXPONENT;
constexpr int maximumIterations = 100;
constexpr double relativeStep = 1e-12;

double riseTimeDistance(double ts2, double te2x2, double td2, double tm2) {
    const double c = ts2 - te2x2;
    if (!(c > 0)) {
        return std::isnan(c) ? c : 0.0;
    }
    if (td2 == 0 && tm2 == 0) {
        return std::numeric_limits<double>::infinity();
    }
    const double twoQ = 2 * modalLengthExponent;
    // Each term alone would reach the budget at its own distance; the sum of
    // both reaches it earlier, so the nearer of the two lies right of the root.
    const double chromaticOnly =
        td2 > 0 ? std::sqrt(c / td2) : std::numeric_limits<double>::infinity();
    const double modalOnly =
        tm2 > 0 ? std::pow(c / tm2, 1 / twoQ) : std::numeric_limits<double>::infinity();
    double length = std::min(chromaticOnly, modalOnly);

    // f(L) = td2 L^2 + tm2 L^2q - c is convex and increasing for L > 0, so
    // Newton's steps from the right descend monotonically onto the root.
    for (int i = 0; i < maximumIterations; ++i) {
        const double modal = tm2 * std::pow(length, twoQ);
        const double f = td2 * length * length + modal - c;
        const double slope = 2 * td2 * length + twoQ * modal / length;
        const double step = f / slope;
        length -= step;
        if (!(std::fabs(step) >= relativeStep * length)) {
            break;
        }
    }
    return length;
}

} // namespace

#if defined(__i386__)
// A stdcall caller built elsewhere may call with the stack aligned to 4 bytes
// only: the entry realigns it before the math library runs.
#define PELKADI_REALIGN __attribute__((force_align_arg_pointer))
#else
#define PELKADI_REALIGN
#endif

extern "C" PELKADI_API PELKADI_REALIGN double PELKADI_CALL Newton(double ts2, double te2x2,
                                                                  double td2, double tm2) {
    // On the x87 the distance comes out of an 80-bit register: it goes back
    // rounded to the double it is declared as, so that every caller sees the
    // same value, whether it stores it or keeps it on the x87.
    volatile double distance = riseTimeDistance(ts2, te2x2, td2, tm2);
    return distance;
}
