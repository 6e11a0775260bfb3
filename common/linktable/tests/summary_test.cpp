#include "common/linktable/summary.h"
#include "common/testing/calculationtesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace vantero::linktable {
namespace {

struct Spread {
    const char* name;
    double low;
    double high;
};

void PrintTo(const Spread& s, std::ostream* os) {
    *os << s.name;
}

class Histograms : public testing::TestWithParam<Spread> {};

std::vector<double> valuesOf(const Spread& spread, std::size_t count, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(spread.low, spread.high);
    std::vector<double> values;
    for (std::size_t i = 0; i < count; ++i) {
        values.push_back(uniform(random));
    }
    return values;
}

bool same(const MarginHistogram& a, const MarginHistogram& b) {
    return a.count() == b.count() && a.lowerEdge() == b.lowerEdge() &&
           a.binWidth() == b.binWidth() && std::ranges::equal(a.bins(), b.bins());
}

// State: values spread over a range. Action: add them in one go, and in
// shuffled parts merged in another order. Expected: the same bins; each
// value counted in the bin that holds it; the narrowest width that holds
// them all.
TEST_P(Histograms, dependOnTheValuesAloneAndHoldEachInItsBin) {
    const std::vector<double> values = valuesOf(GetParam(), 5000, 11);
    MarginHistogram whole;
    for (const double v : values) {
        whole.add(v);
    }
    std::mt19937 random(5);
    std::vector<double> shuffled = values;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::vector<MarginHistogram> parts(7);
    for (std::size_t i = 0; i < shuffled.size(); ++i) {
        parts[random() % parts.size()].add(shuffled[i]);
    }
    MarginHistogram merged;
    for (std::size_t i = parts.size(); i-- > 0;) {
        merged.merge(parts[i]);
    }
    EXPECT_TRUE(same(whole, merged));

    const double width = whole.binWidth();
    std::array<std::uint64_t, MarginHistogram::binCount> counted{};
    for (const double v : values) {
        const double bin = std::floor((v - whole.lowerEdge()) / width);
        ASSERT_GE(bin, 0) << v;
        ASSERT_LT(bin, MarginHistogram::binCount) << v;
        ++counted[static_cast<std::size_t>(bin)];
    }
    EXPECT_TRUE(std::ranges::equal(counted, whole.bins()));
    EXPECT_EQ(whole.minimum(), *std::ranges::min_element(values));
    EXPECT_EQ(whole.maximum(), *std::ranges::max_element(values));
    // Half the width would need more bins (unless it is the narrowest).
    const double half = width / 2;
    if (width > std::ldexp(1.0, -20)) {
        EXPECT_GE(std::floor(whole.maximum() / half) - std::floor(whole.minimum() / half),
                  MarginHistogram::binCount);
    }
}

INSTANTIATE_TEST_SUITE_P(Margins, Histograms,
                         testing::Values(Spread{"decibels", -20, 35},
                                         Spread{"around zero", -0.5, 0.25},
                                         Spread{"narrow", 1, 1.0000001},
                                         Spread{"negative only", -3000, -2999},
                                         Spread{"wide", -1e6, 1e7}),
                         [](const auto& info) { return testNameOf(info.param.name); });

TEST(Histograms, takeExtremeValuesWithoutLosingAny) {
    MarginHistogram histogram;
    for (const double v : {1e300, -1e300, 0.0, 5e-324, -5e-324, 1.7e308, -1.7e308}) {
        histogram.add(v);
    }
    histogram.add(std::nan(""));
    histogram.add(HUGE_VAL);
    EXPECT_EQ(histogram.count(), 7U);
    std::uint64_t total = 0;
    for (const std::uint64_t bin : histogram.bins()) {
        total += bin;
    }
    EXPECT_EQ(total, 7U);
    EXPECT_EQ(MarginHistogram().binWidth(), 0);
}

// An outcome of a link that was ok at its length.
LinkOutcome atLength(std::size_t row, double power, double riseTime, bool riseTimePossible = true) {
    LinkOutcome o;
    o.row = row;
    o.id = "link";
    o.length = 10;
    o.budgets.emplace();
    o.budgets->powerMargin = power;
    o.budgets->riseTimeMargin = riseTime;
    o.budgets->riseTimeBudgetPossible = riseTimePossible;
    o.point.limitedBy = LimitingFactor::Attenuation;
    return o;
}

// State: failing links with margins that repeat. Action: keep the worst, in
// one summary and in two merged. Expected: the worst margins first, the
// earlier row first between equals, as many as kept, and the count of all.
TEST(WorstLinks, keepTheWorstMarginFirstAndCountTheRest) {
    std::mt19937 random(3);
    std::vector<LinkOutcome> failing;
    for (std::size_t row = 1; row <= 400; ++row) {
        failing.push_back(atLength(row, -1 - static_cast<double>(random() % 40), 1));
    }
    LinkSummary one;
    LinkSummary first;
    LinkSummary second;
    for (const LinkOutcome& o : failing) {
        one.add(o);
        (o.row % 3 == 0 ? first : second).add(o);
    }
    second.merge(first);
    std::vector<LinkOutcome> sorted = failing;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return *a.budgets->powerMargin < *b.budgets->powerMargin;
    });
    for (const LinkSummary* summary : {&one, &second}) {
        const std::vector<FailingLink> worst = summary->worstPower.worstFirst();
        ASSERT_EQ(worst.size(), LinkSummary::keptFailures);
        for (std::size_t i = 0; i < worst.size(); ++i) {
            EXPECT_EQ(worst[i].row, sorted[i].row) << i;
            EXPECT_EQ(worst[i].powerMargin, *sorted[i].budgets->powerMargin);
        }
        EXPECT_EQ(summary->worstPower.count(), 400U);
        EXPECT_EQ(summary->worstRiseTime.count(), 0U);
    }
}

TEST(WorstLinks, cutALongIdAtACharacter) {
    LinkSummary summary;
    LinkOutcome o = atLength(1, -1, 1);
    const std::string id = std::string(63, 'a') + "ção";
    o.id = id;
    summary.add(o);
    EXPECT_EQ(summary.worstPower.worstFirst().at(0).id, std::string(63, 'a') + "...");
}

// State: one outcome of each kind. Action: sum them up. Expected: each
// counted where it belongs, and only a table of links that are all ok and
// meet both budgets is all met.
TEST(LinkSummary, countsEachKindOfLink) {
    LinkOutcome fault;
    fault.status = LinkStatus::Fault;
    LinkOutcome error;
    error.status = LinkStatus::Error;
    const LinkOutcome noLength;
    LinkSummary summary;
    for (const LinkOutcome& o :
         {noLength, atLength(2, 1, 1), atLength(3, -1, 1), atLength(4, 1, -1), atLength(5, -1, -1),
          atLength(6, 1, 1, false), fault, error}) {
        summary.add(o);
    }
    EXPECT_EQ(summary.links, 8U);
    EXPECT_EQ(summary.ok, 6U);
    EXPECT_EQ(summary.faults, 1U);
    EXPECT_EQ(summary.errors, 1U);
    EXPECT_EQ(summary.withoutLength, 1U);
    EXPECT_EQ(summary.meetingBoth, 1U);
    EXPECT_EQ(summary.failing, 4U);
    EXPECT_EQ(summary.failingPower, 2U);
    EXPECT_EQ(summary.failingRiseTime, 3U); // a budget that cannot be met fails
    EXPECT_EQ(summary.powerMargins.count(), 5U);
    EXPECT_FALSE(summary.allMet());

    LinkSummary good;
    good.add(noLength);
    good.add(atLength(1, 0, 0));
    EXPECT_TRUE(good.allMet());
}

} // namespace
} // namespace vantero::linktable
