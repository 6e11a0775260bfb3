#include "report/look.h"

namespace vantero::report {
namespace {

ChartLook lookOf(std::array<Typeface, textRoles> fonts, double stroke, double gap,
                 double tickLength) {
    ChartLook look;
    look.fonts = fonts;
    look.stroke = stroke;
    look.gap = gap;
    look.tickLength = tickLength;
    return look;
}

constexpr Colour powerBlue{31, 119, 180};
constexpr Colour riseTimeRed{214, 39, 40};
constexpr Colour green{44, 160, 44};
constexpr Colour darkGrey{80, 80, 80};

} // namespace

ChartLook pictureLook() {
    // Title, Subtitle, Tick, XTitle, YTitle, Label, Legend, Notice.
    return lookOf({{{19, true}, {14}, {13}, {15}, {15}, {13}, {14}, {16}}}, 1, 8, 6);
}

ChartLook pageLook() {
    return lookOf({{{10, true}, {8}, {7.6}, {7.6}, {7.6, true}, {7.6}, {7.6}, {8}}}, 0.7, 4, 4);
}

Pen linePen(LineStyle style) {
    switch (style) {
    case LineStyle::Power:
    case LineStyle::PowerMargin:
        return {powerBlue, 2};
    case LineStyle::RiseTime:
    case LineStyle::RiseTimeMargin:
        return {riseTimeRed, 2};
    case LineStyle::Maximum:
        return {{green.red, green.green, green.blue, 110}, 9};
    case LineStyle::Mark:
        break;
    }
    return {darkGrey, 1.4, Pen::Dashes::Dashed};
}

Colour barColour(BarKind kind) {
    switch (kind) {
    case BarKind::Launched:
    case BarKind::Share:
        return powerBlue;
    case BarKind::Allowed:
        return {120, 150, 180};
    case BarKind::Loss:
        return {221, 132, 82};
    case BarKind::Gain:
    case BarKind::MarginMet:
        return green;
    case BarKind::RiseTime:
        return {148, 103, 189};
    case BarKind::Total:
        return {90, 90, 90};
    case BarKind::MarginShort:
        break;
    }
    return riseTimeRed;
}

Colour inkColour(Ink ink) {
    switch (ink) {
    case Ink::Text:
        break;
    case Ink::Muted:
        return {100, 100, 100};
    case Ink::Warning:
        return {150, 40, 40};
    case Ink::OnBar:
        return {255, 255, 255};
    }
    return {30, 30, 30};
}

} // namespace vantero::report
