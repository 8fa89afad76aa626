// Geometry requests sent to the real window and not yet answered.
//
// The host's model changes at once; the window follows a few milliseconds
// later through configure-events, which may arrive stale (an older size after
// a newer request), collapse (only the last of a burst) or never come (the
// window manager clamped the request). This tells an answer to our own
// request from a change made outside.
#pragma once

#include <cstdint>
#include <deque>

namespace platform::gtk {

struct Geometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Geometry&) const = default;
};

class PendingGeometry {
 public:
  enum class Verdict {
    Answer,   // the window reached one of our requests
    Stale,    // an in-between state while requests are pending: ignore it
    Outside,  // nothing pending: the window manager or the user changed it
  };

  // How long a request may stay unanswered before the window manager is
  // taken to have changed or refused it, and the real geometry is adopted.
  static constexpr std::int64_t SettleMs = 200;

  void Requested(const Geometry& geometry);
  // Sorts a configure-event. A match drops that request and all older ones.
  Verdict Configured(const Geometry& geometry);
  void Clear() { pending_.clear(); }
  bool Empty() const { return pending_.empty(); }

 private:
  std::deque<Geometry> pending_;
};

}  // namespace platform::gtk
