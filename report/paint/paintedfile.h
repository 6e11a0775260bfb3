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
// Throws std::bad_alloc when the memory or the thread painting needs cannot
// be had (report/paint/headroom.h), before anything is painted, or when
// painting or writing the file fails part-way.
std::string paintedFile(ImageFormat format, QSize size, const QString& title,
                        const std::function<void(QPainter&)>& paint);

// Paints on `device` with a painter of its own and ends the painting (a PDF
// or an SVG is written out then); throws std::bad_alloc when the painter
// cannot start or end. Should `paint` or the end fail, the painter is given
// up unfinished, its memory lost, rather than finished by its destructor,
// which would write out and could fail again while the failure is on its way
// (and end the program).
void paintOn(QPaintDevice& device, const std::function<void(QPainter&)>& paint);

} // namespace vantero::report
