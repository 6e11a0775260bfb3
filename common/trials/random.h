#pragma once

#include <array>
#include <cstdint>

namespace vantero::trials {

// The random numbers of the trials, the same bits and the same values on
// every machine and whatever the number of threads: a counter-based
// generator (Philox4x32-10) keyed by the seed and counting trial, input and
// item, so that any draw can be made alone and in any order; and the
// distributions worked out with the program's own arithmetic (IEEE double
// operations and the square root, which IEEE rounds exactly; no library
// logarithm or normal distribution, whose last bits vary between systems).

// Philox4x32-10 of a 128-bit counter under a 64-bit key.
std::array<std::uint32_t, 4> philox4x32(std::array<std::uint32_t, 4> counter,
                                        std::array<std::uint32_t, 2> key);

// Where a pair of draws stands: the trial, the spread input (its place
// among the spreads) and the pair of items of that input (items 2k and
// 2k + 1; 0 for an input drawn once).
struct DrawKey {
    std::uint64_t trial = 0;
    std::uint32_t stream = 0;
    std::uint32_t pair = 0;
};

// 2 x 64 random bits for the pair of draws `key` under `seed`.
std::array<std::uint64_t, 2> drawBits(std::uint64_t seed, DrawKey key);

// The bits as a number in the open interval (0, 1): the top 52 bits and a
// half, over 2^52.
double openUnitInterval(std::uint64_t bits);

// The natural logarithm of x > 0 (finite), to a few units in the last
// place, from IEEE operations only.
double naturalLog(double x);

// The standard normal quantile at p, 0 < p < 1 (Wichura's AS 241, relative
// error about 1e-16).
double standardNormalQuantile(double p);

} // namespace vantero::trials
