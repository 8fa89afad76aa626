// The yardstick for the program's start-up: an undecorated window of the
// same size with one web view on the same page and nothing else. Prints
// "load finished: URI" on stderr when the page has loaded, and when each
// size the window manager gave was drawn, as the program does with
// G_MESSAGES_DEBUG=skinshell. A press in the lower-right corner starts the
// window manager's sizing loop, as the program's corner does, and a
// double-click on its top rows maximizes it or puts it back.
//
//   bare_webkit /path/to/dist/html/index.html
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>

#include "platform/gtk/ResizeTrace.h"

using platform::gtk::ResizeTrace;

namespace {

// The program's start-up steps, timed the same way.
void Phase(const char* name) {
  std::fprintf(stderr, "phase %s at %" G_GINT64_FORMAT "\n", name, g_get_monotonic_time());
}

void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
  if (event == WEBKIT_LOAD_FINISHED) {
    std::fprintf(stderr, "load finished: %s\n", webkit_web_view_get_uri(view));
  }
  if (event == WEBKIT_LOAD_STARTED) Phase("load started");
  if (event == WEBKIT_LOAD_COMMITTED) Phase("load committed");
  if (event == WEBKIT_LOAD_FINISHED) Phase("load finished");
}

gboolean OnMapped(GtkWidget*, GdkEvent*, gpointer) {
  Phase("window mapped");
  return FALSE;
}

// The program's corner zone is about this wide.
constexpr int Corner = 8;
constexpr int Caption = 20;

struct Sizes {
  GtkWidget* window = nullptr;
  ResizeTrace trace;
  bool drew = false;  // in the frame clock's current frame
  bool painted = false;
};

gboolean OnPress(GtkWidget* view, GdkEventButton* event, gpointer) {
  GtkWidget* window = gtk_widget_get_toplevel(view);
  // A double-click on the top rows stands for one on the program's caption.
  if (event->type == GDK_2BUTTON_PRESS && event->button == 1 && event->y < Caption) {
    GdkWindow* gdkWindow = gtk_widget_get_window(window);
    if (gdkWindow != nullptr &&
        (gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_MAXIMIZED) != 0) {
      gtk_window_unmaximize(GTK_WINDOW(window));
    } else {
      gtk_window_maximize(GTK_WINDOW(window));
    }
    return TRUE;
  }
  int width = gtk_widget_get_allocated_width(window);
  int height = gtk_widget_get_allocated_height(window);
  if (event->type != GDK_BUTTON_PRESS || event->button != 1 || event->x < width - Corner ||
      event->y < height - Corner) {
    return FALSE;
  }
  gtk_window_begin_resize_drag(GTK_WINDOW(window), GDK_WINDOW_EDGE_SOUTH_EAST, 1,
                               static_cast<gint>(event->x_root), static_cast<gint>(event->y_root),
                               event->time);
  return TRUE;
}

gboolean OnConfigure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  auto& sizes = *static_cast<Sizes*>(data);
  if (auto skipped = sizes.trace.Configured({event->width, event->height}, g_get_monotonic_time())) {
    std::fprintf(stderr, "size %dx%d skipped\n", skipped->width, skipped->height);
  }
  return FALSE;
}

gboolean OnDraw(GtkWidget*, cairo_t*, gpointer data) {
  static_cast<Sizes*>(data)->drew = true;
  return FALSE;
}

void OnAfterPaint(GdkFrameClock*, gpointer data) {
  auto& sizes = *static_cast<Sizes*>(data);
  if (!sizes.drew) return;
  sizes.drew = false;
  if (!sizes.painted) {
    sizes.painted = true;
    Phase("first frame");
  }
  ResizeTrace::Size drawn{gtk_widget_get_allocated_width(sizes.window),
                          gtk_widget_get_allocated_height(sizes.window)};
  gint64 now = g_get_monotonic_time();
  if (auto ms = sizes.trace.Painted(drawn, now)) {
    std::fprintf(stderr, "size %dx%d drawn after %.2f ms at %" G_GINT64_FORMAT "\n", drawn.width,
                 drawn.height, *ms, now);
  }
}

void OnRealize(GtkWidget* window, gpointer data) {
  if (GdkFrameClock* clock = gtk_widget_get_frame_clock(window)) {
    g_signal_connect(clock, "after-paint", G_CALLBACK(OnAfterPaint), data);
  }
}

}  // namespace

int main(int argc, char** argv) {
  g_setenv("GDK_BACKEND", "x11", TRUE);
  Phase("main");
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "bare_webkit: cannot open the display\n");
    return 1;
  }
  Phase("gtk ready");
  if (argc < 2) {
    std::fprintf(stderr, "usage: bare_webkit PAGE\n");
    return 2;
  }
  gchar* absolute = g_canonicalize_filename(argv[1], nullptr);
  gchar* uri = g_filename_to_uri(absolute, nullptr, nullptr);
  g_free(absolute);
  if (uri == nullptr) return 2;

  const int width = 878;
  const int height = 560;
  GdkRectangle screen{0, 0, width, height};
  if (GdkMonitor* monitor = gdk_display_get_monitor(gdk_display_get_default(), 0)) {
    gdk_monitor_get_geometry(monitor, &screen);
  }
  Phase("window created");
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), width, height);
  gtk_window_move(GTK_WINDOW(window), (screen.width - width) / 2, (screen.height - height) / 2);
  GtkWidget* view = webkit_web_view_new();
  Phase("web view created");
  g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), nullptr);
  g_signal_connect(view, "button-press-event", G_CALLBACK(OnPress), nullptr);
  Sizes sizes;
  sizes.window = window;
  g_signal_connect(window, "configure-event", G_CALLBACK(OnConfigure), &sizes);
  g_signal_connect(window, "draw", G_CALLBACK(OnDraw), &sizes);
  g_signal_connect(window, "realize", G_CALLBACK(OnRealize), &sizes);
  g_signal_connect(window, "map-event", G_CALLBACK(OnMapped), nullptr);
  gtk_container_add(GTK_CONTAINER(window), view);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  Phase("navigate");
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri);
  g_free(uri);
  Phase("window shown");
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
