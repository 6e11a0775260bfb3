#include "estrela/core/starlink.h"

#include <benchmark/benchmark.h>

namespace {

using vantero::estrela::StarLinkInput;

void calculateStarLink(benchmark::State& state, StarLinkInput input) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(vantero::estrela::calculateStarLink(input));
    }
}
BENCHMARK_CAPTURE(calculateStarLink, singleMode, StarLinkInput{});
BENCHMARK_CAPTURE(calculateStarLink, multimode, [] {
    StarLinkInput in;
    in.fibreType = vantero::FibreType::Multimode;
    return in;
}());
BENCHMARK_CAPTURE(calculateStarLink, riseTimeRejected, [] {
    StarLinkInput in;
    in.lineCode = vantero::LineCode::RZ;
    return in;
}());

} // namespace
