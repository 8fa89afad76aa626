#include <gtest/gtest.h>

#include "controls/ResizeEnabled.h"
#include "tests/caption/CaptionFixture.h"

namespace captiontest {
namespace {

// The form starts at (100, 50), 300 x 200 pixels; points in caption pixels.
constexpr int StartLeft = 100 * 15, StartTop = 50 * 15, StartWidth = 300 * 15,
              StartHeight = 200 * 15;
constexpr int BandY = FromTop + 3, FreeX = 255, OverText = 100;
constexpr int MaxLeftFromRight = FromRight + CloseWidth + IconSpace + MaxWidth;

class Maximize : public CaptionTest {
 protected:
  // The maximize/restore button, wherever the bar's width has put it.
  int MaxLeft() const { return caption->ScaleWidth() - MaxLeftFromRight; }
  void ClickMax() { ClickAt(MaxLeft() + 4, BandY); }
  void ExpectStartBounds() const {
    EXPECT_EQ(form->Left(), StartLeft);
    EXPECT_EQ(form->Top(), StartTop);
    EXPECT_EQ(form->Width(), StartWidth);
    EXPECT_EQ(form->Height(), StartHeight);
  }
  // How many pixels of the bar left of the buttons differ from `before`.
  int ChangedPixels(const gdi::Surface& before) const {
    int changed = 0;
    for (int y = 0; y < BarHeight; ++y) {
      for (int x = 0; x < caption->ScaleWidth() - 50; ++x) {
        changed += test::ColorAt(before, x, y) != At(x, y);
      }
    }
    return changed;
  }
};

struct EntryCase {
  bool byButton;
  RECT area;
  int left, top;        // twips
  int firstResizeLeft;  // Left as the container's first resize sees it
};

class MaximizeEntries : public Maximize, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(MaximizeEntries, PlaceTheWindowOnTheWorkAreaInTheirOrderAndRestoreItsBounds) {
  const EntryCase& row = GetParam();
  desktop.SetWorkArea(row.area);
  JSCAPTION& c = ShowSkinned();
  form->leftSeen.clear();
  row.byButton ? ClickMax() : DoubleClickAt(FreeX, BandY);
  EXPECT_EQ(form->WindowState(), 0);
  EXPECT_EQ(form->Left(), row.left);
  EXPECT_EQ(form->Top(), row.top);
  EXPECT_EQ(form->Width(), (row.area.right - row.area.left) * 15);
  EXPECT_EQ(form->Height(), (row.area.bottom - row.area.top) * 15);
  ASSERT_FALSE(form->leftSeen.empty());
  EXPECT_EQ(form->leftSeen.front(), row.firstResizeLeft);
  EXPECT_TRUE(Held());
  EXPECT_EQ(c.Style2(), caption::Style2::Maximized);
  EXPECT_EQ(ResizeEnabled, 0);
  EXPECT_EQ(At(MaxLeft(), BandY), ResColour);
  // Either way back: the button or a double-click on the bar.
  row.byButton ? DoubleClickAt(FreeX, BandY) : ClickMax();
  ExpectStartBounds();
  EXPECT_FALSE(Held());
  EXPECT_EQ(c.Style2(), caption::Style2::Normal);
  EXPECT_EQ(ResizeEnabled, -1);
  EXPECT_EQ(At(MaxLeft(), BandY), MaxColour);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, MaximizeEntries,
    ::testing::Values(
        // The button sets the size first, the double-click the position.
        EntryCase{true, {0, 0, 1920, 1040}, 0, 0, StartLeft},
        EntryCase{false, {0, 0, 1920, 1040}, 0, 0, 0},
        EntryCase{true, {60, 0, 1920, 1080}, 60 * 15, 0, StartLeft},
        EntryCase{false, {60, 0, 1920, 1080}, 60 * 15, 0, 60 * 15},
        EntryCase{true, {0, 40, 1920, 1080}, 0, 40 * 15, StartLeft},
        // Away from both the screen's top and left edge: only the size changes.
        EntryCase{false, {60, 40, 1920, 1080}, StartLeft, StartTop, StartLeft}));

TEST_F(Maximize, TheRestoreButtonShowsItsOwnHoverAndPressedFaces) {
  JSCAPTION& c = ShowSkinned();
  ClickMax();
  MoveTo(MaxLeft() + 4, BandY);
  EXPECT_EQ(At(MaxLeft(), BandY), Res2Colour);
  c.UserControl_MouseDown(1, 0, 0, 0);
  EXPECT_EQ(At(MaxLeft(), BandY), Res3Colour);
  c.UserControl_MouseUp(1, 0, 0, 0);
  EXPECT_EQ(At(MaxLeft(), BandY), ResColour);
}

TEST_F(Maximize, ADoubleClickActsOnlyAwayFromHotButtonsWithStylesThatAllowMaximize) {
  JSCAPTION& c = ShowSkinned();
  for (int style : {0, 3}) {
    c.Style(style);
    DoubleClickAt(FreeX, BandY);
    EXPECT_FALSE(Held()) << "style " << style;
  }
  c.Style(1);
  // On a button only its click acts. The always-on-top button keeps the
  // window where it is, so the double-click lands on it as well.
  c.SHOWONTOP(-1);
  c.REDRAW();
  DoubleClickAt(MaxLeft() - 2 * IconSpace - MinWidth - OnTopWidth + 2, BandY);
  EXPECT_EQ(c.ONTOP(), -1);
  EXPECT_FALSE(Held());
  ClickAt(MaxLeft() + 4, BandY);
  ASSERT_TRUE(Held());
  // The caption text passes its double-click on.
  MoveTo(FreeX, BandY);
  DoubleClickAt(OverText, BandY);
  EXPECT_FALSE(Held());
  ExpectStartBounds();
}

TEST_F(Maximize, AFailedWorkAreaQueryShowsTheMessageAndLeavesTheBounds) {
  JSCAPTION& c = ShowSkinned();
  desktop.FailWorkArea(true);
  const gdi::Surface before = c.Pixels();
  ClickMax();
  ExpectStartBounds();
  EXPECT_TRUE(Held());
  EXPECT_GT(ChangedPixels(before), 20);
  // Nothing was saved by that maximize, so the restore leaves the window
  // where it is rather than shrinking it to nothing.
  desktop.FailWorkArea(false);
  ClickMax();
  ExpectStartBounds();
  EXPECT_FALSE(Held());
  // A double-click has turned edge resizing off before its query fails.
  desktop.FailWorkArea(true);
  ASSERT_EQ(ResizeEnabled, -1);
  DoubleClickAt(FreeX, BandY);
  EXPECT_EQ(ResizeEnabled, 0);
  EXPECT_TRUE(Held());
  ExpectStartBounds();
}

TEST_F(Maximize, AFailedQueryOnTheRestoreButtonLeavesTheWindowOnTheWorkArea) {
  JSCAPTION& c = ShowSkinned();
  ClickMax();
  const int width = form->Width();
  desktop.FailWorkArea(true);
  const gdi::Surface before = c.Pixels();
  ClickMax();
  EXPECT_FALSE(Held());
  EXPECT_EQ(form->Width(), width);
  EXPECT_GT(ChangedPixels(before), 20);
}

TEST_F(Maximize, AFailedTakeoverLeavesNothingForTheRestoreToPutBack) {
  ShowSkinned();
  desktop.FailWorkArea(true);
  desktop.UserMaximize(form->hwnd());
  ASSERT_TRUE(Held());
  desktop.FailWorkArea(false);
  ClickMax();
  EXPECT_FALSE(Held());
  ExpectStartBounds();
}

}  // namespace
}  // namespace captiontest
