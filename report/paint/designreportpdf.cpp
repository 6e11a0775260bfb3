#include "report/paint/designreportpdf.h"

#include "common/numbers/formatting.h"
#include "report/paint/painting.h"
#include "report/reportcharts.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <vector>

namespace vantero::report {
namespace {

// The page, in points (the writer's resolution is 72 to the inch).
constexpr double pageWidth = 595.28;
constexpr double pageHeight = 841.89;
constexpr double marginX = 50;
constexpr double marginTop = 46;
constexpr double marginBottom = 50;
constexpr double contentWidth = pageWidth - 2 * marginX;

const QColor ink(30, 30, 30);
const QColor grey(110, 110, 110);
const QColor rule(200, 200, 200);
const QColor stripe(243, 245, 248);
const QColor accent(31, 84, 140);
const QColor powerColour(31, 119, 180);
const QColor riseTimeColour(214, 39, 40);
const QColor maximumColour(44, 160, 44, 110);
const QColor lossColour(221, 132, 82);
const QColor gainColour(44, 160, 44);
const QColor modalColour(148, 103, 189);
const QColor totalColour(90, 90, 90);
const QColor metColour(44, 160, 44);
const QColor shortColour(214, 39, 40);
const QColor gridColour(228, 228, 228);

// A font of the report. Latin text is set without shaping, so without
// ligatures: "fi" stays two letters, and the text copies and searches as it
// reads.
QFont reportFont(const QString& family, double points, bool bold) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

QFont sans(double points, bool bold = false) {
    return reportFont(QStringLiteral("DejaVu Sans"), points, bold);
}

QFont mono(double points, bool bold = false) {
    return reportFont(QStringLiteral("DejaVu Sans Mono"), points, bold);
}

QColor barColour(BarKind kind, bool powerBudget) {
    switch (kind) {
    case BarKind::Available:
        return powerBudget ? powerColour : QColor(120, 150, 180);
    case BarKind::Loss:
        return lossColour;
    case BarKind::Gain:
        return gainColour;
    case BarKind::RiseTime:
        return modalColour;
    case BarKind::Total:
        return totalColour;
    case BarKind::MarginMet:
        return metColour;
    case BarKind::MarginShort:
        break;
    }
    return shortColour;
}

QPen linePen(LineStyle style) {
    switch (style) {
    case LineStyle::Power:
    case LineStyle::PowerMargin:
        return QPen(powerColour, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    case LineStyle::RiseTime:
    case LineStyle::RiseTimeMargin:
        return QPen(riseTimeColour, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    case LineStyle::Maximum:
        break;
    }
    return QPen(maximumColour, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The pages of the report and where the next block goes.
class ReportPages {
public:
    explicit ReportPages(QPdfWriter& writer, const DesignReport& report)
        : m_writer(writer), m_report(report), m_painter(&writer) {
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::TextAntialiasing);
        startPage();
    }

    QPainter& painter() { return m_painter; }
    double y() const { return m_y; }
    void advance(double height) { m_y += height; }

    // Starts a new page unless `height` fits below the current position.
    void makeRoom(double height) {
        if (m_y + height > pageHeight - marginBottom) {
            newPage();
        }
    }

    void newPage() {
        m_writer.newPage();
        startPage();
    }

    void finish() { m_painter.end(); }

    // A line of text across the content, wrapped; gives its height.
    double paragraph(const QString& line, const QFont& font, const QColor& colour,
                     double indent = 0) {
        m_painter.setFont(font);
        m_painter.setPen(colour);
        const QRectF area(marginX + indent, m_y, contentWidth - indent, pageHeight);
        const QRectF used =
            m_painter.boundingRect(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, line);
        m_painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, line);
        m_y += used.height();
        return used.height();
    }

    void heading(const QString& title) {
        makeRoom(60);
        m_y += 8;
        paragraph(title, sans(12.5, true), accent);
        m_y += 2;
        m_painter.setPen(QPen(accent, 0.8));
        m_painter.drawLine(QPointF(marginX, m_y), QPointF(marginX + contentWidth, m_y));
        m_y += 7;
    }

    void subheading(const QString& title) {
        makeRoom(40);
        m_y += 3;
        paragraph(title, sans(9.5, true), ink);
        m_y += 2;
    }

    void note(const QString& line) {
        paragraph(line, sans(7.8), grey);
        m_y += 5;
    }

private:
    void startPage() {
        ++m_page;
        m_y = marginTop;
        m_painter.setFont(sans(7.5));
        m_painter.setPen(grey);
        const QRectF top(marginX, 24, contentWidth, 12);
        m_painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter,
                           QStringLiteral("VANTERO · Relatório de projeto · ") +
                               text(m_report.program));
        m_painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, text(m_report.date));
        m_painter.drawText(QRectF(marginX, pageHeight - 34, contentWidth, 12),
                           Qt::AlignHCenter | Qt::AlignVCenter,
                           QStringLiteral("página %1").arg(m_page));
    }

    QPdfWriter& m_writer;
    const DesignReport& m_report;
    QPainter m_painter;
    double m_y = marginTop;
    int m_page = 0;
};

// One row of a table: its cells, and how it stands out.
struct TableRow {
    std::array<QString, 3> cells;
    bool bold = false;
    bool words = false; // the value is words, not a number
};

// A table of three columns (label, value right-aligned, numbers in a
// fixed-width font, unit), striped, the label wrapped when long.
void table(ReportPages& pages, const std::vector<TableRow>& rows,
           std::array<double, 3> widths = {300, 115, 80}) {
    QPainter& p = pages.painter();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TableRow& row = rows[i];
        const QFont labelFont = sans(8.4, row.bold);
        const QFont valueFont = row.words ? labelFont : mono(8.4, row.bold);
        p.setFont(labelFont);
        const QRectF labelArea(marginX + 6, 0, widths[0] - 12, pageHeight);
        const double labelHeight =
            p.boundingRect(labelArea, Qt::AlignLeft | Qt::TextWordWrap, row.cells[0]).height();
        const double height = std::max(labelHeight, QFontMetricsF(labelFont).height()) + 2.6;
        pages.makeRoom(height);
        const double y = pages.y();
        if (i % 2 == 0) {
            p.fillRect(QRectF(marginX, y, widths[0] + widths[1] + widths[2], height), stripe);
        }
        p.setPen(ink);
        p.setFont(labelFont);
        p.drawText(QRectF(marginX + 6, y + 1, widths[0] - 12, height - 2),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, row.cells[0]);
        p.setFont(valueFont);
        p.drawText(QRectF(marginX + widths[0], y + 1, widths[1] - 6, height - 2),
                   Qt::AlignRight | Qt::AlignVCenter, row.cells[1]);
        p.setFont(labelFont);
        p.drawText(QRectF(marginX + widths[0] + widths[1] + 6, y + 1, widths[2] - 6, height - 2),
                   Qt::AlignLeft | Qt::AlignVCenter, row.cells[2]);
        pages.advance(height);
    }
    pages.advance(4);
}

TextWidth widthIn(const QFont& font, QPaintDevice* device) {
    return [font, device](std::string_view s) {
        return QFontMetricsF(font, device)
            .horizontalAdvance(QString::fromUtf8(s.data(), static_cast<int>(s.size())));
    };
}

void drawTicksX(QPainter& p, const Box& plot, const Axis& axis, const std::vector<Tick>& ticks,
                double lineHeight, bool grid) {
    for (const Tick& t : ticks) {
        const double x = axis.pixel(t.value);
        if (grid) {
            p.setPen(QPen(gridColour, t.label.empty() ? 0.4 : 0.7));
            p.drawLine(QPointF(x, plot.top), QPointF(x, plot.bottom()));
        }
        p.setPen(QPen(grey, 0.6));
        p.drawLine(QPointF(x, plot.bottom()),
                   QPointF(x, plot.bottom() + (t.label.empty() ? 2 : 4)));
        if (!t.label.empty()) {
            p.setPen(ink);
            p.drawText(QRectF(x - 40, plot.bottom() + 4, 80, lineHeight),
                       Qt::AlignHCenter | Qt::AlignTop, text(t.label));
        }
    }
}

void drawBarChart(QPainter& p, const BarChart& chart, bool powerBudget, const QFont& font) {
    const double lineHeight = QFontMetricsF(font, p.device()).height();
    p.setFont(font);
    drawTicksX(p, chart.plot, chart.axis, chart.ticks, lineHeight, true);
    p.setPen(ink);
    p.drawText(rect(chart.axisTitleBox), Qt::AlignHCenter | Qt::AlignVCenter,
               text(chart.axisTitle));

    p.setPen(QPen(grey, 0.6, Qt::DotLine));
    for (const auto& [from, to] : chart.steps) {
        p.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
    }
    for (const BarRow& row : chart.rows) {
        p.fillRect(rect(row.bar), barColour(row.kind, powerBudget));
        p.setPen(ink);
        p.drawText(rect(row.captionBox), Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap,
                   text(row.caption));
        p.setPen(row.valueInside ? Qt::white : ink);
        p.drawText(rect(row.valueBox), Qt::AlignCenter, text(row.value));
    }
    if (chart.reference) {
        const ReferenceLine& r = *chart.reference;
        p.setPen(QPen(ink, 0.9, Qt::DashLine));
        p.drawLine(QPointF(r.x, chart.plot.top - 2), QPointF(r.x, chart.plot.bottom()));
        p.setPen(ink);
        p.drawText(rect(r.labelBox), Qt::AlignCenter, text(r.label));
    }
    p.setPen(QPen(grey, 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(chart.plot.left, chart.plot.bottom()),
               QPointF(chart.plot.right(), chart.plot.bottom()));
}

void drawLineChart(QPainter& p, const LineChart& chart, const QFont& font) {
    const double lineHeight = QFontMetricsF(font, p.device()).height();
    const Box& plot = chart.plot;
    p.setFont(font);
    drawTicksX(p, plot, chart.x, chart.xTicks, lineHeight, true);
    for (const Tick& t : chart.yTicks) {
        const double y = chart.y.pixel(t.value);
        p.setPen(QPen(gridColour, 0.7));
        p.drawLine(QPointF(plot.left, y), QPointF(plot.right(), y));
        p.setPen(ink);
        p.drawText(QRectF(plot.left - 100, y - lineHeight / 2, 96, lineHeight),
                   Qt::AlignRight | Qt::AlignVCenter, text(t.label));
    }
    if (chart.zeroY) {
        p.setPen(QPen(grey, 0.9));
        p.drawLine(QPointF(plot.left, *chart.zeroY), QPointF(plot.right(), *chart.zeroY));
    }
    p.setPen(ink);
    if (!chart.xTitle.empty()) {
        p.drawText(rect(chart.xTitleBox), Qt::AlignHCenter | Qt::AlignVCenter, text(chart.xTitle));
    }
    p.setFont(sans(font.pointSizeF(), true));
    p.drawText(rect(chart.yTitleBox), Qt::AlignLeft | Qt::AlignVCenter, text(chart.yTitle));
    p.setFont(font);

    for (const auto& [left, right] : chart.shortStretches) {
        const QRectF stretch(QPointF(left, plot.top), QPointF(right, plot.bottom()));
        p.fillRect(stretch, QColor(214, 39, 40, 20));
        const QString caption = QStringLiteral("tempo de subida não atendido");
        const double w = QFontMetricsF(font, p.device()).horizontalAdvance(caption);
        if (w + 8 < stretch.width()) {
            p.setPen(QColor(150, 40, 40));
            p.drawText(QRectF(stretch.right() - w - 4, plot.top + 3, w, lineHeight),
                       Qt::AlignRight | Qt::AlignVCenter, caption);
        }
    }

    p.save();
    p.setClipRect(rect(plot).adjusted(-1, -4, 1, 4));
    p.setBrush(Qt::NoBrush);
    for (const ChartLine& line : chart.lines) {
        p.setPen(linePen(line.style));
        p.drawPath(path(line.pieces, 1.2));
    }
    p.restore();

    for (const VerticalMark& mark : chart.verticals) {
        p.setPen(QPen(totalColour, 0.9, Qt::DashLine));
        p.drawLine(QPointF(mark.x, plot.top), QPointF(mark.x, plot.bottom()));
        p.setPen(ink);
        p.drawText(rect(mark.labelBox), Qt::AlignLeft | Qt::AlignVCenter, text(mark.label));
    }
    for (const ChartMarker& marker : chart.markers) {
        p.setPen(QPen(ink, 1.1));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(marker.at.x, marker.at.y), 3.2, 3.2);
        p.setBrush(QColor(255, 255, 255, 225));
        p.setPen(Qt::NoPen);
        p.drawRect(rect(marker.labelBox).adjusted(-2, 0, 2, 0));
        p.setPen(ink);
        p.drawText(rect(marker.labelBox), Qt::AlignLeft | Qt::AlignVCenter, text(marker.label));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(grey, 0.7));
    p.drawRect(rect(plot));

    for (const LegendEntry& entry : chart.legend) {
        const double middle = entry.sample.top + entry.sample.height / 2;
        QPen pen = linePen(entry.style);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(QPointF(entry.sample.left, middle), QPointF(entry.sample.right(), middle));
        p.setPen(ink);
        p.drawText(rect(entry.text), Qt::AlignLeft | Qt::AlignVCenter, text(entry.caption));
    }
}

// Page 1: who, what and when; the inputs; the results.
void firstPage(ReportPages& pages, const DesignReport& report) {
    pages.advance(6);
    pages.paragraph(text(report.caption), sans(15, true), ink);
    pages.advance(4);
    pages.paragraph(QStringLiteral("Programa: ") + text(report.program), sans(8.6), ink);
    pages.paragraph(QStringLiteral("Arquivo de projeto: ") +
                        (report.projectFile.empty()
                             ? QStringLiteral("nenhum (os valores iniciais da janela)")
                             : text(report.projectFile)),
                    sans(8.6), ink);
    pages.paragraph(QStringLiteral("Data: ") + text(report.date), sans(8.6), ink);

    pages.heading(QStringLiteral("Entradas"));
    for (const ReportInputPage& page : report.pages) {
        pages.subheading(text(page.title));
        std::vector<TableRow> rows;
        for (const ReportInput& input : page.inputs) {
            rows.push_back(
                {{text(input.label), text(input.text), text(input.unit)}, false, input.choice});
        }
        table(pages, rows);
    }

    pages.heading(QStringLiteral("Resultados"));
    std::vector<TableRow> rows;
    auto flush = [&] {
        table(pages, rows, {300, 195, 0});
        rows.clear();
    };
    for (const ReportResult& result : report.results) {
        switch (result.kind) {
        case ReportResult::Kind::Number:
            rows.push_back({{text(result.label), text(result.text), {}}, true});
            break;
        case ReportResult::Kind::Verdict:
            flush();
            pages.makeRoom(20);
            pages.paragraph(text(result.text), sans(10, true), accent, 6);
            pages.advance(4);
            break;
        case ReportResult::Kind::Message:
        case ReportResult::Kind::Fault: {
            flush();
            pages.makeRoom(34);
            const double top = pages.y();
            pages.advance(4);
            const double height = pages.paragraph((result.kind == ReportResult::Kind::Message
                                                       ? QStringLiteral("Mensagem: ")
                                                       : QStringLiteral("Falha: ")) +
                                                      text(result.text),
                                                  sans(8.6, true), shortColour, 10);
            QPainter& p = pages.painter();
            p.setPen(QPen(shortColour, 0.8));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(marginX, top, contentWidth, height + 8));
            pages.advance(8);
            break;
        }
        }
    }
    flush();
}

std::vector<TableRow> termRows(const std::vector<BudgetTerm>& terms) {
    std::vector<TableRow> rows;
    for (const BudgetTerm& term : terms) {
        rows.push_back({{text(std::string(term.caption)), text(formatResult(term.value)),
                         text(std::string(term.unit))}});
    }
    return rows;
}

// Page 2: both budgets at the maximum distance.
void budgetPage(ReportPages& pages, const DesignReport& report) {
    const LinkBudgets& b = *report.budgets;
    const QString at = QStringLiteral(" a ") + text(formatResult(b.distance)) +
                       QStringLiteral(" km (distância máxima)");
    QPainter& p = pages.painter();
    const QFont chartFont = sans(7.6);
    const double lineHeight = QFontMetricsF(chartFont, p.device()).height();

    pages.heading(QStringLiteral("Balanço de potência") + at);
    pages.note(QStringLiteral("A margem é a potência acoplada menos cada um dos outros termos: a "
                              "sensibilidade e cada perda, na ordem da fórmula."));
    std::vector<TableRow> rows = termRows(b.powerTerms);
    rows.push_back(
        {{QStringLiteral("Margem de potência"), text(formatResult(*b.powerMargin)), "dB"}, true});
    table(pages, rows);
    const Box waterfallArea{marginX, pages.y() + 4, contentWidth, 200};
    drawBarChart(p, powerWaterfall(b, waterfallArea, lineHeight, widthIn(chartFont, p.device())),
                 true, chartFont);
    pages.advance(waterfallArea.height + 10);

    pages.heading(QStringLiteral("Balanço de tempo de subida") + at);
    pages.note(QStringLiteral("O tempo de subida do enlace é a raiz da soma dos quadrados dos seus "
                              "termos; a margem é o tempo permitido menos ele."));
    rows = termRows(b.riseTimeTerms);
    rows.push_back(
        {{QStringLiteral("Margem de tempo de subida"), text(formatResult(*b.riseTimeMargin)), "ns"},
         true});
    table(pages, rows);
    const double barsHeight = std::min(180.0, pageHeight - marginBottom - pages.y() - 8);
    const Box barsArea{marginX, pages.y() + 4, contentWidth, barsHeight};
    drawBarChart(p, riseTimeBars(b, barsArea, lineHeight, widthIn(chartFont, p.device())), false,
                 chartFont);
    pages.advance(barsArea.height + 6);
}

// Page 3: the maximum distance against the bit rate, both margins against
// the length.
void chartPage(ReportPages& pages, const DesignReport& report) {
    QPainter& p = pages.painter();
    const QFont chartFont = sans(7.6);
    const double lineHeight = QFontMetricsF(chartFont, p.device()).height();
    const TextWidth width = widthIn(chartFont, p.device());

    const Box probe{marginX, pages.y(), contentWidth, 290};
    if (const auto chart = bitRateChart(report, probe, lineHeight, width)) {
        pages.heading(QStringLiteral("Distância máxima em função da taxa de transmissão"));
        pages.note(
            QStringLiteral("As outras entradas como neste projeto; o ponto marca este "
                           "projeto. A linha larga é a distância máxima, a menor das duas."));
        const Box area{marginX, pages.y(), contentWidth, 290};
        drawLineChart(p, *bitRateChart(report, area, lineHeight, width), chartFont);
        pages.advance(area.height + 6);
    }

    pages.heading(QStringLiteral("Margens em função do comprimento"));
    pages.note(QStringLiteral("Cada margem é zero na distância do seu balanço; a linha tracejada "
                              "marca a distância máxima."));
    const Box area{marginX, pages.y(), contentWidth,
                   std::min(330.0, pageHeight - marginBottom - pages.y() - 6)};
    for (const LineChart& chart : marginCharts(report, area, lineHeight, width)) {
        drawLineChart(p, chart, chartFont);
    }
    pages.advance(area.height);
}

} // namespace

std::string drawDesignReport(const DesignReport& report) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    writer.setTitle(QStringLiteral("Relatório de projeto: ") + text(report.caption));
    writer.setCreator(QStringLiteral("VANTERO"));

    ReportPages pages(writer, report);
    firstPage(pages, report);
    if (report.budgets) {
        pages.newPage();
        budgetPage(pages, report);
        pages.newPage();
        chartPage(pages, report);
    }
    pages.finish();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace vantero::report
