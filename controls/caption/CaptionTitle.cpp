#include "controls/caption/CaptionTitle.h"

#include <cstdlib>
#include <memory>

#include "controls/caption/CaptionGeometry.h"
#include "host/Screen.h"

namespace caption {

namespace {

// Fixed settings of the caption elements, in twips.
constexpr int LabelBoxWidth = 3045;
constexpr int LabelBoxHeight = 270;
constexpr int IconBoxSide = 240;
// The text and icon sit a fixed distance from the skin's offsets.
constexpr std::int16_t MainTextShiftX = 17;
constexpr std::int16_t SecondTextShiftX = 16;
constexpr std::int16_t SecondTextShiftY = -1;
constexpr std::int16_t IconShiftY = 2;

}  // namespace

host::Font CaptionTitle::TextFont() {
  host::Font font;
  font.Name = "Trebuchet MS";
  font.Size = 9.0;
  font.Weight = 700;
  return font;
}

CaptionTitle::CaptionTitle() {
  const host::Font textFont = TextFont();
  for (host::Label* label : {&Label2, &Label1}) {
    label->Font = textFont;
    label->Width = host::TwipsToPixels(LabelBoxWidth, host::Screen::TwipsPerPixelX());
    label->Height = host::TwipsToPixels(LabelBoxHeight, host::Screen::TwipsPerPixelY());
  }
  Label1.ForeColor = DefaultForeColor;
  Label2.ForeColor = DefaultBackColor;
  Image1.Width = host::TwipsToPixels(IconBoxSide, host::Screen::TwipsPerPixelX());
  Image1.Height = host::TwipsToPixels(IconBoxSide, host::Screen::TwipsPerPixelY());
}

void CaptionTitle::AddTo(host::Control& control) {
  control.AddElement(Image1);
  control.AddElement(Label2);
  control.AddElement(Label1);
}

void CaptionTitle::PlaceText(const CaptionLayout& layout) {
  if (const auto x = Add16(layout.XOFFSET, MainTextShiftX)) Label1.Left = *x;
  Label1.Top = layout.YOFFSET;
  if (const auto x = Add16(layout.XOFFSET, SecondTextShiftX)) Label2.Left = *x;
  if (const auto y = Add16(layout.YOFFSET, SecondTextShiftY)) Label2.Top = *y;
}

void CaptionTitle::Text(const std::string& text) {
  Label1.Caption = text;
  Label2.Caption = text;
}

void CaptionTitle::PlaceIcon(const CaptionLayout& layout) {
  Image1.Left = layout.XOFFSET2;
  if (const auto y = Add16(layout.YOFFSET, IconShiftY)) Image1.Top = *y;
}

void CaptionTitle::ShowIcon(const std::vector<platform::IconImage>& icon) {
  const platform::IconImage* best = nullptr;
  int bestDistance = 0;
  for (const auto& image : icon) {
    const int distance =
        std::abs(image.pixels.width - Image1.Width) + std::abs(image.pixels.height - Image1.Width);
    if (!best || distance < bestDistance) {
      best = &image;
      bestDistance = distance;
    }
  }
  Image1.Picture = best ? std::make_shared<const gdi::Surface>(best->pixels) : nullptr;
  // A window at a higher scale draws the icon image nearest its box in
  // device pixels.
  Image1.OtherSizes.clear();
  for (const auto& image : icon) {
    Image1.OtherSizes.push_back(std::make_shared<const gdi::Surface>(image.pixels));
  }
}

}  // namespace caption
