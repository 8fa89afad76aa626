#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/caption/CaptionFixture.h"

namespace captiontest {
namespace {

constexpr int BandY = FromTop + 3, FreeX = 255, OverText = 100;
constexpr int CloseLeft = 300 - CloseWidth - FromRight;

class Drag : public CaptionTest {
 protected:
  void DragFrom(int x, int y, int dx, int dy) {
    const POINT p = OnScreen(x, y);
    desktop.ClearCalls();
    desktop.QueueDrag(p.x, p.y, p.x + dx, p.y + dy);
    desktop.Pump();
  }
  std::vector<std::string> Calls() const { return desktop.Calls(); }
};

TEST_F(Drag, APressOnTheBarOrItsTextHandsTheWindowToTheMoveLoop) {
  ShowSkinned();
  DragFrom(FreeX, BandY, 200, 100);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"ReleaseCapture", "BeginMoveSize 2"}));
  EXPECT_EQ(form->Left(), 300 * 15);
  EXPECT_EQ(form->Top(), 150 * 15);
  DragFrom(OverText, BandY, -50, 20);
  EXPECT_EQ(form->Left(), 250 * 15);
  EXPECT_EQ(form->Top(), 170 * 15);
}

TEST_F(Drag, AnImmovableCaptionNeitherMovesNorReleasesTheCapture) {
  ShowSkinned().Movable(0);
  DragFrom(FreeX, BandY, 200, 100);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(form->Left(), 100 * 15);
}

TEST_F(Drag, AWindowHeldOnTheWorkAreaReleasesTheCaptureButStaysPut) {
  desktop.SetWorkArea(RECT{0, 0, 1920, 1040});
  ShowSkinned();
  DoubleClickAt(FreeX, BandY);
  ASSERT_TRUE(Held());
  DragFrom(FreeX, BandY, 200, 100);
  EXPECT_EQ(Calls(), std::vector<std::string>{"ReleaseCapture"});
  EXPECT_EQ(form->Left(), 0);
  EXPECT_EQ(form->Top(), 0);
}

TEST_F(Drag, ThePointerOverTheTextCountsAsTheBarsOwnPointAtOneOne) {
  ShowSkinned();
  MoveTo(CloseLeft + 4, BandY);
  // With the buttons below the top row, (1, 1) is off the band: the close
  // button stays hot, and a press on the text shows its pressed face.
  MoveTo(OverText, BandY);
  EXPECT_EQ(At(CloseLeft, BandY), Close3Colour);
  DragFrom(OverText, BandY, 200, 100);
  EXPECT_EQ(At(CloseLeft, BandY), CloseColour);  // pressed, then released
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(form->Left(), 100 * 15);
  // With the buttons at the top row, (1, 1) is on the free band.
  ShowSkinned(ButtonSkin().Number("FROMTOP", 0));
  MoveTo(CloseLeft + 4, 3);
  ASSERT_EQ(At(CloseLeft, 3), Close3Colour);
  MoveTo(OverText, 3);
  EXPECT_EQ(At(CloseLeft, 3), CloseColour);
}

}  // namespace
}  // namespace captiontest
