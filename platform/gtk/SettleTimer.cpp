#include "platform/gtk/SettleTimer.h"

#include <glib.h>

namespace platform::gtk {

void SettleTimer::Start() {
  Cancel();
  source_ = g_timeout_add(Ms, OnExpired, this);
}

void SettleTimer::Cancel() {
  if (source_ == 0) return;
  g_source_remove(source_);
  source_ = 0;
}

int SettleTimer::OnExpired(void* data) {
  auto& timer = *static_cast<SettleTimer*>(data);
  timer.source_ = 0;
  timer.expired_();
  return G_SOURCE_REMOVE;
}

}  // namespace platform::gtk
