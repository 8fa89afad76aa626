#include "platform/DeviceScale.h"

#include <gtest/gtest.h>

namespace {

using platform::DeviceScale;

TEST(DeviceScaleTest, AtOneAndAHalfPixelsCoverOneAndTwoDevicePixelsInTurnAndMapBack) {
  const DeviceScale scale(144, 96);
  EXPECT_EQ(scale.Numerator(), 3);
  EXPECT_EQ(scale.Denominator(), 2);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(scale.Device(i + 1) - scale.Device(i), i % 2 == 0 ? 1 : 2) << i;
  }
  // Every device pixel, left of the window too, belongs to the one pixel
  // covering it.
  for (int d = -6; d < scale.Device(8); ++d) {
    const int i = scale.Logical(d);
    EXPECT_TRUE(scale.Device(i) <= d && d < scale.Device(i + 1)) << d;
  }
  EXPECT_EQ(DeviceScale(192, 96), DeviceScale(2));
  // No scale shrinks a pixel away.
  EXPECT_EQ(DeviceScale(72, 96), DeviceScale(1));
  EXPECT_EQ(DeviceScale(0), DeviceScale(1));
  EXPECT_EQ(DeviceScale(3, 0), DeviceScale(1));
}

TEST(DeviceScaleTest, AMappedCopyGivesEachSourcePixelTheDevicePixelsItCovers) {
  gdi::Surface source(4, 1);
  for (int x = 0; x < 4; ++x) source.pixels[static_cast<std::size_t>(x)] = 0xFF000000u + x;
  gdi::Surface target(9, 2, 0xFFFFFFFFu);
  // Logical x 1 to 5 at 1.5: device columns 1 to 6.
  platform::CopyRectMapped(target, 1, 0, 4, 1, source, 0, 0, DeviceScale(3, 2));
  const std::uint32_t expected[9] = {0xFFFFFFFFu, 0xFF000000u, 0xFF000000u, 0xFF000001u,
                                     0xFF000002u, 0xFF000002u, 0xFF000003u, 0xFFFFFFFFu,
                                     0xFFFFFFFFu};
  for (int x = 0; x < 9; ++x) {
    EXPECT_EQ(target.At(x, 0), expected[x]) << x;
    // Logical row 0 covers device row 0 only.
    EXPECT_EQ(target.At(x, 1), 0xFFFFFFFFu) << x;
  }
}

}  // namespace
