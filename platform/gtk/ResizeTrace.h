// How long each size the window manager gives takes to reach the screen, for
// the trace under G_MESSAGES_DEBUG=skinshell and the resize benchmark.
//
// A size is drawn by the first frame painted at it; it is skipped when the
// next size arrives before any frame showed it. Moves at an unchanged size
// are no size change.
#pragma once

#include <cstdint>
#include <optional>

namespace platform::gtk {

class ResizeTrace {
 public:
  struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
  };

  // A configure-event at this size: the size it replaces before it was
  // drawn, if any.
  std::optional<Size> Configured(Size size, std::int64_t nowUs);
  // A frame painted at this size: the milliseconds since its size came, when
  // it is the first frame at the awaited size.
  std::optional<double> Painted(Size size, std::int64_t nowUs);

 private:
  std::optional<Size> last_;     // the last size configured
  std::optional<Size> waiting_;  // configured, not yet painted
  std::int64_t since_ = 0;
};

}  // namespace platform::gtk
