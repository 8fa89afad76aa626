#include "platform/gtk/WorkAreas.h"

// X11 last: it defines macros (None, Bool, Status) that clash with names in
// the headers above.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace platform::gtk {

WorkAreas::WorkAreas() {
  GdkScreen* screen = gdk_screen_get_default();
  GdkWindow* root = screen != nullptr ? gdk_screen_get_root_window(screen) : nullptr;
  if (root == nullptr || !GDK_IS_X11_WINDOW(root)) return;
  Display* display = GDK_WINDOW_XDISPLAY(root);
  const ::Window xroot = GDK_WINDOW_XID(root);
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, xroot, &attributes) == 0) return;
  // GDK selects events of its own on the root window straight through Xlib;
  // property changes are added to them, not put in their place.
  XSelectInput(display, xroot, attributes.your_event_mask | PropertyChangeMask);
  gdk_window_add_filter(root, OnRootEvent, this);
  watchedRoot_ = root;
  monitorsChanged_ =
      g_signal_connect(screen, "monitors-changed", G_CALLBACK(OnMonitorsChanged), this);
}

WorkAreas::~WorkAreas() {
  if (turnEnded_ != 0) g_source_remove(turnEnded_);
  if (watchedRoot_ != nullptr) gdk_window_remove_filter(watchedRoot_, OnRootEvent, this);
  if (monitorsChanged_ != 0) {
    g_signal_handler_disconnect(gdk_screen_get_default(), monitorsChanged_);
  }
}

RECT WorkAreas::Of(GdkMonitor* monitor) {
  auto known = known_.find(monitor);
  if (known != known_.end()) return known->second;
  GdkRectangle r;
  gdk_monitor_get_workarea(monitor, &r);
  const RECT area{r.x, r.y, r.x + r.width, r.y + r.height};
  known_[monitor] = area;
  if (watchedRoot_ == nullptr && turnEnded_ == 0) {
    turnEnded_ = g_idle_add_full(G_PRIORITY_HIGH, OnTurnEnded, this, nullptr);
  }
  return area;
}

GdkFilterReturn WorkAreas::OnRootEvent(GdkXEvent* xevent, GdkEvent*, gpointer data) {
  if (static_cast<XEvent*>(xevent)->type == PropertyNotify) {
    static_cast<WorkAreas*>(data)->known_.clear();
  }
  return GDK_FILTER_CONTINUE;
}

void WorkAreas::OnMonitorsChanged(GdkScreen*, gpointer data) {
  static_cast<WorkAreas*>(data)->known_.clear();
}

gboolean WorkAreas::OnTurnEnded(gpointer data) {
  auto& areas = *static_cast<WorkAreas*>(data);
  areas.turnEnded_ = 0;
  areas.known_.clear();
  return G_SOURCE_REMOVE;
}

}  // namespace platform::gtk
