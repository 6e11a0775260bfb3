#pragma once

#include "common/extended.h"
#include "common/numbers.h"
#include "common/output.h"

#include <span>
#include <string_view>

namespace vantero {

// One numeric input of a calculation: its name in the input record, the
// window component that holds its text, the label beside it and its unit.
template <typename Input> struct InputField {
    std::string_view name;
    std::string_view component;
    std::string_view label;
    std::string_view unit;
    NumberText Input::*member;
    // Held by the multimode fibre dialog rather than the main window.
    bool heldByDialog = false;
};

// One output of a calculation, in the order the calculation sets it.
template <typename Result> struct ResultField {
    std::string_view name;
    std::string_view component; // empty for the message, which is a box
    OutputKind kind;
    Output Result::*member;
};

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

// Converts one input of a run and stores it as a double. A text that is not a
// number fails naming the input, as the field table names it.
template <typename Input>
double convertInput(const Input& input, NumberText Input::*member,
                    std::span<const InputField<Input>> fields) {
    const NumberText& text = input.*member;
    if (!text.isNumber()) {
        std::string_view name;
        for (const auto& field : fields) {
            if (field.member == member) {
                name = field.name;
            }
        }
        text.value(name); // throws
    }
    return store(text.value());
}

} // namespace vantero

namespace vantero {

// Converts the text of one field outside a calculation run (a list handler
// reading the bit rate, say), naming the input if it is not a number.
inline double convertField(std::string_view text, std::string_view input) {
    return store(NumberText(text).value(input));
}

} // namespace vantero
