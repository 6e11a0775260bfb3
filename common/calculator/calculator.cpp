#include "common/calculator/calculator.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace vantero {
namespace {

// The index of the choice or input whose name is `name`.
template <typename Description>
std::optional<std::size_t> indexByName(std::span<const Description> descriptions,
                                       std::string_view name) {
    for (std::size_t i = 0; i < descriptions.size(); ++i) {
        if (descriptions[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

// Every record of a layout feeds an input or a choice of its calculator.
std::size_t recordTarget(const Calculator& calculator, const ProjectRecord& record) {
    const auto index = record.kind == RecordKind::Number ? calculator.findInput(record.input)
                                                         : calculator.findChoice(record.input);
    if (!index) {
        throw std::logic_error(std::string(calculator.name()) + " has no input for the record " +
                               std::string(record.input));
    }
    return *index;
}

char lowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerCase(x) == lowerCase(y);
           });
}

} // namespace

std::optional<int> findChoiceValue(const ChoiceDescription& choice, std::string_view name) {
    for (std::size_t v = 0; v < choice.values.size(); ++v) {
        if (equalIgnoringCase(choice.values[v], name)) {
            return static_cast<int>(v);
        }
    }
    return std::nullopt;
}

Session::Session(const Calculator& calculator)
    : m_choices(calculator.initialChoices()), m_calculator(calculator) {}

void Session::setChoice(std::size_t index, int value) {
    const ChoiceDescription& choice = m_calculator.choices()[index];
    if (value < 0 || static_cast<std::size_t>(value) >= choice.values.size()) {
        throw std::out_of_range("choice " + std::string(choice.name) + " has no value " +
                                std::to_string(value));
    }
    m_choices.at(index) = value;
    applyChoice(index, value);
}

void copyFigures(const Session& from, Session& to) {
    for (std::size_t i = 0; i < from.calculator().inputs().size(); ++i) {
        to.setText(i, from.text(i));
    }
    for (std::size_t i = 0; i < from.calculator().choices().size(); ++i) {
        to.setChoice(i, from.choice(i));
    }
}

std::vector<int> Calculator::initialChoices() const {
    std::vector<int> values;
    for (const ChoiceDescription& choice : m_choices) {
        values.push_back(choice.initial);
    }
    return values;
}

bool Calculator::keptInProjectFile(std::string_view name) const {
    for (const ProjectRecord& record : m_layout.records) {
        if (record.input == name) {
            return true;
        }
    }
    return false;
}

std::optional<std::size_t> Calculator::findInput(std::string_view name) const {
    return indexByName(inputs(), name);
}

std::optional<std::size_t> Calculator::findChoice(std::string_view name) const {
    return indexByName(choices(), name);
}

std::optional<std::size_t> Calculator::findItemLoss(std::string_view input) const {
    for (std::size_t i = 0; i < m_itemLosses.size(); ++i) {
        if (m_itemLosses[i].input == input) {
            return i;
        }
    }
    return std::nullopt;
}

void openProject(Session& session, const std::filesystem::path& path) {
    const Calculator& calculator = session.calculator();
    const ProjectLayout& layout = calculator.layout();
    const std::vector<RecordEntry> entries = loadProject(layout, path);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ProjectRecord& record = layout.records[i];
        const std::size_t target = recordTarget(calculator, record);
        if (record.kind == RecordKind::Number) {
            session.setText(target, std::get<std::string>(entries[i]));
            continue;
        }
        const ChoiceDescription& choice = calculator.choices()[target];
        if (const ChoiceIndex index = std::get<ChoiceIndex>(entries[i])) {
            session.setChoice(target, choice.valueOfItem(*index));
        } else if (choice.isButtonPair()) {
            session.setChoice(target, choice.whenNone);
        }
    }
}

void saveProject(const Session& session, const std::filesystem::path& path) {
    const Calculator& calculator = session.calculator();
    const ProjectLayout& layout = calculator.layout();
    std::vector<RecordEntry> entries;
    entries.reserve(layout.records.size());
    for (const ProjectRecord& record : layout.records) {
        const std::size_t source = recordTarget(calculator, record);
        if (record.kind == RecordKind::Number) {
            entries.emplace_back(session.text(source));
        } else {
            const int item = calculator.choices()[source].itemOfValue(session.choice(source));
            entries.emplace_back(item < 0 ? ChoiceIndex{} : ChoiceIndex{item});
        }
    }
    saveProject(layout, path, entries);
}

} // namespace vantero
