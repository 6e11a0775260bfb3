#pragma once

#include "report/chart.h"

#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <string>
#include <vector>

namespace vantero::report {

// What the painters share to draw what the charts' arithmetic gives them.

inline QString text(const std::string& s) {
    return QString::fromStdString(s);
}

inline QRectF rect(const Box& box) {
    return {box.left, box.top, box.width, box.height};
}

inline Box box(const QRectF& r) {
    return {r.left(), r.top(), r.width(), r.height()};
}

// The pieces of a line as one path; a piece of one point is a dot of the
// given radius.
inline QPainterPath path(const std::vector<std::vector<Pixel>>& pieces, double dotRadius) {
    QPainterPath path;
    for (const std::vector<Pixel>& piece : pieces) {
        if (piece.size() == 1) {
            path.addEllipse(QPointF(piece[0].x, piece[0].y), dotRadius, dotRadius);
            continue;
        }
        path.moveTo(piece[0].x, piece[0].y);
        for (std::size_t i = 1; i < piece.size(); ++i) {
            path.lineTo(piece[i].x, piece[i].y);
        }
    }
    return path;
}

} // namespace vantero::report
