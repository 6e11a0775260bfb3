#include "common/catalogue/listing.h"

#include "common/catalogue/partuse.h"
#include "common/runs/json.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace vantero::catalogue {
namespace {

std::string padded(std::string text, std::size_t width) {
    text.resize(std::max(width, text.size() + 1), ' ');
    return text;
}

std::string figureLabel(const Figure& figure) {
    return figure.at ? figure.name + " at " + bandText(*figure.at) : figure.name;
}

// The source in one paragraph: the document, where in it, where to read it,
// and whether it reproduces a standard's table.
std::string sourceText(const Source& source) {
    std::string text = source.document;
    for (const std::string* part : {&source.edition, &source.page, &source.address}) {
        if (!part->empty()) {
            text += "; " + *part;
        }
    }
    text += source.reproduces.empty()
                ? "; its own figures"
                : "; a reproduction of the table of " + source.reproduces;
    return text;
}

std::string partText(const Part& part) {
    std::string text = std::string(kindName(part.kind)) + " " + part.name;
    if (!part.title.empty()) {
        text += ": " + part.title;
    }
    text += "\n  (" + part.file + ", line " + std::to_string(part.line) + ")\n";
    if (part.kind == PartKind::Fibre) {
        text += "  type " +
                std::string(part.fibreType == FibreType::SingleMode ? "single-mode" : "multimode") +
                "\n";
    }
    std::vector<const Source*> sources;
    text += "\n  " + padded("figure", 36) + padded("value", 24) + "source\n";
    for (const Figure& figure : part.figures) {
        auto found = std::find(sources.begin(), sources.end(), figure.source.get());
        if (found == sources.end()) {
            sources.push_back(figure.source.get());
            found = sources.end() - 1;
        }
        std::string line = "  " + padded(figureLabel(figure), 36) +
                           padded(figureValueText(figure), 24) + "[" +
                           std::to_string(found - sources.begin() + 1) + "]";
        if (!figure.note.empty()) {
            line += " " + figure.note;
        }
        text += line + "\n";
    }
    text += "\n";
    for (std::size_t i = 0; i < sources.size(); ++i) {
        text += "  [" + std::to_string(i + 1) + "] " + sourceText(*sources[i]) + "\n";
    }
    return text;
}

void appendKey(std::string& json, std::string_view key, std::string_view indent) {
    json += ",\n";
    json += indent;
    appendJsonString(json, key);
    json += ": ";
}

void appendSourceJson(std::string& json, const Source& source, std::string_view indent) {
    json += "{\n";
    json += indent;
    json += "  \"key\": ";
    appendJsonString(json, source.key);
    const std::string inner = std::string(indent) + "  ";
    for (const auto& [key, value] :
         {std::pair{"document", &source.document}, std::pair{"edition", &source.edition},
          std::pair{"page", &source.page}, std::pair{"address", &source.address},
          std::pair{"reproduces", &source.reproduces}}) {
        appendKey(json, key, inner);
        if (value->empty()) {
            json += "null";
        } else {
            appendJsonString(json, *value);
        }
    }
    json += "\n";
    json += indent;
    json += "}";
}

void appendPartJson(std::string& json, const Part& part) {
    json += "  {\n    \"kind\": ";
    appendJsonString(json, kindName(part.kind));
    appendKey(json, "name", "    ");
    appendJsonString(json, part.name);
    appendKey(json, "title", "    ");
    appendJsonString(json, part.title);
    if (part.kind == PartKind::Fibre) {
        appendKey(json, "type", "    ");
        appendJsonString(json, part.fibreType == FibreType::SingleMode ? "single-mode"
                                                                       : "multimode");
    }
    appendKey(json, "file", "    ");
    appendJsonString(json, part.file);
    appendKey(json, "line", "    ");
    json += std::to_string(part.line);
    appendKey(json, "figures", "    ");
    json += "[";
    const char* separator = "\n";
    for (const Figure& figure : part.figures) {
        json += separator;
        separator = ",\n";
        json += "      {\n        \"name\": ";
        appendJsonString(json, figure.name);
        for (const auto& [key, number] :
             {std::pair{"value", figure.value}, std::pair{"min", figure.min},
              std::pair{"max", figure.max},
              std::pair{"from", figure.at ? std::optional(figure.at->from) : std::nullopt},
              std::pair{"to", figure.at ? std::optional(figure.at->to) : std::nullopt}}) {
            if (number) {
                appendKey(json, key, "        ");
                appendJsonNumber(json, *number);
            }
        }
        appendKey(json, "unit", "        ");
        appendJsonString(json, figure.unit);
        appendKey(json, "note", "        ");
        if (figure.note.empty()) {
            json += "null";
        } else {
            appendJsonString(json, figure.note);
        }
        appendKey(json, "source", "        ");
        appendSourceJson(json, *figure.source, "        ");
        json += "\n      }";
    }
    json += "\n    ]\n  }";
}

} // namespace

std::string catalogueListing(const Catalogue& catalogue,
                             std::span<const std::string> words, bool json) {
    std::optional<PartKind> kind;
    if (!words.empty()) {
        kind = kindNamed(words[0]);
    }
    std::vector<const Part*> parts;
    if (words.size() == 2) {
        PartRequest request;
        request.kind = *kind;
        request.name = words[1];
        parts.push_back(&findPart(catalogue, request));
    } else {
        // Fibres first, then transceivers, each in the order they were read.
        for (const PartKind listed : {PartKind::Fibre, PartKind::Transceiver}) {
            for (const Part& part : catalogue.parts()) {
                if (part.kind == listed && (!kind || part.kind == *kind)) {
                    parts.push_back(&part);
                }
            }
        }
    }
    std::string text;
    if (json) {
        const bool one = words.size() == 2;
        text = one ? "" : "[\n";
        for (std::size_t i = 0; i < parts.size(); ++i) {
            std::string part;
            appendPartJson(part, *parts[i]);
            text += one ? part.substr(2) : (i == 0 ? "" : ",\n") + part;
        }
        text += one ? "\n" : "\n]\n";
        return text;
    }
    if (words.size() == 2) {
        return partText(*parts.front());
    }
    for (const Part* part : parts) {
        text += std::string(kindName(part->kind)) + "\t" + part->name + "\t" +
                part->title + "\n";
    }
    return text;
}

} // namespace vantero::catalogue
