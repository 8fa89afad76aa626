#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "skin/SkinFile.h"
#include "skin/FrameSkins.h"
#include "skin/builtin/BuiltInSkins.h"
#include "tests/caption/CaptionFixture.h"

namespace captiontest {
namespace {

class BadSkin : public CaptionTest {
 protected:
  int FaceWidth(caption::ButtonKind kind) const {
    return Button(kind).rect.right - Button(kind).rect.left;
  }
  // After a good composition, so that every member holds a skin value; the
  // skin read as the main window has its controls read it.
  JSCAPTION& Skinned() {
    JSCAPTION& c = Place(300);
    c.Skins(skins);
    c.Path(WriteSkin(TestSkin(), "good.jss"));
    c.REDRAW();
    return c;
  }
  // The state an empty path leaves: nothing drawn, everything 0.
  void ExpectEmptySkin(JSCAPTION& c) {
    EXPECT_EQ(c.ScaleHeight(), 0);
    EXPECT_EQ(FaceWidth(caption::ButtonKind::Close), 0);
    EXPECT_EQ(FaceWidth(caption::ButtonKind::Max), 0);
    EXPECT_EQ(Button(caption::ButtonKind::Close).rect.top, 0);
    EXPECT_EQ(MainText().Left, 17);
    EXPECT_EQ(c.host::Control::ForeColor(), 0u);
    EXPECT_EQ(c.host::Control::BackColor(), 0u);
    EXPECT_EQ(form->BackColor(), 0u);
    EXPECT_EQ(c.Style2(), caption::Style2::Normal);
  }
  // A file the frame cannot use draws the built-in "black-1": its bar and
  // its close face, at its layout.
  void ExpectBuiltInSkin(JSCAPTION& c) {
    EXPECT_EQ(c.ScaleHeight(), 27);
    EXPECT_GT(FaceWidth(caption::ButtonKind::Close), 0);
    EXPECT_EQ(Button(caption::ButtonKind::Close).rect.top, 3);
    EXPECT_EQ(form->BackColor(), 0x00221F1Eu);
  }

  std::string said;
  skin::FrameSkins skins{skin::BuiltInSkins(), [this](const std::string& l) { said += l + "\n"; }};
};

TEST_F(BadSkin, AnEmptyPathGivesAnEmptySkinAndAFolderOrAMissingFileTheBuiltInOne) {
  JSCAPTION& c = Skinned();
  c.Path(std::string());
  c.REDRAW();
  ExpectEmptySkin(c);
  for (const std::string& path : {folder.Path(), folder / "missing.jss"}) {
    SCOPED_TRACE(path);
    c.Path(WriteSkin(TestSkin(), "good.jss"));
    c.Path(path);
    c.REDRAW();
    ExpectBuiltInSkin(c);
  }
  EXPECT_NE(said.find("it is a folder"), std::string::npos) << said;
  EXPECT_FALSE(test::Exists(folder / "missing.jss"));
}

TEST_F(BadSkin, ASkinWithoutAnyKeyOrOfGarbageBytesDrawsTheBuiltInSkin) {
  JSCAPTION& c = Skinned();
  c.Path(WriteSkin(test::SkinBuilder(), "empty.jss"));
  c.REDRAW();
  ExpectBuiltInSkin(c);
  const std::string path = folder / "garbage.jss";
  test::WriteFile(path, std::string("\x11\x20\x01\x00\xff\xff\xff\x7f\x00\x00\x00\x00SSPB", 16));
  c.Path(path);
  c.REDRAW();
  ExpectBuiltInSkin(c);
}

TEST_F(BadSkin, PicturesWithoutWidthDrawNothingAndNeverHang) {
  JSCAPTION& c = Place(300);
  const int before = gdi::LiveCount(gdi::Kind::Bitmap);
  test::SkinBuilder skin = TestSkin();
  skin.Picture("TOPMID", 0, BarHeight, MidColour)
      .Picture("CLOSE", 0, FaceHeight, CloseColour)
      .Picture("TOPLEFT", 0, 0, LeftColour);
  c.Path(WriteSkin(skin, "thin.jss"));
  c.REDRAW();
  EXPECT_EQ(c.ScaleHeight(), 0);
  EXPECT_EQ(FaceWidth(caption::ButtonKind::Close), 0);
  // The maximize face moves right into the close face's room; its gap stays.
  EXPECT_EQ(FaceWidth(caption::ButtonKind::Max), MaxWidth);
  EXPECT_EQ(Button(caption::ButtonKind::Max).rect.right, 300 - FromRight - IconSpace);
  c.REDRAW();
  form.reset();
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), before);
}

TEST_F(BadSkin, LayoutNumbersOutOfRangeOrNotNumbersKeepTheirValuesAndTextNumbersConvert) {
  JSCAPTION& c = Skinned();
  ASSERT_EQ(Button(caption::ButtonKind::Close).rect.top, FromTop);
  test::SkinBuilder skin = TestSkin();
  skin.Number("FROMTOP", 32768)
      .Number("FROMRIGHT", -32769)
      .Value("ICONSPACE", host::PropertyValue::Of(std::string("wide")))
      .Value("XOFFSET", host::PropertyValue::Of(std::string("12")))
      .Number("YOFFSET", -32768)
      .Value("XOFFSET2", host::PropertyValue::Picture({1, 2, 3}));
  c.Path(WriteSkin(skin, "numbers.jss"));
  c.REDRAW();
  form->Width(310 * 15);  // places the icon
  const RECT close = Button(caption::ButtonKind::Close).rect;
  EXPECT_EQ(close.top, FromTop);
  EXPECT_EQ(c.ScaleWidth() - close.right, FromRight);
  EXPECT_EQ(close.left - Button(caption::ButtonKind::Max).rect.right, IconSpace);
  EXPECT_EQ(MainText().Left, 12 + 17);
  EXPECT_EQ(MainText().Top, -32768);
  EXPECT_EQ(Icon().Left, 5);
  // The steps after the failing ones still ran.
  EXPECT_EQ(form->BackColor(), ParentColour);
  EXPECT_EQ(c.ScaleHeight(), BarHeight);
}

TEST_F(BadSkin, TextAndIconOffsetsAtTheEndOfTheSixteenBitRangeLeaveTheElementsInPlace) {
  JSCAPTION& c = Skinned();
  const int label1Left = MainText().Left;
  const int label2Top = SecondText().Top;
  test::SkinBuilder skin = TestSkin();
  skin.Number("XOFFSET", 32751).Number("YOFFSET", -32768);
  c.Path(WriteSkin(skin, "edge.jss"));
  c.REDRAW();
  form->Width(320 * 15);
  EXPECT_EQ(MainText().Left, label1Left);  // 32751 + 17 does not fit
  EXPECT_EQ(SecondText().Left, 32767);
  EXPECT_EQ(MainText().Top, -32768);
  EXPECT_EQ(SecondText().Top, label2Top);  // -32768 - 1 does not fit
  EXPECT_EQ(Icon().Top, -32766);
}

TEST_F(BadSkin, ABarWiderThanTheControlShowsTheRightPieceOverTheLeft) {
  JSCAPTION& c = Place(100);
  test::SkinBuilder skin = TestSkin();
  skin.Picture("TOPLEFT", 400, BarHeight, LeftColour)
      .Picture("TOPRIGHT", 300, BarHeight, RightColour);
  c.Path(WriteSkin(skin, "wide.jss"));
  c.REDRAW();
  ASSERT_EQ(c.ScaleWidth(), 100);
  EXPECT_EQ(At(0, BarHeight - 1), RightColour);
  EXPECT_EQ(At(99, BarHeight - 1), RightColour);
}

TEST_F(BadSkin, FacesWiderThanTheBarAreClippedWithoutHarm) {
  JSCAPTION& c = Place(50);
  test::SkinBuilder skin = TestSkin();
  skin.Picture("CLOSE", 600, 600, CloseColour).Number("FROMRIGHT", -32768);
  c.Path(WriteSkin(skin, "huge.jss"));
  c.SHOWONTOP(-1);
  c.REDRAW();
  EXPECT_EQ(c.ScaleHeight(), BarHeight);
}

}  // namespace
}  // namespace captiontest
