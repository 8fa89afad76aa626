// The monitors as GDK knows them, in logical pixels.
#pragma once

// The Win32 subset first: GLib's TRUE and FALSE would break its constants.
#include "platform/win32.h"

#include <gdk/gdk.h>

#include <vector>

namespace platform::gtk {

std::vector<RECT> MonitorRectangles();
// The primary monitor, or the first where none is primary; empty for none.
RECT PrimaryMonitorRectangle();
// The scale a new window starts at: on X11 every monitor has the screen's.
int PrimaryMonitorScale();
// The monitor at this index of MonitorRectangles() (the one Desktop's rule
// picked as showing a window), or the primary one for -1; null for none.
GdkMonitor* MonitorAt(int index);

}  // namespace platform::gtk
