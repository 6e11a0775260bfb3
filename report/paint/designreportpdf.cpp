#include "report/paint/designreportpdf.h"

#include "common/numbers/formatting.h"
#include "report/barchart.h"
#include "report/paint/chartpainter.h"
#include "report/paint/reportpages.h"
#include "report/reportcharts.h"

#include <QPainter>
#include <QPdfWriter>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace vantero::report {
namespace {

const QColor ink = inkOfPages();
const QColor accent = accentInk();
const QColor alarm = alarmInk();
const QColor grey = mutedInk();

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
    if (!report.parts.empty()) {
        QStringList requests;
        for (const ReportPart& part : report.parts) {
            requests << text(part.request);
        }
        pages.paragraph(QStringLiteral("Peças do catálogo: ") +
                            requests.join(QStringLiteral(", ")) + QStringLiteral(" (página 2)"),
                        sans(8.6), ink);
    }

    pages.heading(QStringLiteral("Entradas"));
    if (!report.parts.empty()) {
        pages.note(QStringLiteral("Após o rótulo, a peça do catálogo que deu o valor da entrada."));
    }
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

// "Transceptor 10GBASE-LR", "Fibra G.652.D a 1310 nm".
QString partHeading(const ReportPart& part) {
    QString heading = (part.kind == PartKind::Transceiver ? QStringLiteral("Transceptor ")
                                                          : QStringLiteral("Fibra ")) +
                      text(part.name);
    if (part.wavelength) {
        heading += QStringLiteral(" a ") + text(catalogue::numberText(*part.wavelength)) +
                   QStringLiteral(" nm");
    }
    return heading;
}

// The figures an input was set from and how: "launch-power: de -8.2 a 0.5
// dBm [1] → o mínimo".
QString figuresLine(const ReportPartInput& input) {
    QStringList figures;
    for (const ReportFigure& figure : input.figures) {
        QString line = text(figure.name);
        if (!figure.band.empty()) {
            line += QStringLiteral(" em ") + text(figure.band);
        }
        line += QStringLiteral(": ") + text(figure.value);
        if (!figure.note.empty()) {
            line += QStringLiteral(" (") + text(figure.note) + QStringLiteral(")");
        }
        line += QStringLiteral(" [%1]").arg(figure.source + 1);
        figures << line;
    }
    QString line = figures.join(QStringLiteral("; "));
    if (!input.how.empty()) {
        line += (line.isEmpty() ? QString() : QStringLiteral(" → ")) + text(input.how);
    }
    return line;
}

// The parts of the catalogue the link was given: each with the inputs it set,
// the figures and how, those it left; then the sources of those figures.
void partsPages(ReportPages& pages, const DesignReport& report) {
    pages.heading(QStringLiteral("Peças do catálogo"));
    pages.note(QStringLiteral(
        "Entradas dadas por peças do catálogo (--use), antes de cada --set: o projeto toma o pior "
        "caso de cada valor. Os números entre colchetes remetem às fontes, no fim da seção."));
    for (const ReportPart& part : report.parts) {
        pages.subheading(partHeading(part));
        if (!part.title.empty()) {
            pages.paragraphWhole(text(part.title), sans(8.4), ink);
        }
        // A path may be longer than a line.
        pages.paragraphWhole(QStringLiteral("--use ") + text(part.request) +
                                 QStringLiteral(" · arquivo ") + text(part.file) +
                                 QStringLiteral(", linha %1").arg(part.line),
                             sans(7.8), grey, 0, Qt::TextWrapAnywhere);
        pages.advance(4);
        for (const ReportPartInput& input : part.set) {
            pages.makeRoom(40); // the input with its first lines
            table(pages,
                  {{{text(input.label), text(input.text), text(input.unit)}, false, input.choice}});
            pages.advance(-3);
            pages.paragraphWhole(figuresLine(input), sans(7.8), ink, 12);
            if (!input.note.empty()) {
                pages.paragraphWhole(QStringLiteral("Nota: ") + text(input.note), sans(7.8), grey,
                                     12);
            }
            if (!input.overriddenBy.empty()) {
                pages.paragraphWhole(QStringLiteral("Substituída por ") + text(input.overriddenBy) +
                                         QStringLiteral(": o projeto usa ") + text(input.usedText) +
                                         QStringLiteral("."),
                                     sans(7.8, true), alarm, 12);
            }
            pages.advance(5);
        }
        if (!part.left.empty()) {
            QStringList left;
            for (const std::string& label : part.left) {
                left << text(label);
            }
            pages.paragraphWhole(QStringLiteral("Mantidas como estavam, sem valor na peça: ") +
                                     left.join(QStringLiteral("; ")) + QStringLiteral("."),
                                 sans(7.8), grey);
        }
        pages.advance(6);
    }

    pages.subheading(QStringLiteral("Fontes"));
    for (std::size_t i = 0; i < report.sources.size(); ++i) {
        const ReportSource& source = report.sources[i];
        pages.paragraphWhole(QStringLiteral("[%1] ").arg(i + 1) + text(source.document), sans(8.4),
                             ink);
        for (const auto& [caption, field] : {std::pair{QStringLiteral("Edição: "), &source.edition},
                                             std::pair{QStringLiteral("Página: "), &source.page}}) {
            if (!field->empty()) {
                pages.paragraphWhole(caption + text(*field), sans(7.8), ink, 18);
            }
        }
        if (!source.address.empty()) {
            pages.paragraphWhole(QStringLiteral("Endereço: ") + text(source.address), sans(7.8),
                                 ink, 18, Qt::TextWrapAnywhere);
        }
        pages.paragraphWhole(source.reproduces.empty()
                                 ? QStringLiteral("Valores do próprio documento.")
                                 : QStringLiteral("Reproduz a tabela de ") +
                                       text(source.reproduces) + QStringLiteral("."),
                             sans(7.8), grey, 18);
        pages.advance(4);
    }
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

// The page of the trials: the spreads, how often each budget is met at each
// length beside the verdict of the inputs as given, and the histograms of the
// maximum distance and of the power margin at each length, two to a row.
void trialPage(ReportPages& pages, const TrialCharts& trials) {
    QPainter& p = pages.painter();
    const ChartLook look = pageLook();
    const TextMeasure measure = textMeasure(look, p.device());

    pages.heading(QStringLiteral("Balanço estatístico"));
    for (const std::string& line : trialHeading(trials)) {
        pages.paragraphWhole(text(line), sans(8.4), ink);
    }
    pages.advance(4);
    pages.note(QStringLiteral("Cada ensaio sorteia as entradas com dispersão; as outras ficam como "
                              "neste projeto. O pior caso é este projeto, com as entradas como "
                              "dadas."));
    for (const TrialLength& at : trials.at) {
        pages.subheading(QStringLiteral("A ") + text(shortNumber(at.distance)) +
                         QStringLiteral(" km"));
        const std::vector<TableRow> rows = {
            {{QStringLiteral("Balanço de potência atendido"), text(percentText(at.powerBudgetMet)),
              QStringLiteral("pior caso: ") + text(verdictText(at.worstPowerBudgetMet))}},
            {{QStringLiteral("Balanço de tempo de subida atendido"),
              text(percentText(at.riseTimeBudgetMet)),
              QStringLiteral("pior caso: ") + text(verdictText(at.worstRiseTimeBudgetMet))}},
            {{QStringLiteral("Ambos atendidos"), text(percentText(at.bothMet)), QString()}, true},
        };
        table(pages, rows, {250, 90, 155});
    }

    std::vector<std::pair<const TrialFigure*, std::string>> figures{
        {&trials.maximumDistance, statisticsText(trials.maximumDistance)}};
    for (const TrialLength& at : trials.at) {
        figures.emplace_back(&at.powerMargin, statisticsText(at.powerMargin));
    }
    constexpr double chartHeight = 200;
    const double half = (contentWidth - 12) / 2;
    for (std::size_t i = 0; i < figures.size(); i += 2) {
        pages.makeRoom(chartHeight + 6);
        for (std::size_t j = i; j < std::min(i + 2, figures.size()); ++j) {
            const Box area{marginX + static_cast<double>(j - i) * (half + 12), pages.y(), half,
                           chartHeight};
            paintLineChart(p,
                           trialHistogram(*figures[j].first, trials.trials, figures[j].second, area,
                                          look, measure),
                           look);
        }
        pages.advance(chartHeight + 6);
    }
}

} // namespace

std::string drawDesignReport(const DesignReport& report) {
    return reportPdf(QStringLiteral("Relatório de projeto: ") + text(report.caption),
                     QStringLiteral("VANTERO · Relatório de projeto · ") + text(report.program),
                     text(report.date), [&](ReportPages& pages) {
                         firstPage(pages, report);
                         if (!report.parts.empty()) {
                             pages.newPage();
                             partsPages(pages, report);
                         }
                         if (report.budgets) {
                             pages.newPage();
                             budgetPage(pages, report);
                             pages.newPage();
                             chartPage(pages, report);
                         }
                         if (report.trials) {
                             pages.newPage();
                             trialPage(pages, *report.trials);
                         }
                     });
}

} // namespace vantero::report
