#include "anel/core/ringlink.h"

#include <benchmark/benchmark.h>

namespace {

using vantero::anel::RingLinkInput;

void calculateRingLink(benchmark::State& state, RingLinkInput input) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(vantero::anel::calculateRingLink(input));
    }
}
BENCHMARK_CAPTURE(calculateRingLink, singleMode, RingLinkInput{});
BENCHMARK_CAPTURE(calculateRingLink, multimode, [] {
    RingLinkInput in;
    in.fibreType = vantero::FibreType::Multimode;
    return in;
}());
BENCHMARK_CAPTURE(calculateRingLink, riseTimeRejected, [] {
    RingLinkInput in;
    in.bitRate = "1000";
    return in;
}());

} // namespace
