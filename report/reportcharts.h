#pragma once

#include "report/designreport.h"
#include "report/linechart.h"

#include <array>
#include <optional>

namespace vantero::report {

// The report's charts with lines, laid out by the one layout of every chart
// with lines (report/linechart.h) in `area`, with the look and the sizes of
// texts the painter gives.

// The maximum distance against the bit rate (logarithmic), with the two
// distances it is the smaller of, this design marked, and the stretches
// where no length of fibre meets the rise-time budget shaded. None when the
// report has no sweep of the bit rate.
std::optional<LineChart> bitRateChart(const DesignReport& report, const Box& area,
                                      const ChartLook& look, const TextMeasure& measure);

// Both margins against the length, one above the other on the same lengths:
// the power margin (dB) and the rise-time margin (ns), each with its zero,
// where it crosses zero marked, and the maximum distance across both. The
// two plots share their left and right edges.
std::array<LineChart, 2> marginCharts(const DesignReport& report, const Box& area,
                                      const ChartLook& look, const TextMeasure& measure);

} // namespace vantero::report
