#include "app/AppIcon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <future>

namespace app {

namespace {

struct Rgb {
  double r, g, b;
};

// The skin's caption blue (0x00DC7E5A) at the top, a deeper shade below.
constexpr Rgb TileTop{90, 126, 220};
constexpr Rgb TileBottom{38, 62, 150};
constexpr Rgb GlyphColour{255, 255, 255};

// Shapes in the unit square, tested at sample points.
bool InRoundedRect(double x, double y, double x0, double y0, double x1, double y1, double r) {
  if (x < x0 || x > x1 || y < y0 || y > y1) return false;
  const double cx = std::clamp(x, x0 + r, x1 - r);
  const double cy = std::clamp(y, y0 + r, y1 - r);
  const double dx = x - cx;
  const double dy = y - cy;
  return dx * dx + dy * dy <= r * r;
}

struct Glyph {
  double left = 0.20, right = 0.80, top = 0.25, bottom = 0.77;
  double cut = 0.07;     // the diagonals across the top corners
  double stroke = 0.07;  // frame thickness, at least a pixel at small sizes
  double bar = 0.17;     // caption band height
};

bool InWindowShape(double x, double y, const Glyph& g) {
  if (x < g.left || x > g.right || y < g.top || y > g.bottom) return false;
  if (x - g.left + (y - g.top) < g.cut) return false;
  if (g.right - x + (y - g.top) < g.cut) return false;
  return true;
}

bool InGlyph(double x, double y, const Glyph& g) {
  if (!InWindowShape(x, y, g)) return false;
  const bool inside = x > g.left + g.stroke && x < g.right - g.stroke && y > g.top + g.bar &&
                      y < g.bottom - g.stroke;
  return !inside;
}

// Three buttons in the caption band, in the tile's colour, where there is
// room for them to read as buttons.
bool InButtons(double x, double y, const Glyph& g, int size) {
  if (size < 32) return false;
  const double cy = g.top + g.bar * 0.5;
  const double radius = g.bar * 0.22;
  for (int i = 0; i < 3; ++i) {
    const double cx = g.right - g.stroke - radius * 1.6 - i * radius * 3.0;
    const double dx = x - cx;
    const double dy = y - cy;
    if (dx * dx + dy * dy <= radius * radius) return true;
  }
  return false;
}

std::uint32_t Pack(double a, double r, double g, double b) {
  auto byte = [](double v) {
    return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
  };
  return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

}  // namespace

platform::IconImage DrawAppIcon(int size, int bitsPerPixel) {
  constexpr int Samples = 4;
  // The glyph's straight edges sit on whole pixels so that small sizes stay
  // sharp; the frame is never thinner than a pixel.
  auto snap = [size](double v, double least) {
    return std::max(least, std::round(v * size)) / size;
  };
  Glyph glyph;
  glyph.left = snap(glyph.left, 0);
  glyph.right = snap(glyph.right, 0);
  glyph.top = snap(glyph.top, 0);
  glyph.bottom = snap(glyph.bottom, 0);
  glyph.stroke = snap(glyph.stroke, 1);
  glyph.bar = snap(glyph.bar, 2);
  glyph.cut = snap(glyph.cut, 2);
  const double radius = 0.2;
  const double margin = size <= 16 ? 0.0 : 0.03;

  platform::IconImage image;
  image.bitsPerPixel = bitsPerPixel;
  image.pixels = gdi::Surface(size, size, 0x00000000u);
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      double tile = 0, white = 0;
      for (int sy = 0; sy < Samples; ++sy) {
        for (int sx = 0; sx < Samples; ++sx) {
          const double x = (px + (sx + 0.5) / Samples) / size;
          const double y = (py + (sy + 0.5) / Samples) / size;
          if (!InRoundedRect(x, y, margin, margin, 1 - margin, 1 - margin, radius)) continue;
          tile += 1;
          if (InGlyph(x, y, glyph) && !InButtons(x, y, glyph, size)) white += 1;
        }
      }
      tile /= Samples * Samples;
      white /= Samples * Samples;
      if (tile == 0) continue;
      const double t = (py + 0.5) / size;
      const Rgb base{TileTop.r + (TileBottom.r - TileTop.r) * t,
                     TileTop.g + (TileBottom.g - TileTop.g) * t,
                     TileTop.b + (TileBottom.b - TileTop.b) * t};
      // White covers part of the tile's own coverage; mix within the tile.
      const double w = white / tile;
      const Rgb colour{base.r + (GlyphColour.r - base.r) * w, base.g + (GlyphColour.g - base.g) * w,
                       base.b + (GlyphColour.b - base.b) * w};
      double alpha = tile;
      if (bitsPerPixel == 24) alpha = tile >= 0.5 ? 1.0 : 0.0;
      // Premultiplied, as the pixel buffers are drawn by Cairo.
      image.pixels.Row(py)[px] =
          Pack(alpha * 255, colour.r * alpha, colour.g * alpha, colour.b * alpha);
    }
  }
  return image;
}

namespace {

std::vector<platform::IconImage> DrawAllSizes() {
  std::vector<platform::IconImage> images;
  images.push_back(DrawAppIcon(16, 24));
  images.push_back(DrawAppIcon(16, 32));
  images.push_back(DrawAppIcon(24, 32));
  images.push_back(DrawAppIcon(32, 24));
  images.push_back(DrawAppIcon(32, 32));
  images.push_back(DrawAppIcon(48, 32));
  images.push_back(DrawAppIcon(64, 32));
  return images;
}

std::future<std::vector<platform::IconImage>>& Drawing() {
  static std::future<std::vector<platform::IconImage>> drawing;
  return drawing;
}

}  // namespace

void StartDrawingAppIcon() {
  if (!Drawing().valid()) Drawing() = std::async(std::launch::async, DrawAllSizes);
}

std::vector<platform::IconImage> AppIcon() {
  if (Drawing().valid()) return Drawing().get();
  return DrawAllSizes();
}

}  // namespace app
