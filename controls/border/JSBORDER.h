// The border control: draws one edge of a frameless container window (left,
// right or bottom) from a skin file, and lets the user resize the window by
// dragging that edge.
#pragma once

#include <cstdint>
#include <string>

#include "host/Control.h"
#include "host/PropertyBag.h"

namespace skin {
class FrameSkins;
}

class JSBORDER : public host::Control {
 public:
  // Shows wherever no skin piece covers the control (0x00BBGGRR).
  static constexpr std::uint32_t EdgeBackColor = 0x00DC7E5A;

  explicit JSBORDER(std::string name = "JSBORDER1");

  // 1 left edge, 2 right edge, 3 bottom edge; other values are kept but draw
  // nothing and never resize. Setting it docks the control on that side of
  // its container and throws host::Error when the container has no entry
  // under the control's display name (the value is kept, no change notice).
  void BORDERTYPE(std::int32_t NewBordertype);
  std::int32_t BORDERTYPE() const { return bordertype_; }

  // The full path of the skin file. Setting it reads the file and redraws
  // the edge before it returns, also when the path is the same as before.
  const std::string& Path() const { return path_; }
  void Path(const std::string& NewPath);

  // Repaints the edge at once.
  void REDRAW();

  // The reader the skin file is taken through from now on; the container
  // hands all its frame controls one. Without it the file is read plainly.
  void Skins(skin::FrameSkins& skins) { skins_ = &skins; }

  // The part of the edge last found under the pointer while resizing was
  // allowed: 0 lower-left corner, 1 plain edge, 2 lower-right corner.
  std::int16_t ResizeZone() const { return resizeZone_; }

  void UserControl_Initialize() override;
  void UserControl_ReadProperties(host::PropertyBag& PropBag) override;
  void UserControl_WriteProperties(host::PropertyBag& PropBag) override;
  void UserControl_Paint() override;
  void UserControl_Resize() override;
  void UserControl_MouseDown(int Button, int Shift, float X, float Y) override;
  void UserControl_MouseMove(int Button, int Shift, float X, float Y) override;
  void UserControl_MouseUp(int Button, int Shift, float X, float Y) override;

 private:
  void DrawSkin();
  // The one place the edge reads its skin file.
  void ReadSkin(host::PropertyBag& store) const;

  std::int32_t bordertype_ = 0;
  std::string path_;
  skin::FrameSkins* skins_ = nullptr;
  std::int16_t resizeZone_ = 0;
};
