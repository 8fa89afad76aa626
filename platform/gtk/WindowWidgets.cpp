#include "platform/gtk/WindowWidgets.h"

#include "platform/gtk/FrameAccessible.h"

#include <algorithm>

namespace platform::gtk {

GtkWidget* NewTopLevel(const Geometry& g) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), std::max(1, g.width), std::max(1, g.height));
  gtk_window_move(GTK_WINDOW(window), g.x, g.y);
  return window;
}

GtkWidget* NewLayout(GtkWidget* window) {
  // Lists only its shown children to assistive tools: the hidden sound view
  // is no part of the window for them.
  GtkWidget* layout = NewFrameLayout();
  gtk_container_add(GTK_CONTAINER(window), layout);
  return layout;
}

GtkWidget* NewDrawingArea(GtkWidget* layout, const Geometry& g, WindowSink& sink) {
  GtkWidget* area = NewFrameArea(sink);
  gtk_widget_set_size_request(area, std::max(1, g.width), std::max(1, g.height));
  gtk_widget_add_events(area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                  GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK);
  gtk_layout_put(GTK_LAYOUT(layout), area, 0, 0);
  return area;
}

}  // namespace platform::gtk
