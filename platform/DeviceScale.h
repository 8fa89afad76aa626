// A window's scale: device pixels to one of the host's logical pixels along
// a side, as a fraction. GTK scales by whole numbers; Windows by its display
// setting, 120, 144 or 192 dots per inch against the designed 96.
#pragma once

#include "platform/gdi/Surface.h"

namespace platform {

// Logical pixel i covers device pixels Device(i) to Device(i + 1) - 1: a
// whole number of them, so a skin's pixel is never smeared over a
// neighbour's. At 2 each covers two; at 1.5, one and two in turn.
class DeviceScale {
 public:
  DeviceScale() = default;
  // A whole scale, as GTK gives it; below 1 is 1.
  DeviceScale(int whole);  // NOLINT(google-explicit-constructor): a scale is a number
  // device / logical, reduced; below 1, or with a denominator of 0 or less,
  // it is 1.
  DeviceScale(int device, int logical);

  int Numerator() const { return device_; }
  int Denominator() const { return logical_; }
  bool Whole() const { return logical_ == 1; }
  // The whole part: the scale itself when Whole().
  int Floor() const { return device_ / logical_; }
  // The first device pixel of logical pixel i: floor(i * scale).
  int Device(int logical) const;
  // The logical pixel covering device pixel d.
  int Logical(int device) const;
  // The scale as a number, for sizes that need not be whole (a font's).
  double Factor() const { return static_cast<double>(device_) / logical_; }

  bool operator==(const DeviceScale& other) const {
    return device_ == other.device_ && logical_ == other.logical_;
  }

 private:
  int device_ = 1;
  int logical_ = 1;
};

// Copies a w x h block of src at (sx, sy) to logical (x, y) of dst, a surface
// at `scale`: each source pixel fills the device pixels its logical pixel
// covers (no interpolation). Clipped against both surfaces. At a whole scale
// it is gdi::CopyRectScaled.
void CopyRectMapped(gdi::Surface& dst, int x, int y, int w, int h, const gdi::Surface& src,
                    int sx, int sy, DeviceScale scale);

}  // namespace platform
