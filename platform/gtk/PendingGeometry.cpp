#include "platform/gtk/PendingGeometry.h"

namespace platform::gtk {

void PendingGeometry::Requested(const Geometry& geometry) {
  // A long run of requests that are never answered (a window manager that
  // ignores them all) must not grow without end.
  constexpr std::size_t MaxPending = 64;
  if (pending_.size() == MaxPending) pending_.pop_front();
  pending_.push_back(geometry);
}

PendingGeometry::Verdict PendingGeometry::Configured(const Geometry& geometry) {
  if (pending_.empty()) return Verdict::Outside;
  // Search from the newest: when the same geometry was asked twice, the
  // later request is the one answered.
  for (auto it = pending_.rbegin(); it != pending_.rend(); ++it) {
    if (*it == geometry) {
      pending_.erase(pending_.begin(), it.base());
      return Verdict::Answer;
    }
  }
  return Verdict::Stale;
}

}  // namespace platform::gtk
