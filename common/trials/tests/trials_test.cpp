#include "common/trials/trials.h"

#include "common/testing/calculationtesting.h"
#include "estrela/core/description.h"
#include "tavo/core/description.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

namespace vantero::trials {
namespace {

// The tavo link at its initial figures (5 connectors of 0.3 dB, a 1 dB
// splice every 4 km, 0.35 dB/km: 0.6 dB/km in all), with `sets` given.
using Sets = std::vector<std::pair<std::string, std::string>>;

std::unique_ptr<Session> tavoSession(const Sets& sets = {}) {
    auto session = tavo::calculator().newSession();
    for (const auto& [name, text] : sets) {
        session->setText(*tavo::calculator().findInput(name), text);
    }
    return session;
}

TrialPlan plan(const Session& session, std::initializer_list<const char*> spreads,
               std::vector<double> lengths = {}, std::uint64_t trials = 100000) {
    TrialPlan p;
    for (const char* spread : spreads) {
        p.spreads.push_back(parseSpread(session.calculator(), spread));
    }
    p.lengths = std::move(lengths);
    p.trials = trials;
    return p;
}

double powerMarginAt(const Session& session, double km) {
    return *session.budgetsAt(km).powerMargin;
}

// Closed forms: the power margin at a length when only item losses scatter
// is the margin at their means minus the scatter of their sum, whose
// variance is the count times an item's (count^2 times, were the items one
// draw). Within four standard errors for 100,000 trials.
struct MarginCase {
    const char* name;
    Sets sets;
    const char* spread;
    double km;
    double sd; // of the margin
};

class MarginOfItems : public testing::TestWithParam<MarginCase> {};

TEST_P(MarginOfItems, scattersAsTheSumOfIndependentItems) {
    const MarginCase& c = GetParam();
    const auto session = tavoSession(c.sets);
    const TrialPlan p = plan(*session, {c.spread}, {c.km});
    TrialSummary summary = runTrials(*session, p);
    const Statistics margin = *summary.at[0].powerMargin.statistics();
    const double mean = powerMarginAt(*session, c.km); // the worst case at the mean
    EXPECT_NEAR(margin.mean, mean, 4 * c.sd / std::sqrt(1e5));
    EXPECT_NEAR(margin.sd, c.sd, 4 * c.sd / std::sqrt(2e5));
    EXPECT_EQ(margin.count, p.trials);
}

const double sd = 0.05;

INSTANTIATE_TEST_SUITE_P(
    Tavo, MarginOfItems,
    testing::Values(
        // SD sqrt(5), not 5 SD (0.25).
        MarginCase{"five connectors", {}, "connectorLoss=normal:0.3,0.05", 30, sd* std::sqrt(5.0)},
        MarginCase{"two and a half connectors",
                   {{"connectorCount", "2.5"}},
                   "connectorLoss=normal:0.3,0.05",
                   30,
                   sd* std::sqrt(2 + 0.25)},
        MarginCase{"more connectors than are drawn one by one",
                   {{"connectorCount", "5000"}, {"launchedPower", "2000"}},
                   "connectorLoss=normal:0.3,0.05",
                   30,
                   sd* std::sqrt(5000.0)},
        // 40 km: ten cable sections, ten splices.
        MarginCase{"ten splices", {}, "spliceLoss=normal:1,0.05", 40, sd* std::sqrt(10.0)},
        // 42 km: ten splices and half the next one's loss.
        MarginCase{"ten and a half splices",
                   {},
                   "spliceLoss=uniform:0.9,1.1",
                   42,
                   0.2 / std::sqrt(12.0) * std::sqrt(10 + 0.25)}),
    [](const auto& info) { return testNameOf(info.param.name); });

// A uniform attenuation makes the margin at a length uniform: its points are
// known exactly.
TEST(Trials, giveTheUniformMarginOfAUniformAttenuation) {
    const auto session = tavoSession();
    const double km = 30;
    TrialSummary summary =
        runTrials(*session, plan(*session, {"fibreAttenuation=uniform:0.3,0.4"}, {km}));
    const Statistics margin = *summary.at[0].powerMargin.statistics();
    const double best = powerMarginAt(*session, km) + 0.05 * km; // at 0.3 dB/km
    const double width = 0.1 * km;
    for (const auto& [got, q] :
         {std::pair{margin.p01, 0.01}, std::pair{margin.p05, 0.05}, std::pair{margin.p50, 0.5},
          std::pair{margin.p95, 0.95}, std::pair{margin.p99, 0.99}}) {
        // The standard error of a sample point: sqrt(q (1 - q) / n) over the density.
        EXPECT_NEAR(got, best - width + q * width, 4 * width * std::sqrt(q * (1 - q) / 1e5)) << q;
    }
    EXPECT_NEAR(margin.sd, width / std::sqrt(12.0), 0.01 * width);
}

// The histogram of a uniform margin is flat: each of its bins holds about
// as many trials, within five standard errors; and every trial is in one.
TEST(Trials, drawTheHistogramOfTheMarginInEqualBins) {
    const auto session = tavoSession();
    const TrialSummary summary =
        runTrials(*session, plan(*session, {"fibreAttenuation=uniform:0.3,0.4"}, {30}, 40000));
    const TrialHistograms histograms = trialHistograms(summary, 20);
    const Histogram& margin = *histograms.powerMargin.at(0);
    EXPECT_NEAR(margin.low, powerMarginAt(*session, 30) - 0.05 * 30, 1e-3);
    EXPECT_NEAR(margin.high, powerMarginAt(*session, 30) + 0.05 * 30, 1e-3);
    ASSERT_EQ(margin.counts.size(), 20U);
    std::uint64_t total = 0;
    for (const std::uint64_t count : margin.counts) {
        EXPECT_NEAR(static_cast<double>(count), 2000, 5 * std::sqrt(2000.0));
        total += count;
    }
    EXPECT_EQ(total, 40000U);
    EXPECT_EQ(histograms.maximumDistance->counts.size(), 20U);
    // The rise-time margin, which the attenuation does not change, is one bin.
    ASSERT_EQ(histograms.riseTimeMargin.size(), 1U);
    EXPECT_EQ(histograms.riseTimeMargin[0]->counts, std::vector<std::uint64_t>{40000});
}

// Where the mean margin is one standard deviation, the budget is met with
// the probability Phi(1) = 84.13 %.
TEST(Trials, meetTheBudgetWithPhiOfOneWhereTheMeanMarginIsOneStandardDeviation) {
    const auto session = tavoSession();
    const double marginSd = sd * std::sqrt(5.0);
    // 0.6 dB a km: the length where the margin is marginSd.
    const double km = session->runAt(0, 34).powerDistance.value() - marginSd / 0.6;
    ASSERT_NEAR(powerMarginAt(*session, km), marginSd, 1e-9);
    const TrialSummary summary =
        runTrials(*session, plan(*session, {"connectorLoss=normal:0.3,0.05"}, {km}));
    const double met = static_cast<double>(summary.at[0].powerBudgetMet) / 1e5;
    EXPECT_NEAR(met, 0.841345, 4 * std::sqrt(0.84 * 0.16 / 1e5));
    EXPECT_EQ(summary.at[0].bothMet, summary.at[0].powerBudgetMet); // the rise time is met
}

// The power distance of each trial is where its power margin, with the
// splices a link of that length has, is 0: found from two runs without a
// length, and from one run and the budgets at a length with one.
TEST(Trials, findEachDistanceWithTheSplicesOfThatLength) {
    const auto session = tavoSession();
    TrialPlan p =
        plan(*session, {"spliceLoss=normal:1,0.3", "cableSectionLength=uniform:1,6"}, {}, 50);
    TrialRunner runner(*session, p);
    for (std::uint64_t t = 0; t < p.trials; ++t) {
        const double distance = runner.run(t).powerDistance.value();
        TrialPlan there = p;
        there.lengths = {distance};
        TrialRunner check(*session, there);
        const TrialOutcome& o = check.run(t);
        EXPECT_NEAR(o.powerDistance.value(), distance, 1e-9 * distance);
        EXPECT_NEAR(o.at[0].powerMargin.value(), 0, 1e-9) << t;
        // The splice loss the distance was found with is the one there.
        EXPECT_NEAR(o.at[0].itemLosses[0], o.inputs[0], 1e-12);
    }
}

// The same seed gives the same figures and the same rows whatever the
// threads; another seed other figures.
TEST(Trials, giveTheSameFiguresWhateverTheThreads) {
    const auto session = tavoSession();
    std::vector<std::string> csvs;
    std::vector<Statistics> margins;
    for (const auto& [threads, seed] :
         {std::pair{1U, 5U}, std::pair{2U, 5U}, std::pair{3U, 5U}, std::pair{2U, 6U}}) {
        TrialPlan p = plan(*session,
                           {"connectorLoss=normal:0.3,0.05", "spliceLoss=triangular:0.5,1,2",
                            "fibreAttenuation=uniform:0.3,0.4"},
                           {20, 45}, 30000);
        p.threads = threads;
        p.seed = seed;
        std::string csv;
        TrialSummary summary = runTrials(*session, p, [&](std::string_view rows) { csv += rows; });
        csvs.push_back(csv);
        margins.push_back(*summary.at[1].powerMargin.statistics());
    }
    EXPECT_EQ(csvs[1], csvs[0]);
    EXPECT_EQ(csvs[2], csvs[0]);
    EXPECT_NE(csvs[3], csvs[0]);
    for (const std::size_t i : {1, 2}) {
        EXPECT_EQ(margins[i].mean, margins[0].mean);
        EXPECT_EQ(margins[i].sd, margins[0].sd);
        EXPECT_EQ(margins[i].p01, margins[0].p01);
    }
    EXPECT_EQ(std::count(csvs[0].begin(), csvs[0].end(), '\n'), 30000);
}

// Past the values kept whole, the points come from buckets, within their
// stated accuracy of the exact ones.
TEST(Trials, boundTheirMemoryWithinTheStatedAccuracy) {
    const auto session = tavoSession();
    TrialPlan p = plan(*session, {"connectorLoss=normal:0.3,0.05"}, {30}, 20000);
    TrialSummary exact = runTrials(*session, p);
    p.exactValues = 0;
    TrialSummary bounded = runTrials(*session, p);
    ASSERT_TRUE(exact.maximumDistance.exact());
    ASSERT_FALSE(bounded.maximumDistance.exact());
    const Statistics e = *exact.at[0].powerMargin.statistics();
    const Statistics b = *bounded.at[0].powerMargin.statistics();
    EXPECT_NEAR(b.mean, e.mean, 1e-12);
    for (const auto& [got, want] :
         {std::pair{b.p01, e.p01}, std::pair{b.p50, e.p50}, std::pair{b.p99, e.p99}}) {
        EXPECT_NEAR(got, want, std::fabs(want) * FigureSample::sketchAccuracy);
    }
}

// Trials that fault are counted, the first (by trial number) kept; those
// that do not still give their figures.
TEST(Trials, countTheTrialsThatFaultAndKeepTheFirstFault) {
    auto session = estrela::calculator().newSession();
    // Below about 3.4e-306 Mbit/s the rise time allowed (612 / B ns)
    // overflows a double: a third of the trials.
    TrialPlan p = plan(*session, {"bitRate=uniform:0,1e-305"}, {1}, 4000);
    TrialRunner runner(*session, p);
    std::uint64_t firstFaulting = p.trials;
    std::uint64_t faulting = 0;
    for (std::uint64_t t = p.trials; t-- > 0;) {
        if (runner.run(t).fault) {
            firstFaulting = t;
            ++faulting;
        }
    }
    ASSERT_LT(firstFaulting, p.trials);
    EXPECT_EQ(*runner.run(firstFaulting).fault, "Floating point overflow");
    const TrialSummary summary = runTrials(*session, p);
    EXPECT_EQ(summary.faulted, faulting);
    EXPECT_NEAR(static_cast<double>(summary.faulted) / 4000, 0.34, 0.03);
    EXPECT_EQ(summary.firstFault, "Floating point overflow");
    EXPECT_EQ(summary.powerDistance.count(), 4000U); // found before the fault
    EXPECT_EQ(summary.maximumDistance.count(), 4000U - summary.faulted);
    EXPECT_LE(summary.at[0].powerBudgetMet, 4000U - summary.faulted);
}

TEST(CheckPlan, refusesAnInputSpreadTwiceOrNoSpread) {
    const auto session = tavoSession();
    EXPECT_THROW(checkPlan(plan(*session, {})), SpreadError);
    try {
        checkPlan(plan(*session, {"bitRate=normal:34,1", "bitRate=uniform:30,40"}));
        FAIL();
    } catch (const SpreadError& error) {
        EXPECT_STREQ(error.what(), "bitRate is spread twice");
    }
}

} // namespace
} // namespace vantero::trials
