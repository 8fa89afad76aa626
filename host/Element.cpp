#include "host/Element.h"

#include <cstdlib>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"

namespace host {

host::Font Label::Scaled(host::Font font, int scale) {
  if (scale > 1) font.Size *= scale;
  return font;
}

void Label::Draw(gdi::Surface& target, int originX, int originY, const RECT& clip,
                 int scale) const {
  if (!Visible || Caption.empty() || Width <= 0 || Height <= 0) return;
  HDC dc = gdi::CreateSurfaceDC(&target);
  if (!dc) return;
  gdi::DrawTextLine(dc, originX + Left * scale, originY + Top * scale, Width * scale,
                    Height * scale, Caption, DrawnFont(scale), ForeColor, &clip);
  gdi::DeleteSurfaceDC(dc);
}

void Label::DrawOnto(HDC dc) const {
  if (!Visible || Caption.empty()) return;
  gdi::DrawTextLine(dc, Left, Top, Width, Height, Caption, Font, ForeColor);
}

void Label::TextSize(int& width, int& height) const {
  gdi::MeasureText(Caption, Font, width, height);
}

void Image::Draw(gdi::Surface& target, int originX, int originY, const RECT& clip,
                 int scale) const {
  if (!Visible || !Picture || Width <= 0 || Height <= 0) return;
  const gdi::Surface* picture = Picture.get();
  if (scale > 1) {
    const int width = Width * scale;
    const int height = Height * scale;
    auto distance = [&](const gdi::Surface& s) {
      return std::abs(s.width - width) + std::abs(s.height - height);
    };
    for (const auto& other : OtherSizes) {
      if (other && distance(*other) < distance(*picture)) picture = other.get();
    }
  }
  gdi::StretchBlend(target, originX + Left * scale, originY + Top * scale, Width * scale,
                    Height * scale, *picture, &clip);
}

}  // namespace host
