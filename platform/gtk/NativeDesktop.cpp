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
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "skinshell: cannot open the display (is DISPLAY set?)\n");
    return nullptr;
  }
  return std::make_unique<gtk::GtkDesktop>();
}

}  // namespace platform
