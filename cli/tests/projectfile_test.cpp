#include "calculators/registry.h"
#include "cli/tests/commandline.h"
#include "common/calculator/projectfile.h"
#include "common/testing/calculationtesting.h"
#include "tavo/core/description.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vantero::cli {
namespace {

// A save with changed inputs and choices, then an open of what was saved:
// every changed figure comes back, numbers as their three-decimal texts.
struct RoundTrip {
    const char* calculator;
    std::vector<std::string> sets;
    std::vector<std::string> comeBack; // JSON input entries after the open
};

void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.calculator;
}

class RoundTrips : public testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTrips, saveThenOpenGivesTheFiguresBack) {
    TemporaryFolder folder;
    const RoundTrip& c = GetParam();
    std::vector<std::string> save{c.calculator};
    for (const std::string& set : c.sets) {
        save.insert(save.end(), {"--set", set});
    }
    save.insert(save.end(), {"--save", folder.file("link")});
    const Outcome saved = runVantero(save);
    ASSERT_EQ(saved.status, 0) << saved.err;

    // The name rule appends the extension.
    const std::string path =
        folder.file("link") + std::string(findCalculator(c.calculator)->layout().extension);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), findCalculator(c.calculator)->layout().byteCount());

    const Outcome opened = runVantero({c.calculator, "--open", path, "--json"});
    ASSERT_EQ(opened.status, 0) << opened.err;
    for (const std::string& entry : c.comeBack) {
        EXPECT_NE(opened.out.find("\n    " + entry + ","), std::string::npos) << entry << " in\n"
                                                                              << opened.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calculators, RoundTrips,
    testing::Values(
        RoundTrip{"tavo",
                  {"bitRate=1.23456", "connectorLoss=0.3", "dispersionSlope=-0.5", "lineCode=RZ",
                   "lightSource=LASER", "detectorType=4", "berChoice=1E-11"},
                  {"\"bitRate\": \"1.235\"", "\"connectorLoss\": \"0.300\"",
                   "\"dispersionSlope\": \"-0.500\"", "\"lineCode\": \"RZ\"",
                   "\"lightSource\": \"LASER\"", "\"detectorType\": \"4\"",
                   "\"berChoice\": \"1E-11\""}},
        RoundTrip{"estrela",
                  {"couplerLoss=12.5", "launchedPower=-7", "blockCode=8B10B", "lineCode=RZ"},
                  {"\"couplerLoss\": \"12.500\"", "\"launchedPower\": \"-7.000\"",
                   "\"blockCode\": \"8B10B\"", "\"lineCode\": \"RZ\""}},
        RoundTrip{"anel",
                  {"isolatedStations=2", "switchOutputLoss=1.5", "blockCode=3B4B"},
                  {"\"isolatedStations\": \"2.000\"", "\"switchOutputLoss\": \"1.500\"",
                   "\"blockCode\": \"3B4B\""}}),
    [](const auto& info) { return std::string(info.param.calculator); });

TEST(ProjectFiles, theFibreTypeComesBackToo) {
    // The fibre type is the last record of every layout.
    TemporaryFolder folder;
    for (const Calculator* calculator : calculators()) {
        const std::string path =
            folder.file(std::string("x") + std::string(calculator->layout().extension));
        const std::string name(calculator->name());
        ASSERT_EQ(runVantero({name, "--set", "fibreType=Multimode", "--save", path}).status, 0);
        const Outcome o = runVantero({name, "--open", path, "--json"});
        EXPECT_NE(o.out.find("\"fibreType\": \"Multimode\""), std::string::npos) << name;
    }
}

TEST(ProjectFiles, aNameWithTheExtensionInAnyCaseIsKept) {
    TemporaryFolder folder;
    ASSERT_EQ(runVantero({"tavo", "--save", folder.file("x.DIG")}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(folder.file("x.DIG")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("x.DIG.dig")));
    ASSERT_EQ(runVantero({"estrela", "--save", folder.file("x.dig")}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(folder.file("x.dig.stl")));
}

TEST(ProjectFiles, theSaveHappensBeforeTheRunWhateverItsOutcome) {
    TemporaryFolder folder;
    const Outcome o =
        runVantero({"estrela", "--set", "fibreAttenuation=0", "--save", folder.file("n")});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(std::filesystem::exists(folder.file("n.stl")));
}

TEST(ProjectFiles, aChoiceRecordWithNoCodeIsTakenAsTheWindowTakesIt) {
    // State: a .dig file whose line code is RZ and whose photodetector and
    // fibre-type records hold no code (0.0).
    // Expected: the photodetector list keeps its initial item; the fibre-type
    // buttons are both cleared, which the window calculates as multimode.
    TemporaryFolder folder;
    const std::string path = folder.file("codes.dig");
    std::vector<RecordEntry> entries;
    for (const ProjectRecord& record : tavo::calculator().layout().records) {
        if (record.kind == RecordKind::Number) {
            entries.emplace_back(std::string("1"));
        } else if (record.input == "lineCode") {
            entries.emplace_back(ChoiceIndex{1});
        } else if (record.input == "lightSource") {
            entries.emplace_back(ChoiceIndex{1});
        } else {
            entries.emplace_back(ChoiceIndex{});
        }
    }
    vantero::saveProject(tavo::calculator().layout(), path, entries);

    const Outcome o = runVantero({"tavo", "--open", path, "--json"});
    EXPECT_NE(o.out.find("\"lineCode\": \"RZ\""), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"lightSource\": \"LASER\""), std::string::npos);
    EXPECT_NE(o.out.find("\"detectorType\": \"1\""), std::string::npos);
    EXPECT_NE(o.out.find("\"fibreType\": \"Multimode\""), std::string::npos);
    EXPECT_NE(o.out.find("\"bitRate\": \"1.000\""), std::string::npos);
}

TEST(ProjectFiles, aTypedSensitivityIsSavedAsNoDetector) {
    TemporaryFolder folder;
    const std::string path = folder.file("typed.dig");
    ASSERT_EQ(runVantero({"tavo", "--set", "detectorType=0", "--save", path}).status, 0);
    const auto values = decodeRecordValues(tavo::calculator().layout(), [&] {
        const std::string bytes = fileContents(path);
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }());
    EXPECT_EQ(values[18], 0.0); // the photodetector record
}

TEST(ProjectFiles, setsApplyAfterTheOpen) {
    TemporaryFolder folder;
    const std::string path = folder.file("a.anel");
    ASSERT_EQ(runVantero({"anel", "--set", "bitRate=20", "--save", path}).status, 0);
    const Outcome o = runVantero({"anel", "--set", "bitRate=25", "--open", path, "--json"});
    EXPECT_NE(o.out.find("\"bitRate\": \"25\""), std::string::npos) << o.out;
}

struct FileCase {
    const char* name;
    std::vector<std::string> args; // "@" stands for the test's folder
    int status;
    const char* err; // after the folder
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.name;
}

class FileFailures : public testing::TestWithParam<FileCase> {};

TEST_P(FileFailures, exitWithTheirText) {
    TemporaryFolder folder;
    const std::string root = folder.file("");
    std::ofstream(root + "short.dig") << "12345";
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args) {
        if (arg.starts_with("@")) {
            arg = root + arg.substr(1);
        }
    }
    const Outcome o = runVantero(args);
    EXPECT_EQ(o.status, GetParam().status);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "vantero: " + root + GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileFailures,
    testing::Values(
        FileCase{"missing file", {"tavo", "--open", "@none.dig"}, 3, "none.dig: File not found.\n"},
        FileCase{"another programs file",
                 {"tavo", "--open", "@x.stl"},
                 3,
                 "x.stl: O VANTERO não pode abrir este arquivo.\n"},
        FileCase{"short file",
                 {"tavo", "--open", "@short.dig"},
                 3,
                 "short.dig: Read beyond end of file.\n"},
        FileCase{"save into a missing folder",
                 {"anel", "--save", "@no/x"},
                 3,
                 "no/x.anel: File not found.\n"}),
    [](const auto& info) { return testNameOf(info.param.name); });

TEST(ProjectFiles, noNameAFolderOrADeviceIsRefused) {
    // Each would have had the extension appended: ".dig", "/.dig",
    // "/dev/null.dig".
    for (const auto& [name, err] : {std::pair{"", "vantero: Invalid filename.\n"},
                                    std::pair{"/", "vantero: /: Invalid filename.\n"},
                                    std::pair{"/dev/null", "vantero: /dev/null: Not a regular file.\n"}}) {
        const Outcome o = runVantero({"tavo", "--save", name});
        EXPECT_EQ(o.status, 3) << name;
        EXPECT_EQ(o.out, "") << name;
        EXPECT_EQ(o.err, err);
    }
    EXPECT_FALSE(std::filesystem::exists("/dev/null.dig"));
}

TEST(ProjectFiles, aValueBeyondTheFileStopsTheSaveBeforeAnyFile) {
    TemporaryFolder folder;
    const Outcome o = runVantero({"tavo", "--set", "bitRate=1e39", "--save", folder.file("big")});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "vantero: Floating point overflow.\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("big.dig")));
}

TEST(Calculators, describeTheirInputsByTheCalculationsOwnTable) {
    const Calculator& tavo = *findCalculator("tavo");
    EXPECT_EQ(tavo.inputs().size(), 18u);
    EXPECT_EQ(tavo.inputs()[0].name, "bitRate");
    EXPECT_EQ(tavo.inputs()[0].initialText, "34");
    EXPECT_EQ(tavo.inputs()[0].unit, "Mbit/s");
    // NRZ, LED, the first photodetector, 1E-9, single-mode fibre.
    EXPECT_EQ(tavo.initialChoices(), (std::vector<int>{0, 0, 1, 0, 0}));
    EXPECT_EQ(findCalculator("estrela")->initialChoices(), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(findCalculator("anel")->inputs().back().name, "normalizedBandwidth");
}

TEST(Calculators, feedEveryRecordOfTheirFileToAnInputOrAChoice) {
    for (const Calculator* calculator : calculators()) {
        for (const ProjectRecord& record : calculator->layout().records) {
            const auto index = record.kind == RecordKind::Number
                                   ? calculator->findInput(record.input)
                                   : calculator->findChoice(record.input);
            EXPECT_TRUE(index.has_value()) << calculator->name() << " " << record.input;
            if (index && record.kind == RecordKind::Choice) {
                const ChoiceDescription& choice = calculator->choices()[*index];
                EXPECT_EQ(static_cast<int>(choice.items.size()), record.codeCount) << record.input;
            }
        }
    }
}

TEST(Sessions, aSweepPointLeavesTheOtherInputsAlone) {
    const auto session = findCalculator("estrela")->newSession();
    const SweepPoint point = session->runAt(*findCalculator("estrela")->findInput("bitRate"), 50);
    EXPECT_EQ(point.input, 50);
    EXPECT_EQ(point.limitedBy, LimitingFactor::Dispersion);
    EXPECT_EQ(session->text(0), "1"); // connectorLoss
    const RunReport run = session->run();
    EXPECT_EQ(run.outputs.back().name, "maximumDistance");
    EXPECT_EQ(run.outputs.back().output.value(), *point.maximumDistance);
}

} // namespace
} // namespace vantero::cli
