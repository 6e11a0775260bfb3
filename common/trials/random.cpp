#include "common/trials/random.h"

#include <cmath>

namespace vantero::trials {

std::array<std::uint32_t, 4> philox4x32(std::array<std::uint32_t, 4> c,
                                        std::array<std::uint32_t, 2> k) {
    constexpr std::uint64_t m0 = 0xD2511F53;
    constexpr std::uint64_t m1 = 0xCD9E8D57;
    constexpr std::uint32_t w0 = 0x9E3779B9;
    constexpr std::uint32_t w1 = 0xBB67AE85;
    for (int round = 0; round < 10; ++round) {
        if (round > 0) {
            k[0] += w0;
            k[1] += w1;
        }
        const std::uint64_t p0 = m0 * c[0];
        const std::uint64_t p1 = m1 * c[2];
        c = {static_cast<std::uint32_t>(p1 >> 32) ^ c[1] ^ k[0], static_cast<std::uint32_t>(p1),
             static_cast<std::uint32_t>(p0 >> 32) ^ c[3] ^ k[1], static_cast<std::uint32_t>(p0)};
    }
    return c;
}

std::array<std::uint64_t, 2> drawBits(std::uint64_t seed, DrawKey key) {
    const auto out =
        philox4x32({key.pair, key.stream, static_cast<std::uint32_t>(key.trial),
                    static_cast<std::uint32_t>(key.trial >> 32)},
                   {static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32)});
    return {(std::uint64_t{out[0]} << 32) | out[1], (std::uint64_t{out[2]} << 32) | out[3]};
}

double openUnitInterval(std::uint64_t bits) {
    // k 2^-52 + 2^-53: every one a double, from 2^-53 to 1 - 2^-53.
    constexpr double step = 1.0 / 4503599627370496.0; // 2^-52
    return static_cast<double>(bits >> 12) * step + step / 2;
}

double naturalLog(double x) {
    // x = m 2^e with m in [sqrt(1/2), sqrt(2)); log m = 2 atanh(s), s = (m - 1) / (m + 1),
    // |s| < 0.1716, summed as 2 s (1 + s^2/3 + s^4/5 + ...) to s^22.
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752440) {
        m *= 2;
        --e;
    }
    const double s = (m - 1) / (m + 1);
    const double t = s * s;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    // 1 + t/3 + ... + t^11/23, by pairs of terms and their powers (Estrin).
    constexpr auto c = [](int k) { return 1.0 / (2 * k + 1); };
    const double series = ((c(0) + c(1) * t) + (c(2) + c(3) * t) * t2) +
                          (((c(4) + c(5) * t) + (c(6) + c(7) * t) * t2) +
                           ((c(8) + c(9) * t) + (c(10) + c(11) * t) * t2) * t4) *
                              t4;
    // ln 2 in two parts, the first exact in 32 bits, so that e ln 2 keeps its
    // precision.
    constexpr double ln2High = 6.93147180369123816490e-01;
    constexpr double ln2Low = 1.90821492927058770002e-10;
    const double exponent = e;
    return exponent * ln2High + (exponent * ln2Low + 2 * s * series);
}

namespace {

// A polynomial of degree 7, its coefficients from the constant term up, at
// x: by pairs of terms and their powers (Estrin), shorter chains of
// dependent operations than Horner's for the same accuracy here.
[[gnu::always_inline]] inline double polynomial(const double (&c)[8], double x) {
    const double x2 = x * x;
    const double x4 = x2 * x2;
    return ((c[0] + c[1] * x) + (c[2] + c[3] * x) * x2) +
           ((c[4] + c[5] * x) + (c[6] + c[7] * x) * x2) * x4;
}

} // namespace

double standardNormalQuantile(double p) {
    static constexpr double a[] = {3.3871328727963666080e0,  1.3314166789178437745e+2,
                                   1.9715909503065514427e+3, 1.3731693765509461125e+4,
                                   4.5921953931549871457e+4, 6.7265770927008700853e+4,
                                   3.3430575583588128105e+4, 2.5090809287301226727e+3};
    static constexpr double b[] = {1.0,
                                   4.2313330701600911252e+1,
                                   6.8718700749205790830e+2,
                                   5.3941960214247511077e+3,
                                   2.1213794301586595867e+4,
                                   3.9307895800092710610e+4,
                                   2.8729085735721942674e+4,
                                   5.2264952788528545610e+3};
    static constexpr double c[] = {1.42343711074968357734e0,  4.63033784615654529590e0,
                                   5.76949722146069140550e0,  3.64784832476320460504e0,
                                   1.27045825245236838258e0,  2.41780725177450611770e-1,
                                   2.27238449892691845833e-2, 7.74545014278341407640e-4};
    static constexpr double d[] = {1.0,
                                   2.05319162663775882187e0,
                                   1.67638483018380384940e0,
                                   6.89767334985100004550e-1,
                                   1.48103976427480074590e-1,
                                   1.51986665636164571966e-2,
                                   5.47593808499534494600e-4,
                                   1.05075007164441684324e-9};
    static constexpr double e[] = {6.65790464350110377720e0,  5.46378491116411436990e0,
                                   1.78482653991729133580e0,  2.96560571828504891230e-1,
                                   2.65321895265761230930e-2, 1.24266094738807843860e-3,
                                   2.71155556874348757815e-5, 2.01033439929228813265e-7};
    static constexpr double f[] = {1.0,
                                   5.99832206555887937690e-1,
                                   1.36929880922735805310e-1,
                                   1.48753612908506148525e-2,
                                   7.86869131145613259100e-4,
                                   1.84631831751005468180e-5,
                                   1.42151175831644588870e-7,
                                   2.04426310338993978564e-15};
    const double q = p - 0.5;
    if (std::fabs(q) <= 0.425) {
        const double r = 0.180625 - q * q;
        return q * polynomial(a, r) / polynomial(b, r);
    }
    double r = std::sqrt(-naturalLog(q < 0 ? p : 1 - p));
    double value = 0;
    if (r <= 5) {
        r -= 1.6;
        value = polynomial(c, r) / polynomial(d, r);
    } else {
        r -= 5;
        value = polynomial(e, r) / polynomial(f, r);
    }
    return q < 0 ? -value : value;
}

} // namespace vantero::trials
