#include "cli/core/arguments.h"
#include "cli/core/sweepargument.h"
#include "cli/tests/commandline.h"
#include "common/numbers/failure.h"
#include "common/testing/calculationtesting.h"
#include "estrela/core/starlink.h"
#include "tavo/core/pointlink.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace vantero::cli {
namespace {

std::string shortest(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

const Calculator& calculator(std::string_view name) {
    return *findCalculator(name);
}

TEST(Sweep, writesAHeaderAndOneRowPerPointAFaultingPointIncluded) {
    // State: the star's bit rate from 0 (a fault after the power budget) to
    // 100 Mbit/s, dispersion-limited.
    const Outcome o = runVantero({"estrela", "--sweep", "bitRate=0:100:3"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");

    estrela::StarLinkInput in;
    const std::string lp = shortest(estrela::calculateStarLink(in).powerDistance.value());
    in.bitRate = "50";
    const std::string ld50 = shortest(estrela::calculateStarLink(in).riseTimeDistance.value());
    in.bitRate = "100";
    const std::string ld100 = shortest(estrela::calculateStarLink(in).riseTimeDistance.value());
    EXPECT_EQ(lines(o.out),
              (std::vector<std::string>{
                  "bitRate,powerDistance,riseTimeDistance,maximumDistance,limitedBy,message",
                  "0," + lp + ",,,,Floating point division by zero",
                  "50," + lp + "," + ld50 + "," + ld50 + ",Dispersion,",
                  "100," + lp + "," + ld100 + "," + ld100 + ",Dispersion,"}));
}

TEST(Sweep, aFailedRiseTimeBudgetLeavesTheRiseTimeDistanceEmpty) {
    // State: tavo at 34 and 100 Mbit/s: the second is too fast for the
    // receiver's rise time.
    const Outcome direct = runVantero({"tavo", "--sweep", "bitRate=34:100:2"});
    ASSERT_EQ(direct.status, 0) << direct.err;
    const auto rows = lines(direct.out);
    ASSERT_EQ(rows.size(), 3u);
    const tavo::PointLinkResult defaults = tavo::calculatePointLink(tavo::PointLinkInput{});
    EXPECT_EQ(rows[1], "34," + shortest(defaults.powerDistance.value()) + "," +
                           shortest(defaults.riseTimeDistance.value()) + "," +
                           shortest(defaults.maximumDistance.value()) + ",Attenuation,");
    tavo::PointLinkInput fast;
    fast.bitRate = "100";
    EXPECT_EQ(rows[2], "100," + shortest(tavo::calculatePointLink(fast).powerDistance.value()) +
                           ",,0,Dispersion,tempo de subida do sistema menor que a soma dos "
                           "tempos do transmissor e do receptor");
}

TEST(Sweep, writesTheCsvToItsFile) {
    TemporaryFolder folder;
    const std::string csv = folder.file("sweep.csv");
    const Outcome o = runVantero({"anel", "--sweep", "launchedPower=-20:-10:11", "--csv", csv});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "");
    const auto rows = lines(fileContents(csv));
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_TRUE(rows[1].starts_with("-20,"));
    EXPECT_TRUE(rows[6].starts_with("-15,"));
    EXPECT_TRUE(rows[11].starts_with("-10,"));
}

TEST(Sweep, theOtherInputsKeepTheirSettings) {
    // State: RZ fails the rise-time budget whatever the launched power.
    const Outcome o =
        runVantero({"tavo", "--set", "lineCode=RZ", "--sweep", "launchedPower=0:1:2"});
    const auto rows = lines(o.out);
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_NE(rows[i].find(",,0,Dispersion,tempo de subida"), std::string::npos) << rows[i];
    }
}

TEST(Sweep, ofAChoiceRunsEachOfItsValuesInOrder) {
    const Outcome o = runVantero({"estrela", "--sweep", "blockCode"});
    ASSERT_EQ(o.status, 0) << o.err;
    std::vector<std::string> expected{
        "blockCode,powerDistance,riseTimeDistance,maximumDistance,limitedBy,message"};
    for (const auto& [code, name] :
         {std::pair{BlockCode::Code3B4B, "3B4B"}, std::pair{BlockCode::Code7B8B, "7B8B"},
          std::pair{BlockCode::Code8B10B, "8B10B"}}) {
        estrela::StarLinkInput in;
        in.blockCode = code;
        const estrela::StarLinkResult r = estrela::calculateStarLink(in);
        expected.push_back(std::string(name) + "," + shortest(r.powerDistance.value()) + "," +
                           shortest(r.riseTimeDistance.value()) + "," +
                           shortest(r.maximumDistance.value()) + ",Dispersion,");
    }
    EXPECT_EQ(lines(o.out), expected);
}

TEST(Sweep, ofAChoiceKeepsTheOtherSettings) {
    // State: RZ fails tavo's rise-time budget on either fibre.
    const Outcome o = runVantero({"tavo", "--set", "lineCode=RZ", "--sweep", "fibreType"});
    const auto rows = lines(o.out);
    ASSERT_EQ(rows.size(), 3u) << o.err;
    EXPECT_TRUE(rows[1].starts_with("SingleMode,")) << rows[1];
    EXPECT_TRUE(rows[2].starts_with("Multimode,")) << rows[2];
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_NE(rows[i].find(",,0,Dispersion,tempo de subida"), std::string::npos) << rows[i];
    }
}

TEST(Sweep, aDashIsStandardOutput) {
    const Outcome o = runVantero({"anel", "--sweep", "bitRate=10:20:3", "--csv", "-"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, runVantero({"anel", "--sweep", "bitRate=10:20:3"}).out);
    EXPECT_FALSE(std::filesystem::exists("-"));
}

TEST(Sweep, aChartWithoutCsvIsTheOnlyOutput) {
    TemporaryFolder folder;
    const auto blank = [](const report::SweepChart&, report::ImageFormat) {
        return std::string("png");
    };
    Outcome o =
        runVantero({"tavo", "--sweep", "bitRate=1:2:3", "--plot", folder.file("c.png")}, blank);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(fileContents(folder.file("c.png")), "png");

    // The chart itself to standard output, or the CSV beside the chart.
    o = runVantero({"tavo", "--sweep", "bitRate=1:2:3", "--plot", "-"}, blank);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "png");
    o = runVantero(
        {"tavo", "--sweep", "bitRate=1:2:3", "--csv", "-", "--plot", folder.file("d.png")}, blank);
    EXPECT_EQ(lines(o.out).size(), 4u);
}

TEST(SweepValues, onePointIsItsOnlyValue) {
    const SweepRange single = parseSweep(calculator("anel"), "bitRate=15:15:1", false);
    EXPECT_EQ(single.count, 1u);
    EXPECT_EQ(sweepValue(single, 0), 15);
}

TEST(SweepRanges, areReadByTheFieldsNumberRules) {
    const SweepRange range = parseSweep(calculator("tavo"), "gainMargin= 1e1 :.5:7", true);
    EXPECT_EQ(range.input, *calculator("tavo").findInput("gainMargin"));
    EXPECT_EQ(range.from, 10);
    EXPECT_EQ(range.to, 0.5);
    EXPECT_EQ(range.count, 7u);
    EXPECT_TRUE(range.logarithmic);
}

struct BadRange {
    const char* sweepArgument;
    bool logarithmic;
    const char* says;
};

void PrintTo(const BadRange& c, std::ostream* os) {
    *os << c.sweepArgument << (c.logarithmic ? " --log" : "");
}

class BadRanges : public testing::TestWithParam<BadRange> {};

TEST_P(BadRanges, areUsageErrors) {
    try {
        (void)parseSweep(calculator("tavo"), GetParam().sweepArgument, GetParam().logarithmic);
        FAIL() << "accepted";
    } catch (const UsageError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().says), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Specs, BadRanges,
                         testing::Values(BadRange{"bitRate", false, "NAME=FROM:TO:COUNT"},
                                         BadRange{"bitRate=1:2", false, "NAME=FROM:TO:COUNT"},
                                         BadRange{"bitRate=1:2:3:4", false, "NAME=FROM:TO:COUNT"},
                                         BadRange{"bitRate=1:2:0", false, "at least 1"},
                                         BadRange{"bitRate=1:2:-3", false, "at least 1"},
                                         BadRange{"bitRate=1:2:2.5", false, "at least 1"},
                                         BadRange{"bitRate=1:2:1", false, "at least 2 points"},
                                         // more points than a double can place, or than
                                         // 64 bits hold: never an empty sweep
                                         BadRange{"bitRate=1:10:18446744073709551615", false,
                                                  "at most 9007199254740992 (2^53)"},
                                         BadRange{"bitRate=1:10:9007199254740993", false,
                                                  "at most 9007199254740992 (2^53)"},
                                         BadRange{"bitRate=1:10:99999999999999999999999", false,
                                                  "at most 9007199254740992 (2^53)"},
                                         BadRange{"bitRate=1:1e400:3", false, "range of a double"},
                                         BadRange{"bitRate=0:1000:3", true, "same sign"},
                                         BadRange{"bitRate=-1:1000:3", true, "same sign"},
                                         BadRange{"rate=1:2:3", false, "numeric input of tavo"}),
                         [](const auto& info) {
                             return testNameOf(info.param.sweepArgument) +
                                    (info.param.logarithmic ? "_log" : "");
                         });

TEST(SweepRanges, aBoundThatIsNotANumberNamesTheSweptInput) {
    try {
        (void)parseSweep(calculator("estrela"), "bitRate=1,5:10:3", false);
        FAIL() << "accepted";
    } catch (const NumberFormatFailure& failure) {
        EXPECT_EQ(failure.input(), "bitRate");
        EXPECT_EQ(failure.typed(), "1,5");
    }
    const Outcome o = runVantero({"estrela", "--sweep", "bitRate=1:dez:3"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "vantero: bitRate: \"dez\" não é um número válido.\n");
}

TEST(Charts, leaveFaultingPointsOutAndMarkTheCrossover) {
    // State: tavo's bit rate from 0 (a fault) up to 100 Mbit/s, through the
    // crossover near 42 Mbit/s.
    std::optional<report::SweepChart> drawn;
    const auto keep = [&](const report::SweepChart& chart, report::ImageFormat) {
        drawn = chart;
        return std::string();
    };
    TemporaryFolder folder;
    const Outcome o = runVantero({"tavo", "--sweep", "bitRate=0:100:201", "--csv", "/dev/null",
                                  "--plot", folder.file("chart.png")},
                                 keep);
    ASSERT_EQ(o.status, 0) << o.err;
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->points.size(), 200u);
    EXPECT_EQ(drawn->points.front().input, 0.5);
    EXPECT_EQ(drawn->xLabel, "Taxa de transmissão de dados (Mbits/s)");
    EXPECT_EQ(drawn->xUnit, "Mbit/s");
    ASSERT_EQ(drawn->crossovers.size(), 1u);
    EXPECT_GT(drawn->crossovers[0].input, 42);
    EXPECT_LT(drawn->crossovers[0].input, 42.5);
    EXPECT_TRUE(drawn->points.back().riseTimeRejected);
    EXPECT_FALSE(drawn->points.front().riseTimeRejected);
}

} // namespace
} // namespace vantero::cli
