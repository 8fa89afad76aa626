#include "tests/caption/CaptionFixture.h"

#include "controls/ResizeEnabled.h"
#include "host/Screen.h"

namespace captiontest {

test::SkinBuilder TestSkin() {
  gdi::Surface mid(MidWidth, BarHeight, gdi::ColorToPixel(MidColour));
  for (int y = 0; y < BarHeight; ++y) mid.Row(y)[0] = gdi::ColorToPixel(MidSeamColour);
  test::SkinBuilder skin;
  skin.Picture("TOPLEFT", LeftWidth, BarHeight, LeftColour)
      .Picture("TOPMID", mid)
      .Picture("TOPRIGHT", RightWidth, BarHeight, RightColour)
      .Picture("CLOSE", CloseWidth, FaceHeight, CloseColour)
      .Picture("MAX", MaxWidth, FaceHeight, MaxColour)
      .Picture("RES1", MaxWidth, FaceHeight, ResColour)
      .Picture("MIN", MinWidth, FaceHeight, MinColour)
      .Picture("ONTOP1", OnTopWidth, FaceHeight, OnTop1Colour)
      .Picture("ONTOP3", OnTopWidth, FaceHeight, OnTop3Colour)
      .Number("XOFFSET", 30)
      .Number("XOFFSET2", 5)
      .Number("YOFFSET", 2)
      .Number("FROMRIGHT", FromRight)
      .Number("FROMTOP", FromTop)
      .Number("ICONSPACE", IconSpace)
      .Colour("FORECOLOR", SkinForeColour)
      .Colour("BackColor", SkinBackColour)
      .Colour("PARENTBACKCOLOR", ParentColour);
  return skin;
}

test::SkinBuilder ButtonSkin() {
  test::SkinBuilder skin = TestSkin();
  skin.Picture("CLOSE3", CloseWidth, FaceHeight, Close3Colour)
      .Picture("CLOSE2", CloseWidth, FaceHeight, Close2Colour)
      .Picture("MAX3", MaxWidth, FaceHeight, Max3Colour)
      .Picture("MAX2", MaxWidth, FaceHeight, Max2Colour)
      .Picture("RES2", MaxWidth, FaceHeight, Res2Colour)
      .Picture("RES3", MaxWidth, FaceHeight, Res3Colour)
      .Picture("MIN3", MinWidth, FaceHeight, Min3Colour)
      .Picture("MIN2", MinWidth, FaceHeight, Min2Colour);
  return skin;
}

CaptionTest::CaptionTest() {
  ResizeEnabled = 0;
}

CaptionTest::~CaptionTest() {
  form.reset();
  ResizeEnabled = 0;
}

JSCAPTION& CaptionTest::Place(int widthPx, int heightPx, const host::PropertyBag& stored) {
  form = std::make_unique<RecordingForm>(desktop, "TestForm");
  form->Move(100 * host::Screen::TwipsPerPixelX(), 50 * host::Screen::TwipsPerPixelY(),
             widthPx * host::Screen::TwipsPerPixelX(), heightPx * host::Screen::TwipsPerPixelY());
  caption = &form->Add(std::make_unique<JSCAPTION>("JSCAPTION1"), &stored);
  caption->Align(host::vbAlignTop);
  return *caption;
}

std::string CaptionTest::WriteSkin(const test::SkinBuilder& skin, const std::string& name) {
  const std::string path = folder / name;
  EXPECT_TRUE(skin.Write(path));
  return path;
}

std::uint32_t CaptionTest::At(int x, int y) const {
  return test::ColorAt(caption->Pixels(), x, y);
}

}  // namespace captiontest

namespace captiontest {

JSCAPTION& CaptionTest::ShowSkinned(const test::SkinBuilder& skin) {
  JSCAPTION& c = Place();
  c.Path(WriteSkin(skin));
  form->Show();
  return c;
}

POINT CaptionTest::OnScreen(int x, int y) const {
  return POINT{form->Left() / host::Screen::TwipsPerPixelX() + caption->PixelLeft() + x,
               form->Top() / host::Screen::TwipsPerPixelY() + caption->PixelTop() + y};
}

void CaptionTest::MoveTo(int x, int y) {
  const POINT p = OnScreen(x, y);
  desktop.QueueMove(p.x, p.y);
  desktop.Pump();
}

void CaptionTest::ClickAt(int x, int y) {
  const POINT p = OnScreen(x, y);
  desktop.QueueClick(p.x, p.y);
  desktop.Pump();
}

void CaptionTest::DoubleClickAt(int x, int y) {
  const POINT p = OnScreen(x, y);
  desktop.QueueClick(p.x, p.y);
  desktop.QueueDoubleClick(p.x, p.y);
  desktop.Pump();
}

}  // namespace captiontest

namespace captiontest {

caption::ButtonView CaptionTest::Button(caption::ButtonKind kind) const {
  return caption->ButtonViews().at(static_cast<std::size_t>(kind));
}

const host::Image& CaptionTest::Icon() const {
  return dynamic_cast<const host::Image&>(*caption->Elements().at(0));
}

const host::Label& CaptionTest::SecondText() const {
  return dynamic_cast<const host::Label&>(*caption->Elements().at(1));
}

const host::Label& CaptionTest::MainText() const {
  return dynamic_cast<const host::Label&>(*caption->Elements().at(2));
}

}  // namespace captiontest
