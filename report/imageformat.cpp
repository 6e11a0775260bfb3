#include "report/imageformat.h"

#include <cctype>

namespace vantero::report {

bool hasExtension(std::string_view path, std::string_view extension) {
    const std::string_view name = path.substr(path.find_last_of('/') + 1);
    if (name.size() <= extension.size()) {
        return false;
    }
    const std::string_view end = name.substr(name.size() - extension.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(end[i])) != extension[i]) {
            return false;
        }
    }
    return true;
}

std::optional<ImageFormat> imageFormatOf(std::string_view path) {
    if (hasExtension(path, ".png")) {
        return ImageFormat::Png;
    }
    if (hasExtension(path, ".svg")) {
        return ImageFormat::Svg;
    }
    if (hasExtension(path, ".pdf")) {
        return ImageFormat::Pdf;
    }
    return std::nullopt;
}

} // namespace vantero::report
