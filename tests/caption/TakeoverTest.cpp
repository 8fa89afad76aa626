#include <gtest/gtest.h>

#include <algorithm>

#include "controls/ResizeEnabled.h"
#include "tests/caption/CaptionFixture.h"

namespace captiontest {
namespace {

// The form starts at (100, 50), 400 x 300 pixels.
constexpr int StartLeft = 100 * 15, StartTop = 50 * 15, StartWidth = 400 * 15,
              StartHeight = 300 * 15;

class Takeover : public CaptionTest {
 protected:
  JSCAPTION& PlaceSkinned() {
    JSCAPTION& c = Place(400, 300);
    c.Path(WriteSkin(TestSkin()));
    form->Show();
    form->style2Seen.clear();
    return c;
  }
  // A double-click on the free part of the bar, which restores a held window.
  void DoubleClickBar() { DoubleClickAt(255, FromTop + 3); }
  void ExpectBounds(int left, int top, int width, int height) const {
    EXPECT_EQ(form->Left(), left);
    EXPECT_EQ(form->Top(), top);
    EXPECT_EQ(form->Width(), width);
    EXPECT_EQ(form->Height(), height);
  }
};

TEST_F(Takeover, TurnsASystemMaximizeIntoTheNormalStateOnTheWorkArea) {
  desktop.SetWorkArea(RECT{0, 0, 1920, 1040});
  JSCAPTION& c = PlaceSkinned();
  desktop.UserMaximize(form->hwnd());
  EXPECT_EQ(form->WindowState(), 0);
  EXPECT_EQ(form->Left(), 0);
  EXPECT_EQ(form->Top(), 0);
  EXPECT_EQ(form->Width(), 1920 * 15);
  EXPECT_EQ(form->Height(), 1040 * 15);
  EXPECT_EQ(c.Style2(), caption::Style2::Maximized);
  EXPECT_TRUE(Held());
  EXPECT_EQ(ResizeEnabled, 0);
  // The window manager shows it in the normal state at those bounds.
  const auto* window = desktop.Find(form->hwnd());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->state, 0);
  EXPECT_EQ(window->bounds.right, 1920);
  EXPECT_EQ(window->bounds.bottom, 1040);
  // A restore puts back the bounds of the window back in the normal state.
  DoubleClickBar();
  ExpectBounds(StartLeft, StartTop, StartWidth, StartHeight);
}

TEST_F(Takeover, DrawsTheRestoreFaceOnceTheWindowIsOnTheWorkArea) {
  JSCAPTION& c = PlaceSkinned();
  desktop.UserMaximize(form->hwnd());
  c.REDRAW();
  const int maxLeft = c.ScaleWidth() - MaxWidth - IconSpace - CloseWidth - FromRight;
  EXPECT_EQ(At(maxLeft, FromTop), ResColour);
  EXPECT_EQ(c.Style2(), caption::Style2::Maximized);
}

TEST_F(Takeover, NestedResizesSeeTheMaximizeFaceFirstAndTheRestoreFaceAfterThePlacement) {
  PlaceSkinned();
  desktop.UserMaximize(form->hwnd());
  const auto& seen = form->style2Seen;
  ASSERT_FALSE(seen.empty());
  // Back in the normal state first (not yet held), then placed.
  EXPECT_NE(std::find(seen.begin(), seen.end(), caption::Style2::Normal), seen.end());
  EXPECT_EQ(seen.back(), caption::Style2::Maximized);
}

TEST_F(Takeover, KeepsEdgeResizingOffWhileHeldOnTheWorkArea) {
  JSCAPTION& c = PlaceSkinned();
  ASSERT_EQ(c.Style(), 1);
  desktop.UserMaximize(form->hwnd());
  form->Width(1000 * 15);  // any later resize
  EXPECT_EQ(ResizeEnabled, 0);
}

TEST_F(Takeover, SavesTheBoundsAnewEachTimeTheSystemMaximizes) {
  PlaceSkinned();
  desktop.UserMaximize(form->hwnd());
  form->Move(30 * 15, 40 * 15, 500 * 15, 350 * 15);
  desktop.UserMaximize(form->hwnd());
  DoubleClickBar();
  ExpectBounds(30 * 15, 40 * 15, 500 * 15, 350 * 15);
}

struct AreaCase {
  RECT area;
  int left;  // twips
  int top;
};

class TakeoverPlacement : public Takeover, public ::testing::WithParamInterface<AreaCase> {};

TEST_P(TakeoverPlacement, PutsTheWindowWhereTheWorkAreaTableSays) {
  const AreaCase& row = GetParam();
  desktop.SetWorkArea(row.area);
  PlaceSkinned();
  desktop.UserMaximize(form->hwnd());
  EXPECT_EQ(form->WindowState(), 0);
  EXPECT_EQ(form->Left(), row.left);
  EXPECT_EQ(form->Top(), row.top);
  EXPECT_EQ(form->Width(), (row.area.right - row.area.left) * 15);
  EXPECT_EQ(form->Height(), (row.area.bottom - row.area.top) * 15);
}

INSTANTIATE_TEST_SUITE_P(Rows, TakeoverPlacement,
                         ::testing::Values(AreaCase{{0, 0, 1920, 1040}, 0, 0},
                                           AreaCase{{0, 0, 1860, 1080}, 0, 0},
                                           AreaCase{{60, 0, 1920, 1080}, 60 * 15, 0},
                                           AreaCase{{0, 40, 1920, 1080}, 0, 40 * 15},
                                           AreaCase{{-200, 0, 1720, 1080}, 0, 0},
                                           AreaCase{{60, 40, 1920, 1080}, StartLeft, StartTop}));

TEST_F(Takeover, AFailingWorkAreaQueryLeavesTheWindowNormalAtItsBoundsButFlaggedMaximized) {
  JSCAPTION& c = PlaceSkinned();
  desktop.FailWorkArea(true);
  desktop.UserMaximize(form->hwnd());
  EXPECT_EQ(form->WindowState(), 0);
  EXPECT_EQ(form->Left(), StartLeft);
  EXPECT_EQ(form->Top(), StartTop);
  EXPECT_EQ(form->Width(), StartWidth);
  EXPECT_EQ(form->Height(), StartHeight);
  EXPECT_TRUE(Held());
  EXPECT_EQ(c.Style2(), caption::Style2::Maximized);
  EXPECT_EQ(ResizeEnabled, 0);
}

TEST_F(Takeover, RunsInADesignerToo) {
  form = std::make_unique<RecordingForm>(desktop, "TestForm");
  form->UserMode(false);
  form->Move(StartLeft, StartTop, StartWidth, StartHeight);
  const host::PropertyBag defaults;
  auto& c = form->Add(std::make_unique<JSCAPTION>("JSCAPTION1"), &defaults);
  caption = &c;
  c.Align(host::vbAlignTop);
  form->Show();
  desktop.SetWorkArea(RECT{0, 0, 1600, 900});
  desktop.UserMaximize(form->hwnd());
  EXPECT_EQ(form->WindowState(), 0);
  EXPECT_EQ(form->Width(), 1600 * 15);
  EXPECT_TRUE(Held());
}

TEST_F(Takeover, ASecondTakeoverWhoseQueryFailsLeavesNothingForTheRestoreToPutBack) {
  PlaceSkinned();
  desktop.UserMaximize(form->hwnd());
  form->Move(30 * 15, 40 * 15, 500 * 15, 350 * 15);
  desktop.FailWorkArea(true);
  desktop.UserMaximize(form->hwnd());
  const int left = form->Left(), top = form->Top(), width = form->Width(), height = form->Height();
  DoubleClickBar();
  ExpectBounds(left, top, width, height);
}

TEST_F(Takeover, TheRestoreSizesTheWindowBeforeItMovesIt) {
  PlaceSkinned();
  desktop.UserMaximize(form->hwnd());
  ASSERT_EQ(form->Left(), 0);
  form->leftSeen.clear();
  DoubleClickBar();
  // The resize passes run while the window is still at the work area's left.
  ASSERT_FALSE(form->leftSeen.empty());
  EXPECT_EQ(form->leftSeen.front(), 0);
  EXPECT_EQ(form->Left(), StartLeft);
}

TEST_F(Takeover, AFailedQueryShowsTheMaximizedStateToTheResizeThatFollowsTheTakeover) {
  PlaceSkinned();
  desktop.FailWorkArea(true);
  desktop.UserMaximize(form->hwnd());
  // The container's own pass for the maximize runs after the caption's,
  // before any composition notes the state again.
  ASSERT_FALSE(form->style2Seen.empty());
  EXPECT_EQ(form->style2Seen.back(), caption::Style2::Maximized);
}

TEST_F(Takeover, ASystemMaximizeOfAHeldWindowKeepsItHeldAndSavesItsBoundsAgain) {
  desktop.SetWorkArea(RECT{0, 0, 1600, 900});
  PlaceSkinned();
  DoubleClickBar();  // held by the caption
  ASSERT_TRUE(Held());
  form->Move(30 * 15, 40 * 15, 500 * 15, 350 * 15);
  desktop.UserMaximize(form->hwnd());
  EXPECT_TRUE(Held());
  EXPECT_EQ(form->WindowState(), 0);
  ExpectBounds(0, 0, 1600 * 15, 900 * 15);
  DoubleClickBar();
  ExpectBounds(30 * 15, 40 * 15, 500 * 15, 350 * 15);
}

}  // namespace
}  // namespace captiontest
