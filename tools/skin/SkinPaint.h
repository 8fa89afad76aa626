// Anti-aliased filling for the skin art: shapes as inside tests, each pixel
// covered by the share of a grid of points in it that fall inside. Enough
// for boxes, rounded boxes and round-ended strokes, the same on every
// platform.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/gdi/Surface.h"

namespace skintool {

struct Shape {
  // Bounds in pixels, so that painting visits only the pixels it may touch.
  double left = 0, top = 0, right = 0, bottom = 0;
  std::function<bool(double x, double y)> inside;
};

// Whole-pixel edges give whole pixels: no grid point lies on a pixel's edge.
Shape Box(double x, double y, double w, double h);
// A one-pixel outline along the inside of the box.
Shape Outline(double x, double y, double w, double h);
Shape RoundedBox(double x, double y, double w, double h, double radius);
// A stroke from one point to another with round ends.
Shape Capsule(double x0, double y0, double x1, double y1, double halfWidth);
// Overlaps count once, as one path stroked or filled together would.
Shape Union(Shape a, Shape b);

// Lays rgb at alpha over the shape; pixels are premultiplied 0xAARRGGBB.
void Paint(gdi::Surface& surface, const Shape& shape, std::uint32_t rgb, double alpha = 1.0);

}  // namespace skintool
