#pragma once

#include "report/imageformat.h"
#include "report/sweepchart.h"

#include <string>

namespace vantero::report {

// Draws the chart of a sweep and gives the bytes of its file in `format`
// (PNG, or SVG and PDF with selectable text, 1200 x 760 pixels): the
// power-budget and rise-time distances against the swept input, the maximum
// distance as a broad band along the nearer of the two, each place where the
// limit changes marked and labelled, the input on a logarithmic axis for a
// logarithmic sweep. A point without a rise-time distance leaves a gap in that
// line. The caller owns the Qt Gui application (on the offscreen platform,
// no window opens and no display is needed); the chart's arithmetic is
// report/sweepchart.h.
std::string drawSweepChart(const SweepChart& chart, ImageFormat format = ImageFormat::Png);

} // namespace vantero::report
