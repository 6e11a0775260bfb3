#include "common/numbers/formatting.h"
#include "common/numbers/numbers.h"

#include <benchmark/benchmark.h>

namespace {

void parseNumber(benchmark::State& state) {
    const char* texts[] = {"34", "0.35", "-38.21522", "1330", "0.092", "2.5e-3"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vantero::parseNumber(texts[i++ % 6]));
    }
}
BENCHMARK(parseNumber);

void formatResult(benchmark::State& state) {
    const double values[] = {49.525374, 2274.8933149, -38.215224677, 0.0, 15.441176470588236};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vantero::formatResult(values[i++ % 5]));
    }
}
BENCHMARK(formatResult);

} // namespace
