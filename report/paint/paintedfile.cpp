#include "report/paint/paintedfile.h"

#include "report/paint/headroom.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cstddef>
#include <memory>
#include <new>

namespace vantero::report {

void paintOn(QPaintDevice& device, const std::function<void(QPainter&)>& paint) {
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&device)) {
        throw std::bad_alloc();
    }
    try {
        paint(*painter);
        if (!painter->end()) {
            throw std::bad_alloc();
        }
    } catch (...) {
        static_cast<void>(painter.release());
        throw;
    }
}

std::string paintedFile(ImageFormat format, QSize size, const QString& title,
                        const std::function<void(QPainter&)>& paint) {
    constexpr int pixelsPerInch = 96;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case ImageFormat::Png: {
        ensureFillThread();
        ensureMemory(imageMemory);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            throw std::bad_alloc();
        }
        image.fill(Qt::white);
        paintOn(image, paint);
        // The buffer cannot refuse bytes: the encoder failed for want of
        // memory ("libpng error: insufficient memory").
        if (!image.save(&buffer, "PNG")) {
            throw std::bad_alloc();
        }
        break;
    }
    case ImageFormat::Svg: {
        ensureMemory(drawingMemory);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(pixelsPerInch);
        svg.setTitle(title);
        paintOn(svg, paint);
        break;
    }
    case ImageFormat::Pdf: {
        ensureMemory(pdfMemory);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(pixelsPerInch);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / pixelsPerInch, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("VANTERO"));
        paintOn(pdf, paint);
        break;
    }
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace vantero::report
