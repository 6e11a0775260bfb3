#include "common/linktable/columns.h"

#include <unordered_map>

namespace vantero::linktable {
namespace {

// A name as a message quotes it: a long one cut short.
std::string quoted(std::string_view name) {
    constexpr std::size_t longest = 64;
    if (name.size() <= longest) {
        return "\"" + std::string(name) + "\"";
    }
    std::size_t cut = longest;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
        --cut; // not within a UTF-8 sequence
    }
    return "\"" + std::string(name.substr(0, cut)) + "...\"";
}

template <typename Items, typename Name>
void appendNames(std::string& text, const Items& items, Name name) {
    bool first = true;
    for (const auto& item : items) {
        text += first ? " " : ", ";
        text += name(item);
        first = false;
    }
}

} // namespace

std::string LinkColumns::validNames(const Calculator& calculator,
                                    std::span<const ExtraColumn* const> extras) {
    std::string text = std::string(idColumn) + ", " + std::string(lengthColumn);
    for (const ExtraColumn* extra : extras) {
        text += ", ";
        text += extra->name();
    }
    text += ", the inputs";
    appendNames(text, calculator.inputs(), [](const InputDescription& d) { return d.name; });
    text += " and the choices";
    appendNames(text, calculator.choices(), [](const ChoiceDescription& d) { return d.name; });
    return text;
}

LinkColumns::LinkColumns(const Calculator& calculator, std::span<const std::string_view> header,
                         std::span<const ExtraColumn* const> extras)
    : m_calculator(&calculator), m_extras(extras.begin(), extras.end()) {
    std::unordered_map<std::string_view, std::size_t> seen;
    for (std::size_t c = 0; c < header.size(); ++c) {
        const std::string_view name = header[c];
        if (const auto [at, added] = seen.emplace(name, c); !added) {
            throw ColumnError("the column " + quoted(name) + " is given twice (columns " +
                              std::to_string(at->second + 1) + " and " + std::to_string(c + 1) +
                              ")");
        }
        LinkColumn column{std::string(name), ColumnKind::Input, 0};
        if (name == idColumn) {
            column.kind = ColumnKind::Id;
            m_id = c;
        } else if (name == lengthColumn) {
            column.kind = ColumnKind::Length;
            m_length = c;
        } else if (const auto input = calculator.findInput(name)) {
            column.index = *input;
        } else if (const auto choice = calculator.findChoice(name)) {
            column.kind = ColumnKind::Choice;
            column.index = *choice;
        } else {
            std::size_t e = 0;
            while (e < extras.size() && extras[e]->name() != name) {
                ++e;
            }
            if (e == extras.size()) {
                throw ColumnError("column " + std::to_string(c + 1) + ", " + quoted(name) +
                                  ", is no column of a table of " + std::string(calculator.name()) +
                                  " links; the columns are " + validNames(calculator, extras));
            }
            column.kind = ColumnKind::Extra;
            column.index = e;
        }
        m_columns.push_back(std::move(column));
    }
}

} // namespace vantero::linktable
