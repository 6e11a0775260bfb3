// --at (the budgets at a length after the results), --report (the design
// report's contents, drawn by a stand-in) and --plot by extension.

#include "cli/tests/commandline.h"
#include "common/testing/calculationtesting.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vantero::cli {
namespace {

// The report's contents, as the stand-in painters are given them.
using namespace vantero::report;

TEST(At, givesBothBudgetsTermByTermAfterTheResults) {
    const Outcome o = runVantero({"tavo", "--at", "30", "--at=100"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.out.starts_with("sensitivity\t-38.21522\npowerDistance\t49.52537\n"));
    // The terms at 30 km; at 100 km, beyond the power-budget distance.
    EXPECT_NE(o.out.find("maximumDistance\t49.52537\nat\t30.00000\nlaunchedPower\t0.00000\n"
                         "gainMargin\t5.00000\nsensitivity\t-38.21522\n"
                         "receiverPenalty\t2.00000\nconnectors\t1.50000\nsplices\t7.50000\n"
                         "fibre\t10.50000\nsystemRiseTime\t15.44118\n"
                         "transmitterReceiverRiseTime\t12.37437\nchromaticRiseTime\t0.12180\n"
                         "linkRiseTime\t12.37497\npowerMargin\t11.71522\n"
                         "riseTimeMargin\t3.06621\npowerBudgetMet\tyes\n"
                         "riseTimeBudgetMet\tyes\nat\t100.00000\n"),
              std::string::npos)
        << o.out;
    EXPECT_TRUE(o.out.ends_with("powerMargin\t-30.28478\nriseTimeMargin\t3.06015\n"
                                "powerBudgetMet\tno\nriseTimeBudgetMet\tyes\n"));
}

TEST(At, inJsonIsAnArrayOfOneObjectPerLength) {
    // A multimode ring, one length: still an array.
    Outcome o = runVantero({"anel", "--set", "fibreType=Multimode", "--json", "--at", "0.5"});
    EXPECT_EQ(o.status, 0) << o.err;
    for (const char* part :
         {"  \"fault\": null,\n  \"at\": [\n    {\n      \"distance\": 0.5,\n"
          "      \"powerTerms\": [\n"
          "        {\"name\": \"launchedPower\", \"value\": -12, \"unit\": \"dBm\"},\n",
          "        {\"name\": \"fibre\", \"value\": 0.175, \"unit\": \"dB\"}\n      ],\n"
          "      \"riseTimeTerms\": [\n        {\"name\": \"systemRiseTime\", \"value\": ",
          "{\"name\": \"modalRiseTime\", \"value\": ",
          "      \"powerMargin\": 3.825,\n      \"riseTimeMargin\": ",
          "      \"powerBudgetMet\": true,\n      \"riseTimeBudgetMet\": true,\n"
          "      \"fault\": null\n    }\n  ]\n}\n"}) {
        EXPECT_NE(o.out.find(part), std::string::npos) << part << "\n" << o.out;
    }
    o = runVantero({"anel", "--json"});
    EXPECT_EQ(o.out.find("\"at\""), std::string::npos);
}

struct AtCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string outEnds; // what standard output ends with
    std::string err;
};

void PrintTo(const AtCase& c, std::ostream* os) {
    *os << c.name;
}

class AtOutcomes : public testing::TestWithParam<AtCase> {};

TEST_P(AtOutcomes, endAsTheirRunOrTheirBudgetsEnd) {
    const AtCase& c = GetParam();
    const Outcome o = runVantero(c.args);
    EXPECT_EQ(o.status, c.status) << o.err;
    EXPECT_TRUE(o.out.ends_with(c.outEnds)) << o.out;
    EXPECT_EQ(o.err, c.err);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, AtOutcomes,
    testing::Values(
        // No length of fibre meets the rise-time budget: short at 0 km too.
        AtCase{"a failed rise-time budget",
               {"tavo", "--set", "lineCode=RZ", "--at", "0"},
               0,
               "linkRiseTime\t12.37437\npowerMargin\t29.71522\nriseTimeMargin\t-4.65378\n"
               "powerBudgetMet\tyes\nriseTimeBudgetMet\tno\n",
               ""},
        // A run that faults gives no budgets.
        AtCase{"a faulting run",
               {"estrela", "--set", "bitRate=0", "--at", "1"},
               1,
               "powerDistance\t14.28571\n",
               "vantero: Floating point division by zero.\n"},
        AtCase{"a faulting run in JSON",
               {"estrela", "--set", "bitRate=0", "--json", "--at", "1"},
               1,
               "\"fault\": \"Floating point division by zero\",\n  \"at\": []\n}\n",
               "vantero: Floating point division by zero.\n"},
        // Budgets that fault end the output; later lengths are not given.
        AtCase{"a length whose rise time overflows",
               {"estrela", "--at", "1", "--at", "1e308", "--at", "2"},
               1,
               "at\t1.00000E+308\nlaunchedPower\t-10.00000\nreceiverSensitivity\t-36.00000\n"
               "connectors\t4.00000\ncouplerLoss\t9.00000\nsafetyMargin\t3.00000\n"
               "fibre\t7.00000E+307\nsystemRiseTime\t6.12504\n"
               "transmitterReceiverRiseTime\t4.94975\n",
               "vantero: Floating point overflow.\n"},
        AtCase{"the same in JSON",
               {"estrela", "--json", "--at", "1e308"},
               1,
               "      \"powerBudgetMet\": false,\n      \"riseTimeBudgetMet\": false,\n"
               "      \"fault\": \"Floating point overflow\"\n    }\n  ]\n}\n",
               "vantero: Floating point overflow.\n"}),
    [](const auto& info) { return testNameOf(info.param.name); });

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* says;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class BudgetUsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(BudgetUsageErrors, sayWhatIsValid) {
    const auto draw = [](const SweepChart&, ImageFormat) { return std::string(); };
    const Outcome o = runVantero(GetParam().args, draw);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find(GetParam().says), std::string::npos) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, BudgetUsageErrors,
    testing::Values(
        UsageCase{"a negative length",
                  {"tavo", "--at", "-1"},
                  "--at needs a length of fibre in km, 0 or more, not \"-1\""},
        UsageCase{"a length with a comma", {"tavo", "--at", "1,5"}, "not \"1,5\""},
        UsageCase{"a length beyond a double", {"tavo", "--at", "1e400"}, "not \"1e400\""},
        UsageCase{"at with a sweep",
                  {"tavo", "--at", "1", "--sweep", "bitRate=1:2:2"},
                  "--at goes with a single calculation"},
        UsageCase{"a report of a sweep",
                  {"tavo", "--report", "r.pdf", "--sweep", "bitRate=1:2:2"},
                  "--report goes with a single calculation"},
        UsageCase{"a report that is not a PDF",
                  {"tavo", "--report", "r.pdf.txt"},
                  "--report writes a PDF file, whose name ends in .pdf, not \"r.pdf.txt\""},
        UsageCase{"a report in a build without reports",
                  {"tavo", "--report", "r.pdf"},
                  "this build of vantero draws no reports"},
        UsageCase{"a chart of another format",
                  {"tavo", "--sweep", "bitRate=1:2:2", "--plot", "chart.jpg"},
                  "--plot writes PNG, SVG or PDF, by the extension of its file (.png, .svg or "
                  ".pdf), not \"chart.jpg\""},
        UsageCase{"a chart named by its extension only",
                  {"tavo", "--sweep", "bitRate=1:2:2", "--plot", "dir/.png"},
                  "not \"dir/.png\""}),
    [](const auto& info) { return testNameOf(info.param.name); });

TEST(Plot, writesTheFormatItsExtensionAsks) {
    TemporaryFolder folder;
    for (const auto& [name, format] :
         {std::pair{"a.png", ImageFormat::Png}, std::pair{"a.SVG", ImageFormat::Svg},
          std::pair{"a.Pdf", ImageFormat::Pdf}}) {
        std::optional<ImageFormat> asked;
        const auto draw = [&](const SweepChart&, ImageFormat f) {
            asked = f;
            return std::string("chart");
        };
        const Outcome o = runVantero(
            {"anel", "--sweep", "bitRate=1:2:2", "--csv", "/dev/null", "--plot", folder.file(name)},
            draw);
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(asked, format) << name;
        EXPECT_EQ(fileContents(folder.file(name)), "chart");
    }
}

// Runs vantero with a report renderer that keeps what it is given and
// writes "pdf".
std::optional<DesignReport> reportOf(const std::vector<std::string>& args, Outcome& outcome) {
    std::optional<DesignReport> kept;
    const auto draw = [&](const DesignReport& report) {
        kept = report;
        return std::string("pdf");
    };
    outcome = runVantero(args, {}, draw);
    return kept;
}

TEST(Report, holdsTheInputsByPageAndTheResultsAsTheWindowShowsThem) {
    TemporaryFolder folder;
    const std::string pdf = folder.file("tavo.pdf");
    Outcome o;
    const auto report = reportOf({"tavo", "--set", "lineCode=RZ", "--report", pdf}, o);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(fileContents(pdf), "pdf");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->projectFile, "");
    EXPECT_EQ(report->date.size(), 10u);

    std::vector<std::string> pages;
    for (const ReportInputPage& page : report->pages) {
        pages.push_back(page.title + " " + std::to_string(page.inputs.size()));
    }
    EXPECT_EQ(pages, (std::vector<std::string>{"Sistema 6", "Transmissor 5", "Receptor 5",
                                               "Fibra 6", "Fibra Multimodo 1"}));
    const ReportInput& lineCode = report->pages[0].inputs.back();
    EXPECT_EQ(lineCode.label + "=" + lineCode.text, "Código de Linha=Código RZ");

    std::vector<std::string> results;
    for (const ReportResult& r : report->results) {
        results.push_back(r.label + "|" + r.text);
    }
    EXPECT_EQ(results,
              (std::vector<std::string>{
                  "Sensibilidade (dBm)|-38.21522", "Balanço de Potência(Km)|49.52537",
                  "Tempo de subida do sistema (ns)|7.72059",
                  "Tempo de subida do Transmissor + Receptor (ns)|17.50000",
                  "|tempo de subida do sistema menor que a soma dos tempos do transmissor e do "
                  "receptor",
                  "|O sistema é limitado por dispersão",
                  "Distância máxima em termos de dispersão (km)|0.00000"}));

    // The budgets at the maximum distance, 0 km, and the sweeps.
    ASSERT_TRUE(report->budgets);
    EXPECT_EQ(report->budgets->distance, 0);
    EXPECT_FALSE(report->budgets->riseTimeBudgetMet());
    EXPECT_EQ(report->bitRate, 34);
    EXPECT_FALSE(report->bitRateSweep.empty());
    EXPECT_DOUBLE_EQ(report->bitRateSweep.front().input, 3.4);
    ASSERT_FALSE(report->margins.empty());
    EXPECT_EQ(report->margins.front().km, 0);
    EXPECT_EQ(report->margins.back().km, 100); // a round length past twice 49.5 km
}

TEST(Report, ofAFaultingRunHoldsTheResultsUpToTheFault) {
    TemporaryFolder folder;
    const std::string project = folder.file("net.stl");
    ASSERT_EQ(runVantero({"estrela", "--set", "fibreAttenuation=0", "--save", project}).status, 1);
    Outcome o;
    const auto report =
        reportOf({"estrela", "--open", project, "--report", folder.file("r.pdf")}, o);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "vantero: Floating point division by zero.\n");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->projectFile, project);
    EXPECT_TRUE(report->faulted);
    ASSERT_EQ(report->results.size(), 1u);
    EXPECT_EQ(report->results[0].text, "Floating point division by zero.");
    EXPECT_FALSE(report->budgets);
    EXPECT_TRUE(report->margins.empty());
}

TEST(Report, thatCannotBeWrittenIsAFileFailureAfterTheResults) {
    TemporaryFolder folder;
    const std::string path = folder.file("no such folder/r.pdf");
    Outcome o;
    reportOf({"anel", "--report", path}, o);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "vantero: " + path + ": File not found.\n");
    EXPECT_TRUE(o.out.starts_with("powerDistance\t11.42857\n")) << o.out;
}

} // namespace
} // namespace vantero::cli
