// A caption control on a form of the headless desktop, with a small skin of
// flat-coloured pieces whose places are easy to check pixel by pixel.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/caption/JSCAPTION.h"
#include "host/Form.h"
#include "tests/support/Scenario.h"
#include "tests/support/SkinBuilder.h"

namespace captiontest {

// A container that records what its resize handling sees.
class RecordingForm : public host::Form {
 public:
  using host::Form::Form;
  void Form_Resize() override {
    if (auto* caption = dynamic_cast<JSCAPTION*>(Controls("JSCAPTION1"))) {
      style2Seen.push_back(caption->Style2());
    }
    leftSeen.push_back(Left());
  }
  std::vector<caption::Style2> style2Seen;
  std::vector<int> leftSeen;
};

// Colours of the test skin (0x00BBGGRR).
constexpr std::uint32_t LeftColour = 0x000000FF;
constexpr std::uint32_t MidColour = 0x0000FF00;
constexpr std::uint32_t MidSeamColour = 0x0000FFFF;  // first column of each tile
constexpr std::uint32_t RightColour = 0x00FF0000;
constexpr std::uint32_t CloseColour = 0x00101010;
constexpr std::uint32_t MaxColour = 0x00202020;
constexpr std::uint32_t ResColour = 0x00303030;
constexpr std::uint32_t MinColour = 0x00404040;
constexpr std::uint32_t OnTop1Colour = 0x00505050;
constexpr std::uint32_t OnTop3Colour = 0x00606060;
constexpr std::uint32_t SkinForeColour = 0x00123456;
constexpr std::uint32_t SkinBackColour = 0x00654321;
constexpr std::uint32_t ParentColour = 0x00ABCDEF;

// Piece sizes: the bar is 20 pixels high; faces are 8 high.
constexpr int LeftWidth = 10, MidWidth = 7, RightWidth = 12, BarHeight = 20;
constexpr int CloseWidth = 9, MaxWidth = 8, MinWidth = 6, OnTopWidth = 5, FaceHeight = 8;
constexpr int FromRight = 4, FromTop = 3, IconSpace = 2;

// Hover and pressed faces of the buttons.
constexpr std::uint32_t Close3Colour = 0x00111100, Close2Colour = 0x00112200;
constexpr std::uint32_t Max3Colour = 0x00221100, Max2Colour = 0x00222200;
constexpr std::uint32_t Res2Colour = 0x00331100, Res3Colour = 0x00332200;
constexpr std::uint32_t Min3Colour = 0x00441100, Min2Colour = 0x00442200;

test::SkinBuilder TestSkin();
// The test skin with every hover and pressed face.
test::SkinBuilder ButtonSkin();

class CaptionTest : public test::HeadlessTest {
 protected:
  CaptionTest();
  ~CaptionTest() override;

  // A form of widthPx x heightPx pixels at (100, 50) holding a caption
  // control loaded with stored settings (the stored defaults when empty).
  JSCAPTION& Place(int widthPx = 300, int heightPx = 200,
                   const host::PropertyBag& stored = host::PropertyBag());
  std::string WriteSkin(const test::SkinBuilder& skin, const std::string& name = "test.jss");
  // The colour of a pixel of the caption control's own surface.
  std::uint32_t At(int x, int y) const;

  // A 300 x 200 form shown with the caption composed from the skin, and
  // pointer input in the caption control's pixels, wherever the form is.
  JSCAPTION& ShowSkinned(const test::SkinBuilder& skin = ButtonSkin());
  POINT OnScreen(int x, int y) const;
  void MoveTo(int x, int y);
  void ClickAt(int x, int y);
  void DoubleClickAt(int x, int y);

  // What the user and an assistive tool see of the caption: its buttons,
  // whether the maximize button offers a restore, and the elements over the
  // bar (the icon, the second and the main caption text).
  caption::ButtonView Button(caption::ButtonKind kind) const;
  bool Held() const { return Button(caption::ButtonKind::Max).name == "Restore"; }
  const host::Image& Icon() const;
  const host::Label& SecondText() const;
  const host::Label& MainText() const;

  test::TempFolder folder{"caption"};
  std::unique_ptr<RecordingForm> form;
  JSCAPTION* caption = nullptr;
};

}  // namespace captiontest
