#pragma once

#include "common/numbers/failure.h"
#include "common/numbers/formatting.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vantero {

// One output of a calculation run: a number (shown with five decimals) or a
// fixed text (a caption, a verdict, a message), with a mark whether this run
// set it. An output that is not set leaves its window field as it was.
class Output {
public:
    Output() {} // NOLINT(modernize-use-equals-default): m_value waits for a number
    Output(const Output& other) { *this = other; }
    Output& operator=(const Output& other) {
        m_set = other.m_set;
        m_number = other.m_number;
        m_value = other.value();
        m_text = other.m_text;
        return *this;
    }

    bool isSet() const { return m_set; }
    bool isNumber() const { return m_number; }
    double value() const { return m_set && m_number ? m_value : 0; }
    // The text the window shows: five decimals for a number, else the text.
    std::string text() const { return m_number ? formatResult(m_value) : std::string(m_text); }
    // The fixed text of a text output, without a copy (empty for a number).
    std::string_view fixedText() const { return m_number ? std::string_view{} : m_text; }

    void setNumber(double value) {
        m_set = m_number = true;
        m_value = value;
    }
    void setText(std::string_view text) {
        m_set = true;
        m_number = false;
        m_text = text;
    }

private:
    bool m_set = false;
    bool m_number = false;
    // Given only with a number, and read only then (value() gives 0 before):
    // a run starts with a dozen outputs, and clearing them whole was a
    // measurable part of a sweep's point.
    double m_value;          // NOLINT(cppcoreguidelines-pro-type-member-init)
    std::string_view m_text; // always one of the program's own fixed texts
};

// What kind of output a result field is, for those that present results in
// their order (the windows and the command line).
enum class OutputKind { Number, Text, Message };

// The failure that ended a calculation run, kept as a plain value so that it
// is shown after the outputs set before it. A run ends only on an arithmetic
// fault or on a field that is not a number.
class RunFault {
public:
    RunFault(ArithmeticFault fault) : m_fault(std::move(fault)) {}     // NOLINT
    RunFault(NumberFormatFailure fault) : m_fault(std::move(fault)) {} // NOLINT

    const Failure& failure() const {
        return std::visit([](const Failure& f) -> const Failure& { return f; }, m_fault);
    }
    std::string text() const { return failure().text(); }
    // Throws the failure with its own type, for the one place that shows it.
    [[noreturn]] void raise() const {
        if (const auto* fault = std::get_if<ArithmeticFault>(&m_fault)) {
            throw *fault;
        }
        throw std::get<NumberFormatFailure>(m_fault);
    }

private:
    std::variant<ArithmeticFault, NumberFormatFailure> m_fault;
};

// Runs `steps`, and records the failure that ends them in `fault` instead of
// letting it end the caller: the outputs set before the failure stay in the
// result, in their order, and whoever shows the result shows the failure
// last.
template <typename Steps> void runRecordingFault(std::optional<RunFault>& fault, Steps&& steps) {
    try {
        steps();
    } catch (const ArithmeticFault& failure) {
        fault = failure;
    } catch (const NumberFormatFailure& failure) {
        fault = failure;
    }
}

} // namespace vantero
