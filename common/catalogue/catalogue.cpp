#include "common/catalogue/catalogue.h"

#include "common/catalogue/figures.h"
#include "common/numbers/failure.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <utility>

namespace vantero::catalogue {
namespace {

constexpr std::string_view sourceKeys[] = {"document", "edition", "page", "address", "reproduces"};
constexpr std::string_view entryKeys[] = {"name", "title", "type", "source"};
constexpr std::string_view figureKeys[] = {"value", "min", "max", "unit", "at",
                                           "from",  "to",  "source", "note"};

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

char lowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return lowerCase(x) == lowerCase(y); });
}

template <typename Words> std::string listed(const Words& words) {
    std::string list;
    for (const std::string_view word : words) {
        list += list.empty() ? "" : ", ";
        list += word;
    }
    return list;
}

template <typename Words> bool oneOf(std::string_view word, const Words& words) {
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

int lineOf(const toml::node& node) {
    return static_cast<int>(node.source().begin.line);
}

// Reads one file's table into parts, failing with the file, the line and
// the entry named.
class FileReader {
public:
    FileReader(const toml::table& root, std::string file) : m_root(root), m_file(std::move(file)) {}

    std::vector<Part> parts() {
        for (auto&& [key, node] : m_root) {
            const std::string_view name = key.str();
            if (name != "sources" && !kindNamed(name)) {
                fail(lineOf(node), {},
                     "unknown table " + inQuotes(name) +
                         "; a catalogue file holds [sources.NAME], [[fibre]] and [[transceiver]]");
            }
        }
        readSources();
        std::vector<Part> parts;
        for (const PartKind kind : {PartKind::Fibre, PartKind::Transceiver}) {
            const toml::node* entries = m_root.get(kindName(kind));
            if (entries == nullptr) {
                continue;
            }
            const toml::array* array = entries->as_array();
            if (array == nullptr || !array->is_array_of_tables()) {
                fail(lineOf(*entries), {},
                     "each " + std::string(kindName(kind)) + " is a table of its own: write [[" +
                         std::string(kindName(kind)) + "]] above each");
            }
            for (const toml::node& entry : *array) {
                parts.push_back(readPart(kind, *entry.as_table()));
            }
        }
        checkNamesOnce(parts);
        return parts;
    }

private:
    [[noreturn]] void fail(int line, std::string_view entry, std::string_view text) const {
        std::string message = m_file + ":" + std::to_string(line) + ": ";
        if (!entry.empty()) {
            message += std::string(entry) + ": ";
        }
        message += text;
        throw CatalogueError(message);
    }

    std::string text(const toml::node& node, std::string_view key, std::string_view entry) const {
        if (const auto* string = node.as_string()) {
            return string->get();
        }
        if (const auto* integer = node.as_integer()) {
            return std::to_string(integer->get());
        }
        fail(lineOf(node), entry, std::string(key) + " is a text in quotes");
    }

    void readSources() {
        const toml::node* node = m_root.get("sources");
        if (node == nullptr) {
            return;
        }
        const toml::table* sources = node->as_table();
        if (sources == nullptr) {
            fail(lineOf(*node), {}, "sources is a table: [sources.NAME] for each source");
        }
        for (auto&& [key, value] : *sources) {
            const std::string label = "source " + inQuotes(key.str());
            const toml::table* table = value.as_table();
            if (table == nullptr) {
                fail(lineOf(value), label, "write it as [sources." + std::string(key.str()) + "]");
            }
            auto source = std::make_shared<Source>();
            source->key = key.str();
            for (auto&& [field, fieldValue] : *table) {
                if (!oneOf(field.str(), sourceKeys)) {
                    fail(lineOf(fieldValue), label,
                         "unknown key " + inQuotes(field.str()) + "; a source has " +
                             listed(sourceKeys));
                }
            }
            const auto field = [&](std::string_view name) {
                const toml::node* found = table->get(name);
                return found == nullptr ? std::string() : text(*found, name, label);
            };
            source->document = field("document");
            source->edition = field("edition");
            source->page = field("page");
            source->address = field("address");
            source->reproduces = field("reproduces");
            if (source->document.empty()) {
                fail(lineOf(value), label, "names no document");
            }
            if (source->edition.empty() && source->page.empty() && source->address.empty()) {
                fail(lineOf(value), label,
                     "says neither the edition, the page nor the address of " +
                         inQuotes(source->document));
            }
            m_sources.emplace(source->key, std::move(source));
        }
    }

    std::shared_ptr<const Source> sourceNamed(const toml::node& node, std::string_view entry,
                                              std::string_view what) const {
        const std::string key = text(node, "source", entry);
        const auto found = m_sources.find(key);
        if (found == m_sources.end()) {
            fail(lineOf(node), entry,
                 std::string(what) + " names the source " + inQuotes(key) +
                     ", which the file does not declare as [sources." + key + "]");
        }
        return found->second;
    }

    void checkName(const std::string& name, int line, std::string_view label) const {
        const bool bad = name.empty() || std::any_of(name.begin(), name.end(), [](char c) {
                             return c == ' ' || c == '@' || c == '=' ||
                                    static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
                         });
        if (bad) {
            fail(line, label,
                        "a name is one word, without blanks, \"@\" or \"=\": not " + inQuotes(name));
        }
    }

    Part readPart(PartKind kind, const toml::table& table) {
        Part part;
        part.kind = kind;
        part.file = m_file;
        part.line = lineOf(table);
        const std::string kindText(kindName(kind));
        const toml::node* name = table.get("name");
        if (name == nullptr) {
            fail(part.line, {}, "a " + kindText + " entry has no name");
        }
        part.name = text(*name, "name", kindText);
        const std::string label = kindText + " " + inQuotes(part.name);
        checkName(part.name, lineOf(*name), label);
        if (const toml::node* title = table.get("title")) {
            part.title = text(*title, "title", label);
        }
        readType(part, table, label);
        std::shared_ptr<const Source> entrySource;
        if (const toml::node* source = table.get("source")) {
            entrySource = sourceNamed(*source, label, "the entry");
        }
        for (auto&& [key, node] : table) {
            if (!oneOf(key.str(), entryKeys) && findFigureRule(kind, key.str()) == nullptr) {
                std::vector<std::string_view> known(std::begin(entryKeys), std::end(entryKeys));
                for (const FigureRule& rule : figureRules()) {
                    if (rule.kind == kind) {
                        known.push_back(rule.name);
                    }
                }
                if (kind == PartKind::Transceiver) {
                    std::erase(known, "type");
                }
                fail(lineOf(node), label,
                     "unknown key " + inQuotes(key.str()) + "; a " + kindText + " has " +
                         listed(known));
            }
        }
        for (const FigureRule& rule : figureRules()) {
            const toml::node* node = rule.kind == kind ? table.get(rule.name) : nullptr;
            if (node == nullptr) {
                continue;
            }
            if (const toml::array* array = node->as_array(); array != nullptr && rule.atWavelength) {
                for (const toml::node& item : *array) {
                    part.figures.push_back(readFigure(rule, item, label, entrySource));
                }
            } else {
                part.figures.push_back(readFigure(rule, *node, label, entrySource));
            }
        }
        checkBandsOnce(part, label);
        return part;
    }

    void readType(Part& part, const toml::table& table, const std::string& label) const {
        const toml::node* type = table.get("type");
        if (part.kind == PartKind::Transceiver) {
            if (type != nullptr) {
                fail(lineOf(*type), label, "a transceiver has no type (a fibre has)");
            }
            return;
        }
        if (type == nullptr) {
            fail(part.line, label, "says no type: type = \"single-mode\" or \"multimode\"");
        }
        const std::string value = text(*type, "type", label);
        if (value == "single-mode") {
            part.fibreType = FibreType::SingleMode;
        } else if (value == "multimode") {
            part.fibreType = FibreType::Multimode;
        } else {
            fail(lineOf(*type), label,
                 "type is \"single-mode\" or \"multimode\", not " + inQuotes(value));
        }
    }

    std::optional<double> number(const toml::table& table, std::string_view key,
                                 const std::string& label) const {
        const toml::node* node = table.get(key);
        if (node == nullptr) {
            return std::nullopt;
        }
        if (!node->is_number()) {
            fail(lineOf(*node), label, std::string(key) + " is a number");
        }
        const double value = node->value<double>().value_or(NAN);
        if (!std::isfinite(value)) {
            fail(lineOf(*node), label, std::string(key) + " is a finite number");
        }
        return value;
    }

    Figure readFigure(const FigureRule& rule, const toml::node& node, const std::string& entry,
                      const std::shared_ptr<const Source>& entrySource) const {
        const std::string label = entry + ", " + std::string(rule.name);
        const toml::table* table = node.as_table();
        if (table == nullptr) {
            fail(lineOf(node), label,
                 std::string("write it as { value = ..., unit = \"") + std::string(rule.unit) +
                     "\" }" + (rule.atWavelength ? ", or a list of those, each at a wavelength" : ""));
        }
        for (auto&& [key, value] : *table) {
            if (!oneOf(key.str(), figureKeys)) {
                fail(lineOf(value), label,
                     "unknown key " + inQuotes(key.str()) + "; a figure has " + listed(figureKeys));
            }
        }
        Figure figure;
        figure.name = rule.name;
        figure.line = lineOf(node);
        const toml::node* unit = table->get("unit");
        if (unit == nullptr) {
            fail(figure.line, label, "says no unit: unit = " + inQuotes(rule.unit));
        }
        figure.unit = text(*unit, "unit", label);
        if (figure.unit != rule.unit) {
            fail(lineOf(*unit), label,
                 "the unit is " + inQuotes(rule.unit) + ", not " + inQuotes(figure.unit));
        }
        figure.value = number(*table, "value", label);
        figure.min = number(*table, "min", label);
        figure.max = number(*table, "max", label);
        checkNumbers(rule, figure, label);
        readBand(rule, *table, figure, label);
        if (const toml::node* note = table->get("note")) {
            figure.note = text(*note, "note", label);
        }
        if (const toml::node* source = table->get("source")) {
            figure.source = sourceNamed(*source, label, "it");
        } else if (entrySource) {
            figure.source = entrySource;
        } else {
            fail(figure.line, label,
                 "has no source: give it source = \"NAME\" of one of the file's [sources.NAME], "
                 "or give the entry one for all its figures");
        }
        return figure;
    }

    void checkNumbers(const FigureRule& rule, const Figure& figure,
                      const std::string& label) const {
        if (figure.value && (figure.min || figure.max)) {
            fail(figure.line, label, "gives a value and bounds: give one or the other");
        }
        if (figure.min && figure.max && *figure.min > *figure.max) {
            fail(figure.line, label, "its min is above its max");
        }
        if (figure.value) {
            return;
        }
        switch (rule.worst) {
        case Worst::Min:
            if (!figure.min) {
                fail(figure.line, label, "gives no value or min (what a design takes)");
            }
            break;
        case Worst::Max:
            if (!figure.max) {
                fail(figure.line, label, "gives no value or max (what a design takes)");
            }
            break;
        case Worst::Range:
            if (!figure.min || !figure.max) {
                fail(figure.line, label, "gives no value, or not both min and max");
            }
            break;
        case Worst::Any:
            if (!figure.min && !figure.max) {
                fail(figure.line, label, "gives no value, min or max");
            }
            break;
        }
    }

    void readBand(const FigureRule& rule, const toml::table& table, Figure& figure,
                  const std::string& label) const {
        const auto at = number(table, "at", label);
        const auto from = number(table, "from", label);
        const auto to = number(table, "to", label);
        if (!rule.atWavelength) {
            if (at || from || to) {
                fail(figure.line, label, "holds at every wavelength: it takes no at, from or to");
            }
            return;
        }
        if (at && !from && !to) {
            figure.at = Band{*at, *at};
        } else if (!at && from && to && *from < *to) {
            figure.at = Band{*from, *to};
        } else {
            fail(figure.line, label,
                 "says where it holds: at = WAVELENGTH, or from = and to = (nm, from below to)");
        }
        if (figure.at->from <= 0) {
            fail(figure.line, label, "a wavelength is above 0 nm");
        }
    }

    void checkBandsOnce(const Part& part, const std::string& label) const {
        for (auto a = part.figures.begin(); a != part.figures.end(); ++a) {
            for (auto b = part.figures.begin(); b != a; ++b) {
                if (a->name == b->name && a->at && b->at && a->at->from == b->at->from &&
                    a->at->to == b->at->to) {
                    fail(a->line, label,
                         a->name + " is given twice at " + bandText(*a->at) + " (also at line " +
                             std::to_string(b->line) + ")");
                }
            }
        }
    }

    void checkNamesOnce(const std::vector<Part>& parts) const {
        for (auto a = parts.begin(); a != parts.end(); ++a) {
            for (auto b = parts.begin(); b != a; ++b) {
                if (a->kind == b->kind && sameName(a->name, b->name)) {
                    fail(a->line,
                         std::string(kindName(a->kind)) + " " + inQuotes(a->name),
                         "the name is taken: the " + std::string(kindName(b->kind)) +
                             " of line " + std::to_string(b->line) + " has it");
                }
            }
        }
    }

    const toml::table& m_root;
    std::string m_file;
    std::map<std::string, std::shared_ptr<const Source>, std::less<>> m_sources;
};

// TOML allows characters beyond ASCII only in strings and comments. Some
// of them (U+00A1 to U+0499, among others) make the toml++ of Debian 12
// (3.3.0) reach an unreachable point where it asks whether they are blanks:
// outside strings and comments, after a backslash in a multi-line string,
// and as the first character after a line-ending backslash there. Those
// places are refused here, before toml++ sees the text; only the last is
// valid TOML, and its message says how to write it. So is a quote where no
// string can start (after a bare value that is no TOML, say), which would
// put what follows out of the strings.
void checkCharacterPlaces(std::string_view text, const std::string& file) {
    enum class In { Plain, Comment, Basic, Literal, MultiBasic, MultiLiteral };
    In in = In::Plain;
    const auto fail = [&](std::size_t at, std::string_view what) {
        const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<long>(at), '\n');
        throw CatalogueError(file + ":" + std::to_string(line) + ": not a TOML file: " +
                             std::string(what));
    };
    const auto beyondAscii = [&](std::size_t at) {
        return at < text.size() && static_cast<unsigned char>(text[at]) >= 0x80;
    };
    // The length of the run of `quote` from `at`.
    const auto run = [&](std::size_t at, char quote) {
        std::size_t n = 0;
        while (at + n < text.size() && text[at + n] == quote) {
            ++n;
        }
        return n;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (in) {
        case In::Plain:
            if (c == '#') {
                in = In::Comment;
            } else if (c == '"' || c == '\'') {
                // A string starts a value, a key or a part of one: after "=",
                // "[", "{", ",", "." or at the start of a line. Elsewhere the
                // text is no TOML, and toml++ would not read what follows as
                // a string.
                std::size_t before = i;
                while (before > 0 && (text[before - 1] == ' ' || text[before - 1] == '\t')) {
                    --before;
                }
                if (before > 0 && std::string_view("=[{,.\n").find(text[before - 1]) ==
                                      std::string_view::npos) {
                    fail(i, "a quote where no string can start");
                }
                const bool multi = run(i, c) >= 3;
                in = c == '"' ? (multi ? In::MultiBasic : In::Basic)
                              : (multi ? In::MultiLiteral : In::Literal);
                i += multi ? 2 : 0;
            } else if (beyondAscii(i)) {
                fail(i, "a character beyond ASCII outside quotes and comments");
            }
            break;
        case In::Comment:
            in = c == '\n' ? In::Plain : in;
            break;
        case In::Basic:
            if (c == '\\') {
                ++i;
            } else if (c == '"' || c == '\n') {
                in = In::Plain;
            }
            break;
        case In::Literal:
            in = c == '\'' || c == '\n' ? In::Plain : in;
            break;
        case In::MultiLiteral:
        case In::MultiBasic: {
            const char quote = in == In::MultiBasic ? '"' : '\'';
            if (c == quote && run(i, quote) >= 3) {
                i += run(i, quote) - 1;
                in = In::Plain;
            } else if (c == '\\' && in == In::MultiBasic) {
                if (beyondAscii(i + 1)) {
                    fail(i + 1, "a character beyond ASCII escaped by a backslash");
                }
                std::size_t next = i + 1;
                while (next < text.size() && (text[next] == ' ' || text[next] == '\t')) {
                    ++next;
                }
                // No TOML, but toml++ asks whether it is a blank too.
                if (beyondAscii(next)) {
                    fail(next, "a character beyond ASCII escaped by a backslash");
                }
                if (next < text.size() && (text[next] == '\n' || text[next] == '\r')) {
                    while (next < text.size() &&
                           std::string_view(" \t\r\n").find(text[next]) != std::string_view::npos) {
                        ++next;
                    }
                    if (beyondAscii(next)) {
                        fail(next, "a character beyond ASCII right after a line-ending backslash "
                                   "(this reader cannot take it there: end the line with it "
                                   "instead)");
                    }
                    i = next - 1;
                } else {
                    ++i;
                }
            }
            break;
        }
        }
    }
}

std::string place(const Part& part) {
    return part.file + ":" + std::to_string(part.line);
}

} // namespace

std::string_view kindName(PartKind kind) {
    return kind == PartKind::Fibre ? "fibre" : "transceiver";
}

std::optional<PartKind> kindNamed(std::string_view name) {
    if (name == "fibre") {
        return PartKind::Fibre;
    }
    if (name == "transceiver") {
        return PartKind::Transceiver;
    }
    return std::nullopt;
}

std::string numberText(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string bandText(const Band& band) {
    return band.isPoint() ? numberText(band.from) + " nm"
                          : numberText(band.from) + "-" + numberText(band.to) + " nm";
}

double Figure::worst() const {
    if (value) {
        return *value;
    }
    const FigureRule* rule = nullptr;
    for (const FigureRule& candidate : figureRules()) {
        if (candidate.name == name) {
            rule = &candidate;
        }
    }
    if (rule != nullptr && rule->worst == Worst::Min && min) {
        return *min;
    }
    return max ? *max : min.value_or(0);
}

std::string figureValueText(const Figure& figure) {
    std::string text;
    if (figure.value) {
        text = numberText(*figure.value);
    } else if (figure.min && figure.max) {
        text = numberText(*figure.min) + " to " + numberText(*figure.max);
    } else if (figure.min) {
        text = "at least " + numberText(*figure.min);
    } else {
        text = "at most " + numberText(figure.max.value_or(0));
    }
    return text + " " + figure.unit;
}

const Figure* Part::figure(std::string_view figureName) const {
    for (const Figure& f : figures) {
        if (f.name == figureName && !f.at) {
            return &f;
        }
    }
    return nullptr;
}

std::vector<const Figure*> Part::figuresNamed(std::string_view figureName) const {
    std::vector<const Figure*> found;
    for (const Figure& f : figures) {
        if (f.name == figureName) {
            found.push_back(&f);
        }
    }
    return found;
}

// The text with each character beyond ASCII written as "x" (and without the
// byte order mark), on the same lines: what toml++ reads of it is the shape
// of the file. Text that is not UTF-8 is refused.
std::string asciiShape(std::string_view text, const std::string& file) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(byteOrderMark)) {
        text.remove_prefix(byteOrderMark.size());
    }
    std::string shape;
    shape.reserve(text.size());
    long line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        bool whole = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (!whole) {
            throw CatalogueError(file + ":" + std::to_string(line) +
                                 ": not a TOML file: not UTF-8 text");
        }
        line += text[i] == '\n' ? 1 : 0;
        shape += length == 1 ? text[i] : 'x';
        i += length;
    }
    return shape;
}

// The TOML of a catalogue file, or its error as the catalogue's.
toml::table parseToml(std::string_view text, const std::string& file) {
    try {
        return toml::parse(text, file);
    } catch (const toml::parse_error& error) {
        throw CatalogueError(file + ":" + std::to_string(error.source().begin.line) +
                             ": not a TOML file: " + std::string(error.description()));
    }
}

std::vector<Part> parseCatalogue(std::string_view text, const std::string& file) {
    checkCharacterPlaces(text, file);
    // toml++ reads on past an error to the end of a value, and may ask there
    // whether a character beyond ASCII is a blank (see above): the file's
    // shape, in ASCII alone, must be TOML before the file itself is read.
    parseToml(asciiShape(text, file), file);
    const toml::table root = parseToml(text, file);
    return FileReader(root, file).parts();
}

std::vector<Part> loadCatalogueFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FileFailure(errno != 0 ? errno : ENOENT, path.string());
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        throw FileFailure(errno != 0 ? errno : EIO, path.string());
    }
    return parseCatalogue(text.str(), path.string());
}

void Catalogue::addLayer(std::vector<Part> parts, std::vector<std::string>& notices) {
    for (auto a = parts.begin(); a != parts.end(); ++a) {
        for (auto b = parts.begin(); b != a; ++b) {
            if (a->kind == b->kind && sameName(a->name, b->name)) {
                throw CatalogueError(place(*a) + ": " + std::string(kindName(a->kind)) + " " +
                                     inQuotes(a->name) + ": the name is taken: " + place(*b) +
                                     " has it");
            }
        }
    }
    for (Part& part : parts) {
        const auto old = std::find_if(m_parts.begin(), m_parts.end(), [&](const Part& p) {
            return p.kind == part.kind && sameName(p.name, part.name);
        });
        if (old == m_parts.end()) {
            m_parts.push_back(std::move(part));
            continue;
        }
        notices.push_back(std::string(kindName(part.kind)) + " " + inQuotes(part.name) + " of " +
                          place(part) + " takes the place of the one of " + place(*old));
        *old = std::move(part);
    }
}

const Part* Catalogue::find(PartKind kind, std::string_view name) const {
    for (const Part& part : m_parts) {
        if (part.kind == kind && sameName(part.name, name)) {
            return &part;
        }
    }
    return nullptr;
}

std::string Catalogue::names(PartKind kind) const {
    std::vector<std::string_view> names;
    for (const Part& part : m_parts) {
        if (part.kind == kind) {
            names.push_back(part.name);
        }
    }
    return listed(names);
}

} // namespace vantero::catalogue
