#pragma once

#include "common/calculator/calculator.h"
#include "common/trials/sample.h"
#include "common/trials/spread.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::trials {

// A statistical budget: the calculation run many times, each time (a trial)
// with the spread inputs drawn anew, and what the trials give summed up.

inline constexpr std::uint64_t defaultTrials = 100000;
inline constexpr std::uint64_t defaultSeed = 1;
// The values (trials times figures) kept whole for exact percentiles, 64 MiB:
// beyond them each figure is counted in a FigureSample's buckets.
inline constexpr std::uint64_t exactValueLimit = std::uint64_t{1} << 23;
// The items of an item loss drawn one by one at most; beyond them the mean
// of the items is drawn at once from the normal law of the central limit.
inline constexpr std::uint64_t drawnItemLimit = 1024;

struct TrialPlan {
    std::vector<Spread> spreads; // each input once
    std::vector<double> lengths; // km, where both budgets are also found
    std::uint64_t trials = defaultTrials;
    std::uint64_t seed = defaultSeed;
    unsigned threads = 1;
    std::uint64_t exactValues = exactValueLimit;
};

// Refuses (SpreadError) a plan with no spread or with an input spread twice.
void checkPlan(const TrialPlan& plan);

// The budgets of one trial at one length of the plan.
struct TrialAtLength {
    // The loss of each item given to the budgets, for the spreads whose item
    // count grows with the length, in the order of the spreads.
    std::vector<double> itemLosses;
    std::optional<double> powerMargin;
    std::optional<double> riseTimeMargin;
    bool powerBudgetMet = false;
    bool riseTimeBudgetMet = false;
};

// One trial: the value each spread input was given for the distances (for
// an item loss, the mean of the items the link has: at its power distance
// when their count grows with the length), what the run gave, the budgets at
// each length (none when the run faulted), and the first fault, if any.
struct TrialOutcome {
    std::vector<double> inputs;
    std::optional<double> powerDistance;
    std::optional<double> riseTimeDistance;
    std::optional<double> maximumDistance;
    std::optional<LimitingFactor> limitedBy;
    std::vector<TrialAtLength> at;
    std::optional<std::string> fault;
};

// Runs single trials of a plan on a copy of a session's figures; a trial's
// draws depend only on the seed, the trial's number and the plan.
class TrialRunner {
public:
    TrialRunner(const Session& session, const TrialPlan& plan);
    ~TrialRunner();
    TrialRunner(const TrialRunner&) = delete;
    TrialRunner& operator=(const TrialRunner&) = delete;

    // Trial `trial` (from 0). The outcome is the runner's until the next call.
    const TrialOutcome& run(std::uint64_t trial);

private:
    struct Items;
    double itemMean(std::size_t spread, double count);
    SweepPoint runWithLengthItems(double km);
    SweepPoint solveLengthItems();
    void clearBudgets();
    void runTrial();

    std::unique_ptr<Session> m_session;
    const TrialPlan& m_plan;
    std::vector<std::size_t> m_byLength; // the spreads whose count grows with the length
    std::vector<Items> m_items;          // by spread
    double m_start = 0;                  // km, where the search for the distances begins
    std::uint64_t m_trial = 0;
    TrialOutcome m_outcome;
};

// What the trials gave at one length.
struct LengthSummary {
    double distance = 0;
    std::uint64_t powerBudgetMet = 0;
    std::uint64_t riseTimeBudgetMet = 0;
    std::uint64_t bothMet = 0;
    FigureSample powerMargin;
    FigureSample riseTimeMargin;
};

// What all the trials gave: the distances over the trials that gave them,
// the counts of trials limited by each effect, the budgets at each length,
// and the trials that faulted with the first fault's text (by trial number).
struct TrialSummary {
    std::uint64_t trials = 0;
    std::uint64_t seed = 0;
    FigureSample powerDistance;
    FigureSample riseTimeDistance;
    FigureSample maximumDistance;
    std::uint64_t limitedByAttenuation = 0;
    std::uint64_t limitedByDispersion = 0;
    std::vector<LengthSummary> at;
    std::uint64_t faulted = 0;
    std::optional<std::string> firstFault;
};

// What the histograms of the trials show: the maximum distance, and both
// margins at each length, in `bins` equal bins from the least value to the
// greatest (none for a figure no trial gave).
inline constexpr std::size_t histogramBins = 40;
struct TrialHistograms {
    std::optional<Histogram> maximumDistance;
    std::vector<std::optional<Histogram>> powerMargin;    // by length
    std::vector<std::optional<Histogram>> riseTimeMargin; // by length
};
TrialHistograms trialHistograms(const TrialSummary& summary, std::size_t bins = histogramBins);

// Where the CSV rows of the trials go, a block of rows at a time, in order.
using RowSink = std::function<void(std::string_view rows)>;

// Runs every trial of the plan on the session's figures, on plan.threads
// threads (the same figures whatever their number), handing the CSV rows of
// the trials to `rows` when it is given. A spread input's own text in the
// session does not matter; the session's other texts must be numbers where
// a run converts them.
TrialSummary runTrials(const Session& session, const TrialPlan& plan, const RowSink& rows = {});

// The CSV's header: trial, each spread input, powerDistance,
// riseTimeDistance, maximumDistance, limitedBy, then for each length L the
// item losses that grow with the length (NAME@L), powerMargin@L and
// riseTimeMargin@L, and last fault.
std::string trialCsvHeader(const TrialPlan& plan);
// The row of trial `trial` (from 0; numbered from 1 in the CSV): numbers in
// their shortest form that reads back exactly, a figure not given empty.
void appendTrialCsvRow(std::string& csv, std::uint64_t trial, const TrialOutcome& outcome);

} // namespace vantero::trials
