// The host counts logical pixels, 96 to the inch, as the skins were drawn; a
// window aware of its monitor's dots per inch counts device pixels. Dpi turns
// the one into the other for one monitor's setting.
#pragma once

#include <vector>

#include "platform/DeviceScale.h"
#include "platform/win32.h"

namespace platform::win {

class Dpi {
 public:
  static constexpr int Designed = 96;

  // Below the designed 96 is 96: no pixel of the skin may vanish.
  explicit Dpi(UINT dotsPerInch);
  UINT DotsPerInch() const { return dpi_; }
  DeviceScale Scale() const { return DeviceScale(static_cast<int>(dpi_), Designed); }

  // Positions go to the nearest pixel. Sizes follow the pixel map: a logical
  // size covers Scale().Device(size) device pixels, and a device size is the
  // fewest logical pixels covering it, so that a logical size goes there and
  // back unchanged.
  RECT ToDevice(const RECT& logical) const;
  RECT ToLogical(const RECT& device) const;
  // As above, but an edge or a size that one of the known device rectangles
  // (the window's own of late, a work area) converts to is taken from it:
  // a device size or position need not survive the way there and back, and
  // the host asking for what it was told must move nothing by a pixel.
  RECT ToDevice(const RECT& logical, const std::vector<RECT>& known) const;

 private:
  UINT dpi_;
};

}  // namespace platform::win
