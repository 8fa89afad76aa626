#include "platform/NativeDesktop.h"

#include "platform/gtk/GtkDesktop.h"

// After the Win32 subset, which GLib's TRUE and FALSE macros would break.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <pango/pangocairo.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace platform {

namespace {

// The display's name, kept for the one message written when it goes away.
char lostDisplayMessage[512];

// GDK's own handler ends the program with status 1 but says nothing. Xlib
// must not return from here; only async-signal-safe calls, since the
// connection may die anywhere.
int OnDisplayLost(Display*) {
  ssize_t ignored = ::write(STDERR_FILENO, lostDisplayMessage, std::strlen(lostDisplayMessage));
  (void)ignored;
  ::_exit(1);
}

std::string DisplayName() {
  const char* name = gdk_get_display_arg_name();
  if (name == nullptr) name = g_getenv("DISPLAY");
  return name != nullptr ? name : "";
}

// A web view holds a text view of GTK's, which lays out its text in GTK's
// font when the window is first drawn. Asked for now, the font's faces are
// matched on Pango's fontconfig thread while the window and its web views
// are made, and that first frame does not wait for them.
void PrepareGtkFont(GtkSettings* settings) {
  gchar* name = nullptr;
  g_object_get(settings, "gtk-font-name", &name, nullptr);
  if (name == nullptr) return;
  PangoFontDescription* desc = pango_font_description_from_string(name);
  g_free(name);
  PangoContext* context = gdk_pango_context_get();
  if (PangoFontset* fontset =
          pango_context_load_fontset(context, desc, pango_language_get_default())) {
    g_object_unref(fontset);
  }
  g_object_unref(context);
  pango_font_description_free(desc);
}

}  // namespace

std::unique_ptr<Desktop> CreateNativeDesktop(int& argc, char**& argv) {
  // The program places its own window, which only X11 allows; on a Wayland
  // session it runs through XWayland.
  g_setenv("GDK_BACKEND", "x11", TRUE);
  // The first steps of the start-up, for its benchmark.
  g_log("skinshell", G_LOG_LEVEL_DEBUG, "phase main at %" G_GINT64_FORMAT, g_get_monotonic_time());
  // The window's class (WM_CLASS "skinshell", "Skinshell") is what the
  // desktop entry's StartupWMClass names, whatever the executable was
  // started as.
  g_set_prgname("skinshell");
  if (!gtk_init_check(&argc, &argv)) {
    const std::string name = DisplayName();
    if (name.empty()) {
      std::fprintf(stderr, "skinshell: cannot open the display: DISPLAY is not set\n");
    } else {
      std::fprintf(stderr, "skinshell: cannot open the display %s\n", name.c_str());
    }
    return nullptr;
  }
  g_log("skinshell", G_LOG_LEVEL_DEBUG, "phase gtk ready at %" G_GINT64_FORMAT,
        g_get_monotonic_time());
  // Pango has fontconfig read its configuration and caches on a thread of
  // its own, started when the first font map is made. Left to the first
  // text, that is after the window is mapped, and the first frame waits for
  // it. Started now, it runs while GTK loads its theme on this thread; any
  // earlier, it took a core from opening the display, which keeps this
  // thread and the X server busy. The map is this thread's default, the one
  // GTK uses.
  pango_cairo_font_map_get_default();
  // WebKit's overlay scrollbars on a page taller than its view, once they
  // have been shown (the pointer over the page shows them), can keep the web
  // process compositing frames for as long as it lives: about a tenth of a
  // core with nothing on screen changing. Classic scrollbars are drawn once
  // and cost nothing while idle.
  if (GtkSettings* settings = gtk_settings_get_default()) {
    g_object_set(settings, "gtk-overlay-scrolling", FALSE, nullptr);
    PrepareGtkFont(settings);
  }
  GdkDisplay* display = gdk_display_get_default();
  std::snprintf(lostDisplayMessage, sizeof lostDisplayMessage,
                "skinshell: lost the connection to the display %s (the X server went away)\n",
                display != nullptr ? gdk_display_get_name(display) : DisplayName().c_str());
  XSetIOErrorHandler(OnDisplayLost);
  // A write to the dead server's socket would otherwise end the program by
  // SIGPIPE before Xlib sees the error, without a word.
  std::signal(SIGPIPE, SIG_IGN);
  return std::make_unique<gtk::GtkDesktop>();
}

}  // namespace platform
