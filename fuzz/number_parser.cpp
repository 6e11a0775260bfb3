// Any text typed into a numeric field: a number, rounded as strtold rounds
// it, the number-format failure quoting the text, or the overflow fault;
// never anything else. A number written back by the formatting rule parses
// again.

#include "common/calculator/real48.h"
#include "common/numbers/failure.h"
#include "common/numbers/formatting.h"
#include "common/numbers/numbers.h"
#include "fuzz/check.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using vantero::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantero;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    long double value = 0;
    try {
        value = parseNumber(text);
    } catch (const NumberFormatFailure& failure) {
        check(failure.typed() == text);
        return 0;
    } catch (const ArithmeticFault& fault) {
        check(fault.kind() == FaultKind::Overflow);
        return 0;
    }
    check(std::isfinite(static_cast<double>(value)));
    check(NumberText(text).value() == value);
    // Rounded as strtold rounds it, short decimals taken without it included
    // (a value too small for a double is 0).
    const long double rounded = std::strtold(std::string(text).c_str(), nullptr);
    check(value == rounded || static_cast<double>(rounded) == 0);

    // Saved to a project file: its six bytes, or the overflow fault.
    try {
        (void)toReal48(value);
    } catch (const ArithmeticFault& fault) {
        check(fault.kind() == FaultKind::Overflow);
    }
    // Shown as a result: a text that parses again.
    const double shown = static_cast<double>(value);
    (void)parseNumber(formatResult(shown));
    (void)parseNumber(formatFileValue(shown));
    return 0;
}
