#include "cli/core/calculator.h"
#include "cli/core/csvwriter.h"
#include "cli/core/sweep.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using vantero::cli::findCalculator;

// One point of a geometric bit-rate sweep, 1 to 1000 Mbit/s over a million
// points, on the window's initial figures.
void sweepPoint(benchmark::State& state, const char* calculator) {
    const auto session = findCalculator(calculator)->newSession();
    const vantero::cli::SweepRange range{*findCalculator(calculator)->findInput("bitRate"), 1, 1000,
                                         1000000, true};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(session->runAt(range.input, vantero::cli::sweepValue(range, i)));
        i = (i + 1) % range.count;
    }
}
BENCHMARK_CAPTURE(sweepPoint, tavo, "tavo");
BENCHMARK_CAPTURE(sweepPoint, estrela, "estrela");
BENCHMARK_CAPTURE(sweepPoint, anel, "anel");

// The same point and its CSV row, written to /dev/null through the sweep's
// buffer.
void sweepPointWithCsvRow(benchmark::State& state, const char* calculator) {
    const auto session = findCalculator(calculator)->newSession();
    const vantero::cli::SweepRange range{*findCalculator(calculator)->findInput("bitRate"), 1, 1000,
                                         1000000, true};
    std::FILE* null = std::fopen("/dev/null", "w");
    {
        vantero::cli::CsvWriter csv(null);
        std::size_t i = 0;
        for (auto _ : state) {
            csv.row(session->runAt(range.input, vantero::cli::sweepValue(range, i)));
            i = (i + 1) % range.count;
        }
        csv.finish();
    }
    std::fclose(null);
}
BENCHMARK_CAPTURE(sweepPointWithCsvRow, tavo, "tavo");
BENCHMARK_CAPTURE(sweepPointWithCsvRow, estrela, "estrela");
BENCHMARK_CAPTURE(sweepPointWithCsvRow, anel, "anel");

} // namespace
