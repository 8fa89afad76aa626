#include <gtest/gtest.h>

#include "controls/border/EdgeZones.h"
#include "host/Control.h"

namespace {

using border::HitCodeFor;
using border::ZoneAt;

TEST(EdgeZones, BottomEdgeCornersReachTenPixelsFromEachEnd) {
  EXPECT_EQ(ZoneAt(3, 10, 2, 800, 5).zone, 0);
  EXPECT_EQ(ZoneAt(3, 10, 2, 800, 5).pointer, host::vbSizeNESW);
  EXPECT_EQ(ZoneAt(3, 11, 2, 800, 5).zone, 1);
  EXPECT_EQ(ZoneAt(3, 11, 2, 800, 5).pointer, host::vbSizeNS);
  EXPECT_EQ(ZoneAt(3, 789.5f, 2, 800, 5).zone, 1);
  EXPECT_EQ(ZoneAt(3, 790, 2, 800, 5).zone, 2);
  EXPECT_EQ(ZoneAt(3, 790, 2, 800, 5).pointer, host::vbSizeNWSE);
  EXPECT_EQ(ZoneAt(3, 800, 2, 800, 5).zone, 2);
}

TEST(EdgeZones, OnAShortBottomEdgeTheLowerLeftCornerWins) {
  EXPECT_EQ(ZoneAt(3, 10, 0, 20, 5).zone, 0);
  EXPECT_EQ(ZoneAt(3, 11, 0, 20, 5).zone, 2);
}

TEST(EdgeZones, SideEdgesHaveOnlyTheirOwnLowerCorner) {
  EXPECT_EQ(ZoneAt(1, 2, 590, 5, 600).zone, 0);
  EXPECT_EQ(ZoneAt(1, 2, 590, 5, 600).pointer, host::vbSizeNESW);
  EXPECT_EQ(ZoneAt(1, 2, 589, 5, 600).zone, 1);
  EXPECT_EQ(ZoneAt(1, 2, 589, 5, 600).pointer, host::vbSizeWE);
  for (int y = 590; y <= 599; ++y) EXPECT_EQ(ZoneAt(2, 2, y, 5, 600).zone, 2) << y;
  EXPECT_EQ(ZoneAt(2, 2, 599, 5, 600).pointer, host::vbSizeNWSE);
  EXPECT_EQ(ZoneAt(2, 2, 589, 5, 600).zone, 1);
}

TEST(EdgeZones, PositionsOutsideTheControlAndOtherTypesCountAsPlainEdge) {
  EXPECT_EQ(ZoneAt(3, -1, 0, 800, 5).zone, 1);
  EXPECT_EQ(ZoneAt(3, 801, 0, 800, 5).zone, 1);
  EXPECT_EQ(ZoneAt(1, 2, 601, 5, 600).zone, 1);
  EXPECT_EQ(ZoneAt(5, 2, 595, 5, 600).zone, 1);
  EXPECT_EQ(ZoneAt(0, 5, 595, 800, 600).pointer, host::vbSizeWE);
}

TEST(EdgeZones, EachSideAndCornerMapsToItsSizingCode) {
  EXPECT_EQ(HitCodeFor(1, 0), HTBOTTOMLEFT);
  EXPECT_EQ(HitCodeFor(1, 1), HTLEFT);
  EXPECT_EQ(HitCodeFor(1, 2), 0u);
  EXPECT_EQ(HitCodeFor(2, 0), 0u);
  EXPECT_EQ(HitCodeFor(2, 1), HTRIGHT);
  EXPECT_EQ(HitCodeFor(2, 2), HTBOTTOMRIGHT);
  EXPECT_EQ(HitCodeFor(3, 0), HTBOTTOMLEFT);
  EXPECT_EQ(HitCodeFor(3, 1), HTBOTTOM);
  EXPECT_EQ(HitCodeFor(3, 2), HTBOTTOMRIGHT);
  EXPECT_EQ(HitCodeFor(0, 1), 0u);
  EXPECT_EQ(HitCodeFor(4, 1), 0u);
}

}  // namespace
