#include "platform/FrameBuffer.h"

namespace platform {

std::optional<std::vector<RECT>> FrameBuffer::Draw(WindowSink& sink, int width, int height,
                                                   DeviceScale scale) {
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

void FrameBuffer::Take(gdi::Pixels prepared) {
  if (prepared.size() > frame_.pixels.size()) frame_.pixels.swap(prepared);
}

}  // namespace platform
