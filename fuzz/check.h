#pragma once

#include <cstdlib>

namespace vantero::fuzz {

// What a fuzz program holds of every input: when it does not, the program
// stops, and libFuzzer keeps the input that broke it.
inline void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

} // namespace vantero::fuzz
