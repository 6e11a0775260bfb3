#pragma once

#include "common/calculator/partinputs.h"
#include "common/links/choices.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::catalogue {

// A catalogue file that cannot be taken, or a part that cannot be used: the
// text says which file, line and entry, or which part, and what is wrong.
class CatalogueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "fibre", "transceiver": the names of the kinds in the files and on the
// command line.
std::string_view kindName(PartKind kind);
std::optional<PartKind> kindNamed(std::string_view name);

// Where a figure was read: a document, where in it, and whether the document
// reproduces the table of a standard (which is then named).
struct Source {
    std::string key; // the name the file gives it
    std::string document;
    std::string edition;
    std::string page;
    std::string address;    // where it can be read
    std::string reproduces; // the standard whose table it reproduces; empty for its own figures
};

// A wavelength, or a band of them (nm).
struct Band {
    double from = 0;
    double to = 0;

    bool isPoint() const { return from == to; }
    bool contains(double wavelength) const { return from <= wavelength && wavelength <= to; }
};

// The shortest text that reads back as the same number: "-8.2", "1e+300".
std::string numberText(double value);

// "850 nm", "1310-1625 nm".
std::string bandText(const Band& band);

// One figure of a part: a value, or bounds, in its unit; at a wavelength or
// over a band for a figure that depends on it; with its source.
struct Figure {
    std::string name; // "launch-power"
    std::optional<double> value;
    std::optional<double> min;
    std::optional<double> max;
    std::string unit;
    std::optional<Band> at;
    std::string note;
    std::shared_ptr<const Source> source;
    int line = 0;

    // The number a design takes: the value, or the bound that is the worst
    // case for this figure (the minimum of a launch power, the maximum of an
    // attenuation, ...).
    double worst() const;
};

// "-8.2 to 0.5 dBm", "at most 0.4 dB/km", "-14.4 dBm".
std::string figureValueText(const Figure& figure);

// One part: its kind and name, a line that says what it is, for a fibre its
// type, and its figures in the order of its file.
struct Part {
    PartKind kind = PartKind::Fibre;
    std::string name;
    std::string title;
    FibreType fibreType = FibreType::SingleMode;
    std::vector<Figure> figures;
    std::string file;
    int line = 0;

    // The figure of that name that holds no wavelength, or nullptr.
    const Figure* figure(std::string_view name) const;
    // Every figure of that name, in order.
    std::vector<const Figure*> figuresNamed(std::string_view name) const;
};

// The parts of one catalogue file, read from its text; `file` names it in
// the errors. A text that is not TOML, an entry that lacks a name, a source
// for a figure or a number, a unit that is not the figure's, an unknown key,
// or a name given twice is refused with a CatalogueError naming the file,
// the line and the entry.
std::vector<Part> parseCatalogue(std::string_view text, const std::string& file);

// The same, read from a file (a FileFailure when it cannot be read).
std::vector<Part> loadCatalogueFile(const std::filesystem::path& path);

// The parts of a catalogue in layers: the shipped files, the user's folder,
// each --catalogue file. A part of a later layer replaces the one of the
// same kind and name before it; one layer holds each name once.
class Catalogue {
public:
    // Adds a layer, given whole; a name it holds twice is a CatalogueError.
    // Each part it replaces adds a line to `notices`.
    void addLayer(std::vector<Part> parts, std::vector<std::string>& notices);

    std::span<const Part> parts() const { return m_parts; }
    // The part of that kind and name (letters in either case), or nullptr.
    const Part* find(PartKind kind, std::string_view name) const;
    // "a, b and c": the names of the parts of a kind.
    std::string names(PartKind kind) const;

private:
    std::vector<Part> m_parts;
};

} // namespace vantero::catalogue
