#include "anel/core/ringlink.h"
#include "cli/core/arguments.h"
#include "cli/tests/commandline.h"
#include "common/testing/calculationtesting.h"
#include "estrela/core/starlink.h"
#include "tavo/core/pointlink.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

namespace vantero::cli {
namespace {

using report::ImageFormat;
using report::SweepChart;

// The defaults of each calculator give the worked examples of its budget.
struct WorkedExample {
    const char* calculator;
    const char* powerDistance;
    const char* riseTimeDistance;
    const char* verdict;
    const char* maximumDistance;
    double maximumValue; // the calculation's own double, for the JSON value
};

void PrintTo(const WorkedExample& c, std::ostream* os) {
    *os << c.calculator;
}

std::vector<WorkedExample> workedExamples() {
    return {
        {"tavo", "49.52537", "2274.89331", "O sistema é limitado por atenuação", "49.52537",
         tavo::calculatePointLink(tavo::PointLinkInput{}).maximumDistance.value()},
        {"estrela", "14.28571", "0.04347", "O Sistema é limitado por dispersão", "0.04347",
         estrela::calculateStarLink(estrela::StarLinkInput{}).maximumDistance.value()},
        {"anel", "11.42857", "1.19213", "O sistema é limitado por dispersão", "1.19213",
         anel::calculateRingLink(anel::RingLinkInput{}).maximumDistance.value()},
    };
}

class Defaults : public testing::TestWithParam<WorkedExample> {};

// The result {"value": V, "text": "T"} of `name` in a JSON text, if any.
std::smatch jsonResult(const std::string& json, const std::string& name) {
    std::smatch match;
    std::regex_search(
        json, match,
        std::regex("\"" + name + "\": \\{\"value\": ([^,]+), \"text\": \"([^\"]*)\"\\}"));
    return match;
}

TEST_P(Defaults, printTheWorkedExampleAsTheWindowShowsIt) {
    const WorkedExample& c = GetParam();
    const Outcome o = runVantero({c.calculator});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    for (const auto& [name, text] :
         {std::pair{"powerDistance", c.powerDistance},
          std::pair{"riseTimeDistance", c.riseTimeDistance}, std::pair{"verdict", c.verdict},
          std::pair{"maximumDistance", c.maximumDistance}}) {
        EXPECT_NE(("\n" + o.out).find(std::string("\n") + name + "\t" + text + "\n"),
                  std::string::npos)
            << name << " in\n"
            << o.out;
    }
}

TEST_P(Defaults, giveTheWorkedExampleInJson) {
    const WorkedExample& c = GetParam();
    const Outcome o = runVantero({c.calculator, "--json"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find(std::string("\"calculator\": \"") + c.calculator + "\""),
              std::string::npos);
    for (const auto& [name, text] : {std::pair{"powerDistance", c.powerDistance},
                                     std::pair{"riseTimeDistance", c.riseTimeDistance},
                                     std::pair{"maximumDistance", c.maximumDistance}}) {
        const std::smatch result = jsonResult(o.out, name);
        ASSERT_FALSE(result.empty()) << name << " in\n" << o.out;
        EXPECT_EQ(result[2].str(), text);
    }
    // The value reads back as the calculation's double exactly.
    EXPECT_EQ(std::strtod(jsonResult(o.out, "maximumDistance")[1].str().c_str(), nullptr),
              c.maximumValue);
    EXPECT_NE(o.out.find(std::string("\"verdict\": {\"text\": \"") + c.verdict + "\"}"),
              std::string::npos);
    EXPECT_NE(o.out.find("\"message\": null"), std::string::npos);
    EXPECT_NE(o.out.find("\"fault\": null"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Calculators, Defaults, testing::ValuesIn(workedExamples()),
                         [](const auto& info) { return std::string(info.param.calculator); });

TEST(CommandLine, printsEveryResultInTheWindowsOrder) {
    const Outcome o = runVantero({"tavo"});
    EXPECT_EQ(o.out, "sensitivity\t-38.21522\n"
                     "powerDistance\t49.52537\n"
                     "systemRiseTime\t15.44118\n"
                     "txRxRiseTime\t17.50000\n"
                     "riseTimeDistance\t2274.89331\n"
                     "distanceCaption\tDistância máxima em termos de potência (km)\n"
                     "verdict\tO sistema é limitado por atenuação\n"
                     "maximumDistance\t49.52537\n");
}

TEST(CommandLine, aFailedRiseTimeBudgetIsAResultWithItsMessageInPlace) {
    // State: RZ halves the system rise time below what the receiver needs.
    const Outcome o = runVantero({"tavo", "--set", "lineCode=RZ"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, "sensitivity\t-38.21522\n"
                     "powerDistance\t49.52537\n"
                     "systemRiseTime\t7.72059\n"
                     "txRxRiseTime\t17.50000\n"
                     "message\ttempo de subida do sistema menor que a soma dos tempos do "
                     "transmissor e do receptor\n"
                     "distanceCaption\tDistância máxima em termos de dispersão (km)\n"
                     "verdict\tO sistema é limitado por dispersão\n"
                     "maximumDistance\t0.00000\n");

    const Outcome json = runVantero({"tavo", "--set", "lineCode=RZ", "--json"});
    EXPECT_NE(json.out.find("\"message\": \"tempo de subida do sistema menor que a soma dos "
                            "tempos do transmissor e do receptor\""),
              std::string::npos);
    EXPECT_EQ(json.out.find("riseTimeDistance"), std::string::npos);
}

TEST(CommandLine, setsChangeTheTextsAndChoicesTheRunReads) {
    // State: the 1300 nm detector computes the dispersion from lambda0 and S0.
    const Outcome o = runVantero({"tavo", "--set", "detectorType=5", "--set",
                                  "zeroDispersionWavelength=1330", "--set=dispersionSlope=0.092"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("computedDispersion\t-2.85702\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("sensitivity\t-43.13484\n"), std::string::npos) << o.out;
}

TEST(CommandLine, anArithmeticFaultEndsTheRunWithItsTextOnStandardError) {
    // State: no fibre loss: the power budget divides by zero before any
    // distance is set.
    Outcome o = runVantero({"estrela", "--set", "fibreAttenuation=0"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "vantero: Floating point division by zero.\n");

    // A fault after the power budget: what was set before it is printed.
    o = runVantero({"estrela", "--set", "bitRate=0"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "powerDistance\t14.28571\n");
    EXPECT_EQ(o.err, "vantero: Floating point division by zero.\n");

    o = runVantero({"estrela", "--set", "bitRate=0", "--json"});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("\"fault\": \"Floating point division by zero\""), std::string::npos);
    EXPECT_EQ(o.err, "vantero: Floating point division by zero.\n");
}

struct BadNumber {
    const char* calculator;
    const char* setting;
    const char* message;
};

void PrintTo(const BadNumber& c, std::ostream* os) {
    *os << c.calculator << " " << c.setting;
}

class BadNumbers : public testing::TestWithParam<BadNumber> {};

TEST_P(BadNumbers, areAUsageErrorNamingTheInput) {
    const Outcome o = runVantero({GetParam().calculator, "--set", GetParam().setting});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadNumbers,
    testing::Values(BadNumber{"tavo", "bitRate=3,4",
                              "vantero: bitRate: \"3,4\" não é um número válido.\n"},
                    // Also an input this run would not read: it was typed on purpose.
                    BadNumber{"tavo", "manualSensitivity=-40 dBm",
                              "vantero: manualSensitivity: \"-40 dBm\" não é um número válido.\n"},
                    BadNumber{"estrela", "couplerLoss=nove",
                              "vantero: couplerLoss: \"nove\" não é um número válido.\n"},
                    BadNumber{"anel", "isolatedStations=1.5.",
                              "vantero: isolatedStations: \"1.5.\" não é um número "
                              "válido.\n"}),
    [](const auto& info) {
        return testNameOf(info.param.calculator + std::string("_") + info.param.setting);
    });

TEST(CommandLine, aNumberBeyondADoubleFaultsInTheRunAsInTheWindow) {
    const Outcome o = runVantero({"tavo", "--set", "gainMargin=1e400"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "vantero: Floating point overflow.\n");
}

// A command line that cannot be followed: exit 2, nothing on standard
// output, and a message that says what is valid.
struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    std::string says;
};

// The registered calculators, as the messages list them: "a, b, c".
std::string registeredCalculators() {
    std::string names;
    for (const Calculator* calculator : calculators()) {
        names += (names.empty() ? "" : ", ") + std::string(calculator->name());
    }
    return names;
}

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class UsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, listWhatIsValid) {
    const Outcome o = runVantero(GetParam().args);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find(GetParam().says), std::string::npos) << o.err;
    EXPECT_TRUE(o.err.starts_with("vantero: ")) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageErrors,
    testing::Values(
        UsageCase{"no calculator", {}, "name a calculator: " + registeredCalculators() + "\n"},
        UsageCase{"unknown calculator",
                  {"ponto"},
                  "no calculator \"ponto\"; the calculators are " + registeredCalculators() + "\n"},
        UsageCase{"two calculators", {"tavo", "anel"}, "one calculator at a time"},
        UsageCase{"unknown input",
                  {"tavo", "--set", "bitrate=34"},
                  "tavo has no input or choice \"bitrate\"; its inputs are bitRate, "
                  "launchedPower, fibreAttenuation"},
        UsageCase{"a choice of another calculator",
                  {"tavo", "--set", "blockCode=8B10B"},
                  "its choices are lineCode, lightSource, detectorType, berChoice, fibreType"},
        UsageCase{"unknown line code",
                  {"estrela", "--set", "lineCode=AMI"},
                  "lineCode is one of NRZ, RZ, not \"AMI\""},
        UsageCase{"unknown block code",
                  {"anel", "--set", "blockCode=4B5B"},
                  "blockCode is one of 3B4B, 7B8B, 8B10B"},
        UsageCase{"detector beyond the list",
                  {"tavo", "--set", "detectorType=6"},
                  "detectorType is one of 0, 1, 2, 3, 4, 5"},
        // (In lower case, "multimode", it is the value Multimode.)
        UsageCase{"fibre type misspelt",
                  {"anel", "--set", "fibreType=multi"},
                  "fibreType is one of SingleMode, Multimode, not \"multi\""},
        UsageCase{"set without a value", {"tavo", "--set", "bitRate"}, "--set needs NAME=VALUE"},
        UsageCase{"option without its value", {"tavo", "--open"}, "--open needs a value"},
        UsageCase{"unknown option",
                  {"tavo", "--verbose"},
                  "unknown option \"--verbose\"; the options are --open, --set, --use, --catalogue, "
                  "--save, --sweep, --links, --spread, --trials, --seed, --threads, "
                  "--csv, --plot, --at, --report, --json, --log, --help and --version"},
        UsageCase{"a file opened twice",
                  {"tavo", "--open", "a.dig", "--open", "b.dig"},
                  "--open is given twice"},
        UsageCase{"a range for a choice",
                  {"tavo", "--sweep", "lineCode=0:1:2"},
                  "lineCode is a choice: --sweep lineCode runs each of its values (NRZ, RZ), "
                  "with no range"},
        UsageCase{"a sweep of an unknown name",
                  {"tavo", "--sweep", "rate=1:2:3"},
                  "--sweep varies a numeric input of tavo: bitRate, launchedPower"},
        UsageCase{"a sweep of an unknown name lists the choices too",
                  {"anel", "--sweep", "code"},
                  "; or a choice: lineCode, blockCode, fibreType; not \"code\""},
        UsageCase{"a set of the swept input",
                  {"tavo", "--set", "bitRate=99", "--sweep", "bitRate=1:2:2"},
                  "--set bitRate=99 and --sweep bitRate=1:2:2: the sweep gives bitRate its "
                  "values"},
        UsageCase{"a set of the swept choice",
                  {"estrela", "--sweep", "blockCode", "--set=blockCode=7B8B"},
                  "the sweep gives blockCode its values"},
        UsageCase{"log with a sweep of a choice",
                  {"tavo", "--sweep", "fibreType", "--log"},
                  "--log goes with the sweep of a numeric input, not of the choice fibreType"},
        UsageCase{"a project file to standard output",
                  {"tavo", "--save", "-"},
                  "--save writes a project file"},
        UsageCase{"csv and chart both to standard output",
                  {"tavo", "--sweep", "bitRate=1:2:2", "--csv", "-", "--plot", "-"},
                  "only one of them can go to standard output"},
        UsageCase{
            "an option after the end of the options", {"--", "--json"}, "no calculator \"--json\""},
        UsageCase{"the help says what is valid",
                  {"tavo", "--verbose"},
                  "\nTry 'vantero --help' for more information.\n"},
        UsageCase{"json with a sweep",
                  {"tavo", "--json", "--sweep", "bitRate=1:2:2"},
                  "--json goes with a single calculation"},
        UsageCase{"save with a sweep",
                  {"tavo", "--save", "x", "--sweep", "bitRate=1:2:2"},
                  "--save goes with a single calculation"},
        UsageCase{"csv without a sweep", {"tavo", "--csv", "x.csv"}, "--csv goes with --sweep"},
        UsageCase{"log without a sweep", {"tavo", "--log"}, "--log goes with --sweep"},
        UsageCase{"plot in a build without charts",
                  {"tavo", "--sweep", "bitRate=1:2:2", "--plot", "x.png"},
                  "draws no charts"}),
    [](const auto& info) { return testNameOf(info.param.name); });

TEST(CommandLine, eachKindOfFailureHasItsExitStatus) {
    EXPECT_EQ(exitStatus(NumberFormatFailure("3,4")), 2);
    EXPECT_EQ(exitStatus(ArithmeticFault(FaultKind::Overflow)), 1);
    EXPECT_EQ(exitStatus(FileFailure(2)), 3);
}

TEST(CommandLine, choiceValuesAreMatchedWhateverTheirCase) {
    for (const auto& [calculator, exact, other] :
         {std::tuple{"tavo", "lineCode=RZ", "lineCode=rz"},
          std::tuple{"estrela", "fibreType=Multimode", "fibreType=MULTIMODE"},
          std::tuple{"anel", "blockCode=8B10B", "blockCode=8b10b"},
          std::tuple{"tavo", "berChoice=1E-11", "berChoice=1e-11"}}) {
        const Outcome expected = runVantero({calculator, "--set", exact, "--json"});
        const Outcome o = runVantero({calculator, "--set", other, "--json"});
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out, expected.out) << other;
    }
}

TEST(CommandLine, twoDashesEndTheOptions) {
    const Outcome o = runVantero({"--", "tavo"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, runVantero({"tavo"}).out);
}

TEST(CommandLine, versionNamesTheVersionAndTheLicence) {
    const Outcome o = runVantero({"--version"});
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(o.out.starts_with("vantero (VANTERO) " VANTERO_VERSION "\n")) << o.out;
    EXPECT_NE(o.out.find("MIT licence"), std::string::npos);
    EXPECT_EQ(o.err, "");
}

TEST(CommandLine, helpDescribesEveryOption) {
    const std::string help = runVantero({"--help"}).out;
    for (const OptionSpec& option : commandLineOptions()) {
        const std::string name(option.name);
        EXPECT_TRUE(help.find("\n  " + name + " ") != std::string::npos ||
                    help.find(", " + name + " ") != std::string::npos)
            << name;
    }
}

TEST(CommandLine, helpListsEveryInputWithLabelUnitAndInitialText) {
    const Outcome all = runVantero({"--help"});
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(all.out.starts_with("Usage:\n")) << all.out;
    for (const Calculator* calculator : calculators()) {
        for (const InputDescription& input : calculator->inputs()) {
            EXPECT_NE(all.out.find(std::string(input.name)), std::string::npos) << input.name;
            // Labels without the blanks some of them end in.
            std::string label(input.label);
            while (label.ends_with(' ')) {
                label.pop_back();
            }
            EXPECT_NE(all.out.find(" " + label + "\n"), std::string::npos) << label;
        }
    }
    const Outcome tavo = runVantero({"tavo", "--help"});
    EXPECT_EQ(tavo.status, 0);
    EXPECT_NE(tavo.out.find("\n  bitRate                   34          Mbit/s        Taxa de "
                            "transmissão de dados (Mbits/s)\n"),
              std::string::npos)
        << tavo.out;
    EXPECT_NE(tavo.out.find("\n  detectorType              1           0 the typed sensitivity "
                            "(manualSensitivity)\n"),
              std::string::npos)
        << tavo.out;
    EXPECT_NE(tavo.out.find("Not kept in the project file: manualSensitivity, "
                            "normalizedBandwidth."),
              std::string::npos);
    EXPECT_EQ(tavo.out.find("estrela:"), std::string::npos);
}

TEST(CommandLine, writesToAFullDiskAreAFileFailure) {
    // /dev/full accepts the file being opened and refuses every byte.
    const Outcome o = runVantero({"tavo", "--sweep", "bitRate=1:2:3", "--csv", "/dev/full"});
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "vantero: /dev/full: Disk full.\n");
}

TEST(CommandLine, aChartFileThatCannotBeWrittenIsAFileFailure) {
    TemporaryFolder folder;
    const std::string chart = folder.file("no such folder/chart.png");
    const auto blank = [](const SweepChart&, ImageFormat) { return std::string("png"); };
    Outcome o = runVantero(
        {"tavo", "--sweep", "bitRate=1:2:3", "--csv", "/dev/null", "--plot", chart}, blank);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err, "vantero: " + chart + ": File not found.\n");

    o = runVantero({"tavo", "--sweep", "bitRate=1:2:3", "--csv", "/dev/null", "--plot",
                    folder.file("chart.png")},
                   blank);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(fileContents(folder.file("chart.png")), "png");
}

TEST(CommandLine, aFaultAndAReportThatCannotBeWrittenAreBothReported) {
    // State: a run that faults at the system rise time. Expected: with a
    // report in a folder that does not exist, both failures, the fault first,
    // and the report's status; with one that is written, the fault alone.
    TemporaryFolder folder;
    const auto pdf = [](const report::DesignReport&) { return std::string("%PDF"); };
    const std::string lost = folder.file("missing/x.pdf");
    Outcome o = runVantero({"tavo", "--set", "bitRate=0", "--report", lost}, {}, pdf);
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.err,
              "vantero: Floating point division by zero.\nvantero: " + lost + ": File not found.\n");

    o = runVantero({"tavo", "--set", "bitRate=0", "--report", folder.file("x.pdf")}, {}, pdf);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "vantero: Floating point division by zero.\n");
    EXPECT_EQ(fileContents(folder.file("x.pdf")), "%PDF");
}

TEST(CommandLine, memoryThatRunsOutIsAnErrorWithItsOwnStatus) {
    TemporaryFolder folder;
    const auto exhausted = [](const SweepChart&, ImageFormat) -> std::string {
        throw std::bad_alloc();
    };
    const Outcome o = runVantero({"tavo", "--sweep", "bitRate=1:2:3", "--csv", "/dev/null",
                                  "--plot", folder.file("chart.png")},
                                 exhausted);
    EXPECT_EQ(o.status, 4);
    EXPECT_EQ(o.err, "vantero: Out of memory.\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("chart.png")));
}

} // namespace
} // namespace vantero::cli
