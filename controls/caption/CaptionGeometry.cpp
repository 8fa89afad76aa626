#include "controls/caption/CaptionGeometry.h"

#include <cmath>
#include <limits>

namespace caption {

std::int32_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  constexpr double lowest = std::numeric_limits<std::int32_t>::min();
  constexpr double highest = std::numeric_limits<std::int32_t>::max();
  if (value <= lowest) return std::numeric_limits<std::int32_t>::min();
  if (value >= highest) return std::numeric_limits<std::int32_t>::max();
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return static_cast<std::int32_t>(whole);
}

ButtonLefts ButtonLeftEdges(double barWidth, const ButtonWidths& widths, std::int16_t fromRight,
                            std::int16_t iconSpace) {
  // Each edge is one floating-point expression rounded once, so the faces
  // may sit a pixel apart from a sum of rounded parts; the hit test of the
  // buttons measures the same way.
  const double closeLeft = barWidth - widths.close - fromRight;
  const double maxLeft = barWidth - widths.max - iconSpace - widths.close - fromRight;
  const double minLeft =
      barWidth - widths.min - iconSpace - widths.max - iconSpace - widths.close - fromRight;
  const double onTopLeft = barWidth - widths.onTop - iconSpace - widths.min - iconSpace -
                           widths.max - iconSpace - widths.close - fromRight;
  return {RoundHalfEven(closeLeft), RoundHalfEven(maxLeft), RoundHalfEven(minLeft),
          RoundHalfEven(onTopLeft)};
}

ButtonExtents ButtonHitExtents(double barWidth, const ButtonWidths& widths, std::int16_t fromRight,
                               std::int16_t iconSpace) {
  const double closeRight = barWidth - fromRight;
  const double closeLeft = closeRight - widths.close;
  const double maxRight = closeLeft - iconSpace;
  const double maxLeft = maxRight - widths.max;
  const double minRight = maxLeft - iconSpace;
  const double minLeft = minRight - widths.min;
  const double onTopRight = minLeft - iconSpace;
  const double onTopLeft = onTopRight - widths.onTop;
  const auto extent = [](double left, double right) {
    return ButtonExtent{static_cast<float>(left), static_cast<float>(right)};
  };
  return {extent(closeLeft, closeRight), extent(maxLeft, maxRight), extent(minLeft, minRight),
          extent(onTopLeft, onTopRight)};
}

bool InButtonBand(float y, std::int16_t fromTop, std::int32_t closeHeight) {
  const float top = static_cast<float>(fromTop);
  const float bottom = static_cast<float>(static_cast<double>(fromTop) + closeHeight);
  return top < y && y < bottom;
}

ButtonSlot ButtonUnder(const ButtonExtents& extents, float x) {
  if (extents.close.Holds(x)) return ButtonSlot::Close;
  if (extents.max.Holds(x)) return ButtonSlot::Max;
  if (extents.min.Holds(x)) return ButtonSlot::Min;
  if (extents.onTop.Holds(x)) return ButtonSlot::OnTop;
  return ButtonSlot::None;
}

std::int32_t RightPieceLeft(double barWidth, std::int32_t rightWidth) {
  return RoundHalfEven(barWidth - rightWidth);
}

std::int32_t TileCount(double barWidth, std::int32_t tileWidth) {
  if (tileWidth <= 0 || !(barWidth > 0)) return 0;
  const double count = std::ceil(barWidth / tileWidth);
  if (count >= std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(count);
}

std::optional<std::int16_t> Add16(std::int16_t a, std::int16_t b) {
  const std::int32_t sum = static_cast<std::int32_t>(a) + b;
  if (sum < std::numeric_limits<std::int16_t>::min() ||
      sum > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(sum);
}

std::optional<std::int32_t> PixelsToTwips(std::int64_t pixels, std::int32_t twipsPerPixel) {
  const std::int64_t twips = pixels * twipsPerPixel;
  if (twips < std::numeric_limits<std::int32_t>::min() ||
      twips > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(twips);
}

std::optional<TwipsPoint> WorkAreaPosition(const RECT& workArea, std::int32_t twipsPerPixelX,
                                           std::int32_t twipsPerPixelY) {
  const RECT& a = workArea;
  if (a.bottom > 0 && a.left == 0 && a.top == 0) return TwipsPoint{0, 0};
  if (a.left > 0 && a.top == 0) {
    const auto left = PixelsToTwips(a.left, twipsPerPixelX);
    if (!left) return std::nullopt;
    return TwipsPoint{*left, 0};
  }
  if (a.top > 0 && a.left == 0) {
    const auto top = PixelsToTwips(a.top, twipsPerPixelY);
    if (!top) return std::nullopt;
    return TwipsPoint{0, *top};
  }
  if (a.right > 0 && a.top == 0) return TwipsPoint{0, 0};
  return std::nullopt;
}

}  // namespace caption
