// Which monitor shows a window, worked out from geometry GTK already has:
// asking GDK for the monitor at a window costs two round trips to the X
// server, and the host asks for the work area at every size of a live
// resize.
#pragma once

#include <vector>

#include "platform/win32.h"

namespace platform::gtk {

// The index of the monitor sharing the most area with the window, as
// Windows picks the monitor of a window; -1 when the window is on none.
int MonitorShowing(const std::vector<RECT>& monitors, const RECT& window);

}  // namespace platform::gtk
