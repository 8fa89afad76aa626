#include "platform/gtk/IconProperty.h"

namespace platform::gtk {

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
