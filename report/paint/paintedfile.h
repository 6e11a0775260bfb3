#pragma once

#include "report/imageformat.h"

#include <QPainter>
#include <QSize>
#include <QString>

#include <functional>
#include <string>

namespace vantero::report {

// Paints a picture of `size` pixels with `paint` and gives the bytes of its
// file in `format`: a PNG image, or an SVG or a one-page PDF drawing of the
// same size at 96 pixels to the inch, its text kept as text (selectable, the
// fonts embedded in the PDF). `title` goes into the file's description.
std::string paintedFile(ImageFormat format, QSize size, const QString& title,
                        const std::function<void(QPainter&)>& paint);

} // namespace vantero::report
