#include "platform/gtk/IdleCall.h"

#include <glib.h>

namespace platform::gtk {

void IdleCall::Start() {
  if (source_ == 0) source_ = g_idle_add_full(G_PRIORITY_HIGH, OnIdle, this, nullptr);
}

void IdleCall::Cancel() {
  if (source_ == 0) return;
  g_source_remove(source_);
  source_ = 0;
}

int IdleCall::OnIdle(void* data) {
  auto& call = *static_cast<IdleCall*>(data);
  call.source_ = 0;
  call.call_();
  return G_SOURCE_REMOVE;
}

}  // namespace platform::gtk
