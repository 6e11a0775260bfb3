#include "packaging/roff.h"

namespace vantero::packaging {

std::string roffText(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) {
            out += "\\&";
        }
        out += c == '\\' ? std::string("\\e") : std::string(1, c);
        lineStart = c == '\n';
    }
    return out;
}

std::string roffCode(std::string_view code) {
    std::string out = "\\%"; // never hyphenated
    for (const char c : roffText(code)) {
        out += c == '-' ? std::string("\\-") : std::string(1, c);
    }
    return out;
}

std::string roffQuoted(std::string_view text) {
    return "\\(lq" + roffText(text) + "\\(rq";
}

} // namespace vantero::packaging
