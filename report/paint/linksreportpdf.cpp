#include "report/paint/linksreportpdf.h"

#include "report/paint/chartpainter.h"
#include "report/paint/reportpages.h"

#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <vector>

namespace vantero::report {
namespace {

QString number(std::uint64_t count) {
    return QString::number(static_cast<qulonglong>(count));
}

QString links(std::uint64_t count) {
    return number(count) + (count == 1 ? QStringLiteral(" enlace") : QStringLiteral(" enlaces"));
}

// Page 1: what, which table and when; how many links of each kind; how the
// margins are spread.
void summaryPage(ReportPages& pages, const LinksReport& report) {
    pages.advance(6);
    pages.paragraph(QStringLiteral("Resumo de uma tabela de enlaces"), sans(15, true),
                    inkOfPages());
    pages.advance(4);
    pages.paragraph(text(report.caption), sans(10), inkOfPages());
    pages.advance(2);
    pages.paragraph(QStringLiteral("Programa: ") + text(report.program), sans(8.6), inkOfPages());
    pages.paragraph(QStringLiteral("Tabela: ") + text(report.table), sans(8.6), inkOfPages());
    pages.paragraph(QStringLiteral("Data: ") + text(report.date), sans(8.6), inkOfPages());

    pages.heading(QStringLiteral("Enlaces"));
    std::vector<TableRow> rows{
        {{QStringLiteral("Enlaces na tabela"), number(report.links), {}}, true}};
    for (const LinkCount& count : report.counts) {
        rows.push_back({{(count.part ? QStringLiteral("\u2003dos quais, ") : QString()) +
                             text(count.label),
                         number(count.count), text(shareText(count.count, report.links))}});
    }
    table(pages, rows);
    const bool allMet = report.allMet;
    pages.paragraph(allMet ? QStringLiteral("Todos os enlaces rodaram, e os que têm comprimento "
                                            "atendem aos dois balanços.")
                           : QStringLiteral("Nem todos os enlaces atendem: as listas a seguir "
                                            "dão os de pior margem."),
                    sans(10, true), allMet ? accentInk() : alarmInk(), 6);
    pages.advance(4);

    pages.heading(QStringLiteral("Distribuição das margens"));
    pages.note(QStringLiteral("Os enlaces que rodaram e têm comprimento, pela margem de cada "
                              "balanço no seu comprimento. A linha tracejada marca o limite: as "
                              "barras à sua esquerda são de enlaces que não atendem ao balanço."));
    QPainter& p = pages.painter();
    const ChartLook look = pageLook();
    const TextMeasure measure = textMeasure(look, p.device());
    const double height = std::min(230.0, (pages.roomLeft() - 12) / 2);
    for (const MarginDistribution& margins : report.margins) {
        const Box area{marginX, pages.y(), contentWidth, height};
        paintLineChart(p, marginHistogram(margins, area, look, measure), look);
        pages.advance(height + 12);
    }
}

// The links that fail one budget, the worst first.
void failingList(ReportPages& pages, const FailingList& list) {
    pages.heading(text(list.title));
    if (list.count == 0) {
        pages.note(QStringLiteral("Nenhum."));
        return;
    }
    pages.note(list.worst.size() < list.count
                   ? links(list.count) + QStringLiteral("; os ") + number(list.worst.size()) +
                         QStringLiteral(" de pior margem, o pior primeiro.")
                   : links(list.count) + QStringLiteral(", o de pior margem primeiro."));
    const std::array<double, 6> widths{40, 105, 80, 85, 95, 90};
    std::vector<GridColumn> columns;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        columns.push_back({widths[c], text(failingHeadings[c]), c != 1 && c != 5, c == 1});
    }
    std::vector<std::vector<QString>> rows;
    for (const linktable::FailingLink& link : list.worst) {
        rows.emplace_back();
        for (const std::string& cell : failingCells(link)) {
            rows.back().push_back(text(cell));
        }
    }
    grid(pages, columns, rows);
}

} // namespace

std::string drawLinksReport(const LinksReport& report) {
    return reportPdf(
        QStringLiteral("Resumo de uma tabela de enlaces: ") + text(report.caption),
        QStringLiteral("VANTERO · Resumo de uma tabela de enlaces · ") + text(report.program),
        text(report.date), [&](ReportPages& pages) {
            summaryPage(pages, report);
            pages.newPage();
            for (const FailingList& list : report.failing) {
                failingList(pages, list);
            }
            pages.heading(QStringLiteral("Entradas de base"));
            pages.note(QStringLiteral("Cada enlace parte destes valores, e as células não vazias "
                                      "da sua linha substituem os que dão."));
            inputTables(pages, report.base);
        });
}

} // namespace vantero::report
