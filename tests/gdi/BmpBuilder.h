// Builds BMP files byte by byte, so that tests can vary every header field
// on its own, including to values no encoder would write.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace gdi::testing {

struct BmpLayout {
  int width = 2;
  int height = 2;  // negative: top-down
  int bits = 24;
  std::uint32_t infoSize = 40;
  std::uint32_t compression = 0;
  bool masks = false;  // standard BGRA masks (with alpha mask from 56 bytes)
  std::uint32_t alphaMask = 0xFF000000u;
};

// Pixel (x, y) in top-down picture coordinates as 0xAARRGGBB; the builder
// stores rows in the order the layout asks for.
inline std::vector<std::uint8_t> BuildBmp(const BmpLayout& l,
                                          const std::function<std::uint32_t(int, int)>& pixel) {
  std::vector<std::uint8_t> out;
  auto put16 = [&](std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto put32 = [&](std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  const bool topDown = l.height < 0;
  const int h = topDown ? -l.height : l.height;
  const std::uint32_t stride = (static_cast<std::uint32_t>(l.width) * l.bits + 31) / 32 * 4;
  const std::uint32_t extraMasks = (l.masks && l.infoSize == 40) ? 12 : 0;
  const std::uint32_t offset = 14 + l.infoSize + extraMasks;
  out.push_back('B');
  out.push_back('M');
  put32(offset + stride * h);
  put32(0);
  put32(offset);
  put32(l.infoSize);
  put32(static_cast<std::uint32_t>(l.width));
  put32(static_cast<std::uint32_t>(l.height));
  put16(1);
  put16(static_cast<std::uint32_t>(l.bits));
  put32(l.compression);
  put32(stride * h);
  put32(3780);
  put32(3780);
  put32(0);
  put32(0);
  if (l.infoSize > 40 || l.masks) {
    put32(l.masks ? 0x00FF0000u : 0);
    put32(l.masks ? 0x0000FF00u : 0);
    put32(l.masks ? 0x000000FFu : 0);
    if (l.infoSize >= 56) put32(l.masks ? l.alphaMask : 0);
  }
  out.resize(offset, 0);
  for (int row = 0; row < h; ++row) {
    const int y = topDown ? row : h - 1 - row;
    const std::size_t start = out.size();
    for (int x = 0; x < l.width; ++x) {
      const std::uint32_t p = pixel(x, y);
      out.push_back(static_cast<std::uint8_t>(p));
      out.push_back(static_cast<std::uint8_t>(p >> 8));
      out.push_back(static_cast<std::uint8_t>(p >> 16));
      if (l.bits == 32) out.push_back(static_cast<std::uint8_t>(p >> 24));
    }
    out.resize(start + stride, 0);
  }
  return out;
}

}  // namespace gdi::testing
