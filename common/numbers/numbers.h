#pragma once

#include <cmath>
#include <string>
#include <string_view>

namespace vantero {

// Converts the text of a numeric field to a number.
//
// Leading and trailing blanks are ignored and an empty or all-blank text gives
// 0. Otherwise the text must be a well-formed number: an optional sign; digits
// with an optional "." and more digits, at least one digit in all; then
// optionally "E" or "e", an optional sign and at least one digit. Only "."
// separates decimals, whatever the locale.
//
// Any other text throws NumberFormatFailure. A value beyond the range of a
// double throws the overflow fault; a non-zero value too small for a double
// gives 0. The value comes in the widest floating type, since project files
// round from it; callers that hold a double round it when they store it.
long double parseNumber(std::string_view text);

// The text of one numeric field together with the outcome of its conversion.
// The conversion is done once, when the text is given; value() hands back the
// number or throws the conversion's failure, so that a calculation meets a bad
// field exactly at the step that converts it.
class NumberText {
public:
    NumberText() = default;            // an empty field: 0
    NumberText(std::string_view text); // NOLINT: a field is given by its text
    NumberText(const char* text) : NumberText(std::string_view(text)) {} // NOLINT
    // A number given directly (a sweep point): no text to convert.
    static NumberText of(long double value);
    // Makes this the number `value` with no text, keeping the text's storage
    // for the next one (a sweep sets its input at every point).
    void setNumber(long double value) {
        m_text.clear();
        m_value = value;
        m_stored = static_cast<double>(value);
        // Beyond the range of a double it is the overflow fault, as for a text.
        m_overflows = std::isinf(m_stored);
        m_isNumber = !m_overflows;
    }

    const std::string& text() const { return m_text; }
    bool isNumber() const { return m_isNumber; }
    // A well-formed number beyond the range of a double.
    bool overflows() const { return m_overflows; }

    // The converted value; throws NumberFormatFailure naming `input` or the
    // overflow fault when the text did not convert.
    long double value(std::string_view input = {}) const {
        if (!m_isNumber) {
            fail(input);
        }
        return m_value;
    }
    // The value rounded to a double, as a calculation stores it (a converted
    // text always fits a double); throws as value() does.
    double stored(std::string_view input = {}) const {
        if (!m_isNumber) {
            fail(input);
        }
        return m_stored;
    }

    // Throws the failure of a text that did not convert, naming `input`.
    [[noreturn]] void fail(std::string_view input) const;

private:
    std::string m_text;
    long double m_value = 0;
    double m_stored = 0;
    bool m_isNumber = true;
    bool m_overflows = false;
};

} // namespace vantero
