// Previews of a skin for its author and the docs: the window frame drawn by
// the program's own frame controls, on the headless desktop.
#pragma once

#include <string>
#include <vector>

#include "host/PropertyBag.h"
#include "platform/gdi/Surface.h"
#include "skin/FrameSkins.h"

namespace skintool {

// The window frame at the given width in its normal state, as the main
// window's caption and edges draw it from the skin file at skinPath (the
// bar with a stand-in icon, the caption text and the normal faces of every
// button, the pin button's included; the three edges; the window background
// between them), and under it a bar of every button's normal, hover and
// pressed faces taken from skin, the file's content. What the controls'
// reader says about the file goes to say.
gdi::Surface RenderPreview(const std::string& skinPath, const host::PropertyBag& skin, int width,
                           const skin::FrameSkins::Sink& say,
                           const std::string& caption = "skinshell");

// Previews one under the other on a neutral backdrop.
gdi::Surface StackPreviews(const std::vector<gdi::Surface>& previews);

}  // namespace skintool
