// The calculators of the registry, each alike: one run (single-mode fibre at
// the initial figures, multimode fibre, and a bit rate the rise-time budget
// cannot meet), a run with the text of every output, and the project file
// encoded and decoded.
#include "calculators/registry.h"
#include "tavo/core/pointlink.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace vantero;

// Runs at one value of the bit rate, as a sweep does: the calculation and
// the distances it gives.
void run(benchmark::State& state, const Calculator* calculator, double bitRate, FibreType fibre) {
    const auto session = calculator->newSession();
    session->setChoice(*calculator->findChoice("fibreType"), static_cast<int>(fibre));
    const std::size_t input = *calculator->findInput("bitRate");
    for (auto _ : state) {
        benchmark::DoNotOptimize(session->runAt(input, bitRate));
    }
}

// A run and the texts the window writes from it.
void runWithTexts(benchmark::State& state, const Calculator* calculator) {
    const auto session = calculator->newSession();
    for (auto _ : state) {
        for (const RunOutput& output : session->run().outputs) {
            benchmark::DoNotOptimize(output.output.text());
        }
    }
}

// The baseline the runs are measured against: the point-to-point budget at
// its initial figures in plain doubles, with no checks, no working precision
// and no outputs.
double plainBudget(double bitRate) {
    const double s = 15.4 / 2.30258509299405 * std::log(bitRate) - 61.8;
    const double lp = ((((0 - 5.0) - s) - 2.0) - 5.0 * 0.3) / (1.0 / 4.0 + 0.35);
    const double tSys = (1000 * 0.7) / ((4.0 / 3.0) * bitRate);
    const double tRx = 350 / 40.0;
    const double tau = 0.001 * 2.03 * 2.0;
    const double ld = std::sqrt((tSys * tSys - 2 * tRx * tRx) / (tau * tau));
    return ld >= lp ? lp : ld;
}

void plainDoubles(benchmark::State& state) {
    double bitRate = 34;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bitRate);
        benchmark::DoNotOptimize(plainBudget(bitRate));
    }
}
BENCHMARK(plainDoubles)->Name("baseline/plainDoubles");

// The point-to-point run by itself, at its initial figures, without the
// session a sweep goes through.
void pointLink(benchmark::State& state) {
    const tavo::PointLinkInput input;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavo::calculatePointLink(input));
    }
}
BENCHMARK(pointLink)->Name("calculatePointLink/singleMode");

// The window's initial entries for the calculator's project file.
std::vector<RecordEntry> initialEntries(const Calculator& calculator) {
    std::vector<RecordEntry> entries;
    for (const ProjectRecord& record : calculator.layout().records) {
        if (record.kind == RecordKind::Number) {
            entries.emplace_back(
                std::string(calculator.inputs()[*calculator.findInput(record.input)].initialText));
        } else {
            const ChoiceDescription& choice =
                calculator.choices()[*calculator.findChoice(record.input)];
            entries.emplace_back(ChoiceIndex(choice.itemOfValue(choice.initial)));
        }
    }
    return entries;
}

void encodeProjectFile(benchmark::State& state, const Calculator* calculator) {
    const std::vector<RecordEntry> entries = initialEntries(*calculator);
    for (auto _ : state) {
        benchmark::DoNotOptimize(encodeProject(calculator->layout(), entries));
    }
}

void decodeProjectFile(benchmark::State& state, const Calculator* calculator) {
    const std::vector<std::uint8_t> bytes =
        encodeProject(calculator->layout(), initialEntries(*calculator));
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeProject(calculator->layout(), bytes));
    }
}

const bool registered = [] {
    for (const Calculator* c : calculators()) {
        const std::string name(c->name());
        const double bitRate = std::stod(c->inputs()[*c->findInput("bitRate")].initialText.data());
        benchmark::RegisterBenchmark(("calculate/" + name + "/singleMode").c_str(), run, c, bitRate,
                                     FibreType::SingleMode);
        benchmark::RegisterBenchmark(("calculate/" + name + "/multimode").c_str(), run, c, bitRate,
                                     FibreType::Multimode);
        benchmark::RegisterBenchmark(("calculate/" + name + "/riseTimeRejected").c_str(), run, c,
                                     1e4, FibreType::SingleMode);
        benchmark::RegisterBenchmark(("runWithTexts/" + name).c_str(), runWithTexts, c);
        benchmark::RegisterBenchmark(("encodeProjectFile/" + name).c_str(), encodeProjectFile, c);
        benchmark::RegisterBenchmark(("decodeProjectFile/" + name).c_str(), decodeProjectFile, c);
    }
    return true;
}();

} // namespace
