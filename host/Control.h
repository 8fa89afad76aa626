// A user control: a child of a form with its own pixel surface, docking,
// stored settings and events.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/PropertyBag.h"
#include "platform/Desktop.h"
#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace host {

class Form;
class Element;

// Alignment codes of a docked control.
enum Align { vbAlignNone = 0, vbAlignTop = 1, vbAlignBottom = 2, vbAlignLeft = 3, vbAlignRight = 4 };

// Mouse pointer shapes a control can show.
enum MousePointer {
  vbDefault = 0,
  vbSizeNESW = 6,
  vbSizeNS = 7,
  vbSizeNWSE = 8,
  vbSizeWE = 9,
};

struct AmbientProperties {
  bool UserMode = true;  // run mode
  std::string DisplayName;
  host::Font Font;
};

// Raised by handlers that have no error handling of their own; the message
// loop reports it and ends the program.
struct Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Control {
 public:
  explicit Control(std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  Form* Parent() const { return parent_; }

  // Geometry in twips, held in whole pixels. A size change lays out the
  // container's docked controls and raises Resize before it returns.
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void Left(int twips);
  void Top(int twips);
  void Width(int twips);
  void Height(int twips);
  void Move(int left, int top, int width, int height);
  // The inside in the control's unit, the pixel.
  int ScaleWidth() const { return pw_; }
  int ScaleHeight() const { return ph_; }
  int PixelLeft() const { return px_; }
  int PixelTop() const { return py_; }

  int Align() const { return align_; }
  void Align(int value);
  bool Visible() const { return visible_; }
  void Visible(bool value);
  int TabIndex() const { return tabIndex_; }
  void TabIndex(int value) { tabIndex_ = value; }

  // The control's surface. What is drawn on it stays until drawn over.
  HDC hDC();
  const gdi::Surface& Pixels() const {
    SettleDrawing();
    return surface_;
  }
  // Background colour (0x00BBGGRR); setting it clears the surface to it.
  std::uint32_t BackColor() const { return backColor_; }
  void BackColor(std::uint32_t color);
  std::uint32_t ForeColor() const { return foreColor_; }
  void ForeColor(std::uint32_t color) { foreColor_ = color; }
  int MousePointer() const { return mousePointer_; }
  void MousePointer(int shape);

  // Repaints at once: raises Paint.
  void Refresh();
  const AmbientProperties& Ambient() const;
  // Marks a stored setting as changed, so that the container saves it.
  void PropertyChanged(const std::string& propertyName);
  const std::vector<std::string>& ChangedProperties() const { return changed_; }

  // Light elements drawn above the surface, in order (later ones on top).
  void AddElement(Element& element) { elements_.push_back(&element); }
  const std::vector<Element*>& Elements() const { return elements_; }

  // A control drawn by the backend itself (a web view) has no pixels here.
  virtual bool IsNative() const { return false; }

  // The parts of the control an assistive tool finds, with their bounds in
  // the control's pixels; most controls have none.
  virtual std::vector<platform::AccessiblePart> AccessibleParts() const { return {}; }
  // Works part `index` of AccessibleParts as the pointer would; false when
  // it could not be worked.
  virtual bool PressAccessiblePart(std::size_t index) {
    (void)index;
    return false;
  }

  // Events.
  virtual void UserControl_Initialize() {}
  virtual void UserControl_InitProperties() {}
  virtual void UserControl_ReadProperties(PropertyBag& PropBag) { (void)PropBag; }
  virtual void UserControl_WriteProperties(PropertyBag& PropBag) { (void)PropBag; }
  virtual void UserControl_Paint() {}
  virtual void UserControl_Resize() {}
  virtual void UserControl_Terminate() {}
  virtual void UserControl_MouseDown(int Button, int Shift, float X, float Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }
  virtual void UserControl_MouseMove(int Button, int Shift, float X, float Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }
  virtual void UserControl_MouseUp(int Button, int Shift, float X, float Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }
  virtual void UserControl_Click() {}
  virtual void UserControl_DblClick() {}

 protected:
  // Called after the pixel rectangle changed, before Resize is raised.
  virtual void OnBoundsChanged() {}
  virtual void OnVisibleChanged() {}

 private:
  friend class Form;
  void SetPixelBounds(int x, int y, int w, int h, bool relayout);
  // On Windows the DC draws into a copy of the surface: what GDI drew comes
  // back before anyone reads or changes the surface itself.
  void SettleDrawing() const;

  std::string name_;
  Form* parent_ = nullptr;
  int px_ = 0, py_ = 0, pw_ = 0, ph_ = 0;
  int align_ = vbAlignNone;
  bool visible_ = true;
  int tabIndex_ = 0;
  gdi::Surface surface_;
  HDC hdc_ = nullptr;
  // The DC's copy may hold newer pixels than surface_.
  mutable bool drawing_ = false;
  std::uint32_t backColor_ = 0x00FFFFFF;
  std::uint32_t foreColor_ = 0x00000000;
  int mousePointer_ = vbDefault;
  mutable AmbientProperties ambient_;
  bool paintPending_ = false;
  std::vector<std::string> changed_;
  std::vector<Element*> elements_;
};

}  // namespace host
