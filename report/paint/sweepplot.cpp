#include "report/paint/sweepplot.h"

#include "report/paint/chartpainter.h"
#include "report/paint/paintedfile.h"

#include <QPainter>

namespace vantero::report {
namespace {

constexpr int imageWidth = 1200;
constexpr int imageHeight = 760;

} // namespace

std::string drawSweepChart(const SweepChart& chart, ImageFormat format) {
    return paintedFile(
        format, QSize(imageWidth, imageHeight), QString::fromStdString(chart.title),
        [&](QPainter& painter) {
            painter.fillRect(QRectF(0, 0, imageWidth, imageHeight), Qt::white);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            const ChartLook look = pictureLook();
            const Box area{16, 14, imageWidth - 32.0, imageHeight - 28.0};
            paintLineChart(painter,
                           layoutSweepChart(chart, area, look, textMeasure(look, painter.device())),
                           look);
        });
}

} // namespace vantero::report
