// The host's pixels of one window, kept between draws in device pixels. One
// buffer serves every size of a live resize: it only ever grows, so a new
// size costs no allocation and no page faults, and what a native child (a
// web view) covers is neither drawn nor shown. The rows a larger size left
// in it lie under those children.
#pragma once

#include <optional>
#include <vector>

#include "platform/Desktop.h"
#include "platform/gdi/Surface.h"

namespace platform {

class FrameBuffer {
 public:
  // Has the sink draw what no native child covers at width x height device
  // pixels and scale (WindowSink::RenderUncovered). The parts drawn, in
  // device pixels, the only ones to show; none when there is nothing to show
  // (no size, or the sink left the surface at another size).
  std::optional<std::vector<RECT>> Draw(WindowSink& sink, int width, int height,
                                         DeviceScale scale);
  // What the last Draw left, width x height as asked.
  const gdi::Surface& Frame() const { return frame_; }
  gdi::Surface& Frame() { return frame_; }
  // Pages mapped ahead of the first draw, taken when larger than the
  // buffer's own.
  void Take(gdi::Pixels prepared);
  bool Allocated() const { return !frame_.pixels.empty(); }

 private:
  gdi::Surface frame_;
};

}  // namespace platform
