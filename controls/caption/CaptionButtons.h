// The caption's buttons: their face surfaces, which face each one shows,
// which button the pointer has made hot, and what an assistive tool is told
// of them. The caption control owns one and does what a click asks for.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/caption/CaptionGeometry.h"
#include "host/PropertyBag.h"
#include "platform/Desktop.h"
#include "platform/win32.h"
#include "skin/clsBitmap.h"

namespace caption {

// In the order the buttons line up leftwards from the bar's right edge.
enum class ButtonKind { Close, Max, Min, OnTop };
inline constexpr ButtonKind AllButtons[] = {ButtonKind::Close, ButtonKind::Max, ButtonKind::Min,
                                            ButtonKind::OnTop};

enum class ButtonLook { Normal, Hover, Pressed };

// What the buttons need of their caption at one moment: where to draw, the
// bar's width, the skin's layout values and the caption's settings as they
// are stored (16-bit Booleans, -1 true; other values are kept as given).
struct ButtonContext {
  HDC target = nullptr;
  double barWidth = 0;
  std::int16_t fromTop = 0;
  std::int16_t fromRight = 0;
  std::int16_t iconSpace = 0;
  std::int16_t controlBox = 0;
  std::int32_t style = 0;
  std::int16_t showOnTop = 0;
  std::int16_t onTop = 0;
  bool held = false;  // the caption holds the work area: restore faces
};

// A button as an assistive tool sees it.
struct ButtonView {
  ButtonKind kind = ButtonKind::Close;
  bool visible = false;
  RECT rect{};  // in the control's pixels
  std::string name;
  // Held down by the pointer, or for the always-on-top button, switched on.
  bool pressed = false;
};

// A pointer position in the control's pixels, as the pointer events give it.
struct PointerPoint {
  float x = 0;
  float y = 0;
};

class CaptionButtons {
 public:
  // The skin faces are read from; it is the caption's and outlives this.
  explicit CaptionButtons(const host::PropertyBag& skin);
  ~CaptionButtons();

  // Fresh empty surfaces before a composition; once the control ends, none
  // for the three control-box buttons.
  void NewFaces();
  void ReleaseFaces();

  // Loads the button's face for that look into its surface without drawing
  // it; raises host::Error when there is no surface yet.
  void LoadFace(ButtonKind kind, ButtonLook look, const ButtonContext& context);
  // Copies the faces now loaded onto the bar, where the composition shows
  // them: the control-box buttons, and the always-on-top button apart.
  void BlitControlBox(const ButtonContext& context) const;
  void BlitOnTop(const ButtonContext& context) const;
  // Loads the face and copies it straight onto the bar at the button's place.
  void Show(ButtonKind kind, ButtonLook look, const ButtonContext& context);

  // The pointer: a move over an active button makes it hot and shows its
  // hover face; a move on the free band puts the normal faces back.
  void PointerMoved(const ButtonContext& context, float x, float y);
  void PointerDown(const ButtonContext& context);
  void PointerUp(const ButtonContext& context);
  // Whether the pointer counts as over a button, and which one a click works
  // (none when the style keeps the hot button from reacting).
  bool Over() const { return over_; }
  // Whether a pointer move makes the button hot under these settings.
  bool Reacts(ButtonKind kind, const ButtonContext& context) const;
  std::optional<ButtonKind> ClickTarget(const ButtonContext& context) const;

  std::vector<ButtonView> Views(const ButtonContext& context) const;
  // What a tool finds of the buttons: the shown ones with a face (a button
  // whose skin has no face is not drawn), in the order of Views.
  std::vector<ButtonView> Drawn(const ButtonContext& context) const;
  static std::vector<platform::AccessiblePart> AccessibleParts(const std::vector<ButtonView>& drawn);
  // A point in the control's pixels where a pointer makes the button hot;
  // none when the button has no room in the band.
  std::optional<PointerPoint> PressPoint(ButtonKind kind, const ButtonContext& context) const;

  // The left edges of the faces now loaded.
  ButtonLefts Lefts(const ButtonContext& context) const;

 private:
  std::unique_ptr<clsBitmap>& Slot(ButtonKind kind);
  const clsBitmap* Surface(ButtonKind kind) const;
  ButtonWidths Widths() const;
  void ShowNormalFaces(const ButtonContext& context);

  const host::PropertyBag& skin_;
  std::unique_ptr<clsBitmap> faces_[4];
  // The button last found under the pointer while it was active, and
  // whether the pointer still counts as over it.
  ButtonKind hot_ = ButtonKind::Close;
  bool over_ = false;
  bool down_ = false;
};

}  // namespace caption
