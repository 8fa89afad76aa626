#include "platform/MonitorShowing.h"

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

// How far apart two spans are along one axis; 0 when they meet or overlap.
std::int64_t Gap(LONG aFrom, LONG aTo, LONG bFrom, LONG bTo) {
  if (aTo < bFrom) return std::int64_t{bFrom} - aTo;
  if (bTo < aFrom) return std::int64_t{aFrom} - bTo;
  return 0;
}

}  // namespace

int MonitorShowing(const std::vector<RECT>& monitors, const RECT& window) {
  int best = -1;
  std::int64_t bestArea = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const RECT& m = monitors[i];
    const std::int64_t width =
        std::int64_t{std::min(m.right, window.right)} - std::max(m.left, window.left);
    const std::int64_t height =
        std::int64_t{std::min(m.bottom, window.bottom)} - std::max(m.top, window.top);
    if (width <= 0 || height <= 0 || width * height <= bestArea) continue;
    bestArea = width * height;
    best = static_cast<int>(i);
  }
  if (best >= 0) return best;
  std::int64_t bestDistance = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const RECT& m = monitors[i];
    const std::int64_t dx = Gap(window.left, window.right, m.left, m.right);
    const std::int64_t dy = Gap(window.top, window.bottom, m.top, m.bottom);
    const std::int64_t distance = dx * dx + dy * dy;
    if (best >= 0 && distance >= bestDistance) continue;
    bestDistance = distance;
    best = static_cast<int>(i);
  }
  return best;
}

}  // namespace platform
