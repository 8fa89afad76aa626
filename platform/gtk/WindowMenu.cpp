#include "platform/gtk/WindowMenu.h"

#include "platform/gtk/Trace.h"

namespace platform::gtk {

// Alt+Space opens the window manager's window menu, as the system menu
// opens on Windows. openbox, xfwm4 and mutter bind the key themselves and
// the window never sees it; this is for those that show the menu only when
// asked. GDK asks only for a press of the pointer, which places the menu: one
// at the window's top-left corner, where Windows opens the menu.
gboolean OnWindowMenuKey(GtkWidget* widget, GdkEventKey* event, gpointer) {
  constexpr guint Modifiers = GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK;
  if (event->keyval != GDK_KEY_space || (event->state & Modifiers) != GDK_MOD1_MASK) return FALSE;
  GdkWindow* gdkWindow = gtk_widget_get_window(widget);
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(widget));
  if (gdkWindow == nullptr || seat == nullptr || gdk_seat_get_pointer(seat) == nullptr) {
    return FALSE;
  }
  GdkEvent* press = gdk_event_new(GDK_BUTTON_PRESS);
  press->button.window = GDK_WINDOW(g_object_ref(gdkWindow));
  press->button.time = event->time;
  press->button.button = GDK_BUTTON_PRIMARY;
  int x = 0;
  int y = 0;
  gdk_window_get_origin(gdkWindow, &x, &y);
  press->button.x_root = x;
  press->button.y_root = y;
  gdk_event_set_device(press, gdk_seat_get_pointer(seat));
  const bool shown = gdk_window_show_window_menu(gdkWindow, press) != FALSE;
  gdk_event_free(press);
  if (shown) Trace("window menu");
  // Unshown, the key goes on to the page.
  return shown ? TRUE : FALSE;
}

}  // namespace platform::gtk
