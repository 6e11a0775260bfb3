#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>

namespace vantero::report {

// How every chart looks, apart from where things go: the fonts of its kinds
// of text, the widths and colours of its lines and bars, once for the chart of
// a sweep and the report's charts alike. No Qt: the painter turns them into
// fonts, pens and brushes.

// The kinds of text on a chart, each in a font of its own.
enum class TextRole { Title, Subtitle, Tick, XTitle, YTitle, Label, Legend, Notice };
inline constexpr std::size_t textRoles = 8;

struct Typeface {
    double size = 10; // the height of the font in the painter's units
    bool bold = false;
};

// The scale of a chart in the painter's units: the font of each kind of
// text, the width of a plain line (every other width is a multiple of it),
// the room between neighbouring things and the length of a tick.
struct ChartLook {
    std::array<Typeface, textRoles> fonts{};
    double stroke = 1;
    double gap = 8;
    double tickLength = 6;

    const Typeface& font(TextRole role) const { return fonts[static_cast<std::size_t>(role)]; }
};

// The chart of a sweep, in the pixels of its picture.
ChartLook pictureLook();
// The report's charts, in the points of its A4 pages.
ChartLook pageLook();

// The sizes of texts in the fonts of a look, which only the painter can
// tell: the width of one line and the height of a line.
struct TextMeasure {
    std::function<double(TextRole, std::string_view)> width;
    std::function<double(TextRole)> lineHeight;
};

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 255;
};

// What a line stands for, which its colour, width and dashes say.
enum class LineStyle {
    Power,          // the power budget's distance
    RiseTime,       // the rise-time budget's distance
    Maximum,        // the maximum distance: a broad band under the other two
    PowerMargin,    // the power margin against the length
    RiseTimeMargin, // the rise-time margin against the length
    Mark,           // a dashed line across the plot at a value
};

// What a bar stands for, which its colour says.
enum class BarKind {
    Launched,    // the launched power over the sensitivity
    Allowed,     // the rise time allowed
    Loss,        // a loss of the power budget
    Gain,        // a negative loss
    RiseTime,    // a rise time of the link
    Total,       // the link's rise time
    MarginMet,   // what is left, 0 or more
    MarginShort, // what is missing
    Share,       // a bin of a histogram of a figure with no budget
};

// The colour a text is written in.
enum class Ink {
    Text,
    Muted,   // a subtitle
    Warning, // where the rise-time budget cannot be met
    OnBar,   // on a bar, where there is no room beside it
};

struct Pen {
    Colour colour;
    double width = 1; // in strokes
    enum class Dashes { None, Dashed, Dotted } dashes = Dashes::None;
};

Pen linePen(LineStyle style);
Colour barColour(BarKind kind);
Colour inkColour(Ink ink);

// The rest of a chart.
inline constexpr Colour gridColour{228, 228, 228};
inline constexpr double minorGridWidth = 0.6; // strokes; a labelled tick's line is 1
inline constexpr Pen framePen{{80, 80, 80}, 1};
inline constexpr Pen zeroPen{{110, 110, 110}, 1.3};
inline constexpr Pen stepPen{{110, 110, 110}, 0.85, Pen::Dashes::Dotted};
inline constexpr Pen referencePen{{30, 30, 30}, 1.3, Pen::Dashes::Dashed};
inline constexpr Colour shadeColour{214, 39, 40, 20};
// A marked point: a white dot ringed in the text's colour.
inline constexpr double markerRadius = 4.6; // strokes
inline constexpr double markerRing = 1.5;   // strokes
// A lone point of a line, where its neighbours have no value.
inline constexpr double dotRadius = 1.75; // strokes
// Behind a label beside a point, a framed label and the legend.
inline constexpr Colour labelBackground{255, 255, 255, 230};
inline constexpr Pen labelFramePen{{160, 160, 160}, 1};
inline constexpr double frameRounding = 3.5; // strokes

} // namespace vantero::report
