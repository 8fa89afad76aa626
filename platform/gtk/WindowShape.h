// A window's region as its X Shape, bounding and input, built in device
// pixels and applied once a size: after every size change, and again when
// the region or the window's scale changes.
#pragma once

// The Win32 subset first: GLib's TRUE and FALSE would break its constants.
#include "platform/OwnedRegion.h"

#include <gtk/gtk.h>

namespace platform::gtk {

class WindowShape {
 public:
  explicit WindowShape(GtkWidget* window) : window_(window) {}

  // Takes the region over; null removes the shape.
  void Region(HRGN region);
  // The window has a new X window, with no shape yet.
  void Realized();
  // Whether the shape was last applied for another size than this.
  bool Stale(int width, int height) const { return width != width_ || height != height_; }
  // Applies the shape for a window of this size, unless it was already.
  void Apply(int width, int height);

 private:
  GtkWidget* window_;
  OwnedRegion region_;
  int width_ = -1;  // the size the shape was last applied for
  int height_ = -1;
  int scale_ = 1;  // the window scale it was applied at
};

}  // namespace platform::gtk
