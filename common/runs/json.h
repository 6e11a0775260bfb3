#pragma once

#include <string>
#include <string_view>

namespace vantero {

// Appends `text` as a JSON string: quotes, backslashes and control characters
// escaped, UTF-8 passed through, and any byte that is not part of a
// well-formed UTF-8 sequence replaced by U+FFFD, so that the result is always
// valid JSON.
void appendJsonString(std::string& out, std::string_view text);

// Appends a number in its shortest form that reads back as the same double;
// a not-a-number or an infinity, which JSON cannot hold, as null.
void appendJsonNumber(std::string& out, double value);

} // namespace vantero
