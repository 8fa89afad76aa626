// The resize handling of the main window: minimum size, skin switching,
// borders, outline and the browser rectangle, with every nested run.
#include <filesystem>

#include "app/Outline.h"
#include "controls/border/JSBORDER.h"
#include "controls/caption/JSCAPTION.h"
#include "platform/gdi/Gdi.h"
#include "tests/app/MainWindowFixture.h"

namespace apptest {
namespace {

using Layout = MainWindowTest;

struct Twips {
  int left, top, width, height;
  bool operator==(const Twips&) const = default;
};

Twips BoundsOf(const host::Control& c) {
  return {c.Left(), c.Top(), c.Width(), c.Height()};
}

// Controls hold whole pixels, so a length in twips comes back rounded to
// one.
int Held(int twips) {
  return host::TwipsToPixels(twips) * 15;
}

void PrintTo(const Twips& t, std::ostream* os) {
  *os << "(" << t.left << ", " << t.top << ", " << t.width << " x " << t.height << ")";
}

TEST_F(Layout, TheNormalWindowKeepsTheBrowserInsideTheEdges) {
  Start();
  EXPECT_EQ(BoundsOf(window->WebBrowser()), (Twips{90, 390, 13170 - 180, Held(8400 - 460)}));
  const RECT view = ViewBounds(window->WebBrowser());
  EXPECT_EQ(view.left, 6);
  EXPECT_EQ(view.top, 26);
  EXPECT_EQ(view.right, 6 + 866);
  // The sound browser stays where it was designed.
  EXPECT_EQ(BoundsOf(window->WebBrowser1()), (Twips{1560, 5160, 615, 495}));
}

TEST_F(Layout, AShrinkBelowTheMinimumIsUndoneWidthFirstThenHeightEachByANestedRun) {
  Start();
  window->sizes.clear();
  window->Move(window->Left(), window->Top(), 9000, 5010);
  const std::vector<std::pair<int, int>> expected = {{9000, 5010}, {13170, 5010}, {13170, 8400}};
  EXPECT_EQ(window->sizes, expected);
  EXPECT_EQ(window->Width(), 13170);
  EXPECT_EQ(window->Height(), 8400);
  EXPECT_EQ(BoundsOf(window->WebBrowser()), (Twips{90, 390, 12990, Held(7940)}));
}

TEST_F(Layout, AWindowOfExactlyTheMinimumIsLeftAlone) {
  Start();
  window->Move(window->Left(), window->Top(), 15000, 9000);
  window->sizes.clear();
  window->Move(window->Left(), window->Top(), 13170, 8400);
  EXPECT_EQ(window->sizes, (std::vector<std::pair<int, int>>{{13170, 8400}}));
}

TEST_F(Layout, ATinyWindowNeverGivesTheBrowserANegativeSize) {
  Start();
  window->sizes.clear();
  window->Move(window->Left(), window->Top(), 150, 150);
  // Runs at 150 x 150 place the browser before the minimum is applied; it
  // is never negative and ends where the full size puts it.
  EXPECT_EQ(window->sizes.front(), std::make_pair(150, 150));
  EXPECT_EQ(BoundsOf(window->WebBrowser()), (Twips{90, 390, 12990, Held(7940)}));
  EXPECT_EQ(window->Width(), 13170);
}

TEST_F(Layout, ASystemMaximizeIsTakenOverOntoTheWorkAreaWithTheMaximizedSkin) {
  desktop.SetWorkArea({0, 0, 1920, 1040});
  Start();
  desktop.UserMaximize(window->hwnd());
  EXPECT_EQ(window->WindowState(), 0);
  EXPECT_EQ(window->JSCAPTION1().Style2(), caption::Style2::Maximized);
  EXPECT_EQ(window->Width(), 1920 * 15);
  EXPECT_EQ(window->Height(), 1040 * 15);
  EXPECT_FALSE(window->JSBORDER1().Visible());
  EXPECT_FALSE(window->JSBORDER2().Visible());
  EXPECT_FALSE(window->JSBORDER3().Visible());
  const std::string black2 = InFolder("\\stype\\black-2.jss");
  EXPECT_EQ(window->JSCAPTION1().Path(), black2);
  EXPECT_EQ(window->JSBORDER1().Path(), black2);
  EXPECT_EQ(window->JSBORDER2().Path(), black2);
  EXPECT_EQ(window->JSBORDER3().Path(), black2);
  EXPECT_EQ(Frame().region, nullptr);
  EXPECT_EQ(BoundsOf(window->WebBrowser()),
            (Twips{-30, 390, window->ScaleWidth() + 60, window->ScaleHeight() - 360}));
  EXPECT_EQ(ViewBounds(window->WebBrowser()).left, -2);
}

TEST_F(Layout, OnAScreenSmallerThanTheDesignedSizeTheWorkAreaIsTheMinimumAndMaximizeFillsIt) {
  desktop.SetScreen(800, 480);
  desktop.SetWorkArea({0, 0, 800, 450});
  Start();
  // The first start fits the work area, centred on the screen.
  EXPECT_EQ(window->Width(), 800 * 15);
  EXPECT_EQ(window->Height(), 450 * 15);
  EXPECT_EQ(window->Left(), 0);
  EXPECT_EQ(window->Top(), 15 * 15);
  EXPECT_EQ(Frame().minWidth, 800);
  EXPECT_EQ(Frame().minHeight, 450);
  // A shrink stops at the work area, not at the designed size.
  window->Move(window->Left(), window->Top(), 300 * 15, 200 * 15);
  EXPECT_EQ(window->Width(), 800 * 15);
  EXPECT_EQ(window->Height(), 450 * 15);
  desktop.UserMaximize(window->hwnd());
  EXPECT_EQ(window->JSCAPTION1().Style2(), caption::Style2::Maximized);
  EXPECT_EQ(window->Width(), 800 * 15);
  EXPECT_EQ(window->Height(), 450 * 15);
}

TEST_F(Layout, AMinimizedWindowLeavesTheBrowserWhereItWasAndDropsTheOutline) {
  Start();
  const Twips before = BoundsOf(window->WebBrowser());
  ASSERT_NE(Frame().region, nullptr);
  desktop.ClearCalls();
  desktop.UserMinimize(window->hwnd());
  EXPECT_EQ(window->ScaleWidth(), 0);
  EXPECT_EQ(window->JSCAPTION1().Style2(), caption::Style2::Minimized);
  EXPECT_EQ(BoundsOf(window->WebBrowser()), before);
  EXPECT_EQ(Frame().region, nullptr);
  // The borders stay shown: only the held maximize hides them.
  EXPECT_TRUE(window->JSBORDER1().Visible());
  desktop.UserRestore(window->hwnd());
  EXPECT_EQ(window->JSCAPTION1().Style2(), caption::Style2::Normal);
  EXPECT_NE(Frame().region, nullptr);
  EXPECT_EQ(BoundsOf(window->WebBrowser()), before);
}

TEST_F(Layout, TheNormalOutlineCutsTheTopCornersOnly) {
  Start();
  ASSERT_NE(Frame().region, nullptr);
#ifndef _WIN32
  // A system region keeps rectangles, not the points it was made from; the
  // pixels below show the same cut there.
  const std::vector<POINT> points = gdi::RegionPoints(Frame().region);
  ASSERT_EQ(points.size(), 7u);
  EXPECT_EQ(points[3].x, 875);
  EXPECT_EQ(points[4].y, 4);
  EXPECT_EQ(points[4].x, 878);
#endif

  const gdi::Surface shot = desktop.Capture(window->hwnd());
  ASSERT_EQ(shot.width, 878);
  ASSERT_EQ(shot.height, 560);
  auto clear = [&](int x, int y) { return (shot.At(x, y) >> 24) == 0; };
  auto cutAcross = [&](int y, bool fromRight) {
    int n = 0;
    while (n < shot.width && clear(fromRight ? shot.width - 1 - n : n, y)) ++n;
    return n;
  };
  auto cutDown = [&](int x) {
    int n = 0;
    while (n < shot.height && clear(x, n)) ++n;
    return n;
  };
  EXPECT_EQ(cutAcross(0, false), 3);
  EXPECT_EQ(cutAcross(0, true), 3);
  EXPECT_EQ(cutDown(0), 3);
  // The right cut's outline runs 4 down against 3 across; sampled by the
  // pixels' top-left corners, as the system's regions are, it shows as 3, 2
  // and 1 like the left one.
  EXPECT_EQ(cutDown(877), 3);
  EXPECT_EQ(cutDown(876), 2);
  EXPECT_EQ(cutDown(875), 1);
  EXPECT_FALSE(clear(0, 559));
  EXPECT_FALSE(clear(877, 559));
  EXPECT_FALSE(clear(439, 0));
  const std::string png = ::testing::TempDir() + "skinshell-main-window.png";
  EXPECT_TRUE(desktop.Screenshot(window->hwnd(), png));
}

TEST_F(Layout, ResizingNeverLeaksARegion) {
  Start();
  const int regions = gdi::LiveCount(gdi::Kind::Region);
  for (int i = 0; i < 20; ++i) window->Width(13170 + 15 * i);
  desktop.UserMinimize(window->hwnd());
  desktop.UserRestore(window->hwnd());
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Region), regions);
}

TEST_F(Layout, ARegionRefusedForWantOfAWindowIsNotLeaked) {
  const int regions = gdi::LiveCount(gdi::Kind::Region);
  app::ApplyOutline(nullptr, caption::Style2::Normal, 13170, 8400);
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Region), regions);
}

}  // namespace
}  // namespace apptest
