#include "tools/skin/SkinPaint.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace skintool {

namespace {

// 16 x 16 points a pixel: 256 steps of coverage, finer than the 8 bits a
// channel keeps.
constexpr int Grid = 16;

}  // namespace

Shape Box(double x, double y, double w, double h) {
  return {x, y, x + w, y + h, [=](double px, double py) {
            return px >= x && px < x + w && py >= y && py < y + h;
          }};
}

Shape Outline(double x, double y, double w, double h) {
  const Shape outer = Box(x, y, w, h);
  const Shape inner = Box(x + 1, y + 1, w - 2, h - 2);
  return {x, y, x + w, y + h, [=](double px, double py) {
            return outer.inside(px, py) && !inner.inside(px, py);
          }};
}

Shape RoundedBox(double x, double y, double w, double h, double radius) {
  return {x, y, x + w, y + h, [=](double px, double py) {
            if (px < x || px >= x + w || py < y || py >= y + h) return false;
            // The distance past the nearest corner's centre, zero along the
            // straight sides.
            const double dx = std::max({x + radius - px, px - (x + w - radius), 0.0});
            const double dy = std::max({y + radius - py, py - (y + h - radius), 0.0});
            return dx * dx + dy * dy <= radius * radius;
          }};
}

Shape Capsule(double x0, double y0, double x1, double y1, double halfWidth) {
  const double vx = x1 - x0;
  const double vy = y1 - y0;
  const double length2 = vx * vx + vy * vy;
  return {std::min(x0, x1) - halfWidth, std::min(y0, y1) - halfWidth,
          std::max(x0, x1) + halfWidth, std::max(y0, y1) + halfWidth,
          [=](double px, double py) {
            const double t =
                length2 > 0 ? std::clamp(((px - x0) * vx + (py - y0) * vy) / length2, 0.0, 1.0)
                            : 0.0;
            const double dx = px - (x0 + t * vx);
            const double dy = py - (y0 + t * vy);
            return dx * dx + dy * dy <= halfWidth * halfWidth;
          }};
}

Shape Union(Shape a, Shape b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom),
          [a = std::move(a), b = std::move(b)](double px, double py) {
            return a.inside(px, py) || b.inside(px, py);
          }};
}

void Paint(gdi::Surface& surface, const Shape& shape, std::uint32_t rgb, double alpha) {
  const int x0 = std::max(0, static_cast<int>(std::floor(shape.left)));
  const int y0 = std::max(0, static_cast<int>(std::floor(shape.top)));
  const int x1 = std::min(surface.width, static_cast<int>(std::ceil(shape.right)));
  const int y1 = std::min(surface.height, static_cast<int>(std::ceil(shape.bottom)));
  const std::uint32_t source = 0xFF000000u | rgb;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      int covered = 0;
      for (int sy = 0; sy < Grid; ++sy) {
        for (int sx = 0; sx < Grid; ++sx) {
          covered += shape.inside(x + (sx + 0.5) / Grid, y + (sy + 0.5) / Grid);
        }
      }
      if (covered == 0) continue;
      const double t = alpha * covered / (Grid * Grid);
      std::uint32_t& pixel = surface.Row(y)[x];
      std::uint32_t out = 0;
      for (int shift = 0; shift <= 24; shift += 8) {
        const double under = pixel >> shift & 0xFF;
        const double over = source >> shift & 0xFF;
        out |= static_cast<std::uint32_t>(std::lround(under + (over - under) * t)) << shift;
      }
      pixel = out;
    }
  }
}

}  // namespace skintool
