// Previews of a skin drawn with the same surfaces and blits as the frame
// controls, for the skin's author and the docs.
#pragma once

#include <string>
#include <vector>

#include "host/PropertyBag.h"
#include "platform/gdi/Surface.h"

namespace skintool {

// The window frame at the given width in its normal state (caption bar with
// icon, text and normal button faces; left, right and bottom edges; the
// window background between them), and under it a bar showing every
// button's normal, hover and pressed faces.
gdi::Surface RenderPreview(const host::PropertyBag& skin, int width,
                           const std::string& caption = "skinshell");

// Previews one under the other on a neutral backdrop.
gdi::Surface StackPreviews(const std::vector<gdi::Surface>& previews);

}  // namespace skintool
