#pragma once

#include <optional>
#include <string_view>

namespace vantero::report {

// The formats a chart is written in, chosen by the extension of its file.
enum class ImageFormat { Png, Svg, Pdf };

// Whether the last component of `path` ends in `extension` (".pdf"), letters
// in either case.
bool hasExtension(std::string_view path, std::string_view extension);

// The format the name of a file asks for: .png, .svg or .pdf, letters in
// either case; none for any other name.
std::optional<ImageFormat> imageFormatOf(std::string_view path);

} // namespace vantero::report
