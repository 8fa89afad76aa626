#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace gdi {

namespace {

// Surfaces are plain structs, so a caller can leave the pixel vector out of
// step with the size; such a surface is treated as empty rather than read
// past its end.
bool Consistent(const Surface& s) {
  return s.width >= 0 && s.height >= 0 &&
         s.pixels.size() >= static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height);
}

// Clips [start, start + length) to [0, limit); false when nothing is left.
bool Clip(long long& start, long long& length, long long limit) {
  if (start < 0) {
    length += start;
    start = 0;
  }
  length = std::min(length, limit - start);
  return length > 0;
}

std::uint32_t Channel(std::uint32_t pixel, int shift) {
  return (pixel >> shift) & 0xFFu;
}

}  // namespace

void Surface::Resize(int w, int h, std::uint32_t fill) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (w == width && h == height && Consistent(*this)) return;
  Surface resized(w, h, fill);
  if (Consistent(*this)) {
    const int keepW = std::min(w, width);
    const int keepH = std::min(h, height);
    for (int y = 0; keepW > 0 && y < keepH; ++y) {
      std::memcpy(resized.Row(y), Row(y), static_cast<std::size_t>(keepW) * 4);
    }
  }
  *this = std::move(resized);
}

std::uint32_t ResolveColor(std::uint32_t colorref) {
  if ((colorref & 0xFF000000u) != 0x80000000u) return colorref;
  // The light theme's defaults. Unknown system colours read as black.
  switch (colorref & 0x00FFFFFFu) {
    case 4:   // COLOR_MENU
    case 15:  // COLOR_BTNFACE
      return 0x00F0F0F0u;
    case 5:   // COLOR_WINDOW
    case 14:  // COLOR_HIGHLIGHTTEXT
    case 20:  // COLOR_BTNHIGHLIGHT
      return 0x00FFFFFFu;
    case 13:  // COLOR_HIGHLIGHT
      return 0x00D77800u;
    case 16:  // COLOR_BTNSHADOW
      return 0x00A0A0A0u;
    case 17:  // COLOR_GRAYTEXT
      return 0x006D6D6Du;
    case 21:  // COLOR_3DDKSHADOW
      return 0x00696969u;
    case 22:  // COLOR_3DLIGHT
      return 0x00E3E3E3u;
    case 24:  // COLOR_INFOBK
      return 0x00E1FFFFu;
    default:  // COLOR_WINDOWTEXT 8, COLOR_BTNTEXT 18 and the rest
      return 0;
  }
}

std::uint32_t ColorToPixel(std::uint32_t colorref) {
  const std::uint32_t c = ResolveColor(colorref);
  return 0xFF000000u | (Channel(c, 0) << 16) | (Channel(c, 8) << 8) | Channel(c, 16);
}

std::uint32_t PixelToColor(std::uint32_t argb) {
  return Channel(argb, 16) | (Channel(argb, 8) << 8) | (Channel(argb, 0) << 16);
}

void CopyRect(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy) {
  long long dx = x, dy = y, cw = w, ch = h, srcX = sx, srcY = sy;
  // Clip against the destination, moving the source with it, then against
  // the source, moving the destination with it.
  if (dx < 0) srcX -= dx;
  if (dy < 0) srcY -= dy;
  if (!Clip(dx, cw, dst.width) || !Clip(dy, ch, dst.height)) return;
  if (srcX < 0) dx -= srcX;
  if (srcY < 0) dy -= srcY;
  if (!Clip(srcX, cw, src.width) || !Clip(srcY, ch, src.height)) return;
  if (!Consistent(dst) || !Consistent(src)) return;
  const auto dstStride = static_cast<std::ptrdiff_t>(dst.width);
  const auto srcStride = static_cast<std::ptrdiff_t>(src.width);
  std::uint32_t* to = dst.pixels.data() + dy * dstStride + dx;
  const std::uint32_t* from = src.pixels.data() + srcY * srcStride + srcX;
  const std::size_t rowBytes = static_cast<std::size_t>(cw) * 4;
  if (&dst != &src) {
    // One-pixel columns are common (edge pieces) and cheaper than a call.
    if (cw == 1) {
      for (long long row = 0; row < ch; ++row, to += dstStride, from += srcStride) *to = *from;
      return;
    }
    // Tiles are narrow: 16-byte moves inline beat a library call per row.
    if (cw <= 64) {
      const long long chunks = cw / 4;
      const long long rest = cw % 4;
      for (long long row = 0; row < ch; ++row, to += dstStride, from += srcStride) {
        for (long long i = 0; i < chunks; ++i) std::memcpy(to + 4 * i, from + 4 * i, 16);
        for (long long i = cw - rest; i < cw; ++i) to[i] = from[i];
      }
      return;
    }
    for (long long row = 0; row < ch; ++row, to += dstStride, from += srcStride) {
      std::memcpy(to, from, rowBytes);
    }
    return;
  }
  // A copy within one surface may overlap: walk the rows away from the
  // destination so that no source row is overwritten before it is read.
  if (dy > srcY) {
    to += (ch - 1) * dstStride;
    from += (ch - 1) * srcStride;
    for (long long row = 0; row < ch; ++row, to -= dstStride, from -= srcStride) {
      std::memmove(to, from, rowBytes);
    }
    return;
  }
  for (long long row = 0; row < ch; ++row, to += dstStride, from += srcStride) {
    std::memmove(to, from, rowBytes);
  }
}

void CopyRectScaled(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                    int scale) {
  if (scale <= 1) {
    CopyRect(dst, x, y, w, h, src, sx, sy);
    return;
  }
  if (!Consistent(dst) || !Consistent(src) || w <= 0 || h <= 0) return;
  // The block in source pixels, clipped against the source, then in device
  // rows and columns, clipped against the destination.
  long long srcX = sx, srcY = sy, cw = w, ch = h, dx = x, dy = y;
  if (srcX < 0) dx -= srcX;
  if (srcY < 0) dy -= srcY;
  if (!Clip(srcX, cw, src.width) || !Clip(srcY, ch, src.height)) return;
  const long long s = scale;
  long long left = dx * s, top = dy * s, width = cw * s, height = ch * s;
  const long long firstX = left, firstY = top;
  if (!Clip(left, width, dst.width) || !Clip(top, height, dst.height)) return;
  for (long long row = top; row < top + height; ++row) {
    const std::uint32_t* from =
        src.pixels.data() + (srcY + (row - firstY) / s) * static_cast<long long>(src.width) + srcX;
    std::uint32_t* to = dst.pixels.data() + row * static_cast<long long>(dst.width);
    for (long long col = left; col < left + width; ++col) to[col] = from[(col - firstX) / s];
  }
}

void FillRect(Surface& dst, int x, int y, int w, int h, std::uint32_t argb) {
  long long dx = x, dy = y, cw = w, ch = h;
  if (!Consistent(dst) || !Clip(dx, cw, dst.width) || !Clip(dy, ch, dst.height)) return;
  for (long long row = dy; row < dy + ch; ++row) {
    std::uint32_t* p = dst.Row(static_cast<int>(row)) + dx;
    std::fill(p, p + cw, argb);
  }
}

namespace {

// Straight (not premultiplied) alpha, source over destination.
std::uint32_t Blend(std::uint32_t under, std::uint32_t over) {
  const std::uint32_t a = over >> 24;
  if (a == 0xFF) return over;
  if (a == 0) return under;
  const std::uint32_t ua = under >> 24;
  const std::uint32_t outA = a + ua * (255 - a) / 255;
  if (outA == 0) return 0;
  std::uint32_t out = outA << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t c =
        (Channel(over, shift) * a * 255 + Channel(under, shift) * ua * (255 - a)) / (outA * 255);
    out |= std::min(c, 255u) << shift;
  }
  return out;
}

}  // namespace

void StretchBlend(Surface& dst, int x, int y, int w, int h, const Surface& src,
                  const RECT* clip) {
  if (w <= 0 || h <= 0 || src.width <= 0 || src.height <= 0) return;
  if (!Consistent(dst) || !Consistent(src)) return;
  long long dx = x, dy = y, cw = w, ch = h;
  if (!Clip(dx, cw, dst.width) || !Clip(dy, ch, dst.height)) return;
  if (clip) {
    const long long x0 = std::max<long long>(dx, clip->left);
    const long long y0 = std::max<long long>(dy, clip->top);
    const long long x1 = std::min<long long>(dx + cw, clip->right);
    const long long y1 = std::min<long long>(dy + ch, clip->bottom);
    if (x0 >= x1 || y0 >= y1) return;
    dx = x0;
    dy = y0;
    cw = x1 - x0;
    ch = y1 - y0;
  }
  for (long long row = dy; row < dy + ch; ++row) {
    const long long srcY = (row - y) * src.height / h;
    const std::uint32_t* from = src.Row(static_cast<int>(srcY));
    std::uint32_t* to = dst.Row(static_cast<int>(row));
    for (long long col = dx; col < dx + cw; ++col) {
      const long long srcX = (col - x) * src.width / w;
      to[col] = Blend(to[col], from[srcX]);
    }
  }
}

bool ClipBox(const Surface& s, int x, int y, int w, int h, const RECT* clip, RECT& box) {
  if (!s.HasPixels() || w <= 0 || h <= 0) return false;
  long long left = std::max<long long>(x, 0);
  long long top = std::max<long long>(y, 0);
  long long right = std::min<long long>(static_cast<long long>(x) + w, s.width);
  long long bottom = std::min<long long>(static_cast<long long>(y) + h, s.height);
  if (clip) {
    left = std::max<long long>(left, clip->left);
    top = std::max<long long>(top, clip->top);
    right = std::min<long long>(right, clip->right);
    bottom = std::min<long long>(bottom, clip->bottom);
  }
  if (left >= right || top >= bottom) return false;
  box = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
             static_cast<LONG>(bottom)};
  return true;
}

}  // namespace gdi
