#pragma once

// What the tests of PDF files share: their text, their pages and their fonts
// as poppler's tools read them (tests skip where the tools are not
// installed).

#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace vantero::pdftesting {

// The standard output of a shell command, or nothing when it failed.
inline std::optional<std::string> outputOf(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"),
                                               pclose);
    if (!pipe) {
        return std::nullopt;
    }
    std::string out;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) {
        out.append(buffer, n);
    }
    return pclose(pipe.release()) == 0 ? std::optional(out) : std::nullopt;
}

inline bool havePoppler() {
    return outputOf("pdftotext -v").has_value() && outputOf("pdffonts -v").has_value();
}

// The words of a text with every run of blanks and line breaks as one blank.
inline std::string words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string word;
    std::string out;
    while (in >> word) {
        out += (out.empty() ? "" : " ") + word;
    }
    return out;
}

inline std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

// The text of a PDF file as words (words()).
inline std::string pdfWords(const std::string& path) {
    return words(outputOf("pdftotext " + quoted(path) + " -").value_or(""));
}

// What pdfinfo says of a PDF file.
inline std::string pdfInfo(const std::string& path) {
    return outputOf("pdfinfo " + quoted(path)).value_or("");
}

// The DejaVu fonts of a PDF file: how many, and whether each is embedded.
struct PdfFonts {
    int listed = 0;
    bool allEmbedded = true;
    std::string text; // what pdffonts says
};

inline PdfFonts dejaVuFonts(const std::string& path) {
    PdfFonts fonts;
    fonts.text = outputOf("pdffonts " + quoted(path)).value_or("");
    std::istringstream lines(fonts.text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with("DejaVu")) {
            ++fonts.listed;
            fonts.allEmbedded = fonts.allEmbedded && line.find(" yes ") != std::string::npos;
        }
    }
    return fonts;
}

} // namespace vantero::pdftesting
