#include "common/linktable/summary.h"

#include <algorithm>
#include <cmath>

namespace vantero::linktable {
namespace {

// The widths of the bins: from 2^-20 to 2^1017, at which 64 bins reach the
// largest double.
constexpr int narrowest = -20;
constexpr int widest = 1017;

// floor(value / 2^exponent).
std::int64_t inWidths(double value, int exponent) {
    const double q = std::floor(std::ldexp(value, -exponent));
    // A negative value too small for the scaled double is still below 0.
    return q == 0 && value < 0 ? -1 : static_cast<std::int64_t>(q);
}

// floor(index / 2^shift).
std::int64_t coarser(std::int64_t index, int shift) {
    if (shift >= 63) {
        return index < 0 ? -1 : 0;
    }
    return index >> shift;
}

// The exponent of the narrowest width whose bins hold [low, high]; never so
// narrow that a value is more than 2^61 widths from 0.
int exponentFor(double low, double high) {
    int exponent = narrowest;
    if (const double largest = std::max(std::fabs(low), std::fabs(high)); largest > 0) {
        exponent = std::max(exponent, std::ilogb(largest) - 60);
    }
    // Any narrower and the span is more than 128 widths.
    if (const double span = high - low; span > 0) {
        exponent = std::max(exponent, std::isfinite(span) ? std::ilogb(span) - 7 : widest);
    }
    exponent = std::min(exponent, widest);
    while (exponent < widest && inWidths(high, exponent) - inWidths(low, exponent) >=
                                    static_cast<std::int64_t>(MarginHistogram::binCount)) {
        ++exponent;
    }
    return exponent;
}

std::size_t clampedBin(std::int64_t bin) {
    return static_cast<std::size_t>(
        std::clamp<std::int64_t>(bin, 0, static_cast<std::int64_t>(MarginHistogram::binCount) - 1));
}

// An id as the report lists it: its first 64 bytes, not within a character.
std::string shortId(std::string_view id) {
    constexpr std::size_t longest = 64;
    if (id.size() <= longest) {
        return std::string(id);
    }
    std::size_t cut = longest;
    while (cut > 0 && (static_cast<unsigned char>(id[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(id.substr(0, cut)) + "...";
}

} // namespace

double MarginHistogram::lowerEdge() const {
    return m_count == 0 ? 0 : std::ldexp(static_cast<double>(m_first), m_exponent);
}

double MarginHistogram::binWidth() const {
    return m_count == 0 ? 0 : std::ldexp(1.0, m_exponent);
}

std::size_t MarginHistogram::binOf(double value) const {
    return clampedBin(inWidths(value, m_exponent) - m_first);
}

void MarginHistogram::cover(double low, double high) {
    const int exponent = exponentFor(low, high);
    const std::int64_t first = inWidths(low, exponent);
    if (exponent == m_exponent && first == m_first) {
        return;
    }
    std::array<std::uint64_t, binCount> bins{};
    for (std::size_t b = 0; b < binCount; ++b) {
        if (m_bins[b] != 0) {
            const auto index = m_first + static_cast<std::int64_t>(b);
            bins[clampedBin(coarser(index, exponent - m_exponent) - first)] += m_bins[b];
        }
    }
    m_bins = bins;
    m_exponent = exponent;
    m_first = first;
}

void MarginHistogram::add(double value) {
    if (!std::isfinite(value)) {
        return;
    }
    if (m_count == 0) {
        m_minimum = m_maximum = value;
        m_exponent = exponentFor(value, value);
        m_first = inWidths(value, m_exponent);
    } else if (value < m_minimum || value > m_maximum) {
        m_minimum = std::min(m_minimum, value);
        m_maximum = std::max(m_maximum, value);
        cover(m_minimum, m_maximum);
    }
    ++m_bins[binOf(value)];
    ++m_count;
}

void MarginHistogram::merge(const MarginHistogram& other) {
    if (other.m_count == 0) {
        return;
    }
    if (m_count == 0) {
        *this = other;
        return;
    }
    m_minimum = std::min(m_minimum, other.m_minimum);
    m_maximum = std::max(m_maximum, other.m_maximum);
    cover(m_minimum, m_maximum);
    for (std::size_t b = 0; b < binCount; ++b) {
        if (other.m_bins[b] != 0) {
            const auto index = other.m_first + static_cast<std::int64_t>(b);
            m_bins[clampedBin(coarser(index, m_exponent - other.m_exponent) - m_first)] +=
                other.m_bins[b];
        }
    }
    m_count += other.m_count;
}

void WorstLinks::keep(FailingLink link) {
    const auto worseFirst = [this](const FailingLink& a, const FailingLink& b) {
        return worse(a, b);
    };
    if (m_heap.size() < m_kept) {
        m_heap.push_back(std::move(link));
        std::push_heap(m_heap.begin(), m_heap.end(), worseFirst);
    } else if (m_kept > 0 && worse(link, m_heap.front())) {
        std::pop_heap(m_heap.begin(), m_heap.end(), worseFirst);
        m_heap.back() = std::move(link);
        std::push_heap(m_heap.begin(), m_heap.end(), worseFirst);
    }
}

void WorstLinks::add(const LinkOutcome& outcome) {
    ++m_count;
    FailingLink link;
    link.row = outcome.row;
    link.length = outcome.length.value_or(0);
    link.powerMargin = outcome.budgets->powerMargin.value_or(0);
    link.riseTimeMargin = outcome.budgets->riseTimeMargin.value_or(0);
    link.limitedBy = outcome.point.limitedBy;
    if (m_heap.size() < m_kept || (m_kept > 0 && worse(link, m_heap.front()))) {
        link.id = shortId(outcome.id);
        keep(std::move(link));
    }
}

void WorstLinks::merge(const WorstLinks& other) {
    m_count += other.m_count;
    for (const FailingLink& link : other.m_heap) {
        keep(link);
    }
}

std::vector<FailingLink> WorstLinks::worstFirst() const {
    std::vector<FailingLink> links = m_heap;
    std::sort(links.begin(), links.end(),
              [this](const FailingLink& a, const FailingLink& b) { return worse(a, b); });
    return links;
}

void LinkSummary::add(const LinkOutcome& outcome) {
    ++links;
    if (outcome.status == LinkStatus::Fault) {
        ++faults;
        return;
    }
    if (outcome.status == LinkStatus::Error) {
        ++errors;
        return;
    }
    ++ok;
    if (!outcome.budgets) {
        ++withoutLength;
        return;
    }
    const LinkBudgets& budgets = *outcome.budgets;
    powerMargins.add(budgets.powerMargin.value_or(0));
    riseTimeMargins.add(budgets.riseTimeMargin.value_or(0));
    const bool power = budgets.powerBudgetMet();
    const bool riseTime = budgets.riseTimeBudgetMet();
    if (power && riseTime) {
        ++meetingBoth;
        return;
    }
    ++failing;
    if (!power) {
        ++failingPower;
        worstPower.add(outcome);
    }
    if (!riseTime) {
        ++failingRiseTime;
        worstRiseTime.add(outcome);
    }
}

void LinkSummary::merge(const LinkSummary& other) {
    links += other.links;
    ok += other.ok;
    faults += other.faults;
    errors += other.errors;
    withoutLength += other.withoutLength;
    meetingBoth += other.meetingBoth;
    failing += other.failing;
    failingPower += other.failingPower;
    failingRiseTime += other.failingRiseTime;
    powerMargins.merge(other.powerMargins);
    riseTimeMargins.merge(other.riseTimeMargins);
    worstPower.merge(other.worstPower);
    worstRiseTime.merge(other.worstRiseTime);
    if (calculator.empty()) {
        calculator = other.calculator;
        base = other.base;
    }
}

void LinkSummary::setBase(const Session& session) {
    const Calculator& c = session.calculator();
    calculator = c.name();
    base.clear();
    for (std::size_t i = 0; i < c.inputs().size(); ++i) {
        base.emplace_back(c.inputs()[i].name, session.text(i));
    }
    for (std::size_t i = 0; i < c.choices().size(); ++i) {
        const ChoiceDescription& choice = c.choices()[i];
        base.emplace_back(choice.name, choice.values[static_cast<std::size_t>(session.choice(i))]);
    }
}

} // namespace vantero::linktable
