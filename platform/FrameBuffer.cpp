#include "platform/FrameBuffer.h"

#include <algorithm>
#include <new>

namespace platform {

void FrameBuffer::PrepareFirst(int width, int height, int scale) {
  if (first_.valid() || !frame_.pixels.empty()) return;
  const std::size_t s = static_cast<std::size_t>(std::max(1, scale));
  const std::size_t needed = static_cast<std::size_t>(std::max(0, width)) *
                             static_cast<std::size_t>(std::max(0, height)) * s * s;
  if (needed == 0) return;
  first_ = std::async(std::launch::async, [needed] {
    gdi::Pixels pixels;
    try {
      pixels.resize(needed);
    } catch (const std::bad_alloc&) {
      return gdi::Pixels{};  // the draw finds out for itself
    }
    // A write to each page of 4 KiB maps it.
    for (std::size_t i = 0; i < needed; i += 1024) pixels[i] = 0;
    return pixels;
  });
}

std::optional<std::vector<RECT>> FrameBuffer::Draw(WindowSink& sink, int width, int height,
                                                   DeviceScale scale) {
  if (first_.valid()) {
    gdi::Pixels prepared = first_.get();
    if (prepared.size() > frame_.pixels.size()) frame_.pixels.swap(prepared);
  }
  if (width <= 0 || height <= 0) return std::nullopt;
  const std::size_t needed = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (frame_.pixels.size() < needed) frame_.pixels.resize(needed);
  frame_.width = width;
  frame_.height = height;
  std::vector<RECT> uncovered = sink.RenderUncovered(frame_, scale);
  // The host may have drawn into a surface of another size; show only what
  // is there.
  if (frame_.width != width || frame_.height != height || frame_.pixels.size() < needed) {
    return std::nullopt;
  }
  return uncovered;
}

}  // namespace platform
