// The host's pixels of one window, kept between draws in device pixels. One
// buffer serves every size of a live resize: it only ever grows, so a new
// size costs no allocation and no page faults, and what a native child (a
// web view) covers is neither drawn nor shown. The rows a larger size left
// in it lie under those children. The pixels it grows by are left unwritten
// (gdi::Pixels): every pixel that is shown is drawn first.
#pragma once

#include <future>
#include <optional>
#include <vector>

#include "platform/Desktop.h"
#include "platform/gdi/Surface.h"

namespace platform {

class FrameBuffer {
 public:
  // The buffer is megabytes, and the first draw into it would stop at each
  // of its pages for the kernel to map it: 2 ms at scale 2. The pages for a
  // first frame of this size (logical pixels, at scale) are mapped on
  // another core instead, while the window is being made and shown; the
  // first Draw takes them. Nothing once the buffer has pixels.
  void PrepareFirst(int width, int height, int scale);
  // Has the sink draw what no native child covers at width x height device
  // pixels and scale (WindowSink::RenderUncovered). The parts drawn, in
  // device pixels, the only ones to show; none when there is nothing to show
  // (no size, or the sink left the surface at another size).
  std::optional<std::vector<RECT>> Draw(WindowSink& sink, int width, int height,
                                         DeviceScale scale);
  // What the last Draw left, width x height as asked.
  const gdi::Surface& Frame() const { return frame_; }

 private:
  gdi::Surface frame_;
  std::future<gdi::Pixels> first_;
};

}  // namespace platform
