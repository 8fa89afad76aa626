// The widgets of one window: an undecorated top level, the layout that holds
// the drawing area and the web views, and the drawing area under them.
#pragma once

// The Win32 subset first: GLib's TRUE and FALSE would break its constants.
#include "platform/Desktop.h"
#include "platform/gtk/PendingGeometry.h"

#include <gtk/gtk.h>

namespace platform::gtk {

GtkWidget* NewTopLevel(const Geometry& g);
GtkWidget* NewLayout(GtkWidget* window);
// Full size under the web views: it shows the frame and takes the mouse
// wherever no web view covers it.
GtkWidget* NewDrawingArea(GtkWidget* layout, const Geometry& g, WindowSink& sink);

}  // namespace platform::gtk
