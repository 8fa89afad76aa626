#include "platform/win/desktop/Dpi.h"

#include <algorithm>

namespace platform::win {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

Dpi::Dpi(UINT dotsPerInch) : dpi_(std::max<UINT>(dotsPerInch, Designed)) {}

RECT Dpi::ToDevice(const RECT& logical) const {
  const int dpi = static_cast<int>(dpi_);
  const int left = MulDiv(logical.left, dpi, Designed);
  const int top = MulDiv(logical.top, dpi, Designed);
  const DeviceScale scale = Scale();
  return {left, top, left + scale.Device(std::max(0, Width(logical))),
          top + scale.Device(std::max(0, Height(logical)))};
}

RECT Dpi::ToLogical(const RECT& device) const {
  const int dpi = static_cast<int>(dpi_);
  const int left = MulDiv(device.left, Designed, dpi);
  const int top = MulDiv(device.top, Designed, dpi);
  const DeviceScale scale = Scale();
  // The fewest logical pixels covering the device ones: one past the
  // logical pixel of the last device pixel.
  auto covering = [&scale](int size) { return size <= 0 ? 0 : scale.Logical(size - 1) + 1; };
  return {left, top, left + covering(Width(device)), top + covering(Height(device))};
}

RECT Dpi::ToDevice(const RECT& logical, const std::vector<RECT>& known) const {
  const RECT computed = ToDevice(logical);
  // Each of left, top, width and height on its own: the host sets them one
  // by one as often as together.
  int left = computed.left, top = computed.top;
  int width = Width(computed), height = Height(computed);
  bool hasLeft = false, hasTop = false, hasWidth = false, hasHeight = false;
  for (const RECT& candidate : known) {
    const RECT told = ToLogical(candidate);
    auto take = [](bool& has, int& value, bool matches, int from) {
      if (!has && matches) {
        value = from;
        has = true;
      }
    };
    take(hasLeft, left, told.left == logical.left, candidate.left);
    take(hasTop, top, told.top == logical.top, candidate.top);
    take(hasWidth, width, Width(told) == Width(logical), Width(candidate));
    take(hasHeight, height, Height(told) == Height(logical), Height(candidate));
  }
  return {left, top, left + width, top + height};
}

}  // namespace platform::win
