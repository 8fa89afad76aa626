// A 32-bit pixel buffer: the memory behind bitmaps, control surfaces and
// window frames on every backend.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/win32.h"

namespace gdi {

// An allocator that leaves new elements of a growing vector as the memory
// gives them, rather than writing zeros into them. A window's frame buffer
// grows to megabytes at once, and every pixel of it the screen shows is
// drawn before it is shown: zeroing it first was half of the first frame's
// drawing at scale 2. Every other way to make pixels (a size and a fill,
// assign, Resize) still writes them.
template <class T>
struct LeaveNewPixels : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = LeaveNewPixels<U>;
  };
  LeaveNewPixels() = default;
  template <class U>
  LeaveNewPixels(const LeaveNewPixels<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using Pixels = std::vector<std::uint32_t, LeaveNewPixels<std::uint32_t>>;

// Pixels are native-endian 0xAARRGGBB, the layout of CAIRO_FORMAT_ARGB32, so
// Cairo and Pango draw straight into them. Opaque pixels carry alpha 0xFF.
struct Surface {
  int width = 0;
  int height = 0;
  Pixels pixels;

  Surface() = default;
  Surface(int w, int h, std::uint32_t fill = 0xFF000000u)
      : width(w < 0 ? 0 : w), height(h < 0 ? 0 : h),
        pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

  std::uint32_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
  const std::uint32_t* Row(int y) const {
    return pixels.data() + static_cast<std::size_t>(y) * width;
  }
  std::uint32_t At(int x, int y) const { return Row(y)[x]; }
  // Some pixels, and as many as the size says: a plain struct can be left
  // with its vector out of step, and is then not to be read.
  bool HasPixels() const {
    return width > 0 && height > 0 &&
           pixels.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }
  void Fill(std::uint32_t argb) { pixels.assign(pixels.size(), argb); }

  // Keeps the overlapping pixels and fills the rest, as a control's surface
  // does when it changes size.
  void Resize(int w, int h, std::uint32_t fill);
};

// The part of the box (x, y, w, h) that lies inside clip, when given, and
// on the surface's pixels; false when none of it does. Computed wide, so a
// box of any size and place stays exact.
bool ClipBox(const Surface& s, int x, int y, int w, int h, const RECT* clip, RECT& box);

// 0x00BBGGRR (or a system colour 0x80000000 + n) to an opaque ARGB pixel.
std::uint32_t ColorToPixel(std::uint32_t colorref);
// A system colour's 0x00BBGGRR value; other values are returned unchanged.
std::uint32_t ResolveColor(std::uint32_t colorref);
// An opaque pixel back to 0x00BBGGRR, for tests and tools.
std::uint32_t PixelToColor(std::uint32_t argb);

// Copies a w x h block, clipped against both surfaces.
void CopyRect(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy);
// Copies a w x h block to (x, y) of a surface `scale` times as large, each
// source pixel an exact scale x scale block (no interpolation); x and y are
// in the source's pixels. Clipped against both surfaces.
void CopyRectScaled(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                    int scale);
// Fills a rectangle, clipped.
void FillRect(Surface& dst, int x, int y, int w, int h, std::uint32_t argb);
// Scales src into the rectangle with nearest-neighbour sampling and alpha
// blending, for pictures stretched to their box.
// Only pixels inside clip, when given, are touched.
void StretchBlend(Surface& dst, int x, int y, int w, int h, const Surface& src,
                  const RECT* clip = nullptr);

}  // namespace gdi
