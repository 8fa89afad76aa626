#include "platform/gtk/PointerInput.h"

#include "platform/gtk/InputMapping.h"
#include "platform/gtk/Trace.h"

#include <algorithm>
#include <cmath>

// X11 last: it defines macros (None, Bool, Status) that clash with names in
// the headers above.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace platform::gtk {

PointerInput::PointerInput(WindowSink& sink, PointerInput*& captured, CursorCache& cursors)
    : sink_(sink), captured_(captured), cursors_(cursors) {
  GtkSettings* settings = gtk_settings_get_default();
  int doubleClickTime = 400;
  int doubleClickDistance = 5;
  if (settings != nullptr) {
    g_object_get(settings, "gtk-double-click-time", &doubleClickTime, "gtk-double-click-distance",
                 &doubleClickDistance, nullptr);
  }
  clicks_ = ClickTracker(doubleClickTime, doubleClickDistance);
}

PointerInput::~PointerInput() {
  if (captured_ == this) captured_ = nullptr;
}

void PointerInput::Connect(GtkWidget* area) {
  area_ = area;
  g_signal_connect(area, "button-press-event", G_CALLBACK(OnButton), this);
  g_signal_connect(area, "button-release-event", G_CALLBACK(OnButton), this);
  g_signal_connect(area, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(area, "enter-notify-event", G_CALLBACK(OnEnter), this);
  g_signal_connect(area, "grab-broken-event", G_CALLBACK(OnGrabBroken), this);
}

void PointerInput::Disconnect() {
  g_signal_handlers_disconnect_by_data(area_, this);
}

void PointerInput::SetCursor(Cursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  Realized();
}

void PointerInput::Realized() {
  if (GdkWindow* gdkWindow = gtk_widget_get_window(area_)) {
    gdk_window_set_cursor(gdkWindow, cursors_.For(cursor_));
  }
}

void PointerInput::DropCapture() {
  if (captured_ == this) captured_ = nullptr;
}

bool PointerInput::BeginMoveSize(GtkWindow* window, WPARAM hitCode) {
  const Press press = press_;
  if (hitCode == HTCAPTION && press.button == GDK_BUTTON_SECONDARY &&
      ShowWindowMenu(window, press.button)) {
    // The menu has the pointer now, as a loop would.
    Trace("window menu");
  } else if (hitCode == HTCAPTION) {
    // A move loop started at the press outlives a click under xfwm4: GTK
    // cancels it when the release is already queued, and xfwm4 ignores the
    // cancel and keeps its grab until the next release, which eats the next
    // press (a double-click's second one). So the loop starts only once the
    // pointer has travelled with the button down (OnMotion).
    pendingMove_ = press;
  } else if (auto edge = SizingEdge(hitCode)) {
    StartLoop(window, press, static_cast<int>(*edge));
  } else {
    return false;
  }
  Trace("begin move/size %d", static_cast<int>(hitCode));
  // The loop owns the pointer now; no release comes back to this window.
  press_ = Press{};
  DropCapture();
  sink_.OnCaptureReleased();
  return true;
}

void PointerInput::StartLoop(GtkWindow* window, const Press& press, int edge) {
  GdkWindow* gdkWindow = gtk_widget_get_window(GTK_WIDGET(window));
  GdkScreen* screen = gtk_widget_get_screen(GTK_WIDGET(window));
  const bool managed =
      gdkWindow != nullptr && GDK_IS_X11_WINDOW(gdkWindow) &&
      gdk_x11_screen_supports_net_wm_hint(
          screen, gdk_atom_intern_static_string("_NET_WM_MOVERESIZE"));
  if (!managed) {
    // With no window manager GTK runs the loop itself.
    const int x = static_cast<int>(std::floor(press.rootX));
    const int y = static_cast<int>(std::floor(press.rootY));
    if (edge < 0) {
      gtk_window_begin_move_drag(window, static_cast<gint>(press.button), x, y, press.time);
    } else {
      gtk_window_begin_resize_drag(window, static_cast<GdkWindowEdge>(edge),
                                   static_cast<gint>(press.button), x, y, press.time);
    }
    return;
  }
  // The request in the window's own pixels: GTK's calls take whole logical
  // pixels and multiply them by the scale, which at scale 2 starts the loop
  // a device pixel away from a press on an odd one.
  // _NET_WM_MOVERESIZE directions by GdkWindowEdge: top-left 0, clockwise
  // to left 7; 8 is a move.
  static constexpr long Direction[] = {0, 1, 2, 7, 3, 6, 5, 4};
  const long direction = edge < 0 || edge > 7 ? 8 : Direction[edge];
  const int scale = std::max(1, gdk_window_get_scale_factor(gdkWindow));
  GdkDisplay* display = gdk_window_get_display(gdkWindow);
  // The press's implicit grab would keep the window manager from grabbing.
  gdk_seat_ungrab(gdk_display_get_default_seat(display));
  XClientMessageEvent message{};
  message.type = ClientMessage;
  message.window = GDK_WINDOW_XID(gdkWindow);
  message.message_type = gdk_x11_get_xatom_by_name_for_display(display, "_NET_WM_MOVERESIZE");
  message.format = 32;
  message.data.l[0] = std::lround(press.rootX * scale);
  message.data.l[1] = std::lround(press.rootY * scale);
  message.data.l[2] = direction;
  message.data.l[3] = static_cast<long>(press.button);
  message.data.l[4] = 1;  // a normal application
  ::Display* xdisplay = GDK_DISPLAY_XDISPLAY(display);
  XSendEvent(xdisplay, GDK_WINDOW_XID(gdk_screen_get_root_window(screen)), False,
             SubstructureRedirectMask | SubstructureNotifyMask,
             reinterpret_cast<XEvent*>(&message));
  XFlush(xdisplay);
}

// The press is the event GTK is handling: the host's caption asks for the
// loop while it handles the press.
bool PointerInput::ShowWindowMenu(GtkWindow* window, guint button) {
  GdkWindow* gdkWindow = gtk_widget_get_window(GTK_WIDGET(window));
  GdkEvent* event = gtk_get_current_event();
  bool shown = false;
  if (gdkWindow != nullptr && event != nullptr && event->type == GDK_BUTTON_PRESS &&
      event->button.button == button) {
    // False where the window manager has no menu to show for a client
    // (openbox, whose own menu is on its Alt+Space).
    shown = gdk_window_show_window_menu(gdkWindow, event) != FALSE;
  }
  if (event != nullptr) gdk_event_free(event);
  return shown;
}

void PointerInput::ReleaseCapture() {
  DropCapture();
  sink_.OnCaptureReleased();
}

gboolean PointerInput::OnButton(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto& input = *static_cast<PointerInput*>(data);
  // GTK's own double- and triple-click events come after a second press that
  // has already been handled as the double-click.
  if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) return TRUE;
  int button = HostButton(event->button);
  if (button == 0) return TRUE;
  PointerEvent pointer;
  pointer.button = button;
  pointer.shift = HostShift(event->state);
  pointer.x = static_cast<int>(std::floor(event->x));
  pointer.y = static_cast<int>(std::floor(event->y));
  int rootX = static_cast<int>(std::floor(event->x_root));
  int rootY = static_cast<int>(std::floor(event->y_root));
  if (event->type == GDK_BUTTON_PRESS) {
    input.press_ = {event->button, event->x_root, event->y_root, event->time};
    input.captured_ = &input;
    pointer.kind = input.clicks_.Press(button, rootX, rootY, event->time) ? PointerKind::DoubleClick
                                                                          : PointerKind::Down;
  } else {
    if (input.pendingMove_.button == event->button) {
      // A click with no travel starts no loop, and its release stays the
      // loop's, as it would have been had the loop started.
      input.pendingMove_ = Press{};
      return TRUE;
    }
    if (input.press_.button == event->button) input.press_ = Press{};
    input.DropCapture();
    pointer.kind = PointerKind::Up;
  }
  input.sink_.OnPointer(pointer);
  return TRUE;
}

void PointerInput::MoveAt(double x, double y, guint state) {
  PointerEvent pointer;
  pointer.kind = PointerKind::Move;
  pointer.button = HostButtons(state);
  pointer.shift = HostShift(state);
  pointer.x = static_cast<int>(std::floor(x));
  pointer.y = static_cast<int>(std::floor(y));
  sink_.OnPointer(pointer);
}

gboolean PointerInput::OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
  auto& input = *static_cast<PointerInput*>(data);
  const Press press = input.pendingMove_;
  if (press.button == 0) {
    input.MoveAt(event->x, event->y, event->state);
    return TRUE;
  }
  // The pending move belongs to the loop: the host hears none of it.
  if ((event->state & (GDK_BUTTON1_MASK << (press.button - 1))) == 0) {
    input.pendingMove_ = Press{};  // its release was lost
  } else if (gtk_drag_check_threshold(widget, static_cast<gint>(std::floor(press.rootX)),
                                      static_cast<gint>(std::floor(press.rootY)),
                                      static_cast<gint>(std::floor(event->x_root)),
                                      static_cast<gint>(std::floor(event->y_root)))) {
    input.pendingMove_ = Press{};
    StartLoop(GTK_WINDOW(gtk_widget_get_toplevel(widget)), press, -1);
    Trace("move started");
  }
  return TRUE;
}

// The pointer arriving from a web view, from outside, or by the window
// moving under it: the host hears a move at the entry point, as Windows
// sends one, so hover faces and sizing cursors show before the next motion.
// Leaving says nothing.
gboolean PointerInput::OnEnter(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  static_cast<PointerInput*>(data)->MoveAt(event->x, event->y, event->state);
  return TRUE;
}

gboolean PointerInput::OnGrabBroken(GtkWidget*, GdkEvent*, gpointer data) {
  auto& input = *static_cast<PointerInput*>(data);
  // Another grab took the pointer while a button was down: no release will
  // come, and a sizing loop started later must not begin from this press.
  bool held = input.press_.button != 0 || input.captured_ == &input;
  input.press_ = Press{};
  input.pendingMove_ = Press{};
  input.DropCapture();
  if (held) input.sink_.OnCaptureReleased();
  return FALSE;
}

}  // namespace platform::gtk
