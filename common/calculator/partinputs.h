#pragma once

#include "common/calculator/fields.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace vantero {

// What a catalogue part can give a calculator: a transceiver its launched
// power, its sensitivity and its spectral width; a fibre, at the wavelength
// it is used at, its attenuation, its chromatic dispersion and the figures
// it is worked out from, its type, its modal bandwidth, and the losses of a
// splice and a connector where the entry gives them (a planning entry).
enum class PartKind { Fibre, Transceiver };

enum class PartFigure {
    LaunchPower,   // the minimum average launch power (the worst case), dBm
    Sensitivity,   // the receiver sensitivity, dBm
    SpectralWidth, // RMS, nm
    Attenuation,   // at the wavelength, dB/km
    ChromaticDispersion,      // at the wavelength, the worst case, ps/(nm.km)
    ZeroDispersionWavelength, // the one of the worst case, nm
    DispersionSlope,          // its largest, ps/(nm^2.km)
    FibreType,                // SingleMode or Multimode
    ModalBandwidth,           // overfilled launch, at the wavelength's window, MHz.km
    SpliceLoss,               // dB
    ConnectorLoss,            // dB
};

constexpr PartKind partKindOf(PartFigure figure) {
    switch (figure) {
    case PartFigure::LaunchPower:
    case PartFigure::Sensitivity:
    case PartFigure::SpectralWidth:
        return PartKind::Transceiver;
    default:
        return PartKind::Fibre;
    }
}

// One row of a calculator's part mapping: the input or choice that a figure
// of a part sets. A choice takes `value` (by name) when the figure is there,
// or, without one, the value the figure itself names (the fibre's type).
// `note` is said beside the input when a part sets it, and `reportNote` the
// same in the design report's Portuguese.
struct PartInput {
    PartFigure figure;
    std::string_view input;
    std::string_view value = {};
    std::string_view note = {};
    std::string_view reportNote = {};
};

// The rows of a calculator's part mapping, checked against its tables: a row
// that names no numeric input or choice of the calculator, a numeric input
// given a value, or a value that its choice does not have does not compile.
template <typename Input, std::size_t I, std::size_t C, std::size_t R>
consteval std::array<PartInput, R> partInputs(const std::array<InputField<Input>, I>& inputs,
                                              const std::array<ChoiceField<Input>, C>& choices,
                                              const std::array<PartInput, R>& rows) {
    for (const PartInput& row : rows) {
        bool found = false;
        for (const auto& input : inputs) {
            if (input.name == row.input) {
                if (!row.value.empty()) {
                    throw "a numeric input of a part mapping takes no value";
                }
                found = true;
            }
        }
        for (const auto& choice : choices) {
            if (choice.name == row.input) {
                bool known = row.value.empty();
                for (const std::string_view value : choice.values) {
                    known = known || value == row.value;
                }
                if (!known) {
                    throw "a part mapping gives a choice a value it does not have";
                }
                found = true;
            }
        }
        if (!found) {
            throw "a part mapping names no input or choice of the calculator";
        }
    }
    return rows;
}

} // namespace vantero
