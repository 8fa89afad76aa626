// What passes between the host and the window manager, and the steps of the
// start-up, for G_MESSAGES_DEBUG=skinshell.
#pragma once

#include <glib.h>

namespace platform::gtk {

template <class... Args>
void Trace(const char* format, Args... args) {
  g_log("skinshell", G_LOG_LEVEL_DEBUG, format, args...);
}

// A step of the start-up, timed on the monotonic clock for the start-up
// benchmark.
inline void Phase(const char* name, const char* detail = "") {
  Trace("phase %s%s at %" G_GINT64_FORMAT, name, detail, g_get_monotonic_time());
}

}  // namespace platform::gtk
