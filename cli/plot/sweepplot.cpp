#include "cli/plot/sweepplot.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <vector>

namespace vantero::cli {
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
    return f;
}

// A value in four significant digits, or as a whole number from 1000 up,
// "." as the decimal point.
QString shortNumber(double value) {
    const double magnitude = std::fabs(value);
    if (magnitude >= 1000 && magnitude < 1e7) {
        return QString::number(value, 'f', 0);
    }
    return QString::number(value, 'g', 4);
}

// One axis: data values to pixels, linear or in the logarithm of the
// magnitude.
struct Axis {
    double min = 0;
    double max = 1;
    bool logarithmic = false;
    double first = 0; // pixel of min
    double last = 1;  // pixel of max

    double position(double v) const { return logarithmic ? std::log10(std::fabs(v)) : v; }
    double pixel(double v) const {
        const double a = position(min);
        const double b = position(max);
        return first + (position(v) - a) / (b - a) * (last - first);
    }
};

struct Tick {
    double value;
    QString label; // empty for a minor tick
};

double niceStep(double span, int wanted) {
    const double raw = span / wanted;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 2.5, 5.0}) {
        if (raw <= m * decade) {
            return m * decade;
        }
    }
    return 10 * decade;
}

QString tickLabel(double value, double step) {
    if (std::fabs(value) < step * 1e-9) {
        value = 0;
    }
    if (value != 0 && (std::fabs(value) >= 1e7 || std::fabs(value) < 1e-4)) {
        return QString::number(value, 'g', 3);
    }
    // As many decimals as the step needs: 0.25 two, 0.5 one, 20 none.
    int decimals = 0;
    for (double scaled = step; decimals < 12; scaled *= 10, ++decimals) {
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled) {
            break;
        }
    }
    return QString::number(value, 'f', decimals);
}

std::vector<Tick> linearTicks(double min, double max, int wanted) {
    const double step = niceStep(max - min, wanted);
    std::vector<Tick> ticks;
    for (double k = std::ceil(min / step - 1e-9); k * step <= max + step * 1e-9; ++k) {
        ticks.push_back({k * step, tickLabel(k * step, step)});
    }
    return ticks;
}

// Decades, with the multiples between them as minor ticks (labelled 2 and 5
// when the axis spans few decades); within less than a decade, evenly spaced
// labels.
std::vector<Tick> logTicks(double min, double max) {
    const double sign = min < 0 ? -1 : 1;
    double low = std::fabs(min);
    double high = std::fabs(max);
    if (low > high) {
        std::swap(low, high);
    }
    const int firstDecade = static_cast<int>(std::floor(std::log10(low) + 1e-9));
    const int lastDecade = static_cast<int>(std::floor(std::log10(high) + 1e-9));
    const int decades = lastDecade - firstDecade;
    if (decades < 1) {
        std::vector<Tick> ticks = linearTicks(low, high, 5);
        for (Tick& t : ticks) {
            t.value *= sign;
            t.label = (sign < 0 ? QStringLiteral("-") : QString()) + t.label;
        }
        return ticks;
    }
    std::vector<Tick> ticks;
    for (int k = firstDecade; k <= lastDecade; ++k) {
        const double decade = std::pow(10.0, k);
        for (int m = 1; m <= 9; ++m) {
            const double v = m * decade;
            if (v < low * (1 - 1e-9) || v > high * (1 + 1e-9)) {
                continue;
            }
            const bool labelled = m == 1 || (decades <= 2 && (m == 2 || m == 5));
            QString label;
            if (labelled) {
                label = tickLabel(sign * v, decade);
            }
            ticks.push_back({sign * v, label});
        }
    }
    return ticks;
}

// The part of the segment from (x0, y0) to (x1, y1) within bottom <= y <= top,
// as shares of the segment, if any.
std::optional<std::pair<double, double>> insideShare(double y0, double y1, double bottom,
                                                     double top) {
    double t0 = 0;
    double t1 = 1;
    const double dy = y1 - y0;
    for (const auto& [limit, below] : {std::pair{bottom, true}, std::pair{top, false}}) {
        // Keep where (y - limit) is >= 0 for the bottom and <= 0 for the top.
        const double a = below ? y0 - limit : limit - y0;
        const double d = below ? dy : -dy;
        if (d == 0) {
            if (a < 0) {
                return std::nullopt;
            }
            continue;
        }
        const double t = -a / d;
        if (d > 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (!(t0 <= t1)) {
        return std::nullopt;
    }
    return std::pair{t0, t1};
}

using Series = std::optional<double> ChartPoint::*;

// The line of one series, broken where a point has no value, clipped to the
// plotted range of distances.
QPainterPath seriesPath(const std::vector<ChartPoint>& points, Series series, const Axis& x,
                        const Axis& y) {
    QPainterPath path;
    std::optional<QPointF> last;
    auto valueOf = [&](const ChartPoint& p) -> std::optional<double> {
        const auto v = p.*series;
        return v && std::isfinite(*v) ? v : std::nullopt;
    };
    if (points.size() == 1) {
        if (const auto v = valueOf(points[0]); v && *v >= y.min && *v <= y.max) {
            const QPointF centre(x.pixel(points[0].input), y.pixel(*v));
            path.addEllipse(centre, 2.5, 2.5);
        }
        return path;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        const auto v0 = valueOf(points[i - 1]);
        const auto v1 = valueOf(points[i]);
        if (!v0 || !v1) {
            last.reset();
            continue;
        }
        const auto share = insideShare(*v0, *v1, y.min, y.max);
        if (!share) {
            last.reset();
            continue;
        }
        const double px0 = x.pixel(points[i - 1].input);
        const double px1 = x.pixel(points[i].input);
        auto at = [&](double t) {
            return QPointF(px0 + t * (px1 - px0), y.pixel(*v0 + t * (*v1 - *v0)));
        };
        const QPointF start = at(share->first);
        const QPointF end = at(share->second);
        if (!last || QLineF(*last, start).length() > 0.01) {
            path.moveTo(start);
        }
        path.lineTo(end);
        last = share->second < 1 ? std::nullopt : std::optional<QPointF>(end);
    }
    return path;
}

// The largest finite value of a series, if any.
std::optional<double> largest(const std::vector<ChartPoint>& points, Series series) {
    std::optional<double> best;
    for (const ChartPoint& p : points) {
        const auto v = p.*series;
        if (v && std::isfinite(*v) && (!best || *v > *best)) {
            best = v;
        }
    }
    return best;
}

std::optional<double> smallest(const std::vector<ChartPoint>& points, Series series) {
    std::optional<double> best;
    for (const ChartPoint& p : points) {
        const auto v = p.*series;
        if (v && std::isfinite(*v) && (!best || *v < *best)) {
            best = v;
        }
    }
    return best;
}

// The distances shown: from 0 (or below, for negative distances) to a little
// above the largest maximum distance, so that the distance that limits the
// link and its crossovers fill the chart, and high enough for each budget's
// line to show where it comes nearest, unless that is far away; what lies
// beyond is clipped.
Axis distanceAxis(const SweepChart& chart) {
    const double maximum = largest(chart.points, &ChartPoint::maximumDistance).value_or(0);
    double top = maximum;
    for (const Series series : {&ChartPoint::powerDistance, &ChartPoint::riseTimeDistance}) {
        const double nearest = smallest(chart.points, series).value_or(0);
        if (maximum > 0 && nearest > top && nearest <= 2.5 * maximum) {
            top = nearest;
        }
    }
    if (!(top > 0)) {
        top = largest(chart.points, &ChartPoint::powerDistance).value_or(0);
    }
    if (!(top > 0)) {
        top = 1;
    }
    top *= 1.2;
    double bottom = std::min(0.0, smallest(chart.points, &ChartPoint::maximumDistance).value_or(0));
    if (bottom < 0) {
        bottom -= 0.1 * (top - bottom);
    }
    const double step = niceStep(top - bottom, 6);
    Axis axis;
    axis.min = std::floor(bottom / step) * step;
    axis.max = std::ceil(top / step) * step;
    return axis;
}

Axis inputAxis(const SweepChart& chart) {
    Axis axis;
    axis.logarithmic = chart.logarithmic;
    axis.min = std::min(chart.from, chart.to);
    axis.max = std::max(chart.from, chart.to);
    if (axis.logarithmic && axis.min < 0) {
        std::swap(axis.min, axis.max); // larger magnitudes to the right
    }
    if (axis.min == axis.max) {
        const double pad = axis.min == 0 ? 1 : std::fabs(axis.min) * 0.1;
        axis.min = axis.logarithmic ? axis.min / 1.5 : axis.min - pad;
        axis.max = axis.logarithmic ? axis.max * 1.5 : axis.max + pad;
    }
    return axis;
}

QString limitName(LimitingFactor factor) {
    return factor == LimitingFactor::Attenuation ? QStringLiteral("atenuação")
                                                 : QStringLiteral("dispersão");
}

// The legend: what each line is, placed in the corner of the plot where it
// covers no label and the fewest points.
void drawLegend(QPainter& painter, const QRectF& plot, const SweepChart& chart, const Axis& x,
                const Axis& y, const std::vector<QRectF>& labels) {
    struct Entry {
        QString text;
        QPen pen;
    };
    // A line that runs above the chart says how far it goes.
    auto caption = [&](const QString& text, Series series) {
        const auto top = largest(chart.points, series);
        if (top && *top > y.max) {
            return text + QStringLiteral(" (km), acima da escala até ") + shortNumber(*top) +
                   QStringLiteral(" km");
        }
        return text + QStringLiteral(" (km)");
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
    const QSizeF size(textWidth + 60, entries.size() * lineHeight + 12);

    const double margin = 12;
    const std::array<QPointF, 4> corners{
        QPointF(plot.right() - size.width() - margin, plot.top() + margin),
        QPointF(plot.left() + margin, plot.top() + margin),
        QPointF(plot.right() - size.width() - margin, plot.bottom() - size.height() - margin),
        QPointF(plot.left() + margin, plot.bottom() - size.height() - margin)};
    QRectF best;
    long fewest = std::numeric_limits<long>::max();
    for (const QPointF& corner : corners) {
        const QRectF box(corner, size);
        long covered = 0;
        for (const QRectF& label : labels) {
            if (box.intersects(label)) {
                covered += 1000000;
            }
        }
        for (const ChartPoint& p : chart.points) {
            for (const Series s : {&ChartPoint::powerDistance, &ChartPoint::riseTimeDistance,
                                   &ChartPoint::maximumDistance}) {
                const auto v = p.*s;
                if (v && std::isfinite(*v) && box.contains(x.pixel(p.input), y.pixel(*v))) {
                    ++covered;
                }
            }
        }
        if (covered < fewest) {
            fewest = covered;
            best = box;
        }
    }
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
// maximum distance of 0 there reads as what it is.
// Gives where its labels went.
std::vector<QRectF> drawRejectedStretches(QPainter& painter, const QRectF& plot,
                                          const SweepChart& chart, const Axis& x) {
    std::vector<QRectF> labels;
    const auto& points = chart.points;
    painter.setFont(font(13));
    for (std::size_t i = 0; i < points.size();) {
        if (!points[i].riseTimeRejected) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end + 1 < points.size() && points[end + 1].riseTimeRejected) {
            ++end;
        }
        // From halfway to the neighbours that meet the budget.
        auto middle = [&](std::size_t a, std::size_t b) {
            return (x.pixel(points[a].input) + x.pixel(points[b].input)) / 2;
        };
        const double left = i == 0 ? plot.left() : middle(i - 1, i);
        const double right = end + 1 == points.size() ? plot.right() : middle(end, end + 1);
        const QRectF stretch(QPointF(std::min(left, right), plot.top()),
                             QPointF(std::max(left, right), plot.bottom()));
        painter.fillRect(stretch, QColor(214, 39, 40, 18));
        const QString text = QStringLiteral("tempo de subida não atendido");
        const QFontMetricsF metrics(painter.font());
        const double width = metrics.horizontalAdvance(text);
        if (width + 12 < stretch.width()) {
            const QRectF label(stretch.left() + 6, stretch.top() + 6, width, metrics.height());
            painter.setPen(QColor(150, 40, 40));
            painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, text);
            labels.push_back(label);
        }
        i = end + 1;
    }
    return labels;
}

// Each place where the limit changes: a dashed line across the plot, a dot
// where the distances meet, and its value.
std::vector<QRectF> drawCrossovers(QPainter& painter, const QRectF& plot, const SweepChart& chart,
                                   const Axis& x, const Axis& y) {
    std::vector<QRectF> labels;
    painter.setFont(font(13));
    const QFontMetricsF metrics(painter.font());
    int row = 0;
    for (const Crossover& c : chart.crossovers) {
        const double px = x.pixel(c.input);
        painter.setPen(QPen(crossoverColour, 1.5, Qt::DashLine));
        painter.drawLine(QPointF(px, plot.top()), QPointF(px, plot.bottom()));

        const QString unit = chart.xUnit.empty()
                                 ? QString()
                                 : QStringLiteral(" ") + QString::fromStdString(chart.xUnit);
        QString value = shortNumber(c.input) + unit;
        if (c.distance) {
            value += QStringLiteral(" · ") + shortNumber(*c.distance) + QStringLiteral(" km");
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
        // Beside the line, on the side with room, one row lower for each
        // crossover so that neighbours do not cover each other.
        double left = px + 8;
        if (left + w > plot.right() - 4) {
            left = px - 8 - w;
        }
        const QRectF box(left, plot.bottom() - 16 - h - row * (h + 6), w, h);
        row = (row + 1) % 4;
        painter.setPen(QPen(QColor(150, 150, 150), 1));
        painter.setBrush(QColor(255, 255, 255, 235));
        painter.drawRoundedRect(box, 3, 3);
        painter.setPen(Qt::black);
        painter.drawText(box.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop,
                         change + QStringLiteral("\n") + value);
        labels.push_back(box);
    }
    return labels;
}

QImage drawImage(const SweepChart& chart) {
    QImage image(imageWidth, imageHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
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
        yLabelWidth = std::max(yLabelWidth, tickMetrics.horizontalAdvance(t.label));
    }
    const QRectF plot(QPointF(40 + yLabelWidth + 16, 92),
                      QPointF(imageWidth - 36, imageHeight - 82));
    x.first = plot.left();
    x.last = plot.right();
    y.first = plot.bottom();
    y.last = plot.top();

    // Title and subtitle.
    painter.setPen(Qt::black);
    painter.setFont(font(19, true));
    painter.drawText(QRectF(0, 14, imageWidth, 30), Qt::AlignHCenter | Qt::AlignVCenter,
                     QString::fromStdString(chart.title));
    painter.setFont(font(14));
    painter.setPen(QColor(90, 90, 90));
    painter.drawText(QRectF(0, 46, imageWidth, 24), Qt::AlignHCenter | Qt::AlignVCenter,
                     QString::fromStdString(chart.subtitle));

    // Grid and ticks.
    painter.setFont(font(13));
    for (const Tick& t : xTicks) {
        const double px = x.pixel(t.value);
        painter.setPen(QPen(gridColour, t.label.isEmpty() ? 0.6 : 1));
        painter.drawLine(QPointF(px, plot.top()), QPointF(px, plot.bottom()));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPointF(px, plot.bottom()),
                         QPointF(px, plot.bottom() + (t.label.isEmpty() ? 3 : 6)));
        if (!t.label.isEmpty()) {
            painter.drawText(QRectF(px - 60, plot.bottom() + 8, 120, 20),
                             Qt::AlignHCenter | Qt::AlignTop, t.label);
        }
    }
    for (const Tick& t : yTicks) {
        const double py = y.pixel(t.value);
        painter.setPen(QPen(gridColour, 1));
        painter.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPointF(plot.left() - 6, py), QPointF(plot.left(), py));
        painter.drawText(QRectF(plot.left() - 10 - yLabelWidth, py - 10, yLabelWidth, 20),
                         Qt::AlignRight | Qt::AlignVCenter, t.label);
    }

    // Axis titles.
    painter.setFont(font(15));
    painter.drawText(
        QRectF(plot.left(), plot.bottom() + 36, plot.width(), 24),
        Qt::AlignHCenter | Qt::AlignVCenter,
        QString::fromStdString(chart.xLabel) +
            (chart.logarithmic ? QStringLiteral("  [escala logarítmica]") : QString()));
    painter.save();
    painter.translate(18, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, -12, plot.height(), 24), Qt::AlignCenter,
                     QStringLiteral("Distância (km)"));
    painter.restore();

    std::vector<QRectF> labels = drawRejectedStretches(painter, plot, chart, x);

    // The three distances, the maximum below the two it follows.
    painter.save();
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(maximumColour, 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(seriesPath(chart.points, &ChartPoint::maximumDistance, x, y));
    painter.setPen(QPen(powerColour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(seriesPath(chart.points, &ChartPoint::powerDistance, x, y));
    painter.setPen(QPen(riseTimeColour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(seriesPath(chart.points, &ChartPoint::riseTimeDistance, x, y));
    painter.restore();

    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    const std::vector<QRectF> crossoverLabels = drawCrossovers(painter, plot, chart, x, y);
    labels.insert(labels.end(), crossoverLabels.begin(), crossoverLabels.end());
    drawLegend(painter, plot, chart, x, y, labels);

    if (chart.points.empty()) {
        painter.setFont(font(16));
        painter.setPen(Qt::black);
        painter.drawText(plot, Qt::AlignCenter,
                         QStringLiteral("Nenhum ponto da varredura chegou ao fim sem falha"));
    }
    painter.end();
    return image;
}

// Qt's own notes (about the run-time folder, say) are not the command line's
// output; only its critical messages pass.
void keepQtQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

class QuietQt {
public:
    QuietQt() : m_previous(qInstallMessageHandler(keepQtQuiet)) {}
    ~QuietQt() { qInstallMessageHandler(m_previous); }
    QuietQt(const QuietQt&) = delete;
    QuietQt& operator=(const QuietQt&) = delete;

private:
    QtMessageHandler m_previous;
};

} // namespace

std::string drawSweepChart(const SweepChart& chart) {
    const QuietQt quiet;
    // Fonts need a Gui application; the offscreen platform needs no display.
    std::optional<QGuiApplication> application;
    static int argc = 1;
    static char name[] = "vantero";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application.emplace(argc, argv);
    }
    const QImage image = drawImage(chart);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace vantero::cli
