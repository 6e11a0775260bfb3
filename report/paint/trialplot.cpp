#include "report/paint/trialplot.h"

#include "report/paint/chartpainter.h"
#include "report/paint/paintedfile.h"

#include <QPainter>

#include <cmath>

namespace vantero::report {

std::string drawTrialCharts(const TrialCharts& charts, ImageFormat format) {
    const QSize size(static_cast<int>(trialPictureWidth),
                     static_cast<int>(std::ceil(trialPictureHeight(charts))));
    return paintedFile(
        format, size, QString::fromStdString(charts.caption), [&](QPainter& painter) {
            painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), Qt::white);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            const ChartLook look = pictureLook();
            const TrialPicture picture =
                layoutTrialPicture(charts, look, textMeasure(look, painter.device()));
            for (const Label& title : picture.titles) {
                paintLabel(painter, title, look);
            }
            for (const LineChart& chart : picture.charts) {
                paintLineChart(painter, chart, look);
            }
        });
}

} // namespace vantero::report
