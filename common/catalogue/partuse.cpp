#include "common/catalogue/partuse.h"

#include "common/catalogue/dispersion.h"
#include "common/catalogue/figures.h"
#include "common/numbers/numbers.h"

#include <algorithm>

namespace vantero::catalogue {
namespace {

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// The bands of the figures named, "850 nm and 1300 nm".
std::string bandsText(const std::vector<const Figure*>& figures) {
    std::string text;
    for (std::size_t i = 0; i < figures.size(); ++i) {
        text += i == 0 ? "" : i + 1 == figures.size() ? " and " : ", ";
        text += bandText(*figures[i]->at);
    }
    return text;
}

// The figure of `figures` whose band holds the wavelength, the narrowest
// where several do (the tighter of two maxima that both hold).
const Figure* figureAt(const std::vector<const Figure*>& figures, double wavelength) {
    const Figure* found = nullptr;
    for (const Figure* figure : figures) {
        if (figure->at->contains(wavelength) &&
            (found == nullptr ||
             figure->at->to - figure->at->from < found->at->to - found->at->from)) {
            found = figure;
        }
    }
    return found;
}

// The wavelength of a fibre is one it has figures at: its attenuation's, or
// where it gives none, its bandwidth's.
void checkWavelength(const Part& part, double wavelength) {
    for (const std::string_view name : {"attenuation", "bandwidth"}) {
        const std::vector<const Figure*> figures = part.figuresNamed(name);
        if (figures.empty()) {
            continue;
        }
        if (figureAt(figures, wavelength) == nullptr) {
            throw CatalogueError("fibre " + inQuotes(part.name) + " has no " + std::string(name) +
                                 " at " + numberText(wavelength) + " nm; it has " +
                                 std::string(name) + " at " + bandsText(figures));
        }
        return;
    }
}

struct Found {
    std::string text;
    std::vector<const Figure*> figures;
    std::string how;
    std::string reportHow;
};

// The end of the zero-dispersion range that is the worst case at the
// wavelength, and the dispersion there when the slope is given.
struct Dispersion {
    const Figure* lambda0 = nullptr;
    const Figure* slope = nullptr;
    WorstDispersion worst{};
};

std::optional<Dispersion> dispersionOf(const Part& part, double wavelength) {
    Dispersion d;
    d.lambda0 = part.figure("zero-dispersion-wavelength");
    d.slope = part.figure("dispersion-slope");
    if (d.lambda0 == nullptr) {
        return std::nullopt;
    }
    const double low = d.lambda0->value.value_or(d.lambda0->min.value_or(0));
    const double high = d.lambda0->value.value_or(d.lambda0->max.value_or(0));
    d.worst = worstDispersion(wavelength, low, high, d.slope != nullptr ? d.slope->worst() : 1.0);
    return d;
}

// Which bound of a figure a design takes, in words ("its minimum" and "o
// mínimo"), or nothing for a figure that gives its value.
Found worstOf(const Figure& figure) {
    Found found{numberText(figure.worst()), {&figure}, {}, {}};
    if (!figure.value) {
        const bool minimum = figure.min && figure.worst() == *figure.min;
        found.how = minimum ? "its minimum" : "its maximum";
        found.reportHow = minimum ? "o mínimo" : "o máximo";
    }
    return found;
}

std::optional<Found> numberFigure(const Part& part, std::string_view name) {
    const Figure* figure = part.figure(name);
    if (figure == nullptr) {
        return std::nullopt;
    }
    return worstOf(*figure);
}

std::optional<Found> find(const PartInput& row, const Part& part,
                          std::optional<double> wavelength) {
    if (!row.value.empty()) {
        // A choice set to a fixed value when the figure is there.
        PartInput figureRow = row;
        figureRow.value = {};
        auto found = find(figureRow, part, wavelength);
        if (found) {
            found->text = row.value;
            found->how = "so that the run takes it";
            found->reportHow = "para que o cálculo use o valor da peça";
        }
        return found;
    }
    const double lambda = wavelength.value_or(0);
    switch (row.figure) {
    case PartFigure::LaunchPower:
    case PartFigure::Sensitivity:
    case PartFigure::SpectralWidth:
    case PartFigure::DispersionSlope:
    case PartFigure::SpliceLoss:
    case PartFigure::ConnectorLoss:
        return numberFigure(part, *fileFigureName(row.figure));
    case PartFigure::Attenuation:
    case PartFigure::ModalBandwidth: {
        const Figure* figure = figureAt(part.figuresNamed(*fileFigureName(row.figure)), lambda);
        if (figure == nullptr) {
            return std::nullopt;
        }
        Found found = worstOf(*figure);
        found.how = "at " + bandText(*figure->at);
        found.reportHow += (found.reportHow.empty() ? "em " : " em ") + numberText(lambda) + " nm";
        return found;
    }
    case PartFigure::ZeroDispersionWavelength: {
        const auto d = dispersionOf(part, lambda);
        if (!d) {
            return std::nullopt;
        }
        std::string how;
        std::string reportHow;
        if (!d->lambda0->value) {
            how = "the end of its range that gives the larger dispersion at " +
                  numberText(lambda) + " nm";
            reportHow = "a ponta da sua faixa que dá a maior dispersão em " + numberText(lambda) +
                        " nm";
        }
        return Found{numberText(d->worst.lambda0), {d->lambda0}, how, reportHow};
    }
    case PartFigure::ChromaticDispersion: {
        const auto d = dispersionOf(part, lambda);
        if (!d || d->slope == nullptr) {
            return std::nullopt;
        }
        const std::string values = "λ = " + numberText(lambda) + " nm, λ0 = " +
                                   numberText(d->worst.lambda0) +
                                   " nm, S0 = " + numberText(d->slope->worst());
        return Found{numberText(d->worst.dispersion), {d->lambda0, d->slope},
                     "S0/4 (λ - λ0^4/λ^3) at " + values, "S0/4 · (λ − λ0⁴/λ³) com " + values};
    }
    case PartFigure::FibreType:
        return Found{std::string(fibreTypeNames[static_cast<std::size_t>(part.fibreType)]),
                     {},
                     "the fibre's type",
                     "o tipo da fibra"};
    }
    return std::nullopt;
}

} // namespace

PartRequest parsePartName(PartKind kind, std::string_view text, std::string_view formPrefix) {
    PartRequest request;
    request.kind = kind;
    std::string_view name = text;
    const std::size_t at = name.find('@');
    if (at != std::string_view::npos) {
        const std::string_view wavelength = name.substr(at + 1);
        name = name.substr(0, at);
        const NumberText number(wavelength);
        if (wavelength.empty() || !number.isNumber() || !(number.stored() > 0)) {
            throw CatalogueError("the wavelength is a number of nm above 0, not " +
                                 inQuotes(wavelength));
        }
        request.wavelength = number.stored();
    }
    if (name.empty()) {
        throw CatalogueError("name the part before the \"@\"");
    }
    request.name = name;
    if (kind == PartKind::Transceiver && request.wavelength) {
        throw CatalogueError("a transceiver is used as it is, at no wavelength");
    }
    if (kind == PartKind::Fibre && !request.wavelength) {
        throw CatalogueError("say at which wavelength (nm) the fibre is used: " +
                             std::string(formPrefix) + std::string(name) + "@WAVELENGTH");
    }
    return request;
}

PartRequest parsePartRequest(std::string_view text) {
    const std::string form = "--use takes transceiver=NAME or fibre=NAME@WAVELENGTH";
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        throw CatalogueError(form + ", not " + inQuotes(text));
    }
    const std::string_view kind = text.substr(0, equals);
    if (!kindNamed(kind)) {
        throw CatalogueError(form + ": no kind of part " + inQuotes(kind));
    }
    try {
        return parsePartName(*kindNamed(kind), text.substr(equals + 1), text.substr(0, equals + 1));
    } catch (const CatalogueError& error) {
        throw CatalogueError("--use " + std::string(text) + ": " + error.what());
    }
}

std::string requestText(const PartRequest& request) {
    std::string text = std::string(kindName(request.kind)) + "=" + request.name;
    if (request.wavelength) {
        text += "@" + numberText(*request.wavelength);
    }
    return text;
}

const Part& findPart(const Catalogue& catalogue, const PartRequest& request) {
    if (const Part* part = catalogue.find(request.kind, request.name)) {
        return *part;
    }
    const std::string names = catalogue.names(request.kind);
    throw CatalogueError("no " + std::string(kindName(request.kind)) + " " +
                         inQuotes(request.name) + " in the catalogue; " +
                         (names.empty() ? "it has none" : "it has " + names));
}

PartUse planPartUse(const Calculator& calculator, const Part& part,
                    std::optional<double> wavelength) {
    if (part.kind == PartKind::Fibre) {
        if (!wavelength) {
            throw CatalogueError("fibre " + inQuotes(part.name) +
                                 ": say at which wavelength (nm) it is used");
        }
        checkWavelength(part, *wavelength);
    } else if (wavelength) {
        throw CatalogueError("transceiver " + inQuotes(part.name) +
                             ": a transceiver is used at no wavelength");
    }
    PartUse use;
    use.part = &part;
    use.wavelength = wavelength;
    for (const PartInput& row : calculator.partInputs()) {
        if (partKindOf(row.figure) != part.kind) {
            continue;
        }
        if (auto found = find(row, part, wavelength)) {
            use.set.push_back({row.input, std::move(found->text), std::move(found->figures),
                               std::move(found->how), row.note, std::move(found->reportHow),
                               row.reportNote});
        } else if (std::find(use.left.begin(), use.left.end(), row.input) == use.left.end()) {
            use.left.push_back(row.input);
        }
    }
    return use;
}

void applyPartUse(Session& session, const PartUse& use) {
    const Calculator& calculator = session.calculator();
    for (const SetInput& set : use.set) {
        if (const auto input = calculator.findInput(set.input)) {
            session.setText(*input, set.text);
            continue;
        }
        const std::size_t choice = calculator.findChoice(set.input).value();
        const auto& values = calculator.choices()[choice].values;
        const auto value = std::find(values.begin(), values.end(), set.text);
        session.setChoice(choice, static_cast<int>(value - values.begin()));
    }
}

PartUse usePart(Session& session, const Part& part, std::optional<double> wavelength) {
    PartUse use = planPartUse(session.calculator(), part, wavelength);
    applyPartUse(session, use);
    return use;
}

std::vector<std::string> partUseLines(const PartUse& use) {
    std::vector<std::string> lines;
    for (const SetInput& set : use.set) {
        std::string line = std::string(set.input) + "=" + set.text + " (";
        for (std::size_t i = 0; i < set.figures.size(); ++i) {
            line += (i == 0 ? "" : " and ") + set.figures[i]->name;
        }
        if (!set.how.empty()) {
            line += set.figures.empty() ? set.how : ": " + set.how;
        }
        line += ")";
        if (!set.note.empty()) {
            line += "; " + std::string(set.note);
        }
        lines.push_back(std::move(line));
    }
    for (const std::string_view input : use.left) {
        lines.push_back(std::string(input) + " left as it was: the entry gives no figure for it");
    }
    return lines;
}

} // namespace vantero::catalogue
