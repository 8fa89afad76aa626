// A frameless top-level window holding controls. Geometry is authoritative
// here: an assignment changes the model, lays out the docked controls, raises
// their Resize and the form's Resize before it returns (nested runs
// included), then asks the desktop to follow.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Control.h"
#include "host/Screen.h"
#include "platform/Desktop.h"

namespace host {

class Form : public platform::WindowSink {
 public:
  Form(platform::Desktop& desktop, std::string name);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  HWND hwnd() const { return hwnd_; }
  platform::Desktop& Desktop() const { return desktop_; }
  host::Screen& Screen() { return screen_; }

  const std::string& Caption() const { return caption_; }
  void Caption(const std::string& text);
  const std::vector<platform::IconImage>& Icon() const { return icon_; }
  void Icon(std::vector<platform::IconImage> images);
  std::uint32_t BackColor() const { return backColor_; }
  void BackColor(std::uint32_t color);
  const host::Font& Font() const { return ambient_.Font; }
  void Font(const host::Font& font) { ambient_.Font = font; }
  // Ambient user mode handed to the controls: run mode unless a test asks
  // for design mode.
  bool UserMode() const { return ambient_.UserMode; }
  void UserMode(bool runMode) { ambient_.UserMode = runMode; }

  // Outer geometry in twips; the form has no frame, so the client size is
  // the outer size (0 x 0 while minimized).
  int Left() const { return x_ * Screen::TwipsPerPixelX(); }
  int Top() const { return y_ * Screen::TwipsPerPixelY(); }
  int Width() const { return w_ * Screen::TwipsPerPixelX(); }
  int Height() const { return h_ * Screen::TwipsPerPixelY(); }
  void Left(int twips);
  void Top(int twips);
  void Width(int twips);
  void Height(int twips);
  void Move(int left, int top);
  void Move(int left, int top, int width, int height);
  int ScaleWidth() const;
  int ScaleHeight() const;
  // 0 normal, 1 minimized, 2 maximized.
  int WindowState() const { return state_; }
  void WindowState(int state);
  // Told to the window manager so that its sizing loops stop there; size
  // assignments are not held to it (the resize handling does that).
  void MinimumSize(int widthTwips, int heightTwips);

  // Controls, in creation order. Add raises Initialize, then ReadProperties
  // with the stored settings when there are any, else InitProperties.
  template <class T>
  T& Add(std::unique_ptr<T> control, const PropertyBag* stored = nullptr) {
    T& ref = *control;
    AddControl(std::move(control), stored);
    return ref;
  }
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
  // The entry of that name, or null.
  Control* Controls(const std::string& name) const;
  // Lays the docked controls out against the edges: top and bottom first at
  // full width, then left and right between them.
  void Layout();

  // Shows the window (raising Load first, once).
  void Show();
  // Raises Unload; unless cancelled, ends the controls, destroys the window
  // and, for the last form, ends the message loop with status 0.
  void Unload();
  bool Shown() const { return shown_; }
  bool Unloaded() const { return unloaded_; }

  // Runs the Paint events that size changes and showing have asked for.
  void PaintPending();
  void Invalidate();

  // Events.
  virtual void Form_Load() {}
  virtual void Form_Resize() {}
  virtual void Form_Unload(int& Cancel) { (void)Cancel; }

  // platform::WindowSink
  void OnPointer(const platform::PointerEvent& event) override;
  void OnBoundsChanged(int x, int y, int width, int height) override;
  void OnStateChanged(int windowState, const RECT& bounds) override;
  void OnCloseRequested() override;
  void OnCaptureReleased() override;
  void Render(gdi::Surface& target) override;
  void RenderScaled(gdi::Surface& target, platform::DeviceScale scale) override;
  std::vector<RECT> RenderUncovered(gdi::Surface& target, platform::DeviceScale scale) override;
  // The visible controls' parts, in creation order, in window pixels.
  std::vector<platform::AccessiblePart> AccessibleParts() override;
  void PressAccessiblePart(std::size_t index) override;

 private:
  friend class Control;
  void AddControl(std::unique_ptr<Control> control, const PropertyBag* stored);
  void SetBounds(int x, int y, int w, int h, bool fromOutside);
  void Commit(const RECT& bounds, bool resize);
  void SizeChanged();
  void PushBounds();
  void LayoutPass();
  void CursorChanged(const Control& control);
  Element* ElementAt(const Control& control, int x, int y) const;
  Control* ControlAt(int x, int y) const;
  void RoutePointer(const platform::PointerEvent& event);
  // Hands the event to the element or control under it, at (x, y) in the
  // control's pixels, and keeps the capture as the event leaves it.
  void DeliverPointer(Control& target, Element* element, const platform::PointerEvent& event,
                      int x, int y);
  void AdoptState(int windowState, const RECT& bounds);
  void DrawControls(gdi::Surface& target, platform::DeviceScale scale) const;
  void Guarded(const std::function<void()>& work);
  void NoteAccessibleParts();

  platform::Desktop& desktop_;
  host::Screen screen_;
  std::string name_;
  HWND hwnd_ = nullptr;
  bool loadRaised_ = false;
  bool shown_ = false;
  bool unloaded_ = false;
  std::string caption_;
  std::vector<platform::IconImage> icon_;
  std::uint32_t backColor_ = 0x8000000F;
  AmbientProperties ambient_;
  int x_ = 0, y_ = 0, w_ = 0, h_ = 0;  // pixels
  int state_ = 0;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* capture_ = nullptr;
  Element* captureElement_ = nullptr;
  bool doubleClickPending_ = false;
  Control* hover_ = nullptr;
  int layoutDepth_ = 0;
  bool layoutAgain_ = false;
  int geometryDepth_ = 0;
  RECT pushed_{};
  RECT restore_{};  // bounds to return to from a maximize
  // The accessible parts as the desktop was last told of them.
  std::vector<platform::AccessiblePart> toldParts_;
};

}  // namespace host
