#include "platform/gtk/ClickTracker.h"

#include <cstdlib>

namespace platform::gtk {

bool ClickTracker::Press(int button, int x, int y, std::uint32_t timeMs) {
  // X server times wrap after about 49 days; unsigned subtraction keeps the
  // interval right across the wrap.
  bool isDouble = havePress_ && button == button_ && timeMs - time_ <= std::uint32_t(timeMs_) &&
                  std::abs(x - x_) <= distance_ && std::abs(y - y_) <= distance_;
  if (isDouble) {
    havePress_ = false;
    return true;
  }
  havePress_ = true;
  button_ = button;
  x_ = x;
  y_ = y;
  time_ = timeMs;
  return false;
}

}  // namespace platform::gtk
