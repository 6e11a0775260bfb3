#include "common/trials/sample.h"

#include "common/trials/random.h"

#include <algorithm>
#include <cmath>

namespace vantero::trials {
namespace {

// The ratio of a bucket's bounds, and its logarithm.
constexpr double ratio = (1 + FigureSample::sketchAccuracy) / (1 - FigureSample::sketchAccuracy);
const double logRatio = naturalLog(ratio);

std::int64_t bucketOf(double magnitude) {
    return static_cast<std::int64_t>(std::ceil(naturalLog(magnitude) / logRatio));
}

// ratio^n by repeated squaring: the same bits on every machine.
double ratioPower(std::int64_t n) {
    double result = 1;
    double base = ratio;
    for (std::uint64_t e = n < 0 ? -static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
         e != 0; e >>= 1) {
        if ((e & 1) != 0) {
            result *= base;
        }
        base *= base;
    }
    return n < 0 ? 1 / result : result;
}

// The value that stands for bucket i: within `sketchAccuracy` of each value
// in it, relatively.
double bucketValue(std::int64_t i) {
    return 2 * ratioPower(i) / (ratio + 1);
}

// The point at rank (n - 1) p, from the values at its two nearest ranks.
double interpolated(double below, double above, double fraction) {
    return fraction == 0 ? below : below + fraction * (above - below);
}

} // namespace

void FigureSample::Buckets::add(std::int64_t index, std::uint64_t count) {
    if (counts.empty()) {
        first = index;
        counts.assign(1, 0);
    } else if (index < first) {
        // Room below for as many buckets again, so that growing stays linear.
        const auto grow = static_cast<std::size_t>(
            std::max<std::int64_t>(first - index, static_cast<std::int64_t>(counts.size())));
        counts.insert(counts.begin(), grow, 0);
        first -= static_cast<std::int64_t>(grow);
    } else if (index >= first + static_cast<std::int64_t>(counts.size())) {
        counts.resize(static_cast<std::size_t>(index - first) + 1, 0);
    }
    counts[static_cast<std::size_t>(index - first)] += count;
}

FigureSample::FigureSample(bool exact) : m_exact(exact) {}

void FigureSample::add(double value) {
    m_statistics.reset();
    ++m_count;
    const double deviation = value - m_mean;
    m_mean += deviation / static_cast<double>(m_count);
    m_squares += deviation * (value - m_mean);
    m_min = m_count == 1 ? value : std::min(m_min, value);
    m_max = m_count == 1 ? value : std::max(m_max, value);
    if (m_exact) {
        m_values.push_back(value);
    } else if (std::fabs(value) <= sketchZero) {
        ++m_zeros;
    } else {
        (value > 0 ? m_positive : m_negative).add(bucketOf(std::fabs(value)), 1);
    }
}

void FigureSample::reserve(std::uint64_t values) {
    if (m_exact) {
        m_values.reserve(static_cast<std::size_t>(values));
    }
}

void FigureSample::merge(FigureSample&& later) {
    if (later.m_count == 0) {
        return;
    }
    m_statistics.reset();
    if (m_count == 0 && m_values.capacity() <= later.m_values.size()) {
        *this = std::move(later);
        return;
    }
    const auto n1 = static_cast<double>(m_count);
    const auto n2 = static_cast<double>(later.m_count);
    const double n = n1 + n2;
    const double deviation = later.m_mean - m_mean;
    m_mean += deviation * (n2 / n);
    m_squares += later.m_squares + deviation * deviation * (n1 * n2 / n);
    m_min = m_count == 0 ? later.m_min : std::min(m_min, later.m_min);
    m_max = m_count == 0 ? later.m_max : std::max(m_max, later.m_max);
    m_count += later.m_count;
    if (m_exact) {
        m_values.insert(m_values.end(), later.m_values.begin(), later.m_values.end());
        std::vector<double>().swap(later.m_values);
        return;
    }
    m_zeros += later.m_zeros;
    for (auto [mine, theirs] :
         {std::pair{&m_positive, &later.m_positive}, std::pair{&m_negative, &later.m_negative}}) {
        for (std::size_t i = 0; i < theirs->counts.size(); ++i) {
            if (theirs->counts[i] != 0) {
                mine->add(theirs->first + static_cast<std::int64_t>(i), theirs->counts[i]);
            }
        }
    }
}

template <typename Visit> void FigureSample::forEachBucket(Visit visit) const {
    for (std::size_t i = m_negative.counts.size(); i-- > 0;) {
        if (m_negative.counts[i] != 0) {
            visit(-bucketValue(m_negative.first + static_cast<std::int64_t>(i)),
                  m_negative.counts[i]);
        }
    }
    if (m_zeros != 0) {
        visit(0.0, m_zeros);
    }
    for (std::size_t i = 0; i < m_positive.counts.size(); ++i) {
        if (m_positive.counts[i] != 0) {
            visit(bucketValue(m_positive.first + static_cast<std::int64_t>(i)),
                  m_positive.counts[i]);
        }
    }
}

std::vector<double> FigureSample::valuesAtRanks(std::span<const std::uint64_t> ranks) {
    std::vector<double> values;
    if (m_exact) {
        // Each selection leaves the smaller values before its rank, so the
        // next one looks only beyond it.
        auto from = m_values.begin();
        for (const std::uint64_t rank : ranks) {
            const auto at = m_values.begin() + static_cast<std::ptrdiff_t>(rank);
            if (at >= from) {
                std::nth_element(from, at, m_values.end());
                from = at + 1;
            }
            values.push_back(*at);
        }
        return values;
    }
    std::uint64_t seen = 0;
    std::size_t next = 0;
    forEachBucket([&](double value, std::uint64_t count) {
        seen += count;
        while (next < ranks.size() && ranks[next] < seen) {
            values.push_back(value);
            ++next;
        }
    });
    return values;
}

const std::optional<Statistics>& FigureSample::statistics() {
    if (!m_statistics) {
        m_statistics = findStatistics();
    }
    return *m_statistics;
}

std::optional<Statistics> FigureSample::findStatistics() {
    if (m_count == 0) {
        return std::nullopt;
    }
    Statistics s;
    s.count = m_count;
    s.mean = m_mean;
    s.sd = m_count > 1 ? std::sqrt(m_squares / static_cast<double>(m_count - 1)) : 0;
    constexpr double points[] = {0.01, 0.05, 0.50, 0.95, 0.99};
    std::vector<std::uint64_t> ranks;
    std::vector<double> fractions;
    const auto last = static_cast<double>(m_count - 1);
    for (const double p : points) {
        const double h = last * p;
        const auto below = static_cast<std::uint64_t>(std::floor(h));
        fractions.push_back(h - static_cast<double>(below));
        for (const std::uint64_t rank : {below, std::min(below + 1, m_count - 1)}) {
            if (ranks.empty() || ranks.back() != rank) {
                ranks.push_back(rank);
            }
        }
    }
    const std::vector<double> values = valuesAtRanks(ranks);
    const auto at = [&](std::uint64_t rank) {
        return values[static_cast<std::size_t>(std::lower_bound(ranks.begin(), ranks.end(), rank) -
                                               ranks.begin())];
    };
    double* targets[] = {&s.p01, &s.p05, &s.p50, &s.p95, &s.p99};
    for (std::size_t i = 0; i < std::size(points); ++i) {
        const auto below = static_cast<std::uint64_t>(std::floor(last * points[i]));
        *targets[i] = interpolated(at(below), at(std::min(below + 1, m_count - 1)), fractions[i]);
    }
    return s;
}

std::optional<Histogram> FigureSample::histogram(std::size_t bins) const {
    if (m_count == 0 || bins == 0) {
        return std::nullopt;
    }
    Histogram h;
    h.low = m_min;
    h.high = m_max;
    const bool flat = !(m_max > m_min);
    h.counts.assign(flat ? 1 : bins, 0);
    const double width = (m_max - m_min) / static_cast<double>(bins);
    const auto add = [&](double value, std::uint64_t count) {
        std::size_t bin = 0;
        if (!flat) {
            const double place = std::floor((std::clamp(value, m_min, m_max) - m_min) / width);
            bin = std::min(bins - 1, static_cast<std::size_t>(std::max(place, 0.0)));
        }
        h.counts[bin] += count;
    };
    if (m_exact) {
        for (const double value : m_values) {
            add(value, 1);
        }
    } else {
        forEachBucket(add);
    }
    return h;
}

} // namespace vantero::trials
