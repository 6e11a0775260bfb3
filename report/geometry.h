#pragma once

namespace vantero::report {

// A point and a rectangle in the painter's units (pixels of a picture,
// points of a page), y growing downwards.
struct Pixel {
    double x = 0;
    double y = 0;
};

struct Box {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    // Whether the two share some area.
    bool intersects(const Box& other) const {
        return left < other.right() && other.left < right() && top < other.bottom() &&
               other.top < bottom();
    }
    // Whether the point lies inside or on the edge.
    bool contains(double x, double y) const {
        return x >= left && x <= right() && y >= top && y <= bottom();
    }
    // Whether the box lies within `other`.
    bool within(const Box& other) const {
        return left >= other.left && right() <= other.right() && top >= other.top &&
               bottom() <= other.bottom();
    }
};

// `box` moved sideways into [left, right] as far as it fits.
inline Box clampedSideways(Box box, double left, double right) {
    box.left = box.left > right - box.width ? right - box.width : box.left;
    box.left = box.left < left ? left : box.left;
    return box;
}

} // namespace vantero::report
