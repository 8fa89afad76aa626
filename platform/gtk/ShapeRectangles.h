// A window region's spans as the rectangles the X Shape extension takes.
#pragma once

#include <vector>

#include "platform/gdi/Gdi.h"

namespace platform::gtk {

struct ShapeRect {
  int x;
  int y;
  int width;
  int height;
  bool operator==(const ShapeRect&) const = default;
};

// Rows whose spans are the same as the row above are merged into taller
// rectangles, so a rounded outline costs a few dozen rectangles rather than
// one per row. The result is sorted by y, then x (YXBanded order).
//
// The spans are in logical pixels and the shape is in device pixels: at a
// window scale of S every rectangle grows S times in place, so the cut
// corners of a doubled window are twice as large and the rest stays whole.
std::vector<ShapeRect> ShapeRectangles(const std::vector<gdi::Span>& spans, int scale = 1);

}  // namespace platform::gtk
