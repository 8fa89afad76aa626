// The caption control: the title bar of a frameless container window. It
// draws the bar, the button faces, the container's icon and caption from a
// skin file on every paint and resize, and turns a maximize made by the
// window manager into a maximize onto the desktop work area.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/caption/CaptionBar.h"
#include "controls/caption/CaptionButtons.h"
#include "controls/caption/CaptionTitle.h"
#include "controls/caption/WorkAreaHold.h"
#include "controls/caption/clsOnTop.h"
#include "host/Control.h"
#include "host/PropertyBag.h"
#include "platform/win32.h"

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
  // The window state as of the last composition (caption::Style2): the
  // face of the maximize/restore button. The main window reads it.
  caption::Style2 Style2() const { return Hold.State(); }
  void Style2(caption::Style2 newstyle2);
  // Repaints at once; the container calls it after changing the skin.
  void REDRAW();
  // The reader the skin file is taken through from now on; the container
  // hands all its frame controls one. Without it the file is read plainly.
  void Skins(skin::FrameSkins& skins) { Skins_ = &skins; }
  // The control's own font. The caption text keeps its fixed font.
  const host::Font& Font() const { return Font_; }
  void Font(const host::Font& New_Font);
  // The colours of the second and of the main caption text.
  std::uint32_t BackColor() const { return Title.Label2.ForeColor; }
  void BackColor(std::uint32_t New_BackColor);
  std::uint32_t ForeColor() const { return Title.Label1.ForeColor; }
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

  // The buttons as an assistive tool sees them, in the order close,
  // maximize/restore, minimize, always-on-top.
  std::vector<caption::ButtonView> ButtonViews() const;
  // Works a button as a pointer click on it would: a move onto it, a press,
  // a release and a click. False when no pointer could make it hot there
  // (hidden, inactive for the style, without a face, or the control box off).
  bool PressButton(caption::ButtonKind kind);
  // The buttons drawn (shown, with a face), as host parts: the
  // always-on-top button a toggle.
  std::vector<platform::AccessiblePart> AccessibleParts() const override;
  bool PressAccessiblePart(std::size_t index) override;

 private:
  // The container window; raises host::Error when there is none.
  host::Form& Container() const;
  caption::ButtonContext ButtonsContext(HDC target) const;
  void ApplyOnTop();
  void ReadSkin();

  // Composition: draws the bar from the skin and reports the window state;
  // the recomposition then takes over a maximize made by the window manager.
  void Recompose();
  void ComposeCaption();
  void NoteWindowState();
  void ApplySkinColours();

  // Button actions, and the one way onto the work area and back: while the
  // work area is held the button and a double-click let it go; otherwise,
  // and always for a maximize made by the window manager, they take it.
  void ButtonClicked(caption::ButtonKind kind);
  void TakeOverSystemMaximize();
  void ChangeHold(caption::HoldWay way);
  void ShowWorkAreaFailure();
  void StartDrag();
  void ToggleOnTop();

  // Elements over the bar: the container's icon and the caption text twice.
  caption::CaptionTitle Title;

  // The parsed skin of the last composition, the bar and the buttons drawn
  // from it, and the hold on the work area.
  host::PropertyBag SkinBag;
  caption::CaptionBar Bar;
  caption::CaptionButtons Buttons{SkinBag};
  caption::WorkAreaHold Hold;
  std::unique_ptr<clsOnTop> OnTopSwitch;

  std::string Path_;
  skin::FrameSkins* Skins_ = nullptr;
  std::int16_t Movable_ = 0;
  std::int16_t ShowIcon_ = 0;
  std::int16_t ControlBox_ = 0;
  std::int16_t ONTOP_ = 0;
  std::int16_t SHOWONTOP_ = 0;
  std::int32_t Style_ = 0;
  host::Font Font_;
};
