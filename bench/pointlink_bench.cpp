#include "tavo/core/pointlink.h"

#include <benchmark/benchmark.h>

namespace {

using vantero::tavo::PointLinkInput;

void calculatePointLink(benchmark::State& state, PointLinkInput input) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(vantero::tavo::calculatePointLink(input));
    }
}
BENCHMARK_CAPTURE(calculatePointLink, singleMode, PointLinkInput{});
BENCHMARK_CAPTURE(calculatePointLink, multimode, [] {
    PointLinkInput in;
    in.fibreType = vantero::FibreType::Multimode;
    return in;
}());
BENCHMARK_CAPTURE(calculatePointLink, riseTimeRejected, [] {
    PointLinkInput in;
    in.lineCode = vantero::LineCode::RZ;
    return in;
}());

// A run and the texts the window writes from it.
void calculateAndFormat(benchmark::State& state) {
    const PointLinkInput input;
    for (auto _ : state) {
        const auto result = vantero::tavo::calculatePointLink(input);
        for (const auto& field : vantero::tavo::pointLinkResults) {
            if ((result.*field.member).isSet()) {
                benchmark::DoNotOptimize((result.*field.member).text());
            }
        }
    }
}
BENCHMARK(calculateAndFormat);

} // namespace
