#pragma once

#include "report/sweepchart.h"

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

// The chart of a sweep of such a link from `from` to `to` (of either sign),
// rise time 5000, as the command line makes it.
inline SweepChart linkChart(double from, double to, bool logarithmic, std::size_t count) {
    SweepChart chart;
    chart.title = "Distância Máxima";
    chart.subtitle = "tavo: bitRate";
    chart.xLabel = "Taxa de transmissão de dados (Mbits/s)";
    chart.xUnit = "Mbit/s";
    chart.logarithmic = logarithmic;
    chart.from = from;
    chart.to = to;
    for (std::size_t i = 0; i < count; ++i) {
        const double share =
            count == 1 ? 0 : static_cast<double>(i) / static_cast<double>(count - 1);
        const double x =
            logarithmic ? from * std::pow(to / from, share) : from + (to - from) * share;
        chart.points.push_back(linkPoint(std::fabs(x), 5000));
        chart.points.back().input = x;
    }
    chart.crossovers = findCrossovers(chart.points, logarithmic);
    return chart;
}

} // namespace vantero::report
