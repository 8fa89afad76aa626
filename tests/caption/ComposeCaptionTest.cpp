#include <gtest/gtest.h>

#include "controls/ResizeEnabled.h"
#include "platform/gdi/Gdi.h"
#include "tests/caption/CaptionFixture.h"

namespace captiontest {
namespace {

constexpr int W = 300;
// Left edges of the faces on a 300-pixel bar with every face loaded.
constexpr int CloseLeft = W - CloseWidth - FromRight;
constexpr int MaxLeft = CloseLeft - IconSpace - MaxWidth;
constexpr int MinLeft = MaxLeft - IconSpace - MinWidth;
constexpr int OnTopLeft = MinLeft - IconSpace - OnTopWidth;

class ComposedBar : public CaptionTest {
 protected:
  void Compose(JSCAPTION& c) {
    c.Path(WriteSkin(TestSkin()));
    c.REDRAW();
  }
  // True when every pixel of the face rectangle has the colour.
  bool Filled(int left, int width, std::uint32_t colour) const {
    for (int y = FromTop; y < FromTop + FaceHeight; ++y) {
      for (int x = left; x < left + width; ++x) {
        if (At(x, y) != colour) return false;
      }
    }
    return true;
  }
  // The colour the bar itself has at x (tiles, left piece, right piece).
  static std::uint32_t BarColour(int x) {
    if (x >= W - RightWidth) return RightColour;
    if (x < LeftWidth) return LeftColour;
    return x % MidWidth == 0 ? MidSeamColour : MidColour;
  }
  bool ShowsBar(int left, int width) const {
    for (int x = left; x < left + width; ++x) {
      if (At(x, FromTop) != BarColour(x)) return false;
    }
    return true;
  }
};

TEST_F(ComposedBar, TilesFromTheLeftEdgeUnderTheLeftPieceAndEndsWithTheRightPiece) {
  JSCAPTION& c = Place(W);
  Compose(c);
  ASSERT_EQ(c.ScaleWidth(), W);
  EXPECT_EQ(c.ScaleHeight(), BarHeight);
  EXPECT_EQ(c.Height(), BarHeight * 15);
  // Row below the faces: pure bar from end to end.
  const int y = FromTop + FaceHeight + 1;
  for (int x = 0; x < W; ++x) ASSERT_EQ(At(x, y), BarColour(x)) << "x = " << x;
  EXPECT_EQ(At(W - RightWidth - 2, y), MidColour);  // 286 is inside a tile
  EXPECT_EQ(At(W - RightWidth, y), RightColour);
}

TEST_F(ComposedBar, DrawsTheFacesAtTheirRectanglesLeftwardsFromTheRight) {
  JSCAPTION& c = Place(W);
  c.SHOWONTOP(-1);
  Compose(c);
  EXPECT_TRUE(Filled(CloseLeft, CloseWidth, CloseColour));
  EXPECT_TRUE(Filled(MaxLeft, MaxWidth, MaxColour));
  EXPECT_TRUE(Filled(MinLeft, MinWidth, MinColour));
  EXPECT_TRUE(Filled(OnTopLeft, OnTopWidth, OnTop1Colour));
  // The gaps between the faces and the rows above and below stay bar.
  EXPECT_TRUE(ShowsBar(CloseLeft - IconSpace, IconSpace));
  EXPECT_TRUE(ShowsBar(OnTopLeft - 3, 3));
  EXPECT_EQ(At(CloseLeft, FromTop - 1), BarColour(CloseLeft));
  EXPECT_EQ(At(CloseLeft, FromTop + FaceHeight), BarColour(CloseLeft));
}

TEST_F(ComposedBar, WithStyleZeroDrawsOnlyTheCloseFaceButStillLoadsTheOthers) {
  JSCAPTION& c = Place(W);
  c.Style(0);
  Compose(c);
  EXPECT_TRUE(Filled(CloseLeft, CloseWidth, CloseColour));
  EXPECT_TRUE(ShowsBar(MaxLeft, MaxWidth));
  EXPECT_TRUE(ShowsBar(MinLeft, MinWidth));
  EXPECT_EQ(Button(caption::ButtonKind::Max).rect.left, MaxLeft);
  EXPECT_EQ(Button(caption::ButtonKind::Min).rect.left, MinLeft);
  EXPECT_FALSE(Button(caption::ButtonKind::Max).visible);
}

TEST_F(ComposedBar, WithoutControlBoxShowsTheOnTopFaceAloneAtItsPlace) {
  JSCAPTION& c = Place(W);
  c.ControlBox(0);
  c.SHOWONTOP(-1);
  Compose(c);
  EXPECT_TRUE(Filled(OnTopLeft, OnTopWidth, OnTop1Colour));
  EXPECT_TRUE(ShowsBar(MinLeft, W - MinLeft));
}

TEST_F(ComposedBar, PinnedShowsTheOnTopThreeFace) {
  JSCAPTION& c = Place(W);
  c.SHOWONTOP(-1);
  c.ONTOP(-1);
  Compose(c);
  EXPECT_TRUE(Filled(OnTopLeft, OnTopWidth, OnTop3Colour));
}

TEST_F(ComposedBar, WhileMinimizedHasNoMaximizeFaceAndMovesTheFacesLeftOfItRight) {
  JSCAPTION& c = Place(W);
  c.SHOWONTOP(-1);
  Compose(c);
  form->WindowState(1);
  c.REDRAW();
  EXPECT_EQ(c.Style2(), caption::Style2::Minimized);
  EXPECT_EQ(Button(caption::ButtonKind::Max).rect.right,
            Button(caption::ButtonKind::Max).rect.left);
  EXPECT_TRUE(Filled(MinLeft + MaxWidth, MinWidth, MinColour));
  EXPECT_TRUE(Filled(OnTopLeft + MaxWidth, OnTopWidth, OnTop1Colour));
}

TEST_F(ComposedBar, TakesItsColoursAndTheContainersFromTheSkin) {
  JSCAPTION& c = Place(W);
  Compose(c);
  EXPECT_EQ(c.host::Control::ForeColor(), SkinForeColour);
  EXPECT_EQ(c.host::Control::BackColor(), SkinBackColour);
  EXPECT_EQ(form->BackColor(), ParentColour);
  // The paint gives them to the two text copies.
  EXPECT_EQ(MainText().ForeColor, SkinForeColour);
  EXPECT_EQ(SecondText().ForeColor, SkinBackColour);
}

TEST_F(ComposedBar, PaintPlacesBothTextCopiesWithTheContainersCaption) {
  JSCAPTION& c = Place(W);
  const host::Label& main = MainText();
  const host::Label& second = SecondText();
  form->Caption("Hello");
  Compose(c);
  EXPECT_EQ(main.Left, 30 + 17);
  EXPECT_EQ(main.Top, 2);
  EXPECT_EQ(second.Left, 30 + 16);
  EXPECT_EQ(second.Top, 1);
  EXPECT_EQ(main.Caption, "Hello");
  EXPECT_EQ(second.Caption, "Hello");
  form->Caption("Changed");
  EXPECT_EQ(main.Caption, "Hello");  // not before the next paint
  c.REDRAW();
  EXPECT_EQ(main.Caption, "Changed");
  EXPECT_EQ(second.Caption, "Changed");
}

TEST_F(ComposedBar, CaptionTextUsesItsFixedFontAndBoxWhateverTheControlsFont) {
  JSCAPTION& c = Place(W);
  host::Font other;
  other.Name = "Serif";
  other.Size = 14;
  c.Font(other);
  EXPECT_EQ(c.Font(), other);
  for (const host::Label* label : {&MainText(), &SecondText()}) {
    EXPECT_EQ(label->Font.Name, "Trebuchet MS");
    EXPECT_EQ(label->Font.Size, 9.0);
    EXPECT_EQ(label->Font.Weight, 700);
    EXPECT_EQ(label->Width, 203);
    EXPECT_EQ(label->Height, 18);
  }
  EXPECT_EQ(Icon().Width, 16);
  EXPECT_EQ(Icon().Height, 16);
  // The main text is drawn above the second copy, and takes the mouse.
  ASSERT_EQ(c.Elements().size(), 3u);
  EXPECT_TRUE(MainText().TakesMouse());
}

TEST_F(ComposedBar, ResizePlacesTheIconAndShowsTheContainersIconAboveTheBar) {
  JSCAPTION& c = Place(W);
  platform::IconImage icon;
  icon.pixels = gdi::Surface(16, 16, gdi::ColorToPixel(0x00FF00FF));
  form->Icon({icon});
  c.Path(WriteSkin(TestSkin()));
  form->Width(400 * 15);  // a resize
  EXPECT_EQ(Icon().Left, 5);
  EXPECT_EQ(Icon().Top, 4);
  ASSERT_NE(Icon().Picture, nullptr);
  form->Show();
  const gdi::Surface shown = desktop.Capture(form->hwnd());
  EXPECT_EQ(test::ColorAt(shown, 5, 4), 0x00FF00FFu);
  EXPECT_EQ(test::ColorAt(shown, 20, 19), 0x00FF00FFu);
  EXPECT_EQ(test::ColorAt(shown, 22, 4), MidColour);
}

TEST_F(ComposedBar, WithoutShowIconGivesNoPictureButKeepsOneGivenBefore) {
  JSCAPTION& c = Place(W);
  platform::IconImage icon;
  icon.pixels = gdi::Surface(16, 16, gdi::ColorToPixel(0x00FF00FF));
  form->Icon({icon});
  c.ShowIcon(0);
  Compose(c);
  EXPECT_EQ(Icon().Picture, nullptr);
  c.ShowIcon(-1);
  c.REDRAW();
  ASSERT_NE(Icon().Picture, nullptr);
  c.ShowIcon(0);
  form->Icon({});
  c.REDRAW();
  EXPECT_NE(Icon().Picture, nullptr);
}

TEST_F(ComposedBar, ResizeAllowsEdgeResizingOnlyForStyleOne) {
  JSCAPTION& c = Place(W);
  c.Path(WriteSkin(TestSkin()));
  form->Width(310 * 15);
  EXPECT_EQ(ResizeEnabled, -1);
  ResizeEnabled = 0;
  c.Style(2);
  form->Width(320 * 15);
  EXPECT_EQ(ResizeEnabled, 0);
}

TEST_F(ComposedBar, ReleasesTheBarPiecesAndKeepsTheFacesAndTheSkin) {
  JSCAPTION& c = Place(W);
  const int before = gdi::LiveCount(gdi::Kind::Bitmap);
  c.SHOWONTOP(-1);
  Compose(c);
  // Four faces stay loaded, nothing more. (Windows counts every kind of
  // object together, the DCs of the control and the skin's too.)
  const int loaded = gdi::LiveCount(gdi::Kind::Bitmap);
  if (gdi::LiveCountPerKind) {
    EXPECT_EQ(loaded, before + 4);
  }
  c.REDRAW();
  c.REDRAW();
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), loaded);
  form.reset();
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), before);
}

TEST_F(ComposedBar, WithoutAContainerSkipsTheStepsThatNeedOneAndDrawsTheRest) {
  JSCAPTION standalone("JSCAPTION1");
  standalone.Width(W * 15);
  standalone.ControlBox(-1);
  standalone.Path(WriteSkin(TestSkin()));
  EXPECT_EQ(standalone.ScaleHeight(), BarHeight);
  // the state step needed the container
  EXPECT_EQ(standalone.Style2(), caption::Style2::Minimized);
  EXPECT_EQ(standalone.ButtonViews().front().rect.top, FromTop);
  EXPECT_EQ(test::ColorAt(standalone.Pixels(), CloseLeft, FromTop), CloseColour);
  EXPECT_EQ(test::ColorAt(standalone.Pixels(), 0, 0), LeftColour);
}

TEST_F(ComposedBar, InADesignerDrawsNothingAndTakesTheDesignHeight) {
  form = std::make_unique<RecordingForm>(desktop, "TestForm");
  form->UserMode(false);
  form->Move(0, 0, W * 15, 200 * 15);
  auto& c = form->Add(std::make_unique<JSCAPTION>("JSCAPTION1"));
  caption = &c;
  EXPECT_EQ(c.Align(), host::vbAlignTop);  // docked by the first-time set-up
  c.Path(WriteSkin(TestSkin()));
  EXPECT_EQ(Button(caption::ButtonKind::Close).rect.right,
            Button(caption::ButtonKind::Close).rect.left);
  form->Width(310 * 15);
  EXPECT_EQ(c.ScaleHeight(), 27);  // 400 twips
}

TEST_F(ComposedBar, ANarrowRightPieceLeavesTheLastTileShowingToItsLeft) {
  JSCAPTION& c = Place(W);
  c.Path(WriteSkin(TestSkin().Picture("TOPRIGHT", 3, BarHeight, RightColour)));
  c.REDRAW();
  const int y = FromTop + FaceHeight + 1;
  EXPECT_EQ(At(294, y), MidSeamColour);  // the 43rd tile starts at 294
  EXPECT_EQ(At(296, y), MidColour);
  EXPECT_EQ(At(297, y), RightColour);
}

TEST_F(ComposedBar, TheIconTakesTheFirstOfTwoEquallyNearImagesAndANewIconReplacesEverySize) {
  JSCAPTION& c = Place(W);
  const auto image = [](int size, std::uint32_t colour) {
    platform::IconImage icon;
    icon.pixels = gdi::Surface(size, size, gdi::ColorToPixel(colour));
    return icon;
  };
  form->Icon({image(15, 0x00FF00FF), image(17, 0x0000FFFF)});
  Compose(c);
  form->Show();
  EXPECT_EQ(test::ColorAt(desktop.Capture(form->hwnd()), 10, 10), 0x00FF00FFu);
  // At scale 2 the 32-pixel image of the old icon would be nearest the box.
  form->Icon({image(16, 0x00FF0000), image(32, 0x000000FF)});
  c.REDRAW();
  form->Icon({image(16, 0x0000FF00)});
  c.REDRAW();
  gdi::Surface scaled(600, 400);
  form->RenderScaled(scaled, platform::DeviceScale(2));
  EXPECT_EQ(test::ColorAt(scaled, 20, 20), 0x0000FF00u);
}

}  // namespace
}  // namespace captiontest
