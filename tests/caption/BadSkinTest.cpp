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
  // After a good composition, so that every member holds a skin value; the
  // skin read as the main window has its controls read it.
  ProbeCaption& Skinned() {
    ProbeCaption& c = Place(300);
    c.Skins(skins);
    c.Path(WriteSkin(TestSkin(), "good.jss"));
    c.REDRAW();
    return c;
  }
  // The state an empty path leaves: nothing drawn, everything 0.
  void ExpectEmptySkin(ProbeCaption& c) {
    EXPECT_TRUE(c.SkinBag.Empty());
    EXPECT_EQ(c.ScaleHeight(), 0);
    EXPECT_EQ(c.CloseBitmap->Width(), 0);
    EXPECT_EQ(c.MaxBitmap->hdc(), nullptr);
    EXPECT_EQ(c.FROMTOP, 0);
    EXPECT_EQ(c.XOFFSET, 0);
    EXPECT_EQ(c.host::Control::ForeColor(), 0u);
    EXPECT_EQ(c.host::Control::BackColor(), 0u);
    EXPECT_EQ(form->BackColor(), 0u);
    EXPECT_EQ(c.Style2(), 2);
  }
  // A file the frame cannot use draws the built-in "black-1": its bar and
  // its close face, at its layout.
  void ExpectBuiltInSkin(ProbeCaption& c) {
    const std::span<const std::uint8_t> bytes = skin::BuiltInSkins()[0].bytes;
    ASSERT_EQ(skin::BuiltInSkins()[0].name, "black-1");
    host::PropertyBag builtIn;
    skin::LoadSkinBytes(bytes.data(), bytes.size(), builtIn);
    EXPECT_EQ(c.SkinBag.Contents(), builtIn.Contents());
    EXPECT_EQ(c.ScaleHeight(), 27);
    EXPECT_GT(c.CloseBitmap->Width(), 0);
    EXPECT_EQ(c.FROMTOP, 3);
    EXPECT_EQ(form->BackColor(), 0x00221F1Eu);
  }

  std::string said;
  skin::FrameSkins skins{skin::BuiltInSkins(), [this](const std::string& l) { said += l + "\n"; }};
};

TEST_F(BadSkin, AnEmptyPathGivesAnEmptySkinAndAFolderOrAMissingFileTheBuiltInOne) {
  ProbeCaption& c = Skinned();
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
  ProbeCaption& c = Skinned();
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
  ProbeCaption& c = Place(300);
  const int before = gdi::LiveCount(gdi::Kind::Bitmap);
  test::SkinBuilder skin = TestSkin();
  skin.Picture("TOPMID", 0, BarHeight, MidColour)
      .Picture("CLOSE", 0, FaceHeight, CloseColour)
      .Picture("TOPLEFT", 0, 0, LeftColour);
  c.Path(WriteSkin(skin, "thin.jss"));
  c.REDRAW();
  EXPECT_EQ(c.ScaleHeight(), 0);
  EXPECT_EQ(c.CloseBitmap->Width(), 0);
  // The maximize face moves right into the close face's room; its gap stays.
  EXPECT_EQ(c.MaxBitmap->Width(), MaxWidth);
  c.REDRAW();
  form.reset();
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), before);
}

TEST_F(BadSkin, LayoutNumbersOutOfRangeOrNotNumbersKeepTheirValuesAndTextNumbersConvert) {
  ProbeCaption& c = Skinned();
  ASSERT_EQ(c.FROMTOP, FromTop);
  test::SkinBuilder skin = TestSkin();
  skin.Number("FROMTOP", 32768)
      .Number("FROMRIGHT", -32769)
      .Value("ICONSPACE", host::PropertyValue::Of(std::string("wide")))
      .Value("XOFFSET", host::PropertyValue::Of(std::string("12")))
      .Number("YOFFSET", -32768)
      .Value("XOFFSET2", host::PropertyValue::Picture({1, 2, 3}));
  c.Path(WriteSkin(skin, "numbers.jss"));
  c.REDRAW();
  EXPECT_EQ(c.FROMTOP, FromTop);
  EXPECT_EQ(c.FROMRIGHT, FromRight);
  EXPECT_EQ(c.ICONSPACE, IconSpace);
  EXPECT_EQ(c.XOFFSET, 12);
  EXPECT_EQ(c.YOFFSET, -32768);
  EXPECT_EQ(c.XOFFSET2, 5);
  // The steps after the failing ones still ran.
  EXPECT_EQ(form->BackColor(), ParentColour);
  EXPECT_EQ(c.ScaleHeight(), BarHeight);
}

TEST_F(BadSkin, TextAndIconOffsetsAtTheEndOfTheSixteenBitRangeLeaveTheElementsInPlace) {
  ProbeCaption& c = Skinned();
  const int label1Left = c.Label1.Left;
  const int label2Top = c.Label2.Top;
  test::SkinBuilder skin = TestSkin();
  skin.Number("XOFFSET", 32751).Number("YOFFSET", -32768);
  c.Path(WriteSkin(skin, "edge.jss"));
  c.REDRAW();
  form->Width(320 * 15);
  EXPECT_EQ(c.Label1.Left, label1Left);  // 32751 + 17 does not fit
  EXPECT_EQ(c.Label2.Left, 32767);
  EXPECT_EQ(c.Label1.Top, -32768);
  EXPECT_EQ(c.Label2.Top, label2Top);  // -32768 - 1 does not fit
  EXPECT_EQ(c.Image1.Top, -32766);
}

TEST_F(BadSkin, ABarWiderThanTheControlShowsTheRightPieceOverTheLeft) {
  ProbeCaption& c = Place(100);
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
  ProbeCaption& c = Place(50);
  test::SkinBuilder skin = TestSkin();
  skin.Picture("CLOSE", 600, 600, CloseColour).Number("FROMRIGHT", -32768);
  c.Path(WriteSkin(skin, "huge.jss"));
  c.SHOWONTOP(-1);
  c.REDRAW();
  EXPECT_EQ(c.ScaleHeight(), BarHeight);
}

}  // namespace
}  // namespace captiontest
