#pragma once

#include "report/chart.h"

#include <cmath>

namespace vantero::report {

// A point of a bit-rate sweep of a link whose power distance falls as
// 80 - 10 log10(x) and whose rise-time distance is riseTime / x: it turns
// from attenuation- to dispersion-limited, and fails its rise-time budget
// from 500 on.
inline ChartPoint linkPoint(double x, double riseTime) {
    ChartPoint p;
    p.input = x;
    p.powerDistance = 80 - 10 * std::log10(x);
    if (x < 500) {
        p.riseTimeDistance = riseTime / x;
        const bool attenuation = *p.riseTimeDistance >= *p.powerDistance;
        p.limitedBy = attenuation ? LimitingFactor::Attenuation : LimitingFactor::Dispersion;
        p.maximumDistance = attenuation ? p.powerDistance : p.riseTimeDistance;
    } else {
        p.limitedBy = LimitingFactor::Dispersion;
        p.maximumDistance = 0;
        p.riseTimeRejected = true;
    }
    return p;
}

} // namespace vantero::report
