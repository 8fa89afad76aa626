// The window manager's window menu (move, size, minimize, maximize, close,
// always on top, as it offers them). What the user picks there comes back
// as the window manager's own requests, through the frame's paths.
#pragma once

#include <gtk/gtk.h>

namespace platform::gtk {

// The key-press handler of a top level: Alt+Space asks for the menu.
gboolean OnWindowMenuKey(GtkWidget* widget, GdkEventKey* event, gpointer data);

}  // namespace platform::gtk
