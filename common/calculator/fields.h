#pragma once

#include "common/calculator/projectfile.h"
#include "common/links/output.h"
#include "common/numbers/extended.h"
#include "common/numbers/numbers.h"

#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <type_traits>

namespace vantero {

// The description of a calculator: one table of its numeric inputs, one of
// its choices and one of its results, which its window, its project file, the
// command line and the tests all read. Each table row says everything about
// one field once: its name in the calculation's records, the window
// component that holds it, its label, unit and initial text.

// Where a field stands: a page of the main window's notebook, or the
// multimode fibre dialog.
enum class Page { Sistema, Transmissor, Receptor, Fibra, FibreDialog };

// The title of a page as its tab shows it; the dialog's caption for the
// dialog.
constexpr std::string_view pageTitle(Page page) {
    switch (page) {
    case Page::Sistema:
        return "Sistema";
    case Page::Transmissor:
        return "Transmissor";
    case Page::Receptor:
        return "Receptor";
    case Page::Fibra:
        return "Fibra";
    case Page::FibreDialog:
        break;
    }
    return "Fibra Multimodo";
}

// One numeric input.
struct InputDescription {
    std::string_view name;        // in the input record: "bitRate"
    std::string_view component;   // the text field that holds it: "Edit6"
    std::string_view label;       // beside the field, as the window shows it
    std::string_view unit;        // "Mbit/s"; empty for a count
    std::string_view initialText; // the field's text at start
    Page page;
    // Converted only on the path of a run that needs it, not at the start of
    // every run.
    bool whenUsed = false;

    constexpr bool heldByDialog() const { return page == Page::FibreDialog; }
    // The label without the blanks the window pads some labels with.
    constexpr std::string_view trimmedLabel() const {
        std::string_view text = label;
        while (!text.empty() && text.back() == ' ') {
            text.remove_suffix(1);
        }
        return text;
    }
};

// One choice: a drop-down list or a radio group (one component), or a pair of
// radio buttons (two components, the first for the first item). The choice's
// values are numbered as its enumeration in the input record; the window's
// items stand for the values from `firstItem` on, and a value before that
// has no item (nothing selected).
struct ChoiceDescription {
    std::string_view name;                      // "lineCode"
    std::array<std::string_view, 2> components; // "ComboBox2", or two radio buttons
    std::string_view caption;                   // the group's title: "Código de Linha"
    Page page;
    std::span<const std::string_view> items;  // the window's captions, in order
    std::span<const std::string_view> values; // the values' names, by ordinal
    int initial = 0;                          // the value at start
    int firstItem = 0;                        // the value of the first item
    // The value the calculation takes when nothing is selected (typed text in
    // a list, or a file that cleared a pair of radio buttons).
    int whenNone = 0;
    // The values' names are codes that say nothing by themselves: the help
    // explains each by its item, and `noItem` the value without one.
    bool codes = false;
    std::string_view noItem = {};
    std::string_view note = {};

    constexpr bool isButtonPair() const { return !components[1].empty(); }
    // The value an item index stands for (-1: nothing selected).
    constexpr int valueOfItem(int item) const { return item < 0 ? whenNone : item + firstItem; }
    // The item a value selects, -1 for none.
    constexpr int itemOfValue(int value) const {
        return value < firstItem ? -1 : value - firstItem;
    }
};

// An input that is the loss of each of several like items the power budget
// counts (connectors, splices, switches): the budget takes it as many times
// as there are items. A statistical budget draws each item on its own.
struct ItemLossDescription {
    std::string_view input; // the numeric input: "connectorLoss"
    std::string_view items; // what is counted, for help: "the connectorCount connectors"
    // The count grows with the length of fibre (a splice per cable section).
    bool byLength = false;
};

// The same, with how the count is found from the figures of a record.
template <typename Input> struct ItemLossField : ItemLossDescription {
    // The items the budget counts at `km` km of fibre: a whole number, or a
    // fraction where the formula takes one (km over the section length).
    double (*count)(const Input&, double km) = nullptr;
};

// The same, bound to the member of a calculation's input record that holds
// the field.
template <typename Input> struct InputField : InputDescription {
    NumberText Input::*member = nullptr;
};

// A choice's value read from and written to the input record; no accessors
// for a choice that no calculation reads (only the project file keeps it).
template <typename Input> struct ChoiceField : ChoiceDescription {
    int (*read)(const Input&) = nullptr;
    void (*write)(Input&, int) = nullptr;
};

// A choice held by the member `Member` of the input record.
template <auto Member, typename Input>
constexpr ChoiceField<Input> choiceField(ChoiceDescription description) {
    ChoiceField<Input> field;
    static_cast<ChoiceDescription&>(field) = description;
    field.read = [](const Input& input) { return static_cast<int>(input.*Member); };
    field.write = [](Input& input, int value) {
        input.*Member = static_cast<std::remove_cvref_t<decltype(input.*Member)>>(value);
    };
    return field;
}

// A choice that no calculation reads.
template <typename Input> constexpr ChoiceField<Input> keptChoice(ChoiceDescription description) {
    ChoiceField<Input> field;
    static_cast<ChoiceDescription&>(field) = description;
    return field;
}

// One output of a calculation, in the order the calculation sets it.
template <typename Result> struct ResultField {
    std::string_view name;
    std::string_view component; // empty for the message, which is a box
    OutputKind kind;
    Output Result::*member;
    // The label beside the component in the window; empty for a caption, a
    // verdict or the message, and for the maximum distance, whose label is
    // the distance caption of the run.
    std::string_view label = {};
};

// Gives an input record the initial texts and choices of its tables.
template <typename Input>
void setInitialFields(Input& input, std::span<const InputField<Input>> inputs,
                      std::span<const ChoiceField<Input>> choices) {
    for (const auto& field : inputs) {
        input.*field.member = NumberText(field.initialText);
    }
    for (const auto& choice : choices) {
        if (choice.write != nullptr) {
            choice.write(input, choice.initial);
        }
    }
}

// The records of a project file that holds, in order, the inputs and choices
// named: a numeric input is a number record, a choice a choice record with a
// code for each of its items. A name that is neither does not compile.
template <typename Input, std::size_t I, std::size_t C, std::size_t R>
consteval std::array<ProjectRecord, R>
projectRecords(const std::array<InputField<Input>, I>& inputs,
               const std::array<ChoiceField<Input>, C>& choices,
               const std::array<std::string_view, R>& names) {
    std::array<ProjectRecord, R> records{};
    for (std::size_t r = 0; r < R; ++r) {
        bool found = false;
        for (const auto& input : inputs) {
            if (input.name == names[r] && !input.heldByDialog()) {
                records[r] = {RecordKind::Number, input.name, 0};
                found = true;
            }
        }
        for (const auto& choice : choices) {
            if (choice.name == names[r]) {
                records[r] = {RecordKind::Choice, choice.name,
                              static_cast<int>(choice.items.size())};
                found = true;
            }
        }
        if (!found) {
            throw "a project record names no input or choice of the calculator";
        }
    }
    return records;
}

// The input field of `fields` whose name is `name`, or nullptr.
template <typename Input>
const InputField<Input>* findInput(std::span<const InputField<Input>> fields,
                                   std::string_view name) {
    for (const auto& field : fields) {
        if (field.name == name) {
            return &field;
        }
    }
    return nullptr;
}

// Fails naming the input that `member` holds, as the field table names it.
template <typename Input>
[[noreturn]] void failInput(const NumberText& text, NumberText Input::*member,
                            std::span<const InputField<Input>> fields) {
    std::string_view name;
    for (const auto& field : fields) {
        if (field.member == member) {
            name = field.name;
        }
    }
    text.fail(name);
}

// Converts one input of a run and stores it as a double. A text that is not a
// number fails naming the input, as the field table names it.
template <typename Input>
double convertInput(const Input& input, NumberText Input::*member,
                    std::span<const InputField<Input>> fields) {
    const NumberText& text = input.*member;
    if (!text.isNumber()) [[unlikely]] {
        failInput(text, member, fields);
    }
    return text.stored();
}

// Converts the text of one field outside a calculation run (a list handler
// reading the bit rate, say), naming the input if it is not a number.
inline double convertField(std::string_view text, std::string_view input) {
    return store(NumberText(text).value(input));
}

} // namespace vantero
