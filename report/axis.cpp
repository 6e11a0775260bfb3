#include "report/axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

namespace vantero::report {
namespace {

// printf's text of a value, "." as the decimal point whatever the locale
// (the program sets none).
std::string printed(const char* format, int precision, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, precision, value);
    return buffer;
}

// The round step nearest above `raw`.
double roundStep(double raw) {
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 2.5, 5.0}) {
        if (raw <= m * decade) {
            // Near the largest double, the round step above may be beyond it.
            return std::isfinite(m * decade) ? m * decade : decade;
        }
    }
    return 10 * decade;
}

} // namespace

double Axis::position(double v) const {
    return logarithmic ? std::log10(std::fabs(v)) : v;
}

double Axis::pixel(double v) const {
    return first + shareOf(position(v), position(min), position(max)) * (last - first);
}

double between(double a, double b, double t) {
    const double span = b - a;
    return std::isfinite(span) ? a + t * span : std::lerp(a, b, t);
}

double shareOf(double v, double a, double b) {
    const double offset = v - a;
    const double span = b - a;
    if (std::isfinite(offset) && std::isfinite(span)) {
        return offset / span;
    }
    // Halves of finite doubles are at most half the largest apart.
    return (v / 2 - a / 2) / (b / 2 - a / 2);
}

double withinDoubles(double value) {
    constexpr double largest = std::numeric_limits<double>::max();
    return std::clamp(value, -largest, largest);
}

double niceStep(double span, int wanted) {
    return roundStep(span / wanted);
}

double niceStep(double lo, double hi, int wanted) {
    const double span = hi - lo;
    return roundStep(std::isfinite(span) ? span / wanted
                                         : withinDoubles(hi / wanted - lo / wanted));
}

std::string tickLabel(double value, double step) {
    if (std::fabs(value) < step * 1e-9) {
        value = 0;
    }
    if (value != 0 && (std::fabs(value) >= 1e7 || std::fabs(value) < 1e-4)) {
        return printed("%.*g", 3, value);
    }
    // As many decimals as the step needs: 0.25 two, 0.5 one, 20 none.
    int decimals = 0;
    for (double scaled = step; decimals < 12; scaled *= 10, ++decimals) {
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled) {
            break;
        }
    }
    return printed("%.*f", decimals, value);
}

std::vector<Tick> linearTicks(double min, double max, int wanted) {
    const double step = niceStep(min, max, wanted);
    const double first = std::ceil(min / step - 1e-9);
    const double last = std::floor(max / step + 1e-9);
    // Round ticks need multiples of the step that a double still tells apart
    // (a range of a few units in the last place has none) and a finite step
    // (a range wider than any double has none either): then the two ends.
    constexpr double exactIntegers = 9007199254740992.0; // 2^53
    if (!std::isfinite(step) || !(std::fabs(first) < exactIntegers) ||
        !(std::fabs(last) < exactIntegers) || !(last - first <= 4.0 * wanted)) {
        std::vector<Tick> ends{{min, printed("%.*g", 17, min)}};
        if (max != min) {
            ends.push_back({max, printed("%.*g", 17, max)});
        }
        return ends;
    }
    std::vector<Tick> ticks;
    for (double k = first; k <= last; ++k) {
        ticks.push_back({k * step, tickLabel(k * step, step)});
    }
    return ticks;
}

std::vector<Tick> logTicks(double min, double max) {
    const double sign = min < 0 ? -1 : 1;
    double low = std::fabs(min);
    double high = std::fabs(max);
    if (low > high) {
        std::swap(low, high);
    }
    const int firstDecade = static_cast<int>(std::floor(std::log10(low) + 1e-9));
    const int lastDecade = static_cast<int>(std::floor(std::log10(high) + 1e-9));
    const int decades = lastDecade - firstDecade;
    if (decades < 1) {
        std::vector<Tick> ticks = linearTicks(low, high, 5);
        for (Tick& t : ticks) {
            t.value *= sign;
            t.label = (sign < 0 ? "-" : "") + t.label;
        }
        return ticks;
    }
    std::vector<Tick> ticks;
    if (decades > 12) {
        // Too many decades for their multiples: every few decades, labelled.
        const int stride = (decades + 7) / 8;
        for (int k = firstDecade + (stride - ((firstDecade % stride) + stride) % stride) % stride;
             k <= lastDecade; k += stride) {
            const double decade = std::pow(10.0, k);
            if (decade >= low * (1 - 1e-9) && decade <= high * (1 + 1e-9)) {
                ticks.push_back({sign * decade, tickLabel(sign * decade, decade)});
            }
        }
        return ticks;
    }
    for (int k = firstDecade; k <= lastDecade; ++k) {
        const double decade = std::pow(10.0, k);
        for (int m = 1; m <= 9; ++m) {
            const double v = m * decade;
            if (v < low * (1 - 1e-9) || v > high * (1 + 1e-9)) {
                continue;
            }
            const bool labelled = m == 1 || (decades <= 2 && (m == 2 || m == 5));
            ticks.push_back({sign * v, labelled ? tickLabel(sign * v, decade) : std::string()});
        }
    }
    return ticks;
}

Axis roundAxis(double lo, double hi, int wanted) {
    if (!(lo < hi)) {
        const double pad = lo == 0 ? 1 : std::fabs(lo) * 0.1;
        lo = withinDoubles(lo - pad);
        hi = withinDoubles(hi + pad);
    }
    const double step = niceStep(lo, hi, wanted);
    Axis axis;
    axis.min = withinDoubles(std::floor(lo / step + 1e-9) * step);
    axis.max = withinDoubles(std::ceil(hi / step - 1e-9) * step);
    return axis;
}

std::string shortNumber(double value) {
    const double magnitude = std::fabs(value);
    if (magnitude >= 1000 && magnitude < 1e7) {
        return printed("%.*f", 0, value);
    }
    return printed("%.*g", 4, value);
}

} // namespace vantero::report
