// The numbers the main window is laid out by: outline, browser, paths.
#include <gtest/gtest.h>

#include "app/BrowserLayout.h"
#include "app/Outline.h"
#include "app/ProgramPaths.h"
#include "platform/File.h"

namespace {

std::vector<std::pair<int, int>> Pairs(const std::array<POINT, 7>& points) {
  std::vector<std::pair<int, int>> out;
  for (const POINT& p : points) out.emplace_back(p.x, p.y);
  return out;
}

TEST(Outline, CutsTheTopCornersOfTheDesignedWindow) {
  const std::vector<std::pair<int, int>> expected = {{0, 560}, {0, 3},     {3, 0},  {875, 0},
                                                     {878, 4}, {878, 560}, {0, 560}};
  EXPECT_EQ(Pairs(app::OutlinePoints(13170, 8400)), expected);
}

TEST(Outline, RoundsAWidthBetweenPixelsOnItsOwn) {
  // 13178 / 15 = 878.53 and (13178 - 45) / 15 = 875.53: both round up.
  const auto p = app::OutlinePoints(13178, 8407);
  EXPECT_EQ(p[3].x, 876);
  EXPECT_EQ(p[4].x, 879);
  EXPECT_EQ(p[5].y, 560);  // 560.47
}

TEST(Outline, RoundsHalvesToTheEvenNeighbour) {
  // 878.5 goes down to 878, 875.5 up to 876, 560.5 down to 560.
  const auto p = app::OutlinePoints(13177.5, 8407.5);
  EXPECT_EQ(p[3].x, 876);
  EXPECT_EQ(p[4].x, 878);
  EXPECT_EQ(p[0].y, 560);
  const auto q = app::OutlinePoints(13192.5, 8422.5);  // 879.5, 876.5, 561.5
  EXPECT_EQ(q[4].x, 880);
  EXPECT_EQ(q[3].x, 876);
  EXPECT_EQ(q[0].y, 562);
}

TEST(BrowserLayout, KeepsTheBrowserInsideTheEdgesInTheNormalState) {
  const app::BrowserRect r = app::NormalBrowserRect(13170, 8400);
  EXPECT_EQ(r.Left, 90);
  EXPECT_EQ(r.Top, 390);
  EXPECT_EQ(r.Width, 12990);
  EXPECT_EQ(r.Height, 7940);
}

TEST(BrowserLayout, ReachesPastTheWindowEdgesOtherwise) {
  const app::BrowserRect r = app::OtherBrowserRect(28800, 15750);
  EXPECT_EQ(r.Left, -30);
  EXPECT_EQ(r.Top, 390);
  EXPECT_EQ(r.Width, 28860);
  EXPECT_EQ(r.Height, 15390);
}

TEST(BrowserLayout, NeverGivesANegativeSize) {
  const app::BrowserRect normal = app::NormalBrowserRect(150, 300);
  EXPECT_EQ(normal.Width, 0);
  EXPECT_EQ(normal.Height, 0);
  const app::BrowserRect other = app::OtherBrowserRect(0, 200);
  EXPECT_EQ(other.Width, 60);
  EXPECT_EQ(other.Height, 0);
}

TEST(ProgramPaths, PutsOneSeparatorBetweenTheFolderAndTheLockFile) {
  const std::string lock = platform::NativePath("\\html\\installation.lock");
  EXPECT_EQ(app::LockFilePath("/opt/skinshell"), "/opt/skinshell" + lock);
  // Short folders are not roots.
  EXPECT_EQ(app::LockFilePath("/ab"), "/ab" + lock);
  EXPECT_EQ(app::LockFilePath("/"), "/" + platform::NativePath("html\\installation.lock"));
}

TEST(ProgramPaths, BuildsPagesAndFilesFromTheFolderUnchanged) {
  const std::string p = "/tmp/a b/é#%?x";
  EXPECT_EQ(app::ContentPageLocation(p), p + "/html/index.html");
  EXPECT_EQ(app::FirstRunPageLocation(p), p + "/html/index.html?installation=y");
  EXPECT_EQ(app::SoundPageLocation(p), p + "/html/sound.html");
  EXPECT_EQ(app::SkinFilePath(p, "black-2"), p + platform::NativePath("\\stype\\black-2.jss"));
  EXPECT_EQ(app::PlacementFilePath(p), p + platform::NativePath("\\html\\size.ini"));
#ifndef _WIN32
  // A backslash is an ordinary character of a folder name here, even last.
  const std::string q = "/tmp/a\\b\\";
  EXPECT_EQ(app::LockFilePath(q), q + "/html/installation.lock");
  EXPECT_EQ(app::SkinFilePath(q, "black-1"), q + "/stype/black-1.jss");
  EXPECT_EQ(app::PlacementFilePath(q), q + "/html/size.ini");
  EXPECT_EQ(app::ContentPageLocation(q), q + "/html/index.html");
#endif
}

}  // namespace
