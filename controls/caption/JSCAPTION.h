// The caption control: the title bar of a frameless container window. It
// draws the bar, the button faces, the container's icon and caption from a
// skin file on every paint and resize, and turns a maximize made by the
// window manager into a maximize onto the desktop work area.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/caption/CaptionGeometry.h"
#include "controls/caption/clsOnTop.h"
#include "host/Control.h"
#include "host/Element.h"
#include "host/PropertyBag.h"
#include "platform/win32.h"
#include "skin/clsBitmap.h"

namespace host {
class Form;
}
namespace skin {
class FrameSkins;
}

class JSCAPTION : public host::Control {
 public:
  explicit JSCAPTION(std::string name = "JSCAPTION1");
  ~JSCAPTION() override;

  // The font the caption's text is drawn in, at scale 1.
  static host::Font TextFont();

  // Stored settings. Booleans are 16-bit, -1 true and 0 false; setters take
  // any value of the type as given.
  std::int16_t ControlBox() const { return ControlBox_; }
  void ControlBox(std::int16_t newvalue);
  std::int16_t Movable() const { return Movable_; }
  void Movable(std::int16_t newvalue);
  // Writing pins (-1) or releases (0) the container window at once.
  std::int16_t ONTOP() const { return ONTOP_; }
  void ONTOP(std::int16_t newvalue);
  // The full path of the skin file; writing it composes the bar at once.
  const std::string& Path() const { return Path_; }
  void Path(const std::string& NewPath);
  std::int16_t ShowIcon() const { return ShowIcon_; }
  void ShowIcon(std::int16_t newvalue);
  std::int16_t SHOWONTOP() const { return SHOWONTOP_; }
  void SHOWONTOP(std::int16_t newvalue);
  // 0 close button only; other values show all three buttons, and 1 also
  // lets the edges resize the window.
  std::int32_t Style() const { return Style_; }
  void Style(std::int32_t newstyle);
  // The face of the maximize/restore button as of the last composition:
  // 1 restore (held on the work area), 2 maximize (normal), 0 minimized.
  std::int32_t Style2() const { return Style2_; }
  void Style2(std::int32_t newstyle2);
  // Repaints at once; the container calls it after changing the skin.
  void REDRAW();
  // The reader the skin file is taken through from now on; the container
  // hands all its frame controls one. Without it the file is read plainly.
  void Skins(skin::FrameSkins& skins) { Skins_ = &skins; }
  // The control's own font. The caption text keeps its fixed font.
  const host::Font& Font() const { return Font_; }
  void Font(const host::Font& New_Font);
  // The colours of the second and of the main caption text.
  std::uint32_t BackColor() const { return Label2.ForeColor; }
  void BackColor(std::uint32_t New_BackColor);
  std::uint32_t ForeColor() const { return Label1.ForeColor; }
  void ForeColor(std::uint32_t New_ForeColor);

  // Host events.
  void UserControl_Initialize() override;
  void UserControl_InitProperties() override;
  void UserControl_ReadProperties(host::PropertyBag& PropBag) override;
  void UserControl_WriteProperties(host::PropertyBag& PropBag) override;
  void UserControl_Paint() override;
  void UserControl_Resize() override;
  void UserControl_Terminate() override;
  // The buttons follow the pointer; a press away from them drags the window
  // and a double-click there maximizes or restores it.
  void UserControl_MouseMove(int Button, int Shift, float X, float Y) override;
  void UserControl_MouseDown(int Button, int Shift, float X, float Y) override;
  void UserControl_MouseUp(int Button, int Shift, float X, float Y) override;
  void UserControl_Click() override;
  void UserControl_DblClick() override;

 protected:
  enum class PlacementOrder { PositionFirst, SizeFirst };

  void ComposeCaption();
  // Saves the container's bounds, then sizes and places it on the work area
  // (screen pixels) in the given order.
  void PlaceOnWorkArea(const RECT& workArea, PlacementOrder order);

  // The container window; raises host::Error when there is none.
  host::Form& Container() const;

  // Elements over the bar: the caption text twice and the container's icon.
  // Label1 is added last so that it draws above Label2 and takes the mouse.
  host::Image Image1;
  host::Label Label2;
  host::Label Label1;

  // The parsed skin of the last composition and the current button faces;
  // the button handling loads hover and pressed faces into the same surfaces.
  host::PropertyBag SkinBag;
  std::unique_ptr<clsBitmap> TopLeftBitmap;
  std::unique_ptr<clsBitmap> TopMidBitmap;
  std::unique_ptr<clsBitmap> TopRightBitmap;
  std::unique_ptr<clsBitmap> CloseBitmap;
  std::unique_ptr<clsBitmap> MaxBitmap;
  std::unique_ptr<clsBitmap> MinBitmap;
  std::unique_ptr<clsBitmap> OnTopBitmap;
  std::unique_ptr<clsOnTop> OnTopSwitch;

  // Layout values of the last composition, in pixels.
  std::int16_t XOFFSET = 0;
  std::int16_t XOFFSET2 = 0;
  std::int16_t YOFFSET = 0;
  std::int16_t FROMRIGHT = 0;
  std::int16_t FROMTOP = 0;
  std::int16_t ICONSPACE = 0;

  // 1 while this control holds the container on the work area; the bounds
  // (twips) it had before.
  std::uint8_t IsMaximized = 0;
  std::int32_t RestoreWidth = 0;
  std::int32_t RestoreHeight = 0;
  std::int32_t RestoreLeft = 0;
  std::int32_t RestoreTop = 0;

  // Pointer state of the buttons: the button last found under the pointer
  // while it was active (0 close, 1 minimize, 2 maximize/restore,
  // 3 always-on-top), and whether the pointer still counts as over it.
  std::int32_t HotButton = 0;
  std::int16_t OverButton = 0;

 private:
  enum class Face { Close, Max, Min, OnTop };

  void TakeOverSystemMaximize();
  void ApplyOnTop();

  // The widths of the faces the button surfaces hold now.
  caption::ButtonWidths CurrentWidths() const;
  // Loads the skin's picture under key into that button's surface and copies
  // it straight onto the bar at the button's place.
  void DrawFace(Face face, const char* key);
  void DrawNormalFaces();
  void StartDrag();
  void ToggleOnTop();
  // The two ways into a work-area maximize and a restore besides the
  // takeover: the maximize/restore button and a double-click on the bar.
  void MaximizeFromButton();
  void RestoreFromButton();
  void MaximizeFromDoubleClick();
  void RestoreFromDoubleClick();
  bool QueryWorkArea(RECT& workArea);
  void PutBackRestoreBounds();
  void ShowWorkAreaFailure();

  // True once a placement on the work area has saved the bounds a restore
  // puts back; a maximize that never placed the window saved nothing.
  bool HaveRestoreBounds = false;

  std::string Path_;
  skin::FrameSkins* Skins_ = nullptr;
  std::int16_t Movable_ = 0;
  std::int16_t ShowIcon_ = 0;
  std::int16_t ControlBox_ = 0;
  std::int16_t ONTOP_ = 0;
  std::int16_t SHOWONTOP_ = 0;
  std::int32_t Style_ = 0;
  std::int32_t Style2_ = 0;
  host::Font Font_;
};
