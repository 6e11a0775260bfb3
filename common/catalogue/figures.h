#pragma once

#include "common/calculator/partinputs.h"

#include <optional>
#include <span>
#include <string_view>

namespace vantero::catalogue {

// Which number of a figure a design takes (its worst case), and so which
// one an entry must give: the value, or that bound.
enum class Worst {
    Min,   // the minimum (a launch power, a bandwidth)
    Max,   // the maximum (an attenuation, a slope, a sensitivity)
    Range, // both bounds (the zero-dispersion wavelength: the worse end at the wavelength used)
    Any,   // a figure only shown: any of them
};

// A figure an entry may give: its name in the file, its kind of part, its
// unit (spelled as the calculators spell their units), what it is, the
// number a design takes, and whether it holds at a wavelength or over a band
// of them (`at`, or `from` and `to`), in which case an entry may give it for
// several.
struct FigureRule {
    std::string_view name;
    PartKind kind;
    std::string_view unit;
    std::string_view meaning;
    Worst worst;
    bool atWavelength = false;
};

// Every figure, by kind, in the order listings show them.
std::span<const FigureRule> figureRules();
const FigureRule* findFigureRule(PartKind kind, std::string_view name);

// The name in the files of the figure a mapping row reads (the fibre's type,
// which is no figure, has none).
std::optional<std::string_view> fileFigureName(PartFigure figure);

} // namespace vantero::catalogue
