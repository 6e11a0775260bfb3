#include "common/projectfile.h"
#include "tavo/core/diglayout.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace vantero;

// The default point-to-point window: 16 field texts and 5 choices.
std::vector<RecordEntry> digEntries() {
    std::vector<RecordEntry> entries;
    for (const char* text : {"1", "5", "34", "5", "0.3", "0", "2", "3", "4", "40", "2", "0.35", "4",
                             "2.03", "1330", "0.092"}) {
        entries.emplace_back(std::string(text));
    }
    entries.insert(entries.end(), 5, ChoiceIndex(0));
    return entries;
}

void encodeDigProject(benchmark::State& state) {
    const std::vector<RecordEntry> entries = digEntries();
    for (auto _ : state) {
        benchmark::DoNotOptimize(encodeProject(tavo::digLayout, entries));
    }
}
BENCHMARK(encodeDigProject);

void decodeDigProject(benchmark::State& state) {
    const std::vector<std::uint8_t> bytes = encodeProject(tavo::digLayout, digEntries());
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeProject(tavo::digLayout, bytes));
    }
}
BENCHMARK(decodeDigProject);

void real48RoundTrip(benchmark::State& state) {
    const long double values[] = {0.35L, -38.21522L, 1330, 2.03L, 1e-40L, 0.092L};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fromReal48(toReal48(values[i++ % 6])));
    }
}
BENCHMARK(real48RoundTrip);

} // namespace
