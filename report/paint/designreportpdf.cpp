#include "report/paint/designreportpdf.h"

#include "common/numbers/formatting.h"
#include "report/barchart.h"
#include "report/paint/chartpainter.h"
#include "report/paint/reportpages.h"
#include "report/reportcharts.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <vector>

namespace vantero::report {
namespace {

const QColor ink = inkOfPages();
const QColor accent = accentInk();
const QColor alarm = alarmInk();

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
    inputTables(pages, report.pages);

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
                                                  sans(8.6, true), alarm, 10);
            QPainter& p = pages.painter();
            p.setPen(QPen(alarm, 0.8));
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
    const ChartLook look = pageLook();
    const TextMeasure measure = textMeasure(look, p.device());

    pages.heading(QStringLiteral("Balanço de potência") + at);
    pages.note(QStringLiteral("A margem é a potência acoplada menos cada um dos outros termos: a "
                              "sensibilidade e cada perda, na ordem da fórmula."));
    std::vector<TableRow> rows = termRows(b.powerTerms);
    rows.push_back(
        {{QStringLiteral("Margem de potência"), text(formatResult(*b.powerMargin)), "dB"}, true});
    table(pages, rows);
    const Box waterfallArea{marginX, pages.y() + 4, contentWidth, 200};
    paintBarChart(p, powerWaterfall(b, waterfallArea, look, measure), look);
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
    paintBarChart(p, riseTimeBars(b, barsArea, look, measure), look);
    pages.advance(barsArea.height + 6);
}

// Page 3: the maximum distance against the bit rate, both margins against
// the length.
void chartPage(ReportPages& pages, const DesignReport& report) {
    QPainter& p = pages.painter();
    const ChartLook look = pageLook();
    const TextMeasure measure = textMeasure(look, p.device());

    const Box probe{marginX, pages.y(), contentWidth, 290};
    if (bitRateChart(report, probe, look, measure)) {
        pages.heading(QStringLiteral("Distância máxima em função da taxa de transmissão"));
        pages.note(
            QStringLiteral("As outras entradas como neste projeto; o ponto marca este "
                           "projeto. A linha larga é a distância máxima, a menor das duas."));
        const Box area{marginX, pages.y(), contentWidth, 290};
        paintLineChart(p, *bitRateChart(report, area, look, measure), look);
        pages.advance(area.height + 6);
    }

    pages.heading(QStringLiteral("Margens em função do comprimento"));
    pages.note(QStringLiteral("Cada margem é zero na distância do seu balanço; a linha tracejada "
                              "marca a distância máxima."));
    const Box area{marginX, pages.y(), contentWidth,
                   std::min(330.0, pageHeight - marginBottom - pages.y() - 6)};
    for (const LineChart& chart : marginCharts(report, area, look, measure)) {
        paintLineChart(p, chart, look);
    }
    pages.advance(area.height);
}

} // namespace

std::string drawDesignReport(const DesignReport& report) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    setUpReportWriter(writer, QStringLiteral("Relatório de projeto: ") + text(report.caption));

    ReportPages pages(writer,
                      QStringLiteral("VANTERO · Relatório de projeto · ") + text(report.program),
                      text(report.date));
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
