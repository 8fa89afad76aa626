#include "platform/MonitorShowing.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(MonitorShowing, AWindowBelongsToTheMonitorShowingMostOfItOrElseTheNearest) {
  const std::vector<RECT> monitors{{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
  EXPECT_EQ(MonitorShowing(monitors, RECT{1800, 100, 2100, 400}), 1);
  EXPECT_EQ(MonitorShowing(monitors, RECT{1700, 100, 2000, 400}), 0);
  EXPECT_EQ(MonitorShowing(monitors, RECT{2000, 900, 2400, 1300}), 1);
  // Off every screen, or of no size: the nearest one.
  EXPECT_EQ(MonitorShowing(monitors, RECT{4000, 100, 4400, 400}), 1);
  EXPECT_EQ(MonitorShowing(monitors, RECT{-900, 2000, -500, 2300}), 0);
  EXPECT_EQ(MonitorShowing(monitors, RECT{2500, 100, 2500, 400}), 1);
  EXPECT_EQ(MonitorShowing({}, RECT{0, 0, 10, 10}), -1);
}

TEST(MonitorShowing, ATieGoesToTheFirstMonitorAndNearestIsMeasuredAsTheCrowFlies) {
  const std::vector<RECT> monitors{{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
  EXPECT_EQ(MonitorShowing(monitors, RECT{1820, 100, 2020, 400}), 0);    // half on each
  EXPECT_EQ(MonitorShowing(monitors, RECT{1900, 2000, 1940, 2100}), 0);  // as far from each
  // 30 across and 30 down from the first, 50 across from the second.
  EXPECT_EQ(MonitorShowing({{0, 0, 100, 100}, {181, 0, 300, 200}}, RECT{130, 130, 131, 131}), 0);
}

}  // namespace
}  // namespace platform
