// The wait for a window manager that may never answer: a request it changed
// or refused, a maximized state it does not report leaving, an iconify it
// does not carry out (there may be no window manager at all). One shot,
// started again by each new request.
#pragma once

#include <functional>

#include "platform/gtk/PendingGeometry.h"

namespace platform::gtk {

class SettleTimer {
 public:
  // The settle time, with a margin: a request is given up on only once it
  // has gone unanswered for all of it.
  static constexpr unsigned Ms = static_cast<unsigned>(PendingGeometry::SettleMs) + 20;

  explicit SettleTimer(std::function<void()> expired) : expired_(std::move(expired)) {}
  ~SettleTimer() { Cancel(); }
  SettleTimer(const SettleTimer&) = delete;
  SettleTimer& operator=(const SettleTimer&) = delete;

  // Starts the wait, or starts it over.
  void Start();
  void Cancel();

 private:
  static int OnExpired(void* data);

  std::function<void()> expired_;
  unsigned source_ = 0;
};

}  // namespace platform::gtk
