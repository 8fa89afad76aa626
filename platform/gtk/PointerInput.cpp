#include "platform/gtk/PointerInput.h"

#include "platform/gtk/InputMapping.h"
#include "platform/gtk/Trace.h"

#include <cmath>

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
  if (hitCode == HTCAPTION) {
    gtk_window_begin_move_drag(window, static_cast<gint>(press.button), press.rootX, press.rootY,
                               press.time);
  } else if (auto edge = SizingEdge(hitCode)) {
    gtk_window_begin_resize_drag(window, *edge, static_cast<gint>(press.button), press.rootX,
                                 press.rootY, press.time);
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
    input.press_ = {event->button, rootX, rootY, event->time};
    input.captured_ = &input;
    pointer.kind = input.clicks_.Press(button, rootX, rootY, event->time) ? PointerKind::DoubleClick
                                                                          : PointerKind::Down;
  } else {
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

gboolean PointerInput::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  static_cast<PointerInput*>(data)->MoveAt(event->x, event->y, event->state);
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
  input.DropCapture();
  if (held) input.sink_.OnCaptureReleased();
  return FALSE;
}

}  // namespace platform::gtk
