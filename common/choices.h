#pragma once

namespace vantero {

// Choices shared by the calculations and their project files; each value's
// ordinal is the index of its item in the window.
enum class LineCode { NRZ = 0, RZ = 1 };
enum class BlockCode { Code3B4B = 0, Code7B8B = 1, Code8B10B = 2 };
enum class FibreType { SingleMode = 0, Multimode = 1 };
enum class LimitingFactor { Attenuation, Dispersion };
enum class RiseTimeOutcome { Computed, RejectedSingleMode, RejectedMultimode };

// Rise-time factor of the line code: the share of a bit slot that a pulse may
// take to rise.
constexpr double lineCodeFactor(LineCode code) {
    return code == LineCode::RZ ? 0.35 : 0.7;
}

// Ratio of line bits to data bits of the block code, as the star and ring
// budgets take it: the decimals 1.33333 and 1.14285, not 4/3 and 8/7.
constexpr double blockCodeFactor(BlockCode code) {
    switch (code) {
    case BlockCode::Code3B4B:
        return 1.33333;
    case BlockCode::Code8B10B:
        return 1.25;
    case BlockCode::Code7B8B:
        break;
    }
    return 1.14285;
}

} // namespace vantero
