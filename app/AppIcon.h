// The main window's icon, drawn in code so that every size is sharp: a
// rounded tile in the skin's blue holding a small white window with cut top
// corners, like the main window itself.
#pragma once

#include <vector>

#include "platform/Desktop.h"

namespace app {

// Seven images: 16 (24-bit), 16 (32-bit), 24, 32 (24-bit), 32 (32-bit), 48
// and 64 pixels square. 32-bit images have soft, premultiplied edges; 24-bit
// ones are fully opaque or fully transparent, as a colour image with a mask.
std::vector<platform::IconImage> AppIcon();

// The images take a millisecond or two to draw: started here, they are drawn
// on a thread of their own, and AppIcon() takes them from there once.
void StartDrawingAppIcon();

// One image of the icon.
platform::IconImage DrawAppIcon(int size, int bitsPerPixel);

}  // namespace app
