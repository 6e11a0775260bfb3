#include "cli/tests/commandline.h"
#include "common/numbers/failure.h"
#include "common/runs/csvwriter.h"
#include "common/runs/json.h"
#include "common/runs/report.h"
#include "common/testing/calculationtesting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace vantero::cli {
namespace {

std::string json(std::string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

std::string json(double value) {
    std::string out;
    appendJsonNumber(out, value);
    return out;
}

struct JsonText {
    const char* name;
    std::string text;
    std::string written;
};

void PrintTo(const JsonText& c, std::ostream* os) {
    *os << c.name;
}

class JsonStrings : public testing::TestWithParam<JsonText> {};

TEST_P(JsonStrings, areAlwaysValidJson) {
    EXPECT_EQ(json(GetParam().text), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JsonStrings,
    testing::Values(
        JsonText{"plain", "abc", "\"abc\""},
        JsonText{"quote and backslash", "\"1,5\" \\", "\"\\\"1,5\\\" \\\\\""},
        JsonText{"line breaks and tab", "a\nb\r\tc", "\"a\\nb\\r\\tc\""},
        JsonText{"other control characters", std::string("\x01\x1f", 2) + std::string(1, '\0'),
                 "\"\\u0001\\u001f\\u0000\""},
        JsonText{"accented letters pass through", "Distância ção", "\"Distância ção\""},
        JsonText{"four-byte character", "\xF0\x9F\x93\xA1", "\"\xF0\x9F\x93\xA1\""},
        JsonText{"a lone byte",
                 "a\xFF"
                 "b",
                 "\"a\\ufffdb\""},
        JsonText{"a cut sequence", "\xC3", "\"\\ufffd\""},
        JsonText{"an overlong form", "\xC0\xAF", "\"\\ufffd\\ufffd\""},
        JsonText{"a surrogate", "\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
        JsonText{"beyond Unicode", "\xF4\x90\x80\x80", "\"\\ufffd\\ufffd\\ufffd\\ufffd\""}),
    [](const auto& info) { return testNameOf(info.param.name); });

TEST(JsonNumbers, areTheShortestTextThatReadsBack) {
    EXPECT_EQ(json(0.1), "0.1");
    EXPECT_EQ(json(49.52537446258219), "49.52537446258219");
    EXPECT_EQ(json(-0.0), "-0");
    EXPECT_EQ(json(1e300), "1e+300");
    EXPECT_EQ(json(std::numeric_limits<double>::quiet_NaN()), "null");
    EXPECT_EQ(json(-std::numeric_limits<double>::infinity()), "null");
}

TEST(Failures, nameTheInputOfATextThatIsNotANumber) {
    EXPECT_EQ(failureMessage(NumberFormatFailure("3,4", "bitRate")),
              "bitRate: \"3,4\" não é um número válido");
    EXPECT_EQ(failureMessage(NumberFormatFailure("3,4")), "\"3,4\" não é um número válido");
    EXPECT_EQ(exitStatus(NumberFormatFailure("3,4")), 2);
    EXPECT_EQ(exitStatus(ArithmeticFault(FaultKind::Overflow)), 1);
    EXPECT_EQ(exitStatus(FileFailure(2)), 3);
}

std::string csvOf(const std::vector<SweepPoint>& points, std::size_t capacity) {
    MemoryStream stream;
    CsvWriter csv(streamSink(stream.file(), "standard output"), capacity);
    csv.header("bitRate");
    for (const SweepPoint& p : points) {
        csv.row(p);
    }
    csv.finish();
    return stream.close();
}

TEST(Csv, quotesACellWithACommaOrQuote) {
    SweepPoint faulted;
    faulted.input = 2;
    faulted.fault = NumberFormatFailure("1,5", "bitRate");
    SweepPoint plain;
    plain.input = 0.5;
    plain.powerDistance = 1e-7;
    plain.maximumDistance = 0;
    plain.limitedBy = LimitingFactor::Dispersion;
    plain.message = "uma mensagem";
    EXPECT_EQ(csvOf({faulted, plain}, 1 << 20),
              "bitRate,powerDistance,riseTimeDistance,maximumDistance,limitedBy,message\n"
              "2,,,,,\"\"\"1,5\"\" não é um número válido\"\n"
              "0.5,1e-07,,0,Dispersion,uma mensagem\n");
}

// The maximum's cell is written as the distance it equals, bit for bit; a
// message keeps its quotes however often it comes.
TEST(Csv, theMaximumAndTheMessageOfEveryRowAreItsOwn) {
    auto point = [](double power, std::optional<double> riseTime, double maximum,
                    std::string_view message) {
        SweepPoint p;
        p.input = 1;
        p.powerDistance = power;
        p.riseTimeDistance = riseTime;
        p.maximumDistance = maximum;
        p.message = message;
        return p;
    };
    const std::string_view quoted = "a, b";
    EXPECT_EQ(csvOf({point(2.5, 7, 2.5, "m"), point(9, 0.125, 0.125, "m"),
                     point(0.0, std::nullopt, -0.0, quoted), point(-0.0, 0.0, 0.0, quoted)},
                    1 << 20),
              "bitRate,powerDistance,riseTimeDistance,maximumDistance,limitedBy,message\n"
              "1,2.5,7,2.5,,m\n"
              "1,9,0.125,0.125,,m\n"
              "1,0,,-0,,\"a, b\"\n"
              "1,-0,0,0,,\"a, b\"\n");
}

TEST(Csv, aSmallBufferWritesTheSameBytes) {
    std::vector<SweepPoint> points;
    for (int i = 0; i < 500; ++i) {
        SweepPoint p;
        p.input = i / 7.0;
        p.powerDistance = std::sqrt(i + 0.5);
        p.riseTimeDistance = i % 3 == 0 ? std::nullopt : std::optional<double>(1.0 / (i + 1));
        p.maximumDistance = p.riseTimeDistance ? *p.riseTimeDistance : 0;
        p.limitedBy = LimitingFactor::Attenuation;
        p.message = i % 3 == 0 ? "tempo de subida do sistema, \"menor\"" : "";
        points.push_back(p);
    }
    const std::string large = csvOf(points, 1 << 20);
    EXPECT_EQ(csvOf(points, 64), large);
    EXPECT_EQ(csvOf(points, 100), large);
}

} // namespace
} // namespace vantero::cli
