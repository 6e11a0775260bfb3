#pragma once

#include "report/barchart.h"
#include "report/linechart.h"
#include "report/look.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>

#include <string>
#include <string_view>

namespace vantero::report {

// The one painter of every chart: it draws a laid-out chart (report/
// linechart.h, report/barchart.h) as it is given, in the look it was laid
// out with, and tells the layout the sizes of texts in the look's fonts.

inline QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QColor colour(const Colour& c);

// A font of the given height in the units of a device of `dotsPerInch`.
// Latin text is set without shaping, so without ligatures: "fi" stays two
// letters, and the text of an SVG or a PDF copies and searches as it reads.
QFont deviceFont(const QString& family, double size, bool bold, double dotsPerInch);
// A chart's font on `device`.
QFont chartFont(const Typeface& typeface, const QPaintDevice* device);

// The sizes of texts in the fonts of `look` on `device`.
TextMeasure textMeasure(const ChartLook& look, const QPaintDevice* device);

// A label of a chart, or of a picture of charts.
void paintLabel(QPainter& painter, const Label& label, const ChartLook& look);

void paintLineChart(QPainter& painter, const LineChart& chart, const ChartLook& look);
void paintBarChart(QPainter& painter, const BarChart& chart, const ChartLook& look);

} // namespace vantero::report
