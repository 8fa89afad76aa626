// The work areas of the monitors, read from GDK once and kept.
//
// Reading one costs GDK two or three round trips to the X server, and the
// host asks at every size of a live resize, several times in a maximize. A
// work area lives in the root window's properties, so what was read is kept
// until one of them changes (property changes are added to the events GDK
// selects on the root window) or the monitors do. Where that watch cannot
// be set up, it is kept for one turn of the main loop: within one no change
// can have been heard of.
#pragma once

// The Win32 subset first: GLib's TRUE and FALSE would break its constants.
#include "platform/win32.h"

#include <gdk/gdk.h>

#include <map>

namespace platform::gtk {

class WorkAreas {
 public:
  WorkAreas();
  ~WorkAreas();
  WorkAreas(const WorkAreas&) = delete;
  WorkAreas& operator=(const WorkAreas&) = delete;

  RECT Of(GdkMonitor* monitor);

 private:
  static GdkFilterReturn OnRootEvent(GdkXEvent* xevent, GdkEvent* event, gpointer data);
  static void OnMonitorsChanged(GdkScreen* screen, gpointer data);
  static gboolean OnTurnEnded(gpointer data);

  std::map<GdkMonitor*, RECT> known_;
  guint turnEnded_ = 0;
  GdkWindow* watchedRoot_ = nullptr;  // whose property changes forget them
  gulong monitorsChanged_ = 0;
};

}  // namespace platform::gtk
