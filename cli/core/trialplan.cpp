#include "cli/core/trialplan.h"

#include "cli/core/arguments.h"
#include "common/runs/orderedblocks.h"

#include <charconv>
#include <limits>

namespace vantero::cli {
namespace {

// A whole number from `low` to `high` given to `option`.
std::uint64_t wholeNumber(const std::string& text, std::string_view option, std::uint64_t low,
                          std::uint64_t high) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < low ||
        value > high) {
        throw UsageError(std::string(option) + " takes a whole number from " + std::to_string(low) +
                         " to " + std::to_string(high) + ", not \"" + text + "\"");
    }
    return value;
}

} // namespace

unsigned threadCount(const Arguments& a) {
    return a.threads ? static_cast<unsigned>(wholeNumber(*a.threads, "--threads", 1, 1024))
                     : availableCores();
}

trials::TrialPlan trialPlan(const Calculator& calculator, const Arguments& a,
                            const std::vector<double>& lengths) {
    trials::TrialPlan plan;
    try {
        for (const std::string& spread : a.spreads) {
            plan.spreads.push_back(trials::parseSpread(calculator, spread));
        }
        trials::checkPlan(plan);
    } catch (const trials::SpreadError& error) {
        throw UsageError(std::string("--spread ") + error.what());
    }
    plan.lengths = lengths;
    if (a.trials) {
        plan.trials = wholeNumber(*a.trials, "--trials", 1, 1000000000000);
    }
    if (a.seed) {
        plan.seed = wholeNumber(*a.seed, "--seed", 0, std::numeric_limits<std::uint64_t>::max());
    }
    plan.threads = threadCount(a);
    return plan;
}

} // namespace vantero::cli
