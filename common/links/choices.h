#pragma once

#include <array>
#include <string_view>

namespace vantero {

// Choices shared by the calculations and their project files; each value's
// ordinal is the index of its item in the window.
enum class LineCode { NRZ = 0, RZ = 1 };
enum class BlockCode { Code3B4B = 0, Code7B8B = 1, Code8B10B = 2 };
enum class FibreType { SingleMode = 0, Multimode = 1 };
enum class LimitingFactor { Attenuation, Dispersion };
enum class RiseTimeOutcome { Computed, RejectedSingleMode, RejectedMultimode };

// The values' names (as the command line takes them) and the windows'
// captions of their items, by ordinal.
inline constexpr std::array<std::string_view, 2> lineCodeNames{"NRZ", "RZ"};
inline constexpr std::array<std::string_view, 2> lineCodeItems{"Código NRZ", "Código RZ"};
inline constexpr std::array<std::string_view, 3> blockCodeNames{"3B4B", "7B8B", "8B10B"};
inline constexpr std::array<std::string_view, 2> fibreTypeNames{"SingleMode", "Multimode"};
inline constexpr std::array<std::string_view, 2> fibreTypeItems{"Fibra Monomodo",
                                                                "Fibra Multimodo"};

// What limits a link, as its CSV and JSON outputs name it.
constexpr std::string_view limitingFactorName(LimitingFactor factor) {
    return factor == LimitingFactor::Attenuation ? "Attenuation" : "Dispersion";
}

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
