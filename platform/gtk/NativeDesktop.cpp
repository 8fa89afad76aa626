#include "platform/NativeDesktop.h"

#include "platform/gtk/GtkDesktop.h"

// After the Win32 subset, which GLib's TRUE and FALSE macros would break.
#include <gtk/gtk.h>

#include <cstdio>

namespace platform {

std::unique_ptr<Desktop> CreateNativeDesktop(int& argc, char**& argv) {
  // The program places its own window, which only X11 allows; on a Wayland
  // session it runs through XWayland.
  g_setenv("GDK_BACKEND", "x11", TRUE);
  // The first steps of the start-up, for its benchmark.
  g_log("skinshell", G_LOG_LEVEL_DEBUG, "phase main at %" G_GINT64_FORMAT, g_get_monotonic_time());
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "skinshell: cannot open the display (is DISPLAY set?)\n");
    return nullptr;
  }
  g_log("skinshell", G_LOG_LEVEL_DEBUG, "phase gtk ready at %" G_GINT64_FORMAT,
        g_get_monotonic_time());
  // WebKit's overlay scrollbars on a page taller than its view, once they
  // have been shown (the pointer over the page shows them), can keep the web
  // process compositing frames for as long as it lives: about a tenth of a
  // core with nothing on screen changing. Classic scrollbars are drawn once
  // and cost nothing while idle.
  if (GtkSettings* settings = gtk_settings_get_default()) {
    g_object_set(settings, "gtk-overlay-scrolling", FALSE, nullptr);
  }
  return std::make_unique<gtk::GtkDesktop>();
}

}  // namespace platform
