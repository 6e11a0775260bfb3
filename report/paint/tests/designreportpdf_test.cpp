// The design report and the charts as files, read back with poppler's tools
// (skipped where they are not installed): selectable text that holds what
// the window shows, embedded fonts, A4 pages.

#include "calculators/registry.h"
#include "common/catalogue/catalogue.h"
#include "common/catalogue/partuse.h"
#include "common/testing/filetesting.h"
#include "common/testing/pdftesting.h"
#include "report/paint/designreportpdf.h"
#include "report/paint/sweepplot.h"
#include "report/paint/trialplot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cctype>
#include <fstream>
#include <memory>
#include <regex>
#include <string>

namespace vantero::report {
namespace {

using namespace pdftesting;

// The text with no blanks at all.
std::string squeezed(std::string_view text) {
    std::string out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(out),
                 [](unsigned char c) { return std::isspace(c) == 0; });
    return out;
}

// Every font of the file is embedded, and there are at least two.
void expectFontsEmbedded(const std::string& pdf) {
    const PdfFonts fonts = dejaVuFonts(pdf);
    EXPECT_GE(fonts.listed, 2) << fonts.text;
    EXPECT_TRUE(fonts.allEmbedded) << fonts.text;
}

// Writes the report of a calculator's link at its initial figures with the
// real painter; gives its path.
std::string writeReport(const filetesting::TestFolder& folder, const Calculator& calculator) {
    const auto session = calculator.newSession();
    const std::string pdf =
        drawDesignReport(designReport(*session, session->run(), "", todaysDate()));
    const std::string path = (folder / (std::string(calculator.name()) + ".pdf").c_str()).string();
    std::ofstream(path, std::ios::binary) << pdf;
    return path;
}

TEST(DesignReportPdf, holdsTheWindowsResultsAndEveryInputLabelAsText) {
    if (!havePoppler()) {
        GTEST_SKIP() << "pdftotext and pdffonts (poppler-utils) are not installed";
    }
    filetesting::TestFolder folder;
    for (const Calculator* calculator : calculators()) {
        const std::string name(calculator->name());
        SCOPED_TRACE(name);
        const std::string pdf = writeReport(folder, *calculator);
        const std::string text = pdfWords(pdf);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.find(words(calculator->caption())), std::string::npos);

        // For tavo: 49.52537, 2274.89331, "O sistema é limitado por atenuação".
        const RunReport run = calculator->newSession()->run();
        ASSERT_FALSE(run.fault);
        for (const RunOutput& output : run.outputs) {
            EXPECT_NE(text.find(words(output.output.text())), std::string::npos)
                << output.name << ": " << output.output.text();
        }
        for (const InputDescription& input : calculator->inputs()) {
            EXPECT_NE(text.find(words(input.label)), std::string::npos) << input.label;
        }
        for (const ChoiceDescription& choice : calculator->choices()) {
            EXPECT_NE(text.find(words(choice.caption)), std::string::npos) << choice.caption;
        }

        // Three A4 pages, every font embedded.
        const std::string info = pdfInfo(pdf);
        EXPECT_NE(info.find("Pages:           3\n"), std::string::npos) << info;
        EXPECT_NE(info.find("595 x 842 pts (A4)"), std::string::npos) << info;
        expectFontsEmbedded(pdf);
    }
}

// A transceiver from a data sheet that reproduces a standard's table, with
// an address too long for a line, and a fibre from measurements of its own.
constexpr std::string_view partsFile = R"toml(
[sources.sheet]
document = "Folha de dados do módulo XYZ-10"
edition = "revisão C, 2025"
page = "tabela 4"
address = "https://example.com/produtos/modulos-opticos/xyz-10/folha-de-dados-revisao-c-com-um-endereco-que-nao-cabe-numa-linha.pdf"
reproduces = "IEEE 802.3 (cláusula 52)"

[sources.lab]
document = "Medições de aceitação do cabo do campus"
page = "folha 3"

[[transceiver]]
name = "XYZ-10"
title = "Módulo de 1310 nm de teste"
source = "sheet"
launch-power = { min = -6, max = 0.5, unit = "dBm" }
sensitivity = { value = -16, unit = "dBm", note = "potência média" }
spectral-width = { max = 0.5, unit = "nm" }

[[fibre]]
name = "campus-sm"
title = "Cabo monomodo do anel do campus"
type = "single-mode"
source = "lab"
attenuation = [{ at = 1310, max = 0.36, unit = "dB/km" }]
zero-dispersion-wavelength = { min = 1302, max = 1322, unit = "nm" }
dispersion-slope = { max = 0.09, unit = "ps/(nm^2.km)" }
splice-loss = { value = 0.05, unit = "dB" }
)toml";

TEST(DesignReportPdf, listsThePartsUsedAndTheSourceOfEveryFigureTheySet) {
    if (!havePoppler()) {
        GTEST_SKIP() << "pdftotext and pdffonts (poppler-utils) are not installed";
    }
    catalogue::Catalogue parts;
    std::vector<std::string> notices;
    // A path longer than a line.
    const std::string file = "/home/usuario/.config/vantero/catalogue/"
                             "pecas-do-laboratorio-de-comunicacoes-opticas-do-campus-medidas-em-"
                             "2026-na-revisao-final-do-projeto-do-anel.toml";
    parts.addLayer(catalogue::parseCatalogue(partsFile, file), notices);
    const Calculator& tavo = *findCalculator("tavo");
    const auto session = tavo.newSession();
    const std::vector<catalogue::PartUse> uses{
        catalogue::usePart(*session, *parts.find(PartKind::Transceiver, "XYZ-10"), std::nullopt),
        catalogue::usePart(*session, *parts.find(PartKind::Fibre, "campus-sm"), 1310.0)};
    // As --set fibreAttenuation=0.35 after them.
    session->setText(tavo.findInput("fibreAttenuation").value(), "0.35");
    const std::vector<std::string> setAfter{"fibreAttenuation"};
    DesignReport report = designReport(*session, session->run(), "", todaysDate());
    addUsedParts(report, tavo, uses, setAfter);

    filetesting::TestFolder folder;
    const std::string pdf = (folder / "parts.pdf").string();
    std::ofstream(pdf, std::ios::binary) << drawDesignReport(report);
    const std::string text = words(outputOf("pdftotext " + quoted(pdf) + " -").value_or(""));
    ASSERT_FALSE(text.empty());
    for (const char* expected :
         {"Peças do catálogo: transceiver=XYZ-10, fibre=campus-sm@1310 (página 2)",
          "Potência óptica acoplada na fibra (dBm) · peça XYZ-10",
          "Transceptor XYZ-10 Módulo de 1310 nm de teste --use transceiver=XYZ-10 · arquivo",
          "launch-power: de -6 a 0.5 dBm [1] → o mínimo",
          "sensitivity: -16 dBm (potência média) [1]",
          "Fibra campus-sm a 1310 nm Cabo monomodo do anel do campus",
          "attenuation em 1310 nm: no máximo 0.36 dB/km [2] → o máximo em 1310 nm "
          "Substituída por --set: o projeto usa 0.35.",
          "Mantidas como estavam, sem valor na peça: Banda óptica normalizada na fibra (MHz.km); "
          "Atenuação em cada conector (dB).",
          "[1] Folha de dados do módulo XYZ-10 Edição: revisão C, 2025 Página: tabela 4 "
          "Endereço:",
          "Reproduz a tabela de IEEE 802.3 (cláusula 52).",
          "[2] Medições de aceitação do cabo do campus Página: folha 3 Valores do próprio "
          "documento."}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin\n" << text;
    }
    // The path and the address whole, though broken over lines.
    EXPECT_NE(squeezed(text).find(file + ",linha13"), std::string::npos);
    EXPECT_NE(squeezed(text).find(
                  "https://example.com/produtos/modulos-opticos/xyz-10/folha-de-dados-revisao-c-"
                  "com-um-endereco-que-nao-cabe-numa-linha.pdf"),
              std::string::npos);

    // Page 2 is the parts'; no word runs past the right margin.
    const std::string info = outputOf("pdfinfo " + quoted(pdf)).value_or("");
    EXPECT_NE(info.find("Pages:           4\n"), std::string::npos) << info;
    expectFontsEmbedded(pdf);
    const std::string boxes = outputOf("pdftotext -bbox " + quoted(pdf) + " -").value_or("");
    const std::regex word(R"re(xMax="([0-9.]+)"[^>]*>([^<]*)<)re");
    int counted = 0;
    for (auto w = std::sregex_iterator(boxes.begin(), boxes.end(), word);
         w != std::sregex_iterator(); ++w, ++counted) {
        EXPECT_LE(std::stod((*w)[1]), 595.28 - 50 + 1) << (*w)[2];
    }
    EXPECT_GT(counted, 300);
}

// The trials of tavo's link at its initial figures, its connectors spread, at
// a length it reaches and one it does not.
TrialCharts tavoTrials(const Session& session) {
    trials::TrialPlan plan;
    plan.spreads.push_back(
        trials::parseSpread(session.calculator(), "connectorLoss=normal:0.3,0.1"));
    plan.lengths = {30, 60};
    plan.trials = 2000;
    trials::TrialSummary summary = trials::runTrials(session, plan);
    TrialCharts charts = trialCharts(session.calculator(), plan, summary);
    std::vector<LinkBudgets> budgets;
    for (const double km : plan.lengths) {
        budgets.push_back(session.budgetsAt(km));
    }
    setWorstCase(charts, budgets);
    return charts;
}

TEST(DesignReportPdf, endsWithAPageOfTheTrialsBesideTheLinksOwnVerdict) {
    if (!havePoppler()) {
        GTEST_SKIP() << "pdftotext and pdffonts (poppler-utils) are not installed";
    }
    filetesting::TestFolder folder;
    const auto session = findCalculator("tavo")->newSession();
    DesignReport report = designReport(*session, session->run(), "", todaysDate());
    report.trials = tavoTrials(*session);
    const std::string pdf = (folder / "trials.pdf").string();
    std::ofstream(pdf, std::ios::binary) << drawDesignReport(report);

    const std::string info = outputOf("pdfinfo " + quoted(pdf)).value_or("");
    EXPECT_NE(info.find("Pages:           4\n"), std::string::npos) << info;
    const std::string last =
        words(outputOf("pdftotext -layout -f 4 -l 4 " + quoted(pdf) + " -").value_or(""));
    for (const char* expected :
         {"Balanço estatístico", "tavo: 2000 ensaios, semente 1",
          "Dispersão: connectorLoss=normal:0.3,0.1", "A 30 km",
          "Balanço de potência atendido 100 % pior caso: atende", "A 60 km",
          "Balanço de potência atendido 0 % pior caso: não atende",
          "Balanço de tempo de subida atendido 100 % pior caso: atende", "Ambos atendidos 0 %",
          "Distância máxima", "Margem de potência a 30 km", "Margem de potência a 60 km",
          "1 %:", "50 %:", "99 %:"}) {
        EXPECT_NE(last.find(expected), std::string::npos) << expected << "\nin\n" << last;
    }
    expectFontsEmbedded(pdf);
}

TEST(TrialChartFiles, comeInTheFormatAskedAsHighAsTheirLengthsNeed) {
    const auto session = findCalculator("tavo")->newSession();
    const TrialCharts charts = tavoTrials(*session);
    const int height = static_cast<int>(std::ceil(trialPictureHeight(charts)));
    const std::string png = drawTrialCharts(charts, ImageFormat::Png);
    ASSERT_TRUE(png.starts_with("\x89PNG\r\n\x1a\n"));
    // The width and height in the header, big-endian.
    auto number = [&](std::size_t at) {
        int n = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            n = n * 256 + static_cast<unsigned char>(png[at + i]);
        }
        return n;
    };
    EXPECT_EQ(number(16), 1200);
    EXPECT_EQ(number(20), height);
    const std::string svg = drawTrialCharts(charts, ImageFormat::Svg);
    EXPECT_NE(svg.find("viewBox=\"0 0 1200 " + std::to_string(height) + "\""), std::string::npos);
    for (const char* text : {"Margem de potência a 60 km", "Dispersão: connectorLoss=normal:0.3,0.1",
                             "Ensaios (%)"}) {
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    }
    EXPECT_TRUE(drawTrialCharts(charts, ImageFormat::Pdf).starts_with("%PDF-"));
}

TEST(SweepChartFiles, comeInTheFormatAskedWithTheirText) {
    SweepChart chart;
    chart.title = "Distância Máxima";
    chart.xLabel = "Taxa de transmissão de dados (Mbits/s)";
    chart.from = 1;
    chart.to = 10;
    for (int i = 1; i <= 10; ++i) {
        ChartPoint p;
        p.input = i;
        p.powerDistance = 50.0 - i;
        p.riseTimeDistance = 100.0 / i;
        p.maximumDistance = std::min(*p.powerDistance, *p.riseTimeDistance);
        chart.points.push_back(p);
    }
    const std::string png = drawSweepChart(chart, ImageFormat::Png);
    EXPECT_TRUE(png.starts_with("\x89PNG\r\n\x1a\n"));
    const std::string svg = drawSweepChart(chart, ImageFormat::Svg);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("Distância Máxima"), std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"0 0 1200 760\""), std::string::npos);
    EXPECT_TRUE(drawSweepChart(chart, ImageFormat::Pdf).starts_with("%PDF-"));
}

} // namespace
} // namespace vantero::report
