// Light elements inside a control: a line of text and a stretched picture.
// They have no surface of their own and draw above the control's pixels.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/PropertyBag.h"
#include "platform/DeviceScale.h"
#include "platform/gdi/Surface.h"

namespace host {

class Element {
 public:
  virtual ~Element() = default;
  // Position and size in the containing control's pixels.
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Visible = true;

  bool Contains(int x, int y) const {
    return Visible && x >= Left && y >= Top && x < Left + Width && y < Top + Height;
  }
  // Draws for a control at (controlX, controlY) of the window, touching
  // nothing outside clip (the control's rectangle): an element never spills
  // past its control. The control's position is in window pixels; target
  // and clip are in device pixels at `scale`, where the element covers the
  // device pixels its own pixels cover.
  virtual void Draw(gdi::Surface& target, int controlX, int controlY, const RECT& clip,
                    platform::DeviceScale scale = 1) const = 0;
  // The element's rectangle in target's device pixels.
  RECT DeviceRect(int controlX, int controlY, platform::DeviceScale scale) const;

  // Mouse events taken from the control while the pointer is over the
  // element (X and Y in the element's own pixels). Unset handlers leave the
  // event to the control.
  std::function<void(int Button, int Shift, float X, float Y)> MouseDown;
  std::function<void(int Button, int Shift, float X, float Y)> MouseMove;
  std::function<void(int Button, int Shift, float X, float Y)> MouseUp;
  std::function<void()> DblClick;
  bool TakesMouse() const { return MouseDown || MouseMove || MouseUp || DblClick; }
};

// Text with a transparent background, clipped to its box.
class Label : public Element {
 public:
  std::string Caption;
  std::uint32_t ForeColor = 0x80000012;
  host::Font Font;
  // The font as drawn at a scale: the text is laid out at the device's
  // resolution rather than enlarged.
  host::Font DrawnFont(platform::DeviceScale scale) const { return Scaled(Font, scale); }
  static host::Font Scaled(host::Font font, platform::DeviceScale scale);
  void Draw(gdi::Surface& target, int controlX, int controlY, const RECT& clip,
            platform::DeviceScale scale = 1) const override;
  // Draws the text once into a control's DC, in the label's box of the
  // control's pixels. Unlike the element, the text is part of the control's
  // pixels then and stays until something is drawn over it.
  void DrawOnto(HDC dc) const;
  // The size in pixels that the caption takes in the label's font.
  void TextSize(int& width, int& height) const;
};

// A picture stretched to its box.
class Image : public Element {
 public:
  std::shared_ptr<const gdi::Surface> Picture;
  // The same picture at other sizes: drawn at a scale, the one nearest to
  // the box in device pixels is used.
  std::vector<std::shared_ptr<const gdi::Surface>> OtherSizes;
  void Draw(gdi::Surface& target, int controlX, int controlY, const RECT& clip,
            platform::DeviceScale scale = 1) const override;
};

}  // namespace host
