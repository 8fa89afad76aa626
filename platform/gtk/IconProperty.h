// The window's icon images as the window manager reads them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Desktop.h"

namespace platform::gtk {

// A pixel of an icon image as _NET_WM_ICON and GdkPixbuf take it: ARGB with
// straight, not premultiplied, colour. An image of fewer than 32 bits has no
// soft edges: its alpha is a mask, and each pixel is shown or not.
std::uint32_t StraightArgb(std::uint32_t premultiplied, int bitsPerPixel);

// _NET_WM_ICON's value: for each image its width, its height, then its pixels
// row by row, one to a CARDINAL, which Xlib hands over as an unsigned long.
std::vector<unsigned long> NetWmIcon(const std::vector<IconImage>& images);

}  // namespace platform::gtk
