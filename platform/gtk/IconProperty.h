// The window's icon images as the window manager reads them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Desktop.h"

namespace platform::gtk {

// _NET_WM_ICON's value: for each image its width, its height, then its pixels
// row by row in straight colour (StraightArgb), one to a CARDINAL, which
// Xlib hands over as an unsigned long.
std::vector<unsigned long> NetWmIcon(const std::vector<IconImage>& images);

}  // namespace platform::gtk
