// The drawing area's side of a window's frame: the host's pixels
// (platform/FrameBuffer) painted onto it strip by strip, and, for
// G_MESSAGES_DEBUG=skinshell, when each size the window manager gave was on
// screen and any frame painted at another size than the window's.
#pragma once

// The Win32 subset first: GLib's TRUE and FALSE would break its constants.
#include "platform/FrameBuffer.h"
#include "platform/gtk/ResizeTrace.h"

#include <gtk/gtk.h>

namespace platform::gtk {

class FramePainter {
 public:
  // See FrameBuffer::PrepareFirst.
  void PrepareFirst(int width, int height, int scale) {
    buffer_.PrepareFirst(width, height, scale);
  }
  // The drawing area's draw: has the host render the frame and paints the
  // parts it says are uncovered.
  void Paint(GtkWidget* area, cairo_t* cr, WindowSink& sink);
  // The window was configured at this size (logical pixels).
  void Configured(int width, int height);
  // The frame clock painted: whether the frame was drawn in it, and first
  // set when that was its first time on screen.
  bool TakeDrawn(bool& first);
  // The size last drawn, traced against the window's size (logical pixels).
  void TraceDrawn(int width, int height);

 private:
  FrameBuffer buffer_;
  int drawnScale_ = 1;  // the window scale of the frame last drawn
  ResizeTrace resizeTrace_;
  bool drewFrame_ = false;  // in the frame clock's current frame
  bool framePainted_ = false;
};

}  // namespace platform::gtk
