// The summary report of a table of links as a PDF file, read back with
// poppler's tools (skipped where they are not installed): its text, the
// failing links worst first, A4 pages, the fonts embedded.

#include "calculators/registry.h"
#include "common/linktable/linktable.h"
#include "common/testing/filetesting.h"
#include "common/testing/pdftesting.h"
#include "report/paint/linksreportpdf.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace vantero::report {
namespace {

using namespace pdftesting;

// The summary of a table of tavo links of every kind: meeting both budgets,
// failing the power budget (F the worst), failing the rise-time budget, a
// fault, a bad cell, one without a length.
linktable::LinkSummary summaryOfTable() {
    const std::string table = "id,length,connectorCount,bitRate,lineCode\n"
                              "A,30,,,\nB,60,8,,\nC,10,,0,\nD,12,\"2,5\",,\n"
                              "E,25,,,\nF,90,,,\nG,10,,,rz\nH,,,,\n";
    const Calculator& tavo = *findCalculator("tavo");
    linktable::CsvReader reader(linktable::textSource(table));
    linktable::RowBuffer header;
    reader.read(header);
    std::vector<std::string_view> names;
    header.cells(0, names);
    const linktable::LinkColumns columns(tavo, names);
    const std::unique_ptr<Session> base = tavo.newSession();
    base->setText(*tavo.findInput("connectorLoss"), "0.75");
    return linktable::runLinkTable(*base, columns, linktable::rowsOf(reader),
                                   [](std::string_view) {});
}

TEST(LinksReportPdf, saysWhatTheTableGaveAsTextOnA4Pages) {
    if (!havePoppler()) {
        GTEST_SKIP() << "pdftotext and pdffonts (poppler-utils) are not installed";
    }
    const linktable::LinkSummary summary = summaryOfTable();
    const Calculator& tavo = *findCalculator("tavo");
    const LinksReport report = linksReport(summary, tavo, "/dados/enlaces.csv", "02/03/2026");
    ASSERT_EQ(report.failing[0].worst.size(), 2U);
    filetesting::TestFolder folder;
    const std::string path = (folder / "links.pdf").string();
    std::ofstream(path, std::ios::binary) << drawLinksReport(report);

    const std::string text = pdfWords(path);
    for (const std::string& said :
         {std::string("Resumo de uma tabela de enlaces"), words(tavo.caption()),
          std::string("Tabela: /dados/enlaces.csv"), std::string("Data: 02/03/2026"),
          std::string("Enlaces na tabela 8"), std::string("Distribuição das margens"),
          std::string("Margem de potência (dB)"), std::string("Margem de tempo de subida (ns)"),
          std::string("Enlaces que não atendem ao balanço de potência"),
          std::string("Enlaces que não atendem ao balanço de tempo de subida"),
          std::string("Entradas de base"), std::string("Taxa de transmissão de dados"),
          std::string("0.75")}) {
        EXPECT_NE(text.find(said), std::string::npos) << said << "\nin: " << text;
    }
    for (const LinkCount& count : report.counts) {
        EXPECT_NE(text.find(count.label + " " + std::to_string(count.count)), std::string::npos)
            << count.label;
    }
    // Every cell of each failing link under the list's heading, the worst
    // margin (power, rise time) first.
    for (std::size_t l = 0; l < 2; ++l) {
        std::size_t previous = text.find(report.failing[l].title);
        ASSERT_NE(previous, std::string::npos);
        for (const linktable::FailingLink& link : report.failing[l].worst) {
            const auto cells = failingCells(link);
            for (const std::string& cell : cells) {
                EXPECT_NE(text.find(" " + cell + " ", previous), std::string::npos) << cell;
            }
            const std::size_t margin = text.find(" " + cells[3 + l] + " ", previous);
            ASSERT_NE(margin, std::string::npos) << cells[1] << " before the one above it";
            previous = margin;
        }
    }

    const std::string info = pdfInfo(path);
    EXPECT_NE(info.find("595 x 842 pts (A4)"), std::string::npos) << info;
    EXPECT_EQ(info.find("Pages:           1\n"), std::string::npos) << info;
    const PdfFonts fonts = dejaVuFonts(path);
    EXPECT_GE(fonts.listed, 2) << fonts.text;
    EXPECT_TRUE(fonts.allEmbedded) << fonts.text;
}

} // namespace
} // namespace vantero::report
