#include <gtest/gtest.h>

#include <algorithm>

#include "tests/caption/CaptionFixture.h"

namespace captiontest {
namespace {

// Faces on the 300-pixel bar, and points inside them and on the free band.
constexpr int CloseLeft = 300 - CloseWidth - FromRight;      // 287
constexpr int MaxLeft = CloseLeft - IconSpace - MaxWidth;    // 277
constexpr int MinLeft = MaxLeft - IconSpace - MinWidth;      // 269
constexpr int OnTopLeft = MinLeft - IconSpace - OnTopWidth;  // 262
constexpr int BandY = FromTop + 3, FreeX = 255, BelowBand = FromTop + FaceHeight + 4;
constexpr int OverClose = CloseLeft + 4, OverMax = MaxLeft + 4, OverMin = MinLeft + 3;
constexpr int OverOnTop = OnTopLeft + 2, OverText = 100;

using Buttons = CaptionTest;

struct FaceRow {
  caption::ButtonKind kind;
  int x, left;
  std::uint32_t normal, hover, pressed;
};

TEST_F(Buttons, EachButtonShowsItsHoverPressedAndNormalFacesAndTheFreeBandPutsTheNormalOnesBack) {
  using caption::ButtonKind;
  JSCAPTION& c = ShowSkinned();
  for (const FaceRow& row :
       {FaceRow{ButtonKind::Close, OverClose, CloseLeft, CloseColour, Close3Colour, Close2Colour},
        FaceRow{ButtonKind::Max, OverMax, MaxLeft, MaxColour, Max3Colour, Max2Colour},
        FaceRow{ButtonKind::Min, OverMin, MinLeft, MinColour, Min3Colour, Min2Colour}}) {
    MoveTo(row.x, BandY);
    EXPECT_EQ(At(row.left, BandY), row.hover);
    c.UserControl_MouseDown(1, 0, 0, 0);
    EXPECT_EQ(At(row.left, BandY), row.pressed);
    EXPECT_TRUE(Button(row.kind).pressed);
    // The release position is not looked at: one far off the control still
    // puts the normal face back.
    c.UserControl_MouseUp(1, 0, -50, 900);
    EXPECT_EQ(At(row.left, BandY), row.normal);
    EXPECT_FALSE(Button(row.kind).pressed);
    MoveTo(row.x, BandY);
    MoveTo(row.x, BelowBand);  // off the band: nothing changes
    EXPECT_EQ(At(row.left, BandY), row.hover);
    MoveTo(FreeX, BandY);
    EXPECT_EQ(At(row.left, BandY), row.normal);
  }
}

struct StyleRow {
  int style;
  bool close, max, min;
};

class ButtonStyles : public CaptionTest, public ::testing::WithParamInterface<StyleRow> {};

TEST_P(ButtonStyles, OnlyTheButtonsTheStyleMakesActiveBecomeHot) {
  const StyleRow& row = GetParam();
  JSCAPTION& c = ShowSkinned();
  c.Style(row.style);
  c.REDRAW();
  for (const auto& [x, left, active, hover] :
       {std::tuple{OverClose, CloseLeft, row.close, Close3Colour},
        std::tuple{OverMax, MaxLeft, row.max, Max3Colour},
        std::tuple{OverMin, MinLeft, row.min, Min3Colour}}) {
    MoveTo(FreeX, BandY);
    MoveTo(x, BandY);
    EXPECT_EQ(At(left, BandY) == hover, active) << "style " << row.style << " x " << x;
  }
}

INSTANTIATE_TEST_SUITE_P(Styles, ButtonStyles,
                         ::testing::Values(StyleRow{0, true, false, false},
                                           StyleRow{1, true, true, true},
                                           StyleRow{3, true, false, true},
                                           StyleRow{4, false, true, true},
                                           StyleRow{7, true, true, true}));

TEST_F(Buttons, AClickOnCloseUnloadsTheContainerUnlessTheStyleForbidsIt) {
  ShowSkinned().Style(4);
  ClickAt(OverClose, BandY);
  EXPECT_FALSE(form->Unloaded());
  caption->Style(1);
  MoveTo(OverClose, BandY);
  caption->Style(4);  // hot from before: the click still looks at the style
  ClickAt(OverClose, BandY);
  EXPECT_FALSE(form->Unloaded());
  caption->Style(1);
  ClickAt(OverClose, BandY);
  EXPECT_TRUE(form->Unloaded());
}

TEST_F(Buttons, AButtonLeftOffTheBandStaysHotAndTakesAPressAndClickAnywhereButOnTheText) {
  JSCAPTION& c = ShowSkinned();
  MoveTo(OverMin, BandY);
  MoveTo(FreeX, BelowBand);
  // The text forwards no click: the press and release redraw the faces only.
  ClickAt(OverText, BelowBand);
  EXPECT_EQ(form->WindowState(), 0);
  EXPECT_EQ(At(MinLeft, BandY), MinColour);
  desktop.ClearCalls();
  ClickAt(FreeX, BelowBand);
  EXPECT_EQ(form->WindowState(), 1);
  EXPECT_EQ(c.Style2(), caption::Style2::Minimized);
  const auto& calls = desktop.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "BeginMoveSize 2"), 0);
  EXPECT_EQ(std::count(c.ChangedProperties().begin(), c.ChangedProperties().end(), "Style2"), 0);
}

TEST_F(Buttons, TheBandTakesTheCloseFaceHeightAndEdgesAreOutside) {
  ShowSkinned(ButtonSkin().Picture("MIN", MinWidth, 16, MinColour));
  MoveTo(OverMin, FromTop + FaceHeight + 2);  // on the tall minimize face, below the band
  MoveTo(MinLeft, BandY);                     // on its left edge
  MoveTo(OverMin, FromTop);                   // on the band's top edge
  EXPECT_NE(At(MinLeft, BandY), Min3Colour);
  // Without a close face there is no band at all.
  ShowSkinned(ButtonSkin().Value("CLOSE", host::PropertyValue::Of(0)));
  MoveTo(OverMax, BandY);
  EXPECT_NE(At(MaxLeft, BandY), Max3Colour);
}

TEST_F(Buttons, WithoutTheControlBoxNothingReactsAndEveryPressDrags) {
  JSCAPTION& c = ShowSkinned();
  c.ControlBox(0);
  MoveTo(OverClose, BandY);
  EXPECT_NE(At(CloseLeft, BandY), Close3Colour);
  desktop.ClearCalls();
  ClickAt(OverClose, BandY);
  EXPECT_FALSE(form->Unloaded());
  const auto& calls = desktop.Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "BeginMoveSize 2"), calls.end());
}

TEST_F(Buttons, TheOnTopButtonPinsAndReleasesWithoutTellingTheContainer) {
  JSCAPTION& c = ShowSkinned();
  EXPECT_FALSE(c.PressButton(caption::ButtonKind::OnTop));  // not shown
  EXPECT_EQ(c.ONTOP(), 0);
  c.SHOWONTOP(-1);
  c.REDRAW();
  const auto changes = c.ChangedProperties().size();
  MoveTo(OverOnTop, BandY);
  EXPECT_EQ(At(OnTopLeft, BandY), OnTop1Colour);  // no hover face
  ClickAt(OverOnTop, BandY);
  EXPECT_EQ(c.ONTOP(), -1);
  EXPECT_TRUE(desktop.Find(form->hwnd())->topmost);
  EXPECT_EQ(At(OnTopLeft, BandY), OnTop3Colour);
  MoveTo(FreeX, BandY);  // the free band keeps the pinned face
  EXPECT_EQ(At(OnTopLeft, BandY), OnTop3Colour);
  ClickAt(OverOnTop, BandY);
  EXPECT_EQ(c.ONTOP(), 0);
  EXPECT_FALSE(desktop.Find(form->hwnd())->topmost);
  EXPECT_EQ(At(OnTopLeft, BandY), OnTop1Colour);
  EXPECT_EQ(c.ChangedProperties().size(), changes);
  // A value that is neither True nor False is left alone.
  c.ONTOP(1);
  desktop.ClearCalls();
  ClickAt(OverOnTop, BandY);
  EXPECT_EQ(c.ONTOP(), 1);
  EXPECT_TRUE(desktop.Calls().empty());
}

// What a desktop hands an assistive tool: the form's parts, in window
// pixels, worked through the form as a backend works them.
TEST_F(Buttons, AssistiveToolsFindTheDrawnButtonsAndPressThemAsThePointerWould) {
  using platform::AccessibleRole;
  desktop.SetWorkArea(RECT{0, 0, 1200, 800});
  JSCAPTION& c = ShowSkinned();
  auto parts = form->AccessibleParts();
  ASSERT_EQ(parts.size(), 3u);  // the always-on-top button is not shown
  EXPECT_EQ(parts[0].name, "Close");
  EXPECT_EQ(parts[0].role, AccessibleRole::PushButton);
  EXPECT_EQ(parts[0].bounds.left, CloseLeft);
  EXPECT_EQ(parts[0].bounds.right, CloseLeft + CloseWidth);
  EXPECT_EQ(parts[0].bounds.top, FromTop);
  EXPECT_EQ(parts[0].bounds.bottom, FromTop + FaceHeight);
  EXPECT_EQ(parts[1].name, "Maximize");
  EXPECT_EQ(parts[2].name, "Minimize");
  EXPECT_EQ(parts[2].bounds.left, MinLeft);
  // A press takes the click's road: the window goes onto the work area, and
  // the tool is told that the button is now the restore button, drawn so.
  const int told = desktop.AccessibleChanges();
  form->PressAccessiblePart(1);
  EXPECT_EQ(form->Width(), 1200 * 15);
  parts = form->AccessibleParts();
  EXPECT_EQ(parts[1].name, "Restore");
  EXPECT_GT(desktop.AccessibleChanges(), told);
  EXPECT_EQ(At(parts[1].bounds.left, BandY), ResColour);
  EXPECT_EQ(At(parts[0].bounds.right - 1, BandY), CloseColour);
  form->PressAccessiblePart(1);
  EXPECT_EQ(form->Width(), 300 * 15);
  EXPECT_EQ(form->AccessibleParts()[1].name, "Maximize");
  // The style keeps the maximize button from reacting to a press as well.
  c.Style(3);
  form->PressAccessiblePart(1);
  EXPECT_EQ(form->Width(), 300 * 15);
  c.Style(2);
  c.SHOWONTOP(-1);
  c.REDRAW();
  parts = form->AccessibleParts();
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[3].role, AccessibleRole::ToggleButton);
  EXPECT_EQ(parts[3].name, "Always on top");
  EXPECT_FALSE(parts[3].pressed);
  form->PressAccessiblePart(3);
  EXPECT_TRUE(form->AccessibleParts()[3].pressed);
  EXPECT_TRUE(desktop.Find(form->hwnd())->topmost);
  form->PressAccessiblePart(9);  // past the end: nothing
  form->PressAccessiblePart(2);
  EXPECT_EQ(form->WindowState(), 1);
  EXPECT_TRUE(form->AccessibleParts().empty());
}

TEST_F(Buttons, ATooledPressWhileThePointerHoldsAnotherButtonLeavesThatReleaseClickingNothing) {
  JSCAPTION& c = ShowSkinned();
  c.SHOWONTOP(-1);
  c.REDRAW();
  const POINT close = OnScreen(OverClose, BandY);
  desktop.QueueMove(close.x, close.y);
  desktop.QueuePress(close.x, close.y);
  desktop.Pump();
  form->PressAccessiblePart(3);
  EXPECT_EQ(c.ONTOP(), -1);
  desktop.QueueRelease(close.x, close.y);
  desktop.Pump();
  EXPECT_FALSE(form->Unloaded());
  EXPECT_EQ(c.ONTOP(), -1);
  EXPECT_FALSE(form->AccessibleParts()[0].pressed);
}

TEST_F(Buttons, ButtonsThatAreNotDrawnAreNotFound) {
  test::SkinBuilder faceless;
  faceless.Picture("TOPLEFT", LeftWidth, BarHeight, LeftColour)
      .Picture("TOPMID", MidWidth, BarHeight, MidColour)
      .Picture("TOPRIGHT", RightWidth, BarHeight, RightColour);
  JSCAPTION& c = ShowSkinned(faceless);
  c.SHOWONTOP(-1);
  c.REDRAW();
  EXPECT_TRUE(form->AccessibleParts().empty());
  form->PressAccessiblePart(0);
  EXPECT_FALSE(form->Unloaded());
  c.Path(WriteSkin(ButtonSkin(), "faces.jss"));
  ASSERT_EQ(form->AccessibleParts().size(), 4u);
  c.ControlBox(0);
  c.REDRAW();
  const auto parts = form->AccessibleParts();
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].name, "Always on top");
}

TEST_F(Buttons, AnOnTopValueOtherThanTrueShowsTheButtonButLeavesItInactive) {
  JSCAPTION& c = ShowSkinned();
  c.SHOWONTOP(1);
  c.REDRAW();
  EXPECT_EQ(At(OnTopLeft, BandY), OnTop1Colour);
  desktop.ClearCalls();
  ClickAt(OverOnTop, BandY);  // nothing is hot there: the press drags
  EXPECT_EQ(c.ONTOP(), 0);
  EXPECT_FALSE(desktop.Find(form->hwnd())->topmost);
  const auto& calls = desktop.Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "BeginMoveSize 2"), calls.end());
}

TEST_F(Buttons, AToolPressesAButtonWhoseFaceIsOnePixelWideButNeverOneThatCannotBecomeHot) {
  // With style 3 the maximize button never becomes hot: the minimize button
  // hot from before must not take its press.
  ShowSkinned().Style(3);
  MoveTo(OverMin, BandY);
  EXPECT_FALSE(caption->PressButton(caption::ButtonKind::Max));
  EXPECT_EQ(form->WindowState(), 0);
  JSCAPTION& c = ShowSkinned(ButtonSkin().Picture("MIN", 1, FaceHeight, MinColour));
  EXPECT_TRUE(c.PressButton(caption::ButtonKind::Min));
  EXPECT_EQ(form->WindowState(), 1);
}

}  // namespace
}  // namespace captiontest
