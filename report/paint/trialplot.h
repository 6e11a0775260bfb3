#pragma once

#include "report/imageformat.h"
#include "report/trialcharts.h"

#include <string>

namespace vantero::report {

// Draws the histograms of a run of trials and gives the bytes of their file
// in `format` (PNG, or SVG and PDF with selectable text), 1200 pixels wide
// and as high as the lengths need: the caption, the trials and the spreads
// above, then the maximum distance and the margins at each length. The
// caller owns the Qt Gui application; the layout is report/trialcharts.h.
std::string drawTrialCharts(const TrialCharts& charts, ImageFormat format = ImageFormat::Png);

} // namespace vantero::report
