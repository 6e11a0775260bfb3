#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vantero::trials {

// What the trials gave of one figure (a distance, a margin): the number of
// trials that gave it, their mean and standard deviation (n - 1), and the 1,
// 5, 50, 95 and 99 % points, each between the two nearest order statistics
// (at rank (n - 1) p, interpolated linearly).
struct Statistics {
    std::uint64_t count = 0;
    double mean = 0;
    double sd = 0;
    double p01 = 0;
    double p05 = 0;
    double p50 = 0;
    double p95 = 0;
    double p99 = 0;
};

// Counts of the values in equal bins from the least value to the greatest
// (one bin when they are all equal): what a histogram draws.
struct Histogram {
    double low = 0;
    double high = 0;
    std::vector<std::uint64_t> counts;
};

// The values of one figure over the trials, in bounded memory. Kept whole
// (8 bytes a value) when the caller expects them to fit: the percentiles
// are then exact. Otherwise counted in buckets whose bounds grow by a
// constant ratio, so that each percentile is within `sketchAccuracy` of the
// exact one, relatively (within `sketchZero` of 0 for values that near it),
// whatever the number of trials; the buckets are as many as the values'
// orders of magnitude need (about 11,500 a decade). The mean and standard
// deviation are exact either way. Samples of consecutive blocks of trials
// merge in the blocks' order, so the figures do not depend on how the blocks
// were shared among threads.
class FigureSample {
public:
    static constexpr double sketchAccuracy = 1e-4;
    static constexpr double sketchZero = 1e-12;

    explicit FigureSample(bool exact = true);

    void add(double value);
    // Room for `values` values in all, kept whole.
    void reserve(std::uint64_t values);
    // Adds the values of the next block of trials.
    void merge(FigureSample&& later);

    std::uint64_t count() const { return m_count; }
    bool exact() const { return m_exact; }
    // None when no trial gave the figure. Found once all the values are in
    // (reordering the kept values), then kept.
    const std::optional<Statistics>& statistics();
    // The counts in `bins` bins, none when no trial gave the figure.
    std::optional<Histogram> histogram(std::size_t bins) const;

private:
    // The counts of one sign's buckets from index `first` on.
    struct Buckets {
        std::int64_t first = 0;
        std::vector<std::uint64_t> counts;
        void add(std::int64_t index, std::uint64_t count);
    };
    std::optional<Statistics> findStatistics();
    // The values at the ranks given (ascending, below count()).
    std::vector<double> valuesAtRanks(std::span<const std::uint64_t> ranks);
    // Calls visit(value, count) for each bucket, from the least value up.
    template <typename Visit> void forEachBucket(Visit visit) const;

    bool m_exact;
    std::uint64_t m_count = 0;
    double m_mean = 0;
    double m_squares = 0; // the sum of squared deviations from the mean
    double m_min = 0;
    double m_max = 0;
    std::vector<double> m_values; // exact
    Buckets m_positive;           // sketch: bucket i holds (g^(i-1), g^i]
    Buckets m_negative;           // of the magnitude
    std::uint64_t m_zeros = 0;
    std::optional<std::optional<Statistics>> m_statistics;
};

} // namespace vantero::trials
