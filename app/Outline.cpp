#include "app/Outline.h"

#include "controls/caption/CaptionGeometry.h"

namespace app {

namespace {

constexpr double OutlineTwipsPerPixel = 15.0;

// Halves round to even, as the caption's button positions do.
using caption::RoundHalfEven;

}  // namespace

std::array<POINT, 7> OutlinePoints(double widthTwips, double heightTwips) {
  const LONG w = RoundHalfEven(widthTwips / OutlineTwipsPerPixel);
  const LONG h = RoundHalfEven(heightTwips / OutlineTwipsPerPixel);
  // The right cut is computed from the width itself, not from w - 3, so a
  // width between whole pixels rounds on its own.
  const LONG rightCut = RoundHalfEven((widthTwips - 45.0) / OutlineTwipsPerPixel);
  // The right diagonal goes 4 pixels down against 3 on the left; the
  // window's look depends on it, so it stays.
  return {{{0, h}, {0, 3}, {3, 0}, {rightCut, 0}, {w, 4}, {w, h}, {0, h}}};
}

void ApplyOutline(HWND hwnd, caption::Style2 style2, int widthTwips, int heightTwips) {
  if (style2 != caption::Style2::Normal) {
    SetWindowRgn(hwnd, nullptr, TRUE);
    return;
  }
  const std::array<POINT, 7> points = OutlinePoints(widthTwips, heightTwips);
  HRGN region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
  if (region == nullptr) return;
  // The window owns the region once it is accepted; one that is refused
  // (no window yet) is still ours and would leak every resize.
  if (SetWindowRgn(hwnd, region, TRUE) == 0) DeleteObject(region);
}

}  // namespace app
