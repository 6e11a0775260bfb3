// One trial of a statistical budget of each calculator, three of its inputs
// spread (its first item loss among them) and both budgets at one length,
// against one run of the calculation at the same figures; and the pieces a
// trial is made of. The whole program (a million tavo trials) is timed by
// bench/trials.sh.
#include "calculators/registry.h"
#include "common/trials/random.h"
#include "common/trials/trials.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace vantero;

// The spreads of the benchmark: the item losses of the calculator, then
// the fibre's attenuation, up to three.
trials::TrialPlan benchmarkPlan(const Calculator& calculator) {
    trials::TrialPlan plan;
    for (const ItemLossDescription& loss : calculator.itemLosses()) {
        plan.spreads.push_back(
            trials::parseSpread(calculator, std::string(loss.input) + "=normal:0.3,0.05"));
    }
    plan.spreads.push_back(trials::parseSpread(calculator, "fibreAttenuation=uniform:0.3,0.4"));
    plan.spreads.resize(std::min<std::size_t>(plan.spreads.size(), 3));
    plan.lengths = {10};
    return plan;
}

void trial(benchmark::State& state, const Calculator* calculator) {
    const auto session = calculator->newSession();
    const trials::TrialPlan plan = benchmarkPlan(*calculator);
    trials::TrialRunner runner(*session, plan);
    std::uint64_t t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runner.run(t++).powerDistance);
    }
}

// The calculation and the budgets at the length, once, on the same figures.
void runAndBudgets(benchmark::State& state, const Calculator* calculator) {
    const auto session = calculator->newSession();
    for (auto _ : state) {
        benchmark::DoNotOptimize(session->runAt(0, 34));
        benchmark::DoNotOptimize(session->budgetsAt(10));
    }
}

void normalDraw(benchmark::State& state) {
    std::uint64_t t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(trials::standardNormalQuantile(
            trials::openUnitInterval(trials::drawBits(1, {t++, 0, 0})[0])));
    }
}
BENCHMARK(normalDraw)->Name("trials/normalDraw");

const bool registered = [] {
    for (const Calculator* calculator : calculators()) {
        const std::string name(calculator->name());
        benchmark::RegisterBenchmark(("trials/trial/" + name).c_str(), trial, calculator);
        benchmark::RegisterBenchmark(("trials/runAndBudgets/" + name).c_str(), runAndBudgets,
                                     calculator);
    }
    return true;
}();

} // namespace
