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

} // namespace vantero
