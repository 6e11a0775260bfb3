#include "common/runs/json.h"
#include "cli/tests/commandline.h"
#include "common/testing/calculationtesting.h"
#include "tavo/core/description.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantero::cli {
namespace {

std::vector<std::string> withThreads(std::vector<std::string> args, const char* threads) {
    args.insert(args.end(), {"--threads", threads});
    return args;
}

// The same seed gives the same bytes whatever the threads: the summary, its
// JSON and the CSV of every trial, over several blocks of trials; a large
// sweep too.
TEST(Trials, giveTheSameBytesWithOneThreadAndWithTwo) {
    const std::vector<std::string> trials = {"tavo",
                                             "--spread",
                                             "connectorLoss=normal:0.3,0.05",
                                             "--spread",
                                             "spliceLoss=triangular:0.5,1,1.5",
                                             "--spread",
                                             "fibreAttenuation=uniform:0.3,0.4",
                                             "--at",
                                             "30",
                                             "--at",
                                             "50",
                                             "--trials",
                                             "20000",
                                             "--seed",
                                             "12345"};
    for (const std::vector<std::string>& args :
         {trials,
          [&] {
              auto json = trials;
              json.push_back("--json");
              return json;
          }(),
          [&] {
              auto csv = trials;
              csv.insert(csv.end(), {"--csv", "-"});
              return csv;
          }(),
          std::vector<std::string>{"anel", "--sweep", "bitRate=1:100:200000"}}) {
        const Outcome one = runVantero(withThreads(args, "1"));
        const Outcome two = runVantero(withThreads(args, "2"));
        ASSERT_EQ(one.status, 0) << one.err;
        EXPECT_EQ(two.out, one.out);
        EXPECT_GT(one.out.size(), 1000U);
    }
}

TEST(Trials, printTheSeedTheyUsedAndDrawAnotherWithAnotherSeed) {
    const std::vector<std::string> args = {"estrela", "--spread", "connectorLoss=normal:1,0.2",
                                           "--trials", "500"};
    const Outcome byDefault = runVantero(args);
    EXPECT_NE(byDefault.out.find("trials\t500\nseed\t1\n"), std::string::npos) << byDefault.out;
    auto seeded = args;
    seeded.insert(seeded.end(), {"--seed", "18446744073709551615"});
    const Outcome other = runVantero(seeded);
    EXPECT_NE(other.out.find("seed\t18446744073709551615\n"), std::string::npos);
    EXPECT_NE(other.out.substr(other.out.find("spread")),
              byDefault.out.substr(byDefault.out.find("spread")));
}

// A spread that does not scatter gives the calculation's own figures: the
// JSON's every key, in order, with the run's and the budgets' doubles.
TEST(Trials, giveTheJsonOfTheirSchema) {
    const Outcome o = runVantero(
        {"tavo", "--spread", "bitRate=uniform:34,34", "--at", "30", "--trials", "3", "--json"});
    ASSERT_EQ(o.status, 0) << o.err;
    const auto session = tavo::calculator().newSession();
    const SweepPoint run = session->runAt(0, 34);
    const LinkBudgets at = session->budgetsAt(30);
    const auto stats = [](double value) {
        std::string number;
        appendJsonNumber(number, value);
        std::string json = "{";
        for (const char* name : {"mean", "sd", "p01", "p05", "p50", "p95", "p99"}) {
            json += std::string(json.size() == 1 ? "" : ", ") + "\"" + name +
                    "\": " + (std::string(name) == "sd" ? "0" : number);
        }
        return json + "}";
    };
    const std::string expected =
        "{\n  \"calculator\": \"tavo\",\n  \"trials\": 3,\n  \"seed\": 1,\n  \"spreads\": [\n"
        "    {\"name\": \"bitRate\", \"distribution\": \"uniform\", \"parameters\": [34, 34], "
        "\"perItem\": false}\n  ],\n  \"distances\": {\n    \"powerDistance\": " +
        stats(*run.powerDistance) + ",\n    \"riseTimeDistance\": " + stats(*run.riseTimeDistance) +
        ",\n    \"maximumDistance\": " + stats(*run.maximumDistance) +
        "\n  },\n  \"limitedBy\": {\"attenuation\": 1, \"dispersion\": 0},\n  \"at\": [\n"
        "    {\"distance\": 30, \"powerBudgetMet\": 1, \"riseTimeBudgetMet\": 1, \"bothMet\": 1,\n"
        "     \"powerMargin\": " +
        stats(*at.powerMargin) + ",\n     \"riseTimeMargin\": " + stats(*at.riseTimeMargin) +
        "}\n  ],\n  \"faulted\": 0,\n  \"firstFault\": null\n}\n";
    EXPECT_EQ(o.out, expected);
}

TEST(Trials, writeEveryTrialsRowToTheCsvFileAndTheSummaryToStandardOutput) {
    const TemporaryFolder folder;
    const std::string path = folder.file("trials.csv");
    const std::vector<std::string> args = {"tavo",
                                           "--spread",
                                           "spliceLoss=normal:1,0.1",
                                           "--spread",
                                           "bitRate=uniform:30,40",
                                           "--at",
                                           "12.5",
                                           "--trials",
                                           "10"};
    auto toFile = args;
    toFile.insert(toFile.end(), {"--csv", path});
    const Outcome o = runVantero(toFile);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.out.starts_with("trials\t10\n"));
    const std::string csv = fileContents(path);
    EXPECT_TRUE(csv.starts_with("trial,spliceLoss,bitRate,powerDistance,riseTimeDistance,"
                                "maximumDistance,limitedBy,spliceLoss@12.5,powerMargin@12.5,"
                                "riseTimeMargin@12.5,fault\n1,"))
        << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 11);
    auto toOutput = args;
    toOutput.insert(toOutput.end(), {"--csv", "-"});
    EXPECT_EQ(runVantero(toOutput).out, csv); // only the CSV on standard output
}

TEST(Trials, reportTheShareThatFaultedWithTheFirstFault) {
    const Outcome o =
        runVantero({"estrela", "--spread", "bitRate=uniform:0,1e-305", "--trials", "1000"});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("\nfirstFault\tFloating point overflow\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\nmaximumDistance.mean\t"), std::string::npos); // those that ran
    EXPECT_NE(o.out.find("\nfaulted\t0.3"), std::string::npos) << o.out;
}

// Refused before any trial or file, exit 2, naming the spread.
struct RefusedCase {
    const char* name;
    std::vector<std::string> args;
    std::string says;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class Refused : public testing::TestWithParam<RefusedCase> {};

TEST_P(Refused, beforeAnyTrialWithAMessageNamingWhy) {
    const Outcome o = runVantero(GetParam().args);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("vantero: " + GetParam().says), std::string::npos) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    Spreads, Refused,
    testing::Values(
        RefusedCase{"a negative standard deviation",
                    {"tavo", "--spread", "connectorLoss=normal:0.3,-0.05"},
                    "--spread connectorLoss=normal:0.3,-0.05: the standard deviation SD must be "
                    "0 or more, not -0.05\n"},
        RefusedCase{"low above high",
                    {"tavo", "--spread", "bitRate=uniform:40,30"},
                    "--spread bitRate=uniform:40,30: LOW must not exceed HIGH\n"},
        RefusedCase{"the mode outside",
                    {"anel", "--spread", "connectorLoss=triangular:1,3,2"},
                    "--spread connectorLoss=triangular:1,3,2: MODE must lie between LOW and HIGH"},
        RefusedCase{"an unknown name",
                    {"estrela", "--spread", "loss=normal:1,1"},
                    "--spread loss=normal:1,1: estrela has no numeric input \"loss\"; its inputs "
                    "are connectorLoss, "},
        RefusedCase{"an unknown distribution",
                    {"tavo", "--spread", "bitRate=lognormal:1,1"},
                    "--spread bitRate=lognormal:1,1: the distributions are normal:MEAN,SD, "
                    "uniform:LOW,HIGH and triangular:LOW,MODE,HIGH, not \"lognormal\"\n"},
        RefusedCase{"a choice",
                    {"tavo", "--spread", "fibreType=uniform:0,1"},
                    "--spread fibreType=uniform:0,1: fibreType is a choice; a spread draws a "
                    "numeric input"},
        RefusedCase{"an input spread twice",
                    {"tavo", "--spread", "bitRate=normal:34,1", "--spread", "bitRate=normal:34,2"},
                    "--spread bitRate is spread twice"},
        RefusedCase{"a spread input also set",
                    {"tavo", "--set", "bitRate=34", "--spread", "bitRate=normal:34,1"},
                    "--set bitRate=34 and --spread bitRate=normal:34,1: the spread gives bitRate "
                    "its values"},
        RefusedCase{"no trials",
                    {"tavo", "--spread", "bitRate=normal:34,1", "--trials", "0"},
                    "--trials takes a whole number from 1 to 1000000000000, not \"0\""},
        RefusedCase{"a seed that is no whole number",
                    {"tavo", "--spread", "bitRate=normal:34,1", "--seed", "-1"},
                    "--seed takes a whole number from 0 to 18446744073709551615, not \"-1\""},
        RefusedCase{"no threads",
                    {"tavo", "--sweep", "bitRate=1:2:2", "--threads", "0"},
                    "--threads takes a whole number from 1 to 1024, not \"0\""},
        RefusedCase{
            "trials without a spread", {"tavo", "--trials", "5"}, "--trials goes with --spread"},
        RefusedCase{"a spread and a sweep",
                    {"tavo", "--spread", "bitRate=normal:34,1", "--sweep", "bitRate=1:2:2"},
                    "--spread and --sweep"},
        RefusedCase{"histograms in a build that draws none",
                    {"tavo", "--spread", "bitRate=normal:34,1", "--plot", "t.png"},
                    "--plot: this build of vantero draws no charts"},
        RefusedCase{"a report in a build that draws none",
                    {"tavo", "--spread", "bitRate=normal:34,1", "--report", "t.pdf"},
                    "--report: this build of vantero draws no reports"}),
    [](const auto& info) { return testNameOf(info.param.name); });

TEST(Help, namesTheItemLossesEachCalculatorDrawsItemByItem) {
    std::string help = runVantero({"tavo", "--help"}).out;
    for (std::size_t at = help.find("\n  "); at != std::string::npos; at = help.find("\n  ")) {
        help.replace(at, 3, " ");
    }
    EXPECT_NE(help.find("Drawn item by item by --spread: connectorLoss (each of the "
                        "connectorCount connectors), spliceLoss (each of the splices, one per "
                        "cableSectionLength km of fibre)."),
              std::string::npos)
        << help;
}

} // namespace
} // namespace vantero::cli
