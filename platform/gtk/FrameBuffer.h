// The host's pixels for a window's frame, in device pixels, rendered into
// one buffer per window that only grows: a new size of a live resize costs
// no allocation and no page faults, and the rows of the last size left in
// it lie under the web views, which are never shown. The pixels it grows by
// are left unwritten (gdi::Pixels): every pixel that is shown is drawn
// first.
#pragma once

#include <future>
#include <optional>
#include <vector>

#include "platform/Desktop.h"

namespace platform::gtk {

class FrameBuffer {
 public:
  // The frame buffer is megabytes, and the first draw into it would stop at
  // each of its pages for the kernel to map it: 2 ms at scale 2. The pages
  // for a first frame of this size (logical pixels, at scale) are mapped on
  // another core instead, while the window is realized and mapped; its
  // first render takes them.
  void PrepareFirst(int width, int height, int scale);
  // Has the host render its frame at this size (device pixels): the
  // rectangles of it to show, or none when the host drew another size.
  std::optional<std::vector<RECT>> Render(WindowSink& sink, int width, int height, int scale);
  // What was last rendered, and the window scale it was rendered at.
  const gdi::Surface& Surface() const { return frame_; }
  int Scale() const { return scale_; }

 private:
  gdi::Surface frame_;
  std::future<gdi::Pixels> first_;
  int scale_ = 1;
};

}  // namespace platform::gtk
