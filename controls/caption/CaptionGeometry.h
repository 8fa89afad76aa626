// Pure numbers of the caption bar: where its pieces and button faces go, the
// 16-bit sums of the text and icon positions, and where a window goes on the
// desktop work area. No drawing and no container here.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/win32.h"

namespace caption {

// Blit positions are computed in floating point and taken to the nearest
// integer, halves to even, as the system's own conversion to a 32-bit
// integer does. Values beyond the 32-bit range are held at its ends; NaN
// gives 0.
std::int32_t RoundHalfEven(double value);

// Current widths of the four button surfaces, in pixels.
struct ButtonWidths {
  std::int32_t close = 0;
  std::int32_t max = 0;
  std::int32_t min = 0;
  std::int32_t onTop = 0;
};

// Rounded left edges of the button faces. The buttons line up leftwards from
// the right edge (close, maximize/restore, minimize, always-on-top), each
// iconSpace from its neighbour; an empty face has width 0 but keeps its gap.
struct ButtonLefts {
  std::int32_t close = 0;
  std::int32_t max = 0;
  std::int32_t min = 0;
  std::int32_t onTop = 0;
};
ButtonLefts ButtonLeftEdges(double barWidth, const ButtonWidths& widths, std::int16_t fromRight,
                            std::int16_t iconSpace);

// Horizontal extents of the buttons for the pointer's hit test, in single
// precision as the pointer position comes. The same expressions as the left
// edges above, but not rounded to whole pixels.
struct ButtonExtent {
  float left = 0;
  float right = 0;
  // Strictly between the bounds: a point on an edge is outside.
  bool Holds(float x) const { return left < x && x < right; }
};
struct ButtonExtents {
  ButtonExtent close;
  ButtonExtent max;
  ButtonExtent min;
  ButtonExtent onTop;
};
ButtonExtents ButtonHitExtents(double barWidth, const ButtonWidths& widths, std::int16_t fromRight,
                               std::int16_t iconSpace);

// The band the buttons react in, from fromTop down the close face's height,
// whatever the heights of the other faces. Both edges are outside.
bool InButtonBand(float y, std::int16_t fromTop, std::int32_t closeHeight);

// The first button, in the order close, maximize/restore, minimize,
// always-on-top, whose extent holds x. Overlapping extents (negative skin
// offsets) go to the earlier button.
enum class ButtonSlot { None, Close, Max, Min, OnTop };
ButtonSlot ButtonUnder(const ButtonExtents& extents, float x);

// The left edge of the bar's right piece.
std::int32_t RightPieceLeft(double barWidth, std::int32_t rightWidth);

// How many middle tiles start inside a bar of that width; 0 for a tile
// without width, which could never cover anything.
std::int32_t TileCount(double barWidth, std::int32_t tileWidth);

// a + b in 16-bit signed arithmetic; nullopt when the sum leaves the range.
std::optional<std::int16_t> Add16(std::int16_t a, std::int16_t b);

// Pixels to twips in 32 bits; nullopt when the product does not fit.
std::optional<std::int32_t> PixelsToTwips(std::int64_t pixels, std::int32_t twipsPerPixel);

// Where the window goes on a work area (screen pixels): Left and Top in
// twips, or nullopt when the window keeps its position. Only a work area
// touching the screen's top or left edge moves the window.
struct TwipsPoint {
  std::int32_t left = 0;
  std::int32_t top = 0;
};
std::optional<TwipsPoint> WorkAreaPosition(const RECT& workArea, std::int32_t twipsPerPixelX,
                                           std::int32_t twipsPerPixelY);

}  // namespace caption
