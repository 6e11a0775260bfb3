#include "sorvik3/sorvik3.h"
#include "sorvik3/tests/stderr_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace vantero::sorvik3 {
namespace {

struct Arguments {
    double aten_borda, freq, termo_A, H;
};

double call(const Arguments& a) {
    return Sorvik3(a.aten_borda, a.freq, a.termo_A, a.H);
}

// Losses of every kind: solvable ones, ones whose estimate ends outside
// (0, 1), and ones that meet a math error and end in a not-a-number.
std::vector<Arguments> manyArguments(std::size_t count) {
    std::vector<Arguments> result;
    for (std::size_t i = 0; i < count; ++i) {
        const double k = static_cast<double>(i);
        result.push_back({std::fmod(k * 3.7, 300), std::fmod(k * 13.1, 5000) - 50,
                          std::fmod(k * 0.11, 20) - 10, std::fmod(k * 0.7, 80) - 2});
    }
    return result;
}

TEST(Sorvik3, returnsTheSingleNextToTheRoot) {
    EXPECT_EQ(Sorvik3(100, 900, 0, 30), 0.21995049715042114);
}

TEST(Sorvik3, returnsSinglePrecisionOnly) {
    StderrCapture quiet;
    for (const Arguments& a : manyArguments(200)) {
        const double result = call(a);
        if (!std::isnan(result)) {
            EXPECT_EQ(static_cast<double>(static_cast<float>(result)), result)
                << a.aten_borda << " " << a.freq << " " << a.termo_A << " " << a.H;
        }
    }
}

TEST(Sorvik3, reportsMathErrorsOfTheLogarithmOnStandardError) {
    StderrCapture capture;
    const double zeroH = Sorvik3(100, 900, 0, 0);
    const double negativeFreq = Sorvik3(100, -900, 0, 30);
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{log10Error("SING"), log10Error("DOMAIN"),
                                                         log10Error("DOMAIN")}));
    EXPECT_TRUE(std::isnan(zeroH));
    EXPECT_TRUE(std::isnan(negativeFreq));
}

constexpr unsigned threadCount = 8;
constexpr std::size_t callsPerThread = 1000;

// Each thread takes every threadCount-th argument set, so that all threads
// run different losses at once.
template <class Call> void callFromThreads(std::size_t count, Call perCall) {
    std::vector<std::jthread> threads;
    for (unsigned t = 0; t < threadCount; ++t) {
        threads.emplace_back([=] {
            for (std::size_t i = t; i < count; i += threadCount) {
                perCall(i);
            }
        });
    }
}

TEST(Sorvik3, givesTheSameResultsFromSeveralThreadsAtOnce) {
    const std::vector<Arguments> arguments = manyArguments(threadCount * callsPerThread);
    std::vector<std::uint64_t> serial;
    std::vector<std::string> serialLines;
    {
        StderrCapture capture;
        for (const Arguments& a : arguments) {
            serial.push_back(std::bit_cast<std::uint64_t>(call(a)));
        }
        serialLines = capture.lines();
    }
    std::vector<std::uint64_t> parallel(arguments.size());
    std::vector<std::string> parallelLines;
    {
        StderrCapture capture;
        callFromThreads(arguments.size(), [&](std::size_t i) {
            parallel[i] = std::bit_cast<std::uint64_t>(call(arguments[i]));
        });
        parallelLines = capture.lines();
    }
    EXPECT_EQ(parallel, serial);
    // The same messages, in another order.
    std::sort(serialLines.begin(), serialLines.end());
    std::sort(parallelLines.begin(), parallelLines.end());
    EXPECT_EQ(parallelLines, serialLines);
}

TEST(Sorvik3, keepsEachErrorLineWholeFromSeveralThreadsAtOnce) {
    constexpr std::size_t calls = threadCount * 50;
    std::vector<std::string> lines;
    {
        StderrCapture capture;
        // H = 0: one SING and one DOMAIN line per call.
        callFromThreads(calls, [](std::size_t) { Sorvik3(100, 900, 0, 0); });
        lines = capture.lines();
    }
    ASSERT_EQ(lines.size(), 2 * calls);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), log10Error("SING")), calls);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), log10Error("DOMAIN")), calls);
}

} // namespace
} // namespace vantero::sorvik3
