#include "common/numbers/extended.h"

#include <array>
#include <bit>
#include <cstdint>

namespace vantero {
namespace {

// ln x = k ln 2 + ln c + ln(1 + r), for x = 2^k m with m in [1, 2), c the
// middle of the 256th of [1, 2) that holds m, and r = (m - c) / c, |r| < 2^-9.
struct LogEntry {
    double middle;
    long double inverse;
    long double log;
};

constexpr int tableBits = 8;

const std::array<LogEntry, 1 << tableBits>& logTable() {
    static const auto table = [] {
        std::array<LogEntry, 1 << tableBits> entries{};
        for (std::size_t j = 0; j < entries.size(); ++j) {
            const double c = 1 + (static_cast<double>(j) + 0.5) / entries.size();
            entries[j] = {c, 1 / static_cast<long double>(c),
                          std::log(static_cast<long double>(c))};
        }
        return entries;
    }();
    return table;
}

// ln 2 as a double (whose product with an exponent is exact in the working
// precision) and what it leaves.
constexpr long double ln2High = 0x1.62e42fefa39efp-1;
constexpr long double ln2Low = 2.3190468138462996154948554638754786504e-17L;

} // namespace

std::optional<LogBounds> unitLogBounds(double x) {
    if (!(x >= 0x1p-1022 && x <= 0x1.fffffffffffffp+1023) || std::fabs(x - 1) <= 0.29) {
        return std::nullopt;
    }
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const auto k = static_cast<long double>(static_cast<int>(bits >> 52) - 1023);
    const LogEntry& entry = logTable()[(bits >> (52 - tableBits)) & ((1U << tableBits) - 1)];
    const double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFF) | 0x3FF0000000000000);
    // m - c is exact (each is within twice the other); ln(1 + r) to r^6.
    const long double r = static_cast<long double>(m - entry.middle) * entry.inverse;
    const long double r2 = r * r;
    const long double odd = -0.5L + r * (1.0L / 3);
    const long double even = -0.25L + r * 0.2L - r2 * (1.0L / 6);
    const long double log1p = r + r2 * (odd + r2 * even);
    const long double log = (k * ln2High + entry.log) + (k * ln2Low + log1p);
    const long double room = std::fabs(log) * 0x1p-59L;
    return LogBounds{log - room, log + room};
}

} // namespace vantero
