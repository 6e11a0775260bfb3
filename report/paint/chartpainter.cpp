#include "report/paint/chartpainter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

#include <vector>

namespace vantero::report {
namespace {

QRectF rect(const Box& box) {
    return {box.left, box.top, box.width, box.height};
}

QPen qtPen(const Pen& pen, const ChartLook& look, Qt::PenCapStyle cap = Qt::FlatCap) {
    QPen qt(colour(pen.colour), pen.width * look.stroke, Qt::SolidLine, cap, Qt::RoundJoin);
    if (pen.dashes == Pen::Dashes::Dashed) {
        qt.setStyle(Qt::DashLine);
    } else if (pen.dashes == Pen::Dashes::Dotted) {
        qt.setStyle(Qt::DotLine);
    }
    return qt;
}

// The pieces of a line as one path; a piece of one point is a dot.
QPainterPath path(const std::vector<std::vector<Pixel>>& pieces, double dotRadius) {
    QPainterPath path;
    for (const std::vector<Pixel>& piece : pieces) {
        if (piece.size() == 1) {
            path.addEllipse(QPointF(piece[0].x, piece[0].y), dotRadius, dotRadius);
            continue;
        }
        path.moveTo(piece[0].x, piece[0].y);
        for (std::size_t i = 1; i < piece.size(); ++i) {
            path.lineTo(piece[i].x, piece[i].y);
        }
    }
    return path;
}

} // namespace

void paintLabel(QPainter& p, const Label& label, const ChartLook& look) {
    p.setFont(chartFont(look.font(label.role), p.device()));
    p.setPen(colour(inkColour(label.ink)));
    int flags = Qt::AlignVCenter;
    switch (label.align) {
    case Label::Align::Left:
        flags |= Qt::AlignLeft;
        break;
    case Label::Align::Centre:
        flags |= Qt::AlignHCenter;
        break;
    case Label::Align::Right:
        flags |= Qt::AlignRight;
        break;
    }
    if (label.wraps) {
        flags |= Qt::TextWordWrap;
    }
    if (!label.along) {
        p.drawText(rect(label.box), flags, text(label.text));
        return;
    }
    const Box& b = label.box;
    p.save();
    p.translate(b.left + b.width / 2, b.top + b.height / 2);
    p.rotate(-90);
    p.drawText(QRectF(-b.height / 2, -b.width / 2, b.height, b.width), flags, text(label.text));
    p.restore();
}

namespace {

// A framed box behind a label, or the legend.
void drawFrame(QPainter& p, const Box& box, const ChartLook& look) {
    p.setPen(qtPen(labelFramePen, look));
    p.setBrush(colour(labelBackground));
    const double rounding = frameRounding * look.stroke;
    p.drawRoundedRect(rect(box), rounding, rounding);
}

// The grid across the plot at the ticks, the ticks below it or left of it,
// and their labels.
void drawTicks(QPainter& p, const std::vector<TickMark>& ticks, bool vertical, const Box& plot,
               const ChartLook& look) {
    for (const TickMark& t : ticks) {
        const double width = (t.label ? 1 : minorGridWidth) * look.stroke;
        const double length = look.tickLength * (t.label ? 1 : 0.5);
        p.setPen(QPen(colour(gridColour), width));
        const QPointF from = vertical ? QPointF(t.at, plot.top) : QPointF(plot.left, t.at);
        const QPointF to = vertical ? QPointF(t.at, plot.bottom()) : QPointF(plot.right(), t.at);
        p.drawLine(from, to);
        p.setPen(qtPen(framePen, look));
        p.drawLine(vertical ? QLineF(t.at, plot.bottom(), t.at, plot.bottom() + length)
                            : QLineF(plot.left - length, t.at, plot.left, t.at));
        if (t.label) {
            paintLabel(p, *t.label, look);
        }
    }
}

} // namespace

QColor colour(const Colour& c) {
    return QColor(c.red, c.green, c.blue, c.alpha);
}

QFont deviceFont(const QString& family, double size, bool bold, double dotsPerInch) {
    QFont font(family);
    font.setPointSizeF(size * 72.0 / dotsPerInch);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QFont chartFont(const Typeface& typeface, const QPaintDevice* device) {
    return deviceFont(QStringLiteral("DejaVu Sans"), typeface.size, typeface.bold,
                      device->logicalDpiY());
}

TextMeasure textMeasure(const ChartLook& look, const QPaintDevice* device) {
    return {[look, device](TextRole role, std::string_view s) {
                return QFontMetricsF(chartFont(look.font(role), device), device)
                    .horizontalAdvance(text(s));
            },
            [look, device](TextRole role) {
                return QFontMetricsF(chartFont(look.font(role), device), device).height();
            }};
}

void paintLineChart(QPainter& p, const LineChart& chart, const ChartLook& look) {
    const Box& plot = chart.plot;
    p.setBrush(Qt::NoBrush);
    drawTicks(p, chart.xTicks, true, plot, look);
    drawTicks(p, chart.yTicks, false, plot, look);
    for (const Stretch& stretch : chart.stretches) {
        p.fillRect(QRectF(QPointF(stretch.left, plot.top), QPointF(stretch.right, plot.bottom())),
                   colour(shadeColour));
    }
    for (const ChartBar& bar : chart.bars) {
        p.fillRect(rect(bar.box), colour(barColour(bar.kind)));
    }
    if (chart.zeroY) {
        p.setPen(qtPen(zeroPen, look));
        p.drawLine(QPointF(plot.left, *chart.zeroY), QPointF(plot.right(), *chart.zeroY));
    }
    if (chart.zeroX) {
        p.setPen(qtPen(zeroPen, look));
        p.drawLine(QPointF(*chart.zeroX, plot.top), QPointF(*chart.zeroX, plot.bottom()));
    }

    p.save();
    p.setClipRect(rect(chart.clip));
    p.setBrush(Qt::NoBrush);
    for (const ChartLine& line : chart.lines) {
        p.setPen(qtPen(linePen(line.style), look, Qt::RoundCap));
        p.drawPath(path(line.pieces, dotRadius * look.stroke));
    }
    p.restore();

    p.setPen(qtPen(framePen, look));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect(plot));
    for (const Label& title : chart.titles) {
        paintLabel(p, title, look);
    }
    for (const VerticalMark& mark : chart.verticals) {
        p.setPen(qtPen(linePen(LineStyle::Mark), look));
        p.drawLine(QPointF(mark.x, plot.top), QPointF(mark.x, plot.bottom()));
        if (mark.frame) {
            drawFrame(p, *mark.frame, look);
        }
        paintLabel(p, mark.label, look);
    }
    for (const ChartMarker& marker : chart.markers) {
        p.setPen(QPen(colour(inkColour(Ink::Text)), markerRing * look.stroke));
        p.setBrush(Qt::white);
        const double radius = markerRadius * look.stroke;
        p.drawEllipse(QPointF(marker.at.x, marker.at.y), radius, radius);
        if (marker.label) {
            p.fillRect(rect(marker.label->box).adjusted(-2 * look.stroke, 0, 2 * look.stroke, 0),
                       colour(labelBackground));
            paintLabel(p, *marker.label, look);
        }
    }
    for (const Stretch& stretch : chart.stretches) {
        if (stretch.label) {
            paintLabel(p, *stretch.label, look);
        }
    }
    if (chart.legend.frame) {
        drawFrame(p, *chart.legend.frame, look);
    }
    for (const LegendEntry& entry : chart.legend.entries) {
        const double middle = entry.sample.top + entry.sample.height / 2;
        p.setPen(qtPen(linePen(entry.style), look));
        p.drawLine(QPointF(entry.sample.left, middle), QPointF(entry.sample.right(), middle));
        paintLabel(p, entry.text, look);
    }
    if (chart.notice) {
        paintLabel(p, *chart.notice, look);
    }
}

void paintBarChart(QPainter& p, const BarChart& chart, const ChartLook& look) {
    const Box& plot = chart.plot;
    drawTicks(p, chart.ticks, true, plot, look);
    paintLabel(p, chart.axisTitle, look);
    p.setPen(qtPen(stepPen, look));
    for (const auto& [from, to] : chart.steps) {
        p.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
    }
    for (const BarRow& row : chart.rows) {
        p.fillRect(rect(row.bar), colour(barColour(row.kind)));
        paintLabel(p, row.caption, look);
        paintLabel(p, row.value, look);
    }
    if (chart.reference) {
        const ReferenceLine& r = *chart.reference;
        p.setPen(qtPen(referencePen, look));
        p.drawLine(QPointF(r.x, plot.top - 2 * look.stroke), QPointF(r.x, plot.bottom()));
        paintLabel(p, r.label, look);
    }
    p.setPen(qtPen(framePen, look));
    p.drawLine(QPointF(plot.left, plot.bottom()), QPointF(plot.right(), plot.bottom()));
}

} // namespace vantero::report
