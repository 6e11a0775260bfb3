// The design report and the charts as files, read back with poppler's tools
// (skipped where they are not installed): selectable text that holds what
// the window shows, embedded fonts, A4 pages.

#include "calculators/registry.h"
#include "common/testing/filetesting.h"
#include "common/testing/pdftesting.h"
#include "report/paint/designreportpdf.h"
#include "report/paint/sweepplot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace vantero::report {
namespace {

using namespace pdftesting;

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
        const PdfFonts fonts = dejaVuFonts(pdf);
        EXPECT_GE(fonts.listed, 2) << fonts.text;
        EXPECT_TRUE(fonts.allEmbedded) << fonts.text;
    }
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
