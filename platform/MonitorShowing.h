// Which monitor shows a window, worked out from geometry the desktop already
// has: the GTK desktop's alternative, asking GDK for the monitor at a window,
// costs two round trips to the X server, and the host asks for the work area
// at every size of a live resize.
#pragma once

#include <vector>

#include "platform/win32.h"

namespace platform {

// The index of the monitor sharing the most area with the window, as
// Windows picks the monitor of a window; for a window on none (off every
// screen, or of no size), the nearest monitor, the first listed of those as
// near. -1 only when there is no monitor.
int MonitorShowing(const std::vector<RECT>& monitors, const RECT& window);

}  // namespace platform
