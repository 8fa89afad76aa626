// The yardstick for the program's start-up: an undecorated window of the
// same size with one web view on the same page and nothing else. Prints
// "load finished: URI" on stderr when the page has loaded, as the program
// does with G_MESSAGES_DEBUG=skinshell.
//
//   bare_webkit /path/to/dist/html/index.html
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>

namespace {

void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
  if (event == WEBKIT_LOAD_FINISHED) {
    std::fprintf(stderr, "load finished: %s\n", webkit_web_view_get_uri(view));
  }
}

}  // namespace

int main(int argc, char** argv) {
  g_setenv("GDK_BACKEND", "x11", TRUE);
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "bare_webkit: cannot open the display\n");
    return 1;
  }
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
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), width, height);
  gtk_window_move(GTK_WINDOW(window), (screen.width - width) / 2, (screen.height - height) / 2);
  GtkWidget* view = webkit_web_view_new();
  g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), nullptr);
  gtk_container_add(GTK_CONTAINER(window), view);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri);
  g_free(uri);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
