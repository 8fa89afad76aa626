// Double-click detection for the host's order of mouse events. GTK reports
// a double-click as press, release, press, 2BUTTON_PRESS, release; the host
// wants press, release, double-click, release, so the second press itself
// has to be recognised as the double-click.
#pragma once

#include <cstdint>

namespace platform::gtk {

class ClickTracker {
 public:
  ClickTracker(int timeMs, int distance) : timeMs_(timeMs), distance_(distance) {}

  // A press at screen position (x, y); true when it completes a double-click
  // with the press before it. A third press starts over.
  bool Press(int button, int x, int y, std::uint32_t timeMs);

 private:
  int timeMs_;
  int distance_;
  bool havePress_ = false;
  int button_ = 0;
  int x_ = 0;
  int y_ = 0;
  std::uint32_t time_ = 0;
};

}  // namespace platform::gtk
