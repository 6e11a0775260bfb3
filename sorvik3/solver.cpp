#include "sorvik3/solver.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include <sys/uio.h>
#include <unistd.h>

namespace vantero::sorvik3 {
namespace {

// Working precision: what the iteration computes between two stores. Every
// named value below is rounded to its own width (float or double) when it is
// stored; everything in between runs in the 80-bit extended format.
using Working = long double;

// Stores a working value at its own width and reads it back. A cast alone is
// not enough on 32-bit x86: there GCC keeps floats and doubles in the x87's
// 80-bit registers across casts and assignments (C++ has no standard excess
// precision in GCC), and rounds them only when it happens to spill them to
// memory. The volatile store rounds every time, with any compiler flags; on
// x86-64 it rounds exactly as the cast does.
template <class Stored> Stored store(Working value) {
    volatile Stored stored = static_cast<Stored>(value);
    return stored;
}

// The standard logarithm, its argument and result doubles.
double log10Stored(double value) {
    return store<double>(log10Reported(value));
}

} // namespace

// The line goes out in a single writev, so that the lines of calls in several
// threads do not mix.
double log10Reported(double value) {
    if (value > 0 || std::isnan(value)) {
        return std::log10(value);
    }
    const bool zero = value == 0;
    const char* program = program_invocation_short_name;
    const char* rest = zero ? ": log10: SING error\n" : ": log10: DOMAIN error\n";
    iovec line[] = {{const_cast<char*>(program), std::strlen(program)},
                    {const_cast<char*>(rest), std::strlen(rest)}};
    while (writev(STDERR_FILENO, line, 2) < 0 && errno == EINTR) {
    }
    return zero ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::quiet_NaN();
}

// Stores that overflow their width (a partial sum after a logarithm of zero)
// and divisions by zero (H = 0, a zero derivative) are not checked: with the
// floating-point faults masked, as they are by default, they give an infinity
// or a not-a-number and the iteration carries it on; a calling thread that
// unmasks them gets its floating-point fault.
float solve(double aten_borda, double freq, double termo_A, double H, IterationObserver* observer) {
    const std::int32_t inter = 20;
    const float v1 = 1e-5f;
    const float v2 = 0.004f;
    float final = store<float>((Working{v1} + v2) * 0.5f);
    float erro = store<float>(std::fabs(store<double>(Working{v1} - v2)));
    for (std::int32_t j = 1; j <= inter && erro >= 1e-10; ++j) {
        const float x = final;
        if (observer != nullptr) {
            observer->iterationStarts(j, x);
        }
        // The equation at x, each partial sum stored as a double before the
        // next logarithm is taken.
        const double logFreq = log10Stored(freq);
        const double A =
            store<double>(21.0f * Working{logFreq} + (Working{89.54} - aten_borda) + termo_A);
        const double logH = log10Stored(H);
        const double B = store<double>(A - 18.0f * Working{logH});
        const double logX = log10Stored(x);
        const double C = store<double>(38.0f * Working{logX} + B);
        const double argument = store<double>(1.0f - Working{x} * x / (17.0f * Working{H}));
        const double logArgument = log10Stored(argument);
        const float f1 = store<float>(C - 18.0f * Working{logArgument});
        // Its derivative; the coefficients are 38 / ln 10 and 36 / ln 10 to
        // ten significant digits.
        const float f2 =
            store<float>(Working{16.50319031} / x +
                         Working{15.63460135} * x / (17.0f * Working{H} - Working{x} * x));
        const float dx = store<float>(Working{f1} / f2);
        final = store<float>(Working{final} - dx);
        erro = store<float>(std::fabs(static_cast<double>(dx)));
        if (observer != nullptr) {
            observer->iterationEnds({j, x, logFreq, A, logH, B, logX, C, argument, logArgument, f1,
                                     f2, dx, final, erro});
        }
    }
    return final;
}

} // namespace vantero::sorvik3
