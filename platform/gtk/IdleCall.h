// A call made once the handler under way has returned, before the main loop
// turns to anything else: at a priority above the window system's events
// and the frame clock. Asked for again while waiting, it is still one call.
#pragma once

#include <functional>

namespace platform::gtk {

class IdleCall {
 public:
  explicit IdleCall(std::function<void()> call) : call_(std::move(call)) {}
  ~IdleCall() { Cancel(); }
  IdleCall(const IdleCall&) = delete;
  IdleCall& operator=(const IdleCall&) = delete;

  void Start();
  void Cancel();
  bool Waiting() const { return source_ != 0; }

 private:
  static int OnIdle(void* data);

  std::function<void()> call_;
  unsigned source_ = 0;
};

}  // namespace platform::gtk
