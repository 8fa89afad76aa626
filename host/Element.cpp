#include "host/Element.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"

namespace host {

void Label::Draw(gdi::Surface& target, int originX, int originY, const RECT& clip) const {
  if (!Visible || Caption.empty() || Width <= 0 || Height <= 0) return;
  HDC dc = gdi::CreateSurfaceDC(&target);
  if (!dc) return;
  gdi::DrawTextLine(dc, originX + Left, originY + Top, Width, Height, Caption, Font, ForeColor,
                    &clip);
  DeleteDC(dc);
}

void Image::Draw(gdi::Surface& target, int originX, int originY, const RECT& clip) const {
  if (!Visible || !Picture || Width <= 0 || Height <= 0) return;
  gdi::StretchBlend(target, originX + Left, originY + Top, Width, Height, *Picture, &clip);
}

}  // namespace host
