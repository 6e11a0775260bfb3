#include "common/calculator/real48.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vantero;

void real48RoundTrip(benchmark::State& state) {
    const long double values[] = {0.35L, -38.21522L, 1330, 2.03L, 1e-40L, 0.092L};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fromReal48(toReal48(values[i++ % 6])));
    }
}
BENCHMARK(real48RoundTrip);

} // namespace
