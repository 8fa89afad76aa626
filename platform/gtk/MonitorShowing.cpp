#include "platform/gtk/MonitorShowing.h"

#include <algorithm>
#include <cstdint>

namespace platform::gtk {

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
  return best;
}

}  // namespace platform::gtk
