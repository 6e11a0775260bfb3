#pragma once

#include "cli/core/chart.h"

#include <string>

namespace vantero::cli {

// Draws the chart of a sweep and gives the bytes of its PNG image: the
// power-budget and rise-time distances against the swept input, the maximum
// distance as a broad band along the nearer of the two, each place where the
// limit changes marked and labelled, the input on a logarithmic axis for a
// logarithmic sweep. A point without a rise-time distance leaves a gap in that
// line. The caller owns the Qt Gui application (on the offscreen platform,
// no window opens and no display is needed); the chart's arithmetic is
// cli/core/chart.h.
std::string drawSweepChart(const SweepChart& chart);

} // namespace vantero::cli
