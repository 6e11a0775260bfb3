// Any text as a catalogue file: its parts, or a CatalogueError that names
// the file and a line; never anything else. Every part it gives has a
// source for every figure and a number a design can take, and can be used
// in every calculator (or be refused with a CatalogueError).

#include "calculators/registry.h"
#include "common/catalogue/catalogue.h"
#include "common/catalogue/partuse.h"
#include "fuzz/check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using vantero::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantero;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<catalogue::Part> parts;
    try {
        parts = catalogue::parseCatalogue(text, "fuzz.toml");
    } catch (const catalogue::CatalogueError& error) {
        check(std::string_view(error.what()).starts_with("fuzz.toml:"));
        return 0;
    }
    for (const catalogue::Part& part : parts) {
        check(!part.name.empty());
        for (const catalogue::Figure& figure : part.figures) {
            check(figure.source != nullptr && !figure.source->document.empty());
            check(std::isfinite(figure.worst()));
            check(!catalogue::figureValueText(figure).empty());
        }
        for (const Calculator* calculator : calculators()) {
            for (const double wavelength : {850.0, 1310.0, 1550.0}) {
                try {
                    const auto session = calculator->newSession();
                    (void)catalogue::usePart(*session, part,
                                             part.kind == PartKind::Fibre
                                                 ? std::optional<double>(wavelength)
                                                 : std::nullopt);
                    (void)session->run();
                } catch (const catalogue::CatalogueError&) {
                }
            }
        }
    }
    return 0;
}
