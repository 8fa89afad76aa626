#include "platform/DeviceScale.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace platform {

namespace {

// Rounds towards minus infinity, for pixels left of or above a window.
long long FloorDiv(long long a, long long b) {
  const long long q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

DeviceScale::DeviceScale(int whole) : device_(std::max(1, whole)) {}

DeviceScale::DeviceScale(int device, int logical) {
  if (logical <= 0 || device < logical) return;
  const int common = std::gcd(device, logical);
  device_ = device / common;
  logical_ = logical / common;
}

int DeviceScale::Device(int logical) const {
  return static_cast<int>(FloorDiv(static_cast<long long>(logical) * device_, logical_));
}

int DeviceScale::Logical(int device) const {
  // The largest i with Device(i) <= device.
  return static_cast<int>(
      FloorDiv((static_cast<long long>(device) + 1) * logical_ - 1, device_));
}

void CopyRectMapped(gdi::Surface& dst, int x, int y, int w, int h, const gdi::Surface& src,
                    int sx, int sy, DeviceScale scale) {
  if (scale.Whole()) {
    gdi::CopyRectScaled(dst, x, y, w, h, src, sx, sy, scale.Floor());
    return;
  }
  if (w <= 0 || h <= 0 || dst.width <= 0 || dst.height <= 0 || src.width <= 0 ||
      src.height <= 0 ||
      dst.pixels.size() < static_cast<std::size_t>(dst.width) * static_cast<std::size_t>(dst.height) ||
      src.pixels.size() < static_cast<std::size_t>(src.width) * static_cast<std::size_t>(src.height)) {
    return;
  }
  // Each device column and row of the block, clipped to dst, names its
  // source column and row; those outside src are left alone.
  const int left = std::max(0, scale.Device(x));
  const int right = std::min(dst.width, scale.Device(x + w));
  const int top = std::max(0, scale.Device(y));
  const int bottom = std::min(dst.height, scale.Device(y + h));
  if (left >= right || top >= bottom) return;
  std::vector<int> columns(static_cast<std::size_t>(right - left));
  for (int col = left; col < right; ++col) {
    columns[static_cast<std::size_t>(col - left)] = scale.Logical(col) - x + sx;
  }
  for (int row = top; row < bottom; ++row) {
    const int from = scale.Logical(row) - y + sy;
    if (from < 0 || from >= src.height) continue;
    const std::uint32_t* in = src.pixels.data() + static_cast<std::size_t>(from) * src.width;
    std::uint32_t* out = dst.pixels.data() + static_cast<std::size_t>(row) * dst.width;
    for (int col = left; col < right; ++col) {
      const int c = columns[static_cast<std::size_t>(col - left)];
      if (c >= 0 && c < src.width) out[col] = in[c];
    }
  }
}

}  // namespace platform
