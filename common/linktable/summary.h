#pragma once

#include "common/calculator/calculator.h"
#include "common/linktable/evaluation.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace vantero::linktable {

// What the summary report of a table of links shows, gathered as the rows
// stream by in memory that does not grow with the table. Summaries of parts
// of a table merge into the summary of the whole, whatever the order.

// How many values fall in each of a fixed number of bins of equal width. The
// width is a power of two, the narrowest for which the bins, starting at a
// multiple of it, hold every value seen (and no narrower than 2^-20); a value
// beyond the bins doubles the width, two bins becoming one. So the bins are a
// function of the values alone, not of their order.
class MarginHistogram {
public:
    static constexpr std::size_t binCount = 64;

    void add(double value); // a value that is not finite is left out
    void merge(const MarginHistogram& other);

    std::uint64_t count() const { return m_count; }
    std::span<const std::uint64_t, binCount> bins() const { return m_bins; }
    // The lower edge of the first bin, and the width of each; 0 when empty.
    double lowerEdge() const;
    double binWidth() const;
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }

private:
    // Widens the bins to hold [low, high].
    void cover(double low, double high);
    std::size_t binOf(double value) const;

    int m_exponent = 0;       // the width is 2^m_exponent
    std::int64_t m_first = 0; // the first bin's lower edge, in widths
    std::array<std::uint64_t, binCount> m_bins{};
    std::uint64_t m_count = 0;
    double m_minimum = 0;
    double m_maximum = 0;
};

// A link that does not meet a budget at its length.
struct FailingLink {
    std::size_t row = 0;
    std::string id; // cut to 64 bytes
    double length = 0;
    double powerMargin = 0;
    double riseTimeMargin = 0;
    std::optional<LimitingFactor> limitedBy;
};

// The links that fail one budget, the worst margin of that budget first (the
// earlier row first between equal margins): a few of them, and how many
// there were.
class WorstLinks {
public:
    WorstLinks(double FailingLink::*margin, std::size_t kept) : m_margin(margin), m_kept(kept) {}

    void add(const LinkOutcome& outcome);
    void merge(const WorstLinks& other);

    std::uint64_t count() const { return m_count; }
    // The kept ones, worst first.
    std::vector<FailingLink> worstFirst() const;

private:
    bool worse(const FailingLink& a, const FailingLink& b) const {
        return a.*m_margin < b.*m_margin || (a.*m_margin == b.*m_margin && a.row < b.row);
    }
    void keep(FailingLink link);

    double FailingLink::*m_margin;
    std::size_t m_kept;
    std::vector<FailingLink> m_heap; // the least bad of those kept on top
    std::uint64_t m_count = 0;
};

class LinkSummary {
public:
    // How many failing links of each budget the summary keeps.
    static constexpr std::size_t keptFailures = 50;

    void add(const LinkOutcome& outcome);
    void merge(const LinkSummary& other);
    // The base every link starts from.
    void setBase(const Session& base);

    // Every link; those whose status is ok, fault and error; of those that
    // are ok, those with no length, and those with a length that meet both
    // budgets, or fail one of them or both (and which).
    std::uint64_t links = 0;
    std::uint64_t ok = 0;
    std::uint64_t faults = 0;
    std::uint64_t errors = 0;
    std::uint64_t withoutLength = 0;
    std::uint64_t meetingBoth = 0;
    std::uint64_t failing = 0;
    std::uint64_t failingPower = 0;
    std::uint64_t failingRiseTime = 0;

    // The margins of the links that are ok and have a length.
    MarginHistogram powerMargins;
    MarginHistogram riseTimeMargins;
    WorstLinks worstPower{&FailingLink::powerMargin, keptFailures};
    WorstLinks worstRiseTime{&FailingLink::riseTimeMargin, keptFailures};

    // The calculator and the base's inputs and choices: name and text.
    std::string calculator;
    std::vector<std::pair<std::string, std::string>> base;

    // Every link ok, and every link with a length meets both budgets.
    bool allMet() const { return faults == 0 && errors == 0 && failing == 0; }
};

} // namespace vantero::linktable
