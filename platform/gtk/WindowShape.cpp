#include "platform/gtk/WindowShape.h"

#include "platform/gdi/Gdi.h"
#include "platform/gtk/ShapeRectangles.h"

// X11 last: it defines macros (None, Bool, Status) that clash with names in
// the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <vector>

namespace platform::gtk {

void WindowShape::Region(HRGN region) {
  region_.Reset(region);
  width_ = -1;
}

void WindowShape::Realized() {
  width_ = -1;
  height_ = -1;
}

// The X Shape extension directly: GDK's shape calls on a mapped window only
// take effect at the next resize, and then for the old size.
void WindowShape::Apply(int width, int height) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window_);
  if (gdkWindow == nullptr || !GDK_IS_X11_WINDOW(gdkWindow)) return;
  Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
  ::Window xid = GDK_WINDOW_XID(gdkWindow);
  // GTK works in logical pixels; the X Shape is in the window's own pixels.
  const int scale = std::max(1, gdk_window_get_scale_factor(gdkWindow));
  if (scale != scale_) {
    scale_ = scale;
    width_ = -1;
  }
  if (width == width_ && height == height_) return;
  if (region_ == nullptr) {
    XShapeCombineMask(display, xid, ShapeBounding, 0, 0, None, ShapeSet);
    // xfwm4 copies a client's input shape onto its frame when the shape
    // changes, not when the window is resized: a removed input shape would
    // leave the frame taking input at the size the window had then (a
    // restore's, after a maximize). One rectangle of the window's size, set
    // again at every size, keeps the frame's copy whole.
    XRectangle whole{0, 0, static_cast<unsigned short>(std::max(1, width) * scale),
                     static_cast<unsigned short>(std::max(1, height) * scale)};
    XShapeCombineRectangles(display, xid, ShapeInput, 0, 0, &whole, 1, ShapeSet, YXBanded);
    width_ = width;
    height_ = height;
    return;
  }
  std::vector<ShapeRect> rects = ShapeRectangles(gdi::RegionSpans(region_, width, height), scale);
  std::vector<XRectangle> xrects;
  xrects.reserve(rects.size());
  for (const ShapeRect& r : rects) {
    xrects.push_back({static_cast<short>(r.x), static_cast<short>(r.y),
                      static_cast<unsigned short>(r.width), static_cast<unsigned short>(r.height)});
  }
  for (int kind : {ShapeBounding, ShapeInput}) {
    XShapeCombineRectangles(display, xid, kind, 0, 0, xrects.data(),
                            static_cast<int>(xrects.size()), ShapeSet, YXBanded);
  }
  width_ = width;
  height_ = height;
}

}  // namespace platform::gtk
