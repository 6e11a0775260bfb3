#pragma once

#include "common/failure.h"
#include "common/formatting.h"

#include <memory>
#include <string>
#include <string_view>

namespace vantero {

// One output of a calculation run: a number (shown with five decimals) or a
// fixed text (a caption, a verdict, a message), with a mark whether this run
// set it. An output that is not set leaves its window field as it was.
class Output {
public:
    bool isSet() const { return m_set; }
    bool isNumber() const { return m_number; }
    double value() const { return m_value; }
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
    double m_value = 0;
    std::string_view m_text; // always one of the program's own fixed texts
};

// What kind of output a result field is, for those that present results in
// their order (the windows and the command line).
enum class OutputKind { Number, Text, Message };

// The failure that ended a run, kept so that it is shown after the outputs set
// before it.
using FaultRecord = std::shared_ptr<const Failure>;

// Runs `steps`, and records a failure raised by them in `fault` instead of
// letting it end the caller: the outputs set before the failure stay in the
// result, in their order, and the window shows the failure last.
template <typename Steps> void runRecordingFault(FaultRecord& fault, Steps&& steps) {
    try {
        steps();
    } catch (const Failure& failure) {
        fault = failure.clone();
    }
}

} // namespace vantero
