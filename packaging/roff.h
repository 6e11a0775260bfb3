#pragma once

#include <string>
#include <string_view>

namespace vantero::packaging {

// Text for a man page's roff source: backslashes escaped, and a line that
// would start with a control character ("." or "'") kept as text.
std::string roffText(std::string_view text);

// Code (an option, a command, a name) in roff: as roffText, every "-" a real
// hyphen-minus, as typed, and never hyphenated at the end of a line.
std::string roffCode(std::string_view code);

// Text wrapped in typographic quotes.
std::string roffQuoted(std::string_view text);

} // namespace vantero::packaging
