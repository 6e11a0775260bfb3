#include "report/paint/paintedfile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace vantero::report {

std::string paintedFile(ImageFormat format, QSize size, const QString& title,
                        const std::function<void(QPainter&)>& paint) {
    constexpr int pixelsPerInch = 96;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case ImageFormat::Png: {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        image.save(&buffer, "PNG");
        break;
    }
    case ImageFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(pixelsPerInch);
        svg.setTitle(title);
        QPainter painter(&svg);
        paint(painter);
        painter.end();
        break;
    }
    case ImageFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(pixelsPerInch);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / pixelsPerInch, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("VANTERO"));
        QPainter painter(&pdf);
        paint(painter);
        painter.end();
        break;
    }
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace vantero::report
