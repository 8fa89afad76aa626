#include "controls/border/EdgeZones.h"

#include "host/Control.h"

namespace border {

EdgeZone ZoneAt(std::int32_t borderType, float x, float y, int width, int height) {
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  if (borderType == 3) {
    // The left corner is tested first, so on a bottom edge too short for two
    // corners the lower-left one wins.
    if (x >= 0 && x <= CornerLength) return {0, host::vbSizeNESW};
    if (x >= w - CornerLength && x <= w) return {2, host::vbSizeNWSE};
    return {1, host::vbSizeNS};
  }
  EdgeZone result{1, host::vbSizeWE};
  const bool inLowerCorner = y >= h - CornerLength && y <= h;
  if (borderType == 1 && inLowerCorner) result = {0, host::vbSizeNESW};
  if (borderType == 2 && inLowerCorner) result = {2, host::vbSizeNWSE};
  return result;
}

WPARAM HitCodeFor(std::int32_t borderType, std::int16_t zone) {
  switch (borderType) {
    case 1:
      if (zone == 0) return HTBOTTOMLEFT;
      if (zone == 1) return HTLEFT;
      return 0;
    case 2:
      if (zone == 1) return HTRIGHT;
      if (zone == 2) return HTBOTTOMRIGHT;
      return 0;
    case 3:
      if (zone == 0) return HTBOTTOMLEFT;
      if (zone == 1) return HTBOTTOM;
      if (zone == 2) return HTBOTTOMRIGHT;
      return 0;
    default:
      return 0;
  }
}

int DockAlignFor(std::int32_t borderType) {
  switch (borderType) {
    case 1:
      return host::vbAlignLeft;
    case 2:
      return host::vbAlignRight;
    case 3:
      return host::vbAlignBottom;
    default:
      return host::vbAlignNone;
  }
}

}  // namespace border
