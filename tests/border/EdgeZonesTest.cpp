#include <gtest/gtest.h>

#include "controls/border/EdgeZones.h"
#include "host/Control.h"

namespace {

using border::ZoneAt;

TEST(EdgeZones, CornersReachTenPixelsFromTheLowerEndsAndTheLeftOneWinsWhenTheyOverlap) {
  struct Case {
    int type;
    float x, y;
    int w, h;
    std::int16_t zone;
    int pointer;
  } cases[] = {
      {3, 10, 2, 800, 5, 0, host::vbSizeNESW},   {3, 11, 2, 800, 5, 1, host::vbSizeNS},
      {3, 789.5f, 2, 800, 5, 1, host::vbSizeNS}, {3, 790, 2, 800, 5, 2, host::vbSizeNWSE},
      {3, 800, 2, 800, 5, 2, host::vbSizeNWSE},  {3, 10, 0, 20, 5, 0, host::vbSizeNESW},
      {3, 11, 0, 20, 5, 2, host::vbSizeNWSE},    {3, -1, 0, 800, 5, 1, host::vbSizeNS},
      {1, 2, 590, 5, 600, 0, host::vbSizeNESW},  {1, 2, 589, 5, 600, 1, host::vbSizeWE},
      {1, 2, 601, 5, 600, 1, host::vbSizeWE},    {2, 2, 590, 5, 600, 2, host::vbSizeNWSE},
      {2, 2, 599, 5, 600, 2, host::vbSizeNWSE},  {2, 2, 589, 5, 600, 1, host::vbSizeWE},
      {5, 2, 595, 5, 600, 1, host::vbSizeWE},    {0, 5, 595, 800, 600, 1, host::vbSizeWE},
  };
  for (const Case& c : cases) {
    const border::EdgeZone found = ZoneAt(c.type, c.x, c.y, c.w, c.h);
    EXPECT_EQ(found.zone, c.zone) << c.type << " at " << c.x << "," << c.y;
    EXPECT_EQ(found.pointer, c.pointer) << c.type << " at " << c.x << "," << c.y;
  }
}

TEST(EdgeZones, EachSideAndCornerMapsToItsSizingCode) {
  const WPARAM expected[4][3] = {{0, 0, 0},
                                 {HTBOTTOMLEFT, HTLEFT, 0},
                                 {0, HTRIGHT, HTBOTTOMRIGHT},
                                 {HTBOTTOMLEFT, HTBOTTOM, HTBOTTOMRIGHT}};
  for (int type = 0; type <= 3; ++type) {
    for (std::int16_t zone = 0; zone <= 2; ++zone) {
      EXPECT_EQ(border::HitCodeFor(type, zone), expected[type][zone]) << type << "/" << zone;
    }
  }
  EXPECT_EQ(border::HitCodeFor(4, 1), 0u);
}

}  // namespace
