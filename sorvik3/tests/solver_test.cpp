#include "sorvik3/solver.h"
#include "sorvik3/tests/stderr_capture.h"

#include <gtest/gtest.h>

#include <bit>
#include <cctype>
#include <cmath>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

namespace vantero::sorvik3 {
namespace {

constexpr float firstEstimate = 0.0020050001330673695f;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct Arguments {
    double aten_borda, freq, termo_A, H;
};

// Records where each iteration starts and, when asked, marks its start on
// standard error so that the library's messages can be placed in their
// iteration.
class Recorder final : public IterationObserver {
public:
    explicit Recorder(bool markOnStderr = false) : m_markOnStderr(markOnStderr) {}

    void iterationStarts(std::int32_t j, float x) override {
        EXPECT_EQ(j, static_cast<std::int32_t>(starts.size()) + 1);
        starts.push_back(x);
        if (m_markOnStderr) {
            const std::string mark = "iteration " + std::to_string(j) + "\n";
            ASSERT_EQ(write(STDERR_FILENO, mark.data(), mark.size()),
                      static_cast<ssize_t>(mark.size()));
        }
    }
    void iterationEnds(const IterationValues& values) override { ends.push_back(values); }

    std::vector<float> starts;
    std::vector<IterationValues> ends;

private:
    bool m_markOnStderr;
};

// Test names from the cases' names: "H zero" becomes HZero.
template <class Case> std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string name;
    bool wordStart = true;
    for (const char c : std::string(info.param.name)) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) == 0) {
            wordStart = true;
            continue;
        }
        name += wordStart ? static_cast<char>(std::toupper(u)) : c;
        wordStart = false;
    }
    return name;
}

float solveRecorded(const Arguments& a, Recorder& recorder) {
    return solve(a.aten_borda, a.freq, a.termo_A, a.H, &recorder);
}

// The loss equation in extended precision, with its derivative.
long double loss(const Arguments& a, long double x) {
    return 89.54L + a.termo_A + 21 * std::log10(static_cast<long double>(a.freq)) -
           18 * std::log10(static_cast<long double>(a.H)) + 38 * std::log10(x) -
           18 * std::log10(1 - x * x / (17 * static_cast<long double>(a.H)));
}

long double lossSlope(const Arguments& a, long double x) {
    const long double ln10 = std::log(10.0L);
    return 38 / (ln10 * x) + 36 * x / (ln10 * (17 * a.H - x * x));
}

TEST(Solver, runsAllTwentyIterationsToTheSingleNextToTheRoot) {
    const Arguments a{100, 900, 0, 30};
    Recorder recorder;
    const float result = solveRecorded(a, recorder);

    EXPECT_EQ(static_cast<double>(result), 0.21995049715042114);
    EXPECT_EQ(recorder.starts.size(), 20u);

    long double root = 0.2L;
    for (int i = 0; i < 50; ++i) {
        root -= (loss(a, root) - a.aten_borda) / lossSlope(a, root);
    }
    EXPECT_NEAR(static_cast<double>(root), 0.21995050097, 1e-11);
    const long double below = std::nextafter(result, 0.0f);
    const long double above = std::nextafter(result, 1.0f);
    EXPECT_LT(std::fabs(result - root), std::fabs(below - root));
    EXPECT_LT(std::fabs(result - root), std::fabs(above - root));
}

TEST(Solver, passesTheWorkedCaseThroughTheseEstimatesOnEveryPlatform) {
    // Each value is rounded to its width when it is stored, whatever the
    // compiler keeps in registers: the estimates are the same to the bit on
    // the x87 of 32-bit x86 as with x86-64.
    std::vector<std::uint32_t> expected = {0x3b036652, 0x3c3b2c22, 0x3d3931ae, 0x3def16fd,
                                           0x3e434512, 0x3e5f246e, 0x3e613839};
    expected.resize(20, 0x3e613ab4);
    Recorder recorder;
    const float result = solveRecorded({100, 900, 0, 30}, recorder);
    std::vector<std::uint32_t> starts;
    for (const float x : recorder.starts) {
        starts.push_back(std::bit_cast<std::uint32_t>(x));
    }
    EXPECT_EQ(starts, expected);

    // What the observer is told at the end of each iteration is where the
    // next one starts.
    ASSERT_EQ(recorder.ends.size(), recorder.starts.size());
    for (std::size_t i = 0; i < recorder.ends.size(); ++i) {
        const IterationValues& v = recorder.ends[i];
        EXPECT_EQ(v.j, static_cast<std::int32_t>(i + 1));
        EXPECT_EQ(v.x, recorder.starts[i]);
        EXPECT_EQ(v.final, i + 1 < recorder.starts.size() ? recorder.starts[i + 1] : result);
        EXPECT_EQ(v.erro, std::fabs(v.dx));
    }
}

struct ToleranceCase {
    const char* name;
    double firstStep;
    bool endsAfterIt;
};

void PrintTo(const ToleranceCase& c, std::ostream* os) {
    *os << c.name;
}

class Tolerance : public testing::TestWithParam<ToleranceCase> {};

TEST_P(Tolerance, endsTheLoopOnAStepBelowIt) {
    // A loss target that puts the first Newton step at firstStep.
    const Arguments equation{0, 900, 0, 30};
    const long double target =
        loss(equation, firstEstimate) - GetParam().firstStep * lossSlope(equation, firstEstimate);
    Recorder recorder;
    const float result = solveRecorded({static_cast<double>(target), 900, 0, 30}, recorder);
    if (GetParam().endsAfterIt) {
        EXPECT_EQ(recorder.starts.size(), 1u);
    } else {
        EXPECT_GT(recorder.starts.size(), 1u);
    }
    // Single-precision estimates near 0.002 lie 2.3e-10 apart: a tiny step
    // leaves the estimate where it was.
    if (GetParam().firstStep < 1e-10) {
        EXPECT_EQ(result, firstEstimate);
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, Tolerance,
                         testing::Values(ToleranceCase{"the target met", 0, true},
                                         ToleranceCase{"half the tolerance", 5e-11, true},
                                         ToleranceCase{"twice the tolerance", 2e-10, false}),
                         caseName<ToleranceCase>);

struct StartCase {
    const char* name;
    Arguments arguments;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

class FirstIteration : public testing::TestWithParam<StartCase> {};

TEST_P(FirstIteration, startsAtTheMidpointOfTheStartingConstants) {
    Recorder recorder;
    {
        StderrCapture quiet;
        solveRecorded(GetParam().arguments, recorder);
    }
    ASSERT_FALSE(recorder.starts.empty());
    EXPECT_EQ(static_cast<double>(recorder.starts.front()), 0.0020050001330673695);
}

INSTANTIATE_TEST_SUITE_P(Arguments, FirstIteration,
                         testing::Values(StartCase{"a solvable loss", {100, 900, 0, 30}},
                                         StartCase{"another loss", {140, 2400, 12.5, 45}},
                                         StartCase{"all zero", {0, 0, 0, 0}},
                                         StartCase{"negative", {-1, -1, -1, -1}},
                                         StartCase{"not a number", {nan, nan, nan, nan}}),
                         caseName<StartCase>);

TEST(Log10Reported, isTheLogarithmOfAPositiveValueWithoutAMessage) {
    StderrCapture capture;
    EXPECT_EQ(log10Reported(1000), 3);
    EXPECT_EQ(log10Reported(0.01), -2);
    EXPECT_TRUE(std::isnan(log10Reported(nan)));
    EXPECT_EQ(log10Reported(std::numeric_limits<double>::infinity()),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(capture.lines(), std::vector<std::string>{});
}

TEST(Log10Reported, goesOnWithTheLargestNegativeDoubleForZero) {
    StderrCapture capture;
    EXPECT_EQ(log10Reported(0), -1.7976931348623157e308);
    EXPECT_EQ(log10Reported(-0.0), -1.7976931348623157e308);
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{log10Error("SING"), log10Error("SING")}));
}

TEST(Log10Reported, goesOnWithANotANumberForANegativeValue) {
    StderrCapture capture;
    EXPECT_TRUE(std::isnan(log10Reported(-1e-300)));
    EXPECT_TRUE(std::isnan(log10Reported(-std::numeric_limits<double>::infinity())));
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{log10Error("DOMAIN"), log10Error("DOMAIN")}));
}

struct ErrorCase {
    const char* name;
    Arguments arguments;
    // Standard error, "iteration j" marking the start of each iteration and
    // "SING" or "DOMAIN" for the library's lines.
    std::vector<std::string> output;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class MathErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(MathErrors, areReportedInTheirIterationAndCarriedOn) {
    const ErrorCase& c = GetParam();
    std::vector<std::string> expected;
    for (const std::string& line : c.output) {
        expected.push_back(line.starts_with("iteration") ? line : log10Error(line.c_str()));
    }
    Recorder recorder(true);
    StderrCapture capture;
    const float result = solveRecorded(c.arguments, recorder);
    EXPECT_EQ(capture.lines(), expected);
    // Each case ends with a not-a-number step, which ends the loop.
    EXPECT_TRUE(std::isnan(result));
}

INSTANTIATE_TEST_SUITE_P(
    Logarithms, MathErrors,
    testing::Values(
        // log10(H) of zero, then x^2 / (17 H) is infinite and the last
        // logarithm sees -infinity.
        ErrorCase{"H zero", {100, 900, 0, 0}, {"iteration 1", "SING", "DOMAIN"}},
        ErrorCase{"H negative", {100, 900, 0, -30}, {"iteration 1", "DOMAIN"}},
        ErrorCase{"freq negative", {100, -900, 0, 30}, {"iteration 1", "DOMAIN"}},
        // -DBL_MAX makes the first step infinite; the second iteration
        // starts at infinity.
        ErrorCase{
            "freq zero", {100, 0, 0, 30}, {"iteration 1", "SING", "iteration 2", "SING", "DOMAIN"}},
        ErrorCase{"estimate beyond the square root of 17 H",
                  {100, 900, 0, 1e-7},
                  {"iteration 1", "DOMAIN"}}),
    caseName<ErrorCase>);

} // namespace
} // namespace vantero::sorvik3
