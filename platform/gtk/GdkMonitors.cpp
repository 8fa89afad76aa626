#include "platform/gtk/GdkMonitors.h"

#include <algorithm>

namespace platform::gtk {

namespace {

RECT RectOf(const GdkRectangle& r) {
  return {r.x, r.y, r.x + r.width, r.y + r.height};
}

GdkMonitor* Primary(GdkDisplay* display) {
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  return monitor != nullptr ? monitor : gdk_display_get_monitor(display, 0);
}

}  // namespace

std::vector<RECT> MonitorRectangles() {
  std::vector<RECT> monitors;
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return monitors;
  int count = gdk_display_get_n_monitors(display);
  for (int i = 0; i < count; ++i) {
    GdkRectangle r;
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &r);
    monitors.push_back(RectOf(r));
  }
  return monitors;
}

RECT PrimaryMonitorRectangle() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display != nullptr ? Primary(display) : nullptr;
  if (monitor == nullptr) return {};
  GdkRectangle r;
  gdk_monitor_get_geometry(monitor, &r);
  return RectOf(r);
}

int PrimaryMonitorScale() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display != nullptr ? Primary(display) : nullptr;
  return monitor == nullptr ? 1 : std::max(1, gdk_monitor_get_scale_factor(monitor));
}

GdkMonitor* MonitorAt(int index) {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return nullptr;
  GdkMonitor* monitor = index >= 0 ? gdk_display_get_monitor(display, index) : nullptr;
  return monitor != nullptr ? monitor : Primary(display);
}

}  // namespace platform::gtk
