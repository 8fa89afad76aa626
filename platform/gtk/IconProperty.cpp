#include "platform/gtk/IconProperty.h"

#include <algorithm>

namespace platform::gtk {

std::uint32_t StraightArgb(std::uint32_t premultiplied, int bitsPerPixel) {
  const std::uint32_t alpha = premultiplied >> 24;
  const std::uint32_t shown = bitsPerPixel < 32 ? (alpha >= 0x80 ? 0xFF : 0) : alpha;
  if (shown == 0) return 0;
  std::uint32_t pixel = shown << 24;
  for (int shift : {16, 8, 0}) {
    const std::uint32_t c = (premultiplied >> shift) & 0xFF;
    pixel |= std::min<std::uint32_t>(0xFF, (c * 0xFF + alpha / 2) / alpha) << shift;
  }
  return pixel;
}

std::vector<unsigned long> NetWmIcon(const std::vector<IconImage>& images) {
  std::vector<unsigned long> value;
  for (const IconImage& image : images) {
    const gdi::Surface& s = image.pixels;
    if (!s.HasPixels()) continue;
    value.push_back(static_cast<unsigned long>(s.width));
    value.push_back(static_cast<unsigned long>(s.height));
    for (int y = 0; y < s.height; ++y) {
      const std::uint32_t* row = s.Row(y);
      for (int x = 0; x < s.width; ++x) value.push_back(StraightArgb(row[x], image.bitsPerPixel));
    }
  }
  return value;
}

}  // namespace platform::gtk
