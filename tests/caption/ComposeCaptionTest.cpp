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
  void Compose(ProbeCaption& c) {
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
  ProbeCaption& c = Place(W);
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
  ProbeCaption& c = Place(W);
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
  ProbeCaption& c = Place(W);
  c.Style(0);
  Compose(c);
  EXPECT_TRUE(Filled(CloseLeft, CloseWidth, CloseColour));
  EXPECT_TRUE(ShowsBar(MaxLeft, MaxWidth));
  EXPECT_TRUE(ShowsBar(MinLeft, MinWidth));
  EXPECT_EQ(c.MaxBitmap->Width(), MaxWidth);
  EXPECT_EQ(c.MinBitmap->Width(), MinWidth);
}

TEST_F(ComposedBar, WithoutControlBoxShowsTheOnTopFaceAloneAtItsPlace) {
  ProbeCaption& c = Place(W);
  c.ControlBox(0);
  c.SHOWONTOP(-1);
  Compose(c);
  EXPECT_TRUE(Filled(OnTopLeft, OnTopWidth, OnTop1Colour));
  EXPECT_TRUE(ShowsBar(MinLeft, W - MinLeft));
}

TEST_F(ComposedBar, PinnedShowsTheOnTopThreeFace) {
  ProbeCaption& c = Place(W);
  c.SHOWONTOP(-1);
  c.ONTOP(-1);
  Compose(c);
  EXPECT_TRUE(Filled(OnTopLeft, OnTopWidth, OnTop3Colour));
}

TEST_F(ComposedBar, WhileMinimizedHasNoMaximizeFaceAndMovesTheFacesLeftOfItRight) {
  ProbeCaption& c = Place(W);
  c.SHOWONTOP(-1);
  Compose(c);
  form->WindowState(1);
  c.REDRAW();
  EXPECT_EQ(c.Style2(), 0);
  EXPECT_EQ(c.MaxBitmap->Width(), 0);
  EXPECT_EQ(c.MaxBitmap->hdc(), nullptr);
  EXPECT_TRUE(Filled(MinLeft + MaxWidth, MinWidth, MinColour));
  EXPECT_TRUE(Filled(OnTopLeft + MaxWidth, OnTopWidth, OnTop1Colour));
}

TEST_F(ComposedBar, TakesItsColoursAndTheContainersFromTheSkin) {
  ProbeCaption& c = Place(W);
  Compose(c);
  EXPECT_EQ(c.host::Control::ForeColor(), SkinForeColour);
  EXPECT_EQ(c.host::Control::BackColor(), SkinBackColour);
  EXPECT_EQ(form->BackColor(), ParentColour);
  // The paint gives them to the two text copies.
  EXPECT_EQ(c.Label1.ForeColor, SkinForeColour);
  EXPECT_EQ(c.Label2.ForeColor, SkinBackColour);
}

TEST_F(ComposedBar, PaintPlacesBothTextCopiesWithTheContainersCaption) {
  ProbeCaption& c = Place(W);
  form->Caption("Hello");
  Compose(c);
  EXPECT_EQ(c.Label1.Left, 30 + 17);
  EXPECT_EQ(c.Label1.Top, 2);
  EXPECT_EQ(c.Label2.Left, 30 + 16);
  EXPECT_EQ(c.Label2.Top, 1);
  EXPECT_EQ(c.Label1.Caption, "Hello");
  EXPECT_EQ(c.Label2.Caption, "Hello");
  form->Caption("Changed");
  EXPECT_EQ(c.Label1.Caption, "Hello");  // not before the next paint
  c.REDRAW();
  EXPECT_EQ(c.Label1.Caption, "Changed");
  EXPECT_EQ(c.Label2.Caption, "Changed");
}

TEST_F(ComposedBar, CaptionTextUsesItsFixedFontAndBoxWhateverTheControlsFont) {
  ProbeCaption& c = Place(W);
  host::Font other;
  other.Name = "Serif";
  other.Size = 14;
  c.Font(other);
  EXPECT_EQ(c.Font(), other);
  for (const host::Label* label : {&c.Label1, &c.Label2}) {
    EXPECT_EQ(label->Font.Name, "Trebuchet MS");
    EXPECT_EQ(label->Font.Size, 9.0);
    EXPECT_EQ(label->Font.Weight, 700);
    EXPECT_EQ(label->Width, 203);
    EXPECT_EQ(label->Height, 18);
  }
  EXPECT_EQ(c.Image1.Width, 16);
  EXPECT_EQ(c.Image1.Height, 16);
  // The main text is drawn above the second copy.
  const auto& elements = c.Elements();
  ASSERT_EQ(elements.size(), 3u);
  EXPECT_EQ(elements.back(), &c.Label1);
}

TEST_F(ComposedBar, ResizePlacesTheIconAndShowsTheContainersIconAboveTheBar) {
  ProbeCaption& c = Place(W);
  platform::IconImage icon;
  icon.pixels = gdi::Surface(16, 16, gdi::ColorToPixel(0x00FF00FF));
  form->Icon({icon});
  c.Path(WriteSkin(TestSkin()));
  form->Width(400 * 15);  // a resize
  EXPECT_EQ(c.Image1.Left, 5);
  EXPECT_EQ(c.Image1.Top, 4);
  ASSERT_NE(c.Image1.Picture, nullptr);
  form->Show();
  const gdi::Surface shown = desktop.Capture(form->hwnd());
  EXPECT_EQ(test::ColorAt(shown, 5, 4), 0x00FF00FFu);
  EXPECT_EQ(test::ColorAt(shown, 20, 19), 0x00FF00FFu);
  EXPECT_EQ(test::ColorAt(shown, 22, 4), MidColour);
}

TEST_F(ComposedBar, WithoutShowIconGivesNoPictureButKeepsOneGivenBefore) {
  ProbeCaption& c = Place(W);
  platform::IconImage icon;
  icon.pixels = gdi::Surface(16, 16, gdi::ColorToPixel(0x00FF00FF));
  form->Icon({icon});
  c.ShowIcon(0);
  Compose(c);
  EXPECT_EQ(c.Image1.Picture, nullptr);
  c.ShowIcon(-1);
  c.REDRAW();
  ASSERT_NE(c.Image1.Picture, nullptr);
  c.ShowIcon(0);
  form->Icon({});
  c.REDRAW();
  EXPECT_NE(c.Image1.Picture, nullptr);
}

TEST_F(ComposedBar, ResizeAllowsEdgeResizingOnlyForStyleOne) {
  ProbeCaption& c = Place(W);
  c.Path(WriteSkin(TestSkin()));
  form->Width(310 * 15);
  EXPECT_EQ(ResizeEnabled, -1);
  ResizeEnabled = 0;
  c.Style(2);
  form->Width(320 * 15);
  EXPECT_EQ(ResizeEnabled, 0);
}

TEST_F(ComposedBar, ReleasesTheBarPiecesAndKeepsTheFacesAndTheSkin) {
  ProbeCaption& c = Place(W);
  const int before = gdi::LiveCount(gdi::Kind::Bitmap);
  c.SHOWONTOP(-1);
  Compose(c);
  EXPECT_EQ(c.TopLeftBitmap, nullptr);
  EXPECT_FALSE(c.SkinBag.Empty());
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
  ProbeCaption standalone("JSCAPTION1");
  standalone.Width(W * 15);
  standalone.ControlBox(-1);
  standalone.Path(WriteSkin(TestSkin()));
  EXPECT_EQ(standalone.ScaleHeight(), BarHeight);
  EXPECT_EQ(standalone.Style2(), 0);  // the state step needed the container
  EXPECT_EQ(standalone.FROMTOP, FromTop);
  EXPECT_EQ(test::ColorAt(standalone.Pixels(), CloseLeft, FromTop), CloseColour);
  EXPECT_EQ(test::ColorAt(standalone.Pixels(), 0, 0), LeftColour);
}

TEST_F(ComposedBar, InADesignerDrawsNothingAndTakesTheDesignHeight) {
  form = std::make_unique<RecordingForm>(desktop, "TestForm");
  form->UserMode(false);
  form->Move(0, 0, W * 15, 200 * 15);
  auto& c = form->Add(std::make_unique<ProbeCaption>("JSCAPTION1"));
  caption = &c;
  EXPECT_EQ(c.Align(), host::vbAlignTop);  // docked by the first-time set-up
  c.Path(WriteSkin(TestSkin()));
  EXPECT_TRUE(c.SkinBag.Empty());
  EXPECT_EQ(c.CloseBitmap, nullptr);
  form->Width(310 * 15);
  EXPECT_EQ(c.ScaleHeight(), 27);  // 400 twips
}

}  // namespace
}  // namespace captiontest
