// The icon images handed to the window manager.
#include <gtest/gtest.h>

#include "app/AppIcon.h"

namespace {

TEST(AppIcon, HasTheSevenSizesAndDepthsTheWindowManagerPicksFrom) {
  const std::vector<platform::IconImage> images = app::AppIcon();
  const std::vector<std::pair<int, int>> expected = {{16, 24}, {16, 32}, {24, 32}, {32, 24},
                                                     {32, 32}, {48, 32}, {64, 32}};
  ASSERT_EQ(images.size(), expected.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    EXPECT_EQ(images[i].pixels.width, expected[i].first);
    EXPECT_EQ(images[i].pixels.height, expected[i].first);
    EXPECT_EQ(images[i].bitsPerPixel, expected[i].second);
  }
}

TEST(AppIcon, IsOpaqueInTheMiddleAndPremultipliedAtItsEdges) {
  for (const platform::IconImage& image : app::AppIcon()) {
    const gdi::Surface& s = image.pixels;
    const int n = s.width;
    EXPECT_EQ(s.At(0, 0) >> 24, 0u) << n;  // rounded corner
    EXPECT_EQ(s.At(n / 2, n / 2) >> 24, 0xFFu) << n;
    bool partial = false;
    for (std::uint32_t px : s.pixels) {
      const std::uint32_t a = px >> 24;
      if (a != 0 && a != 0xFF) partial = true;
      EXPECT_LE((px >> 16) & 0xFF, a);
      EXPECT_LE((px >> 8) & 0xFF, a);
      EXPECT_LE(px & 0xFF, a);
    }
    // Colour images with a mask have no soft edges.
    EXPECT_EQ(partial, image.bitsPerPixel == 32) << n;
  }
}

}  // namespace
