#include "host/Element.h"

#include <cstdlib>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"

namespace host {

RECT Element::DeviceRect(int controlX, int controlY, platform::DeviceScale scale) const {
  const int x = controlX + Left;
  const int y = controlY + Top;
  return {scale.Device(x), scale.Device(y), scale.Device(x + Width), scale.Device(y + Height)};
}

host::Font Label::Scaled(host::Font font, platform::DeviceScale scale) {
  if (scale.Whole()) {
    if (scale.Floor() > 1) font.Size *= scale.Floor();
  } else {
    font.Size *= scale.Factor();
  }
  return font;
}

void Label::Draw(gdi::Surface& target, int controlX, int controlY, const RECT& clip,
                 platform::DeviceScale scale) const {
  if (!Visible || Caption.empty() || Width <= 0 || Height <= 0) return;
  HDC dc = gdi::CreateSurfaceDC(&target);
  if (!dc) return;
  const RECT r = DeviceRect(controlX, controlY, scale);
  gdi::DrawTextLine(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, Caption,
                    DrawnFont(scale), ForeColor, &clip);
  gdi::DeleteSurfaceDC(dc);
}

void Label::DrawOnto(HDC dc) const {
  if (!Visible || Caption.empty()) return;
  gdi::DrawTextLine(dc, Left, Top, Width, Height, Caption, Font, ForeColor);
}

void Label::TextSize(int& width, int& height) const {
  gdi::MeasureText(Caption, Font, width, height);
}

void Image::Draw(gdi::Surface& target, int controlX, int controlY, const RECT& clip,
                 platform::DeviceScale scale) const {
  if (!Visible || !Picture || Width <= 0 || Height <= 0) return;
  const gdi::Surface* picture = Picture.get();
  const RECT r = DeviceRect(controlX, controlY, scale);
  if (!(scale == platform::DeviceScale(1))) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    auto distance = [&](const gdi::Surface& s) {
      return std::abs(s.width - width) + std::abs(s.height - height);
    };
    for (const auto& other : OtherSizes) {
      if (other && distance(*other) < distance(*picture)) picture = other.get();
    }
  }
  gdi::StretchBlend(target, r.left, r.top, r.right - r.left, r.bottom - r.top, *picture, &clip);
}

}  // namespace host
