#include <gtest/gtest.h>

#include <algorithm>

#include "controls/ResizeEnabled.h"
#include "platform/gdi/Gdi.h"
#include "tests/caption/CaptionFixture.h"

namespace captiontest {
namespace {

using host::PropertyValue;

host::Font MainWindowFont() {
  host::Font font;
  font.Name = "宋体";
  font.Size = 9;
  font.Weight = 400;
  font.Charset = 134;
  return font;
}

std::vector<std::string> Names(const host::PropertyBag& bag) {
  std::vector<std::string> names;
  for (const auto& entry : bag.Entries()) names.push_back(entry.name);
  return names;
}

int CountCalls(const platform::HeadlessDesktop& desktop, const std::string& line) {
  const auto& calls = desktop.Calls();
  return static_cast<int>(std::count(calls.begin(), calls.end(), line));
}

class CaptionSettings : public CaptionTest {};

// Inside the close face, over the bar's right piece.
constexpr int CloseX = 300 - FromRight - 1;

TEST_F(CaptionSettings, AFreshInstanceDocksAtTheTopWithEverythingOffAndSavesThat) {
  form = std::make_unique<RecordingForm>(desktop, "TestForm");
  host::Font ambient;
  ambient.Name = "Ambient Face";
  form->Font(ambient);
  auto& c = form->Add(std::make_unique<JSCAPTION>("JSCAPTION1"));
  EXPECT_EQ(c.Align(), host::vbAlignTop);
  EXPECT_EQ(c.Font(), ambient);
  EXPECT_EQ(c.ControlBox(), 0);
  EXPECT_EQ(c.Movable(), 0);
  EXPECT_EQ(c.ShowIcon(), 0);
  EXPECT_EQ(c.Style(), 0);
  EXPECT_EQ(c.ONTOP(), 0);
  EXPECT_EQ(c.BackColor(), 0x80000012u);
  EXPECT_EQ(c.ForeColor(), 0x00FFFFFFu);
  host::PropertyBag saved;
  c.UserControl_WriteProperties(saved);
  EXPECT_EQ(Names(saved), (std::vector<std::string>{"Movable", "ShowIcon", "ControlBox", "Style"}));
  EXPECT_EQ(saved.ReadLong("Movable", 99), 0);
  EXPECT_EQ(saved.ReadLong("Style", 99), 0);
}

TEST_F(CaptionSettings, TheMainWindowsInstanceLoadsDefaultsAndStoresOnlyItsFontAndBackColor) {
  host::PropertyBag stored;
  stored.WriteProperty("Font", PropertyValue::Of(MainWindowFont()));
  stored.WriteProperty("BackColor", PropertyValue::Of(static_cast<std::int32_t>(0x00DC7E5A)));
  JSCAPTION& c = Place(300, 200, stored);
  EXPECT_EQ(c.Path(), "");
  EXPECT_EQ(c.Movable(), -1);
  EXPECT_EQ(c.ShowIcon(), -1);
  EXPECT_EQ(c.ControlBox(), -1);
  EXPECT_EQ(c.ONTOP(), 0);
  EXPECT_EQ(c.SHOWONTOP(), 0);
  EXPECT_EQ(c.Style(), 1);
  EXPECT_EQ(c.ForeColor(), 0x00FFFFFFu);
  EXPECT_EQ(c.BackColor(), 0x00DC7E5Au);
  EXPECT_EQ(c.Font(), MainWindowFont());
  host::PropertyBag saved;
  c.UserControl_WriteProperties(saved);
  EXPECT_EQ(Names(saved), (std::vector<std::string>{"Font", "BackColor"}));
  EXPECT_EQ(saved.Contents(), stored.Contents());
}

TEST_F(CaptionSettings, EverySettingSurvivesASaveAndALoad) {
  JSCAPTION& first = Place();
  first.Path("C:\\skins\\x.jss");
  first.Movable(0);
  first.ShowIcon(0);
  first.ControlBox(0);
  first.SHOWONTOP(-1);
  first.ONTOP(-1);
  first.Style(4);
  first.Style2(caption::Style2::Maximized);
  host::Font font = MainWindowFont();
  font.Italic = true;
  first.Font(font);
  first.BackColor(0x00112233);
  first.ForeColor(0x00445566);
  host::PropertyBag saved;
  first.UserControl_WriteProperties(saved);
  EXPECT_EQ(saved.ReadProperty("Style2"), nullptr);

  JSCAPTION& second = Place(300, 200, saved);
  EXPECT_EQ(second.Path(), "C:\\skins\\x.jss");
  EXPECT_EQ(second.Movable(), 0);
  EXPECT_EQ(second.ShowIcon(), 0);
  EXPECT_EQ(second.ControlBox(), 0);
  EXPECT_EQ(second.SHOWONTOP(), -1);
  EXPECT_EQ(second.ONTOP(), -1);
  EXPECT_EQ(second.Style(), 4);
  EXPECT_EQ(second.Font(), font);
  EXPECT_EQ(second.BackColor(), 0x00112233u);
  EXPECT_EQ(second.ForeColor(), 0x00445566u);
}

TEST_F(CaptionSettings, LoadingClearsResizeEnabledAndAppliesTheStoredOnTopWithoutANotice) {
  ResizeEnabled = -1;
  host::PropertyBag stored;
  stored.WriteProperty("ONTOP", PropertyValue::Of(-1));
  form = std::make_unique<RecordingForm>(desktop, "TestForm");
  auto& c = form->Add(std::make_unique<JSCAPTION>("JSCAPTION1"), &stored);
  EXPECT_EQ(ResizeEnabled, 0);
  EXPECT_EQ(CountCalls(desktop, "SetWindowPos topmost"), 1);
  EXPECT_TRUE(desktop.Find(form->hwnd())->topmost);
  EXPECT_TRUE(c.ChangedProperties().empty());

  desktop.ClearCalls();
  Place();
  EXPECT_EQ(CountCalls(desktop, "SetWindowPos notopmost"), 1);
}

TEST_F(CaptionSettings, LoadingStopsAtTheFirstValueThatDoesNotConvert) {
  host::PropertyBag stored;
  stored.WriteProperty("Path", PropertyValue::Of(std::string("a.jss")));
  stored.WriteProperty("Movable", PropertyValue::Of(0));
  stored.WriteProperty("Style", PropertyValue::Of(std::string("wide")));
  stored.WriteProperty("ShowIcon", PropertyValue::Of(0));
  form = std::make_unique<RecordingForm>(desktop, "TestForm");
  EXPECT_THROW(form->Add(std::make_unique<JSCAPTION>("JSCAPTION1"), &stored), host::Error);
  auto* c = dynamic_cast<JSCAPTION*>(form->Controls("JSCAPTION1"));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Path(), "a.jss");
  EXPECT_EQ(c->Movable(), 0);
  EXPECT_EQ(c->Style(), 0);     // the start value: the read failed
  EXPECT_EQ(c->ShowIcon(), 0);  // never reached
}

TEST_F(CaptionSettings, APathOrFontStoredAsAnotherKindFailsTheLoad) {
  for (const auto& [name, value] :
       {std::pair{"Path", PropertyValue::Picture({'B', 'M'})},
        std::pair{"Path", PropertyValue::Of(MainWindowFont())},
        std::pair{"Font", PropertyValue::Of(5)},
        std::pair{"Font", PropertyValue::Of(std::string("Tahoma"))}}) {
    host::PropertyBag stored;
    stored.WriteProperty(name, value);
    form = std::make_unique<RecordingForm>(desktop, "TestForm");
    EXPECT_THROW(form->Add(std::make_unique<JSCAPTION>("JSCAPTION1"), &stored), host::Error)
        << name;
  }
}

TEST_F(CaptionSettings, StoredBooleansAndNumbersConvertAsTheLoadReadsThem) {
  host::PropertyBag stored;
  stored.WriteProperty("Movable", PropertyValue::Of(std::string("False")));
  stored.WriteProperty("ShowIcon", PropertyValue::Of(7));
  stored.WriteProperty("Style", PropertyValue::Of(std::string("3")));
  stored.WriteProperty("ForeColor", PropertyValue::Of(std::string("255")));
  JSCAPTION& c = Place(300, 200, stored);
  EXPECT_EQ(c.Movable(), 0);
  EXPECT_EQ(c.ShowIcon(), -1);
  EXPECT_EQ(c.Style(), 3);
  EXPECT_EQ(c.ForeColor(), 255u);
}

TEST_F(CaptionSettings, SettersStoreAndNotifyWithoutRedrawingExceptPathAndFont) {
  JSCAPTION& c = Place();
  c.Path(WriteSkin(TestSkin()));
  c.REDRAW();
  const std::uint32_t closeBefore = At(CloseX, FromTop);
  c.ControlBox(0);
  c.Style(0);
  c.SHOWONTOP(-1);
  c.ShowIcon(0);
  c.Movable(0);
  c.Style2(static_cast<caption::Style2>(7));
  EXPECT_EQ(At(CloseX, FromTop), closeBefore);
  EXPECT_EQ(c.Style2(), static_cast<caption::Style2>(7));
  const auto& changed = c.ChangedProperties();
  for (const char* name :
       {"Path", "ControlBox", "Style", "SHOWONTOP", "ShowIcon", "Movable", "Style2"}) {
    EXPECT_NE(std::find(changed.begin(), changed.end(), name), changed.end()) << name;
  }
  c.REDRAW();
  EXPECT_EQ(c.Style2(), caption::Style2::Normal);  // the composition sets it from the window state
  EXPECT_EQ(At(CloseX, FromTop), RightColour);
}

TEST_F(CaptionSettings, PathComposesAtOnceEvenWhenTheSameValueIsSetAgain) {
  JSCAPTION& c = Place();
  const std::string path = WriteSkin(TestSkin());
  c.Path(path);
  EXPECT_EQ(c.ScaleHeight(), BarHeight);
  WriteSkin(TestSkin().Picture("TOPLEFT", LeftWidth, 24, LeftColour));
  c.Path(path);
  EXPECT_EQ(c.ScaleHeight(), 24);
}

TEST_F(CaptionSettings, FontRedrawsTheBarAndNotifies) {
  JSCAPTION& c = Place();
  const std::string path = WriteSkin(TestSkin());
  c.Path(path);
  WriteSkin(TestSkin().Picture("TOPLEFT", LeftWidth, 26, LeftColour));
  c.Font(MainWindowFont());
  EXPECT_EQ(c.ScaleHeight(), 26);
  EXPECT_EQ(c.ChangedProperties().back(), "Font");
}

TEST_F(CaptionSettings, ColoursRecolourTheTextAtOnceUntilTheNextPaint) {
  JSCAPTION& c = Place();
  c.Path(WriteSkin(TestSkin()));
  c.REDRAW();
  c.ForeColor(0x00000001);
  c.BackColor(0x00000002);
  EXPECT_EQ(MainText().ForeColor, 0x00000001u);
  EXPECT_EQ(SecondText().ForeColor, 0x00000002u);
  const auto& changed = c.ChangedProperties();
  EXPECT_EQ(changed[changed.size() - 2], "ForeColor");
  EXPECT_EQ(changed.back(), "BackColor");
  c.REDRAW();
  EXPECT_EQ(c.ForeColor(), SkinForeColour);
  EXPECT_EQ(c.BackColor(), SkinBackColour);
}

TEST_F(CaptionSettings, OnTopPinsAndReleasesTheContainerAndEveryTrueSetPinsAgain) {
  JSCAPTION& c = Place();
  desktop.ClearCalls();
  c.ONTOP(-1);
  c.ONTOP(-1);
  EXPECT_EQ(CountCalls(desktop, "SetWindowPos topmost"), 2);
  EXPECT_TRUE(desktop.Find(form->hwnd())->topmost);
  c.ONTOP(0);
  EXPECT_EQ(CountCalls(desktop, "SetWindowPos notopmost"), 1);
  EXPECT_FALSE(desktop.Find(form->hwnd())->topmost);
  desktop.ClearCalls();
  c.ONTOP(1);  // neither True nor False: stored, no call
  EXPECT_EQ(c.ONTOP(), 1);
  EXPECT_TRUE(desktop.Calls().empty());
  EXPECT_EQ(c.ChangedProperties().back(), "ONTOP");
}

TEST_F(CaptionSettings, TerminationReleasesTheBarAndTheThreeButtonFacesButNotTheOnTopFace) {
  JSCAPTION& c = Place();
  c.SHOWONTOP(-1);
  const int before = gdi::LiveCount(gdi::Kind::Bitmap);
  c.Path(WriteSkin(TestSkin()));
  form->Unload();
  for (caption::ButtonKind kind :
       {caption::ButtonKind::Close, caption::ButtonKind::Max, caption::ButtonKind::Min}) {
    EXPECT_EQ(Button(kind).rect.right, Button(kind).rect.left);
  }
  EXPECT_EQ(
      Button(caption::ButtonKind::OnTop).rect.right - Button(caption::ButtonKind::OnTop).rect.left,
      OnTopWidth);
  if (gdi::LiveCountPerKind) {
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), before + 1);
  }
  form.reset();
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), before);
}

}  // namespace
}  // namespace captiontest
