#pragma once

#include "common/calculator/calculator.h"
#include "common/catalogue/catalogue.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::catalogue {

// A part as the command line names it: "transceiver=NAME", or
// "fibre=NAME@WAVELENGTH" (nm).
struct PartRequest {
    PartKind kind = PartKind::Fibre;
    std::string name;
    std::optional<double> wavelength;
};

// Reads "KIND=NAME[@WAVELENGTH]"; a CatalogueError says what is wrong.
PartRequest parsePartRequest(std::string_view text);
// Reads the NAME or NAME@WAVELENGTH of a part of `kind` (a fibre needs the
// wavelength, a transceiver takes none), as --use and a table of links name
// one; a CatalogueError says what is wrong, its suggested form starting with
// `formPrefix` ("fibre=" on the command line).
PartRequest parsePartName(PartKind kind, std::string_view text, std::string_view formPrefix = {});
// "fibre=G.652.D@1310".
std::string requestText(const PartRequest& request);

// The part a request names; a CatalogueError lists the names of its kind.
const Part& findPart(const Catalogue& catalogue, const PartRequest& request);

// One input or choice that a part sets: the text it gets, the figures it
// comes from (with their sources), how it follows from them, and what the
// calculator says of that input; the last two also in the design report's
// Portuguese.
struct SetInput {
    std::string_view input;
    std::string text;
    std::vector<const Figure*> figures;
    std::string how; // "its minimum", "at 1530-1565 nm", ...
    std::string_view note;
    std::string reportHow; // "o mínimo", "em 1530-1565 nm", ...
    std::string_view reportNote;
};

// What a part used at a wavelength does to a calculator's inputs: those it
// sets, in the order of the calculator's mapping, and those of its kind it
// leaves as they were, because the entry gives no figure for them. The
// figures point into the part, which must outlive this record.
struct PartUse {
    const Part* part = nullptr;
    std::optional<double> wavelength;
    std::vector<SetInput> set;
    std::vector<std::string_view> left;
};

// What `part` at `wavelength` (a fibre's, in nm; none for a transceiver)
// sets in `calculator`, from the mapping of its description. A fibre used
// at a wavelength it has no attenuation for (where it gives any) is a
// CatalogueError naming the wavelengths it has; so is a fibre without a
// wavelength and a transceiver with one.
PartUse planPartUse(const Calculator& calculator, const Part& part,
                    std::optional<double> wavelength);

// Gives the session's inputs the texts and values of `use`.
void applyPartUse(Session& session, const PartUse& use);

// Both at once: what the part set, and what it left.
PartUse usePart(Session& session, const Part& part, std::optional<double> wavelength);

// The lines that say what a part did, one an input, each after `prefix`:
// "launchedPower=-8.2 (launch-power: its minimum)", "spectralWidth left as
// it was (no spectral-width)".
std::vector<std::string> partUseLines(const PartUse& use);

} // namespace vantero::catalogue
