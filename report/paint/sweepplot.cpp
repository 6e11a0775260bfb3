#include "report/paint/sweepplot.h"

#include "report/paint/painting.h"

#include "report/paint/paintedfile.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vantero::report {
namespace {

constexpr int imageWidth = 1200;
constexpr int imageHeight = 760;

const QColor powerColour(31, 119, 180);
const QColor riseTimeColour(214, 39, 40);
const QColor maximumColour(44, 160, 44, 110);
const QColor crossoverColour(60, 60, 60);
const QColor gridColour(225, 225, 225);

// The captions the windows give the three distances.
const QString powerCaption = QStringLiteral("Balanço de Potência");
const QString riseTimeCaption = QStringLiteral("Balanço de Tempo de Subida");
const QString maximumCaption = QStringLiteral("Distância máxima");

QFont font(int pixels, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    // No ligatures: the text of an SVG or a PDF copies as it reads.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

QString limitName(LimitingFactor factor) {
    return factor == LimitingFactor::Attenuation ? QStringLiteral("atenuação")
                                                 : QStringLiteral("dispersão");
}

// The legend: what each line is, in the corner the chart's arithmetic picks.
void drawLegend(QPainter& painter, const Box& plot, const SweepChart& chart, const Axis& x,
                const Axis& y, const std::vector<Box>& labels) {
    struct Entry {
        QString text;
        QPen pen;
    };
    // A line that runs above the chart says how far it goes.
    auto caption = [&](const QString& name, Series series) {
        const auto top = largest(chart.points, series);
        if (top && *top > y.max) {
            return name + QStringLiteral(" (km), acima da escala até ") + text(shortNumber(*top)) +
                   QStringLiteral(" km");
        }
        return name + QStringLiteral(" (km)");
    };
    std::vector<Entry> entries{
        {maximumCaption + QStringLiteral(" (km)"),
         QPen(maximumColour, 9, Qt::SolidLine, Qt::FlatCap)},
        {caption(powerCaption, &ChartPoint::powerDistance), QPen(powerColour, 2)},
        {caption(riseTimeCaption, &ChartPoint::riseTimeDistance), QPen(riseTimeColour, 2)},
    };
    if (!chart.crossovers.empty()) {
        entries.push_back({QStringLiteral("Troca do limite (atenuação / dispersão)"),
                           QPen(crossoverColour, 1.5, Qt::DashLine)});
    }
    painter.setFont(font(14));
    const QFontMetricsF metrics(painter.font());
    double textWidth = 0;
    for (const Entry& e : entries) {
        textWidth = std::max(textWidth, metrics.horizontalAdvance(e.text));
    }
    const double lineHeight = metrics.height() + 6;
    const QRectF best = rect(legendBox(textWidth + 60, entries.size() * lineHeight + 12, plot,
                                       labels, chart.points, x, y));
    painter.setPen(QPen(QColor(190, 190, 190), 1));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(best, 4, 4);
    double top = best.top() + 6;
    for (const Entry& e : entries) {
        const double middle = top + lineHeight / 2;
        painter.setPen(e.pen);
        painter.drawLine(QPointF(best.left() + 10, middle), QPointF(best.left() + 46, middle));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(best.left() + 54, top, textWidth + 4, lineHeight),
                         Qt::AlignVCenter | Qt::AlignLeft, e.text);
        top += lineHeight;
    }
}

// The stretches where the rise-time budget cannot be met, shaded, so that a
// maximum distance of 0 there reads as what it is. Gives where its labels
// went.
std::vector<Box> drawRejectedStretches(QPainter& painter, const Box& plot, const SweepChart& chart,
                                       const Axis& x) {
    std::vector<Box> labels;
    painter.setFont(font(13));
    for (const auto& [left, right] : rejectedStretches(chart.points, x, plot)) {
        const QRectF stretch(QPointF(left, plot.top), QPointF(right, plot.bottom()));
        painter.fillRect(stretch, QColor(214, 39, 40, 18));
        const QString caption = QStringLiteral("tempo de subida não atendido");
        const QFontMetricsF metrics(painter.font());
        const double width = metrics.horizontalAdvance(caption);
        if (width + 12 < stretch.width()) {
            const QRectF label(stretch.left() + 6, stretch.top() + 6, width, metrics.height());
            painter.setPen(QColor(150, 40, 40));
            painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, caption);
            labels.push_back(box(label));
        }
    }
    return labels;
}

// Each place where the limit changes: a dashed line across the plot, a dot
// where the distances meet, and its value.
std::vector<Box> drawCrossovers(QPainter& painter, const Box& plot, const SweepChart& chart,
                                const Axis& x, const Axis& y) {
    std::vector<Box> labels;
    painter.setFont(font(13));
    const QFontMetricsF metrics(painter.font());
    for (std::size_t i = 0; i < chart.crossovers.size(); ++i) {
        const Crossover& c = chart.crossovers[i];
        const double px = x.pixel(c.input);
        painter.setPen(QPen(crossoverColour, 1.5, Qt::DashLine));
        painter.drawLine(QPointF(px, plot.top), QPointF(px, plot.bottom()));

        const QString unit =
            chart.xUnit.empty() ? QString() : QStringLiteral(" ") + text(chart.xUnit);
        QString value = text(shortNumber(c.input)) + unit;
        if (c.distance) {
            value += QStringLiteral(" · ") + text(shortNumber(*c.distance)) + QStringLiteral(" km");
            if (*c.distance >= y.min && *c.distance <= y.max) {
                painter.setPen(QPen(Qt::black, 1.5));
                painter.setBrush(Qt::white);
                painter.drawEllipse(QPointF(px, y.pixel(*c.distance)), 5, 5);
            }
        }
        const QString change = limitName(c.before) + QStringLiteral(" → ") + limitName(c.after);
        const double w =
            std::max(metrics.horizontalAdvance(value), metrics.horizontalAdvance(change)) + 12;
        const double h = 2 * metrics.height() + 8;
        const Box label = crossoverLabelBox(px, w, h, plot, i);
        painter.setPen(QPen(QColor(150, 150, 150), 1));
        painter.setBrush(QColor(255, 255, 255, 235));
        painter.drawRoundedRect(rect(label), 3, 3);
        painter.setPen(Qt::black);
        painter.drawText(rect(label).adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop,
                         change + QStringLiteral("\n") + value);
        labels.push_back(label);
    }
    return labels;
}

// Paints the chart on a device of imageWidth x imageHeight pixels.
void paintChart(QPainter& painter, const SweepChart& chart) {
    painter.fillRect(QRectF(0, 0, imageWidth, imageHeight), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    Axis x = inputAxis(chart);
    Axis y = distanceAxis(chart);
    const std::vector<Tick> xTicks =
        x.logarithmic ? logTicks(x.min, x.max) : linearTicks(x.min, x.max, 8);
    const std::vector<Tick> yTicks = linearTicks(y.min, y.max, 6);
    // A little room below the lowest tick, so that a maximum distance of 0
    // shows whole.
    y.min -= 0.015 * (y.max - y.min);

    // Room for the tick labels and the axis titles.
    const QFontMetricsF tickMetrics(font(13));
    double yLabelWidth = 0;
    for (const Tick& t : yTicks) {
        yLabelWidth = std::max(yLabelWidth, tickMetrics.horizontalAdvance(text(t.label)));
    }
    const QRectF plotRect(QPointF(40 + yLabelWidth + 16, 92),
                          QPointF(imageWidth - 36, imageHeight - 82));
    const Box plot = box(plotRect);
    x.first = plot.left;
    x.last = plot.right();
    y.first = plot.bottom();
    y.last = plot.top;

    // Title and subtitle.
    painter.setPen(Qt::black);
    painter.setFont(font(19, true));
    painter.drawText(QRectF(0, 14, imageWidth, 30), Qt::AlignHCenter | Qt::AlignVCenter,
                     text(chart.title));
    painter.setFont(font(14));
    painter.setPen(QColor(90, 90, 90));
    painter.drawText(QRectF(0, 46, imageWidth, 24), Qt::AlignHCenter | Qt::AlignVCenter,
                     text(chart.subtitle));

    // Grid and ticks.
    painter.setFont(font(13));
    for (const Tick& t : xTicks) {
        const double px = x.pixel(t.value);
        painter.setPen(QPen(gridColour, t.label.empty() ? 0.6 : 1));
        painter.drawLine(QPointF(px, plot.top), QPointF(px, plot.bottom()));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPointF(px, plot.bottom()),
                         QPointF(px, plot.bottom() + (t.label.empty() ? 3 : 6)));
        if (!t.label.empty()) {
            // Centred under its tick, but inside the picture.
            const double half = tickMetrics.horizontalAdvance(text(t.label)) / 2;
            const double centre = std::clamp(px, half + 4, imageWidth - half - 4);
            const double width = std::max(120.0, 2 * half + 8);
            painter.drawText(QRectF(centre - width / 2, plot.bottom() + 8, width, 20),
                             Qt::AlignHCenter | Qt::AlignTop, text(t.label));
        }
    }
    for (const Tick& t : yTicks) {
        const double py = y.pixel(t.value);
        painter.setPen(QPen(gridColour, 1));
        painter.drawLine(QPointF(plot.left, py), QPointF(plot.right(), py));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPointF(plot.left - 6, py), QPointF(plot.left, py));
        painter.drawText(QRectF(plot.left - 10 - yLabelWidth, py - 10, yLabelWidth, 20),
                         Qt::AlignRight | Qt::AlignVCenter, text(t.label));
    }

    // Axis titles.
    painter.setFont(font(15));
    painter.drawText(
        QRectF(plot.left, plot.bottom() + 36, plot.width, 24), Qt::AlignHCenter | Qt::AlignVCenter,
        text(chart.xLabel) +
            (chart.logarithmic ? QStringLiteral("  [escala logarítmica]") : QString()));
    painter.save();
    painter.translate(18, plotRect.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height / 2, -12, plot.height, 24), Qt::AlignCenter,
                     QStringLiteral("Distância (km)"));
    painter.restore();

    std::vector<Box> labels = drawRejectedStretches(painter, plot, chart, x);

    // The three distances, the maximum below the two it follows.
    painter.save();
    painter.setClipRect(plotRect.adjusted(-1, -1, 1, 1));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(maximumColour, 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path(seriesLines(chart.points, &ChartPoint::maximumDistance, x, y), 2.5));
    painter.setPen(QPen(powerColour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path(seriesLines(chart.points, &ChartPoint::powerDistance, x, y), 2.5));
    painter.setPen(QPen(riseTimeColour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path(seriesLines(chart.points, &ChartPoint::riseTimeDistance, x, y), 2.5));
    painter.restore();

    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plotRect);

    const std::vector<Box> crossoverLabels = drawCrossovers(painter, plot, chart, x, y);
    labels.insert(labels.end(), crossoverLabels.begin(), crossoverLabels.end());
    drawLegend(painter, plot, chart, x, y, labels);

    if (chart.points.empty()) {
        painter.setFont(font(16));
        painter.setPen(Qt::black);
        painter.drawText(plotRect, Qt::AlignCenter,
                         QStringLiteral("Nenhum ponto da varredura chegou ao fim sem falha"));
    }
}

} // namespace

std::string drawSweepChart(const SweepChart& chart, ImageFormat format) {
    return paintedFile(format, QSize(imageWidth, imageHeight), QString::fromStdString(chart.title),
                       [&](QPainter& painter) { paintChart(painter, chart); });
}

} // namespace vantero::report
