#include "calculators/registry.h"
#include "cli/core/sweep.h"
#include "common/runs/csvwriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// One point of a geometric bit-rate sweep, 1 to 1000 Mbit/s over a million
// points, on the window's initial figures.
void sweepPoint(benchmark::State& state, const vantero::Calculator* calculator) {
    const auto session = calculator->newSession();
    const vantero::cli::SweepRange range{*calculator->findInput("bitRate"), 1, 1000, 1000000, true};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(session->runAt(range.input, vantero::cli::sweepValue(range, i)));
        i = (i + 1) % range.count;
    }
}

// The same point and its CSV row, written to /dev/null through the sweep's
// buffer.
void sweepPointWithCsvRow(benchmark::State& state, const vantero::Calculator* calculator) {
    const auto session = calculator->newSession();
    const vantero::cli::SweepRange range{*calculator->findInput("bitRate"), 1, 1000, 1000000, true};
    std::FILE* null = std::fopen("/dev/null", "w");
    {
        vantero::CsvWriter csv(vantero::streamSink(null, "/dev/null"));
        std::size_t i = 0;
        for (auto _ : state) {
            csv.row(session->runAt(range.input, vantero::cli::sweepValue(range, i)));
            i = (i + 1) % range.count;
        }
        csv.finish();
    }
    std::fclose(null);
}
const bool registered = [] {
    for (const vantero::Calculator* calculator : vantero::calculators()) {
        const std::string name(calculator->name());
        benchmark::RegisterBenchmark(("sweepPoint/" + name).c_str(), sweepPoint, calculator);
        benchmark::RegisterBenchmark(("sweepPointWithCsvRow/" + name).c_str(), sweepPointWithCsvRow,
                                     calculator);
    }
    return true;
}();

} // namespace
