#include "host/Form.h"

#include <algorithm>
#include <functional>
#include <iostream>

#include "host/Element.h"
#include "host/WebBrowser.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"

namespace host {

namespace {

platform::Cursor CursorOf(int mousePointer) {
  switch (mousePointer) {
    case vbSizeNESW:
      return platform::Cursor::SizeNESW;
    case vbSizeNS:
      return platform::Cursor::SizeNS;
    case vbSizeNWSE:
      return platform::Cursor::SizeNWSE;
    case vbSizeWE:
      return platform::Cursor::SizeWE;
    default:
      return platform::Cursor::Default;
  }
}

bool SameParts(const std::vector<platform::AccessiblePart>& a,
               const std::vector<platform::AccessiblePart>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return x.role == y.role && x.name == y.name && x.pressed == y.pressed &&
           x.bounds.left == y.bounds.left && x.bounds.top == y.bounds.top &&
           x.bounds.right == y.bounds.right && x.bounds.bottom == y.bounds.bottom;
  });
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The parts of the rectangles outside cut: at most four pieces each (the
// bands above and below it, the parts left and right of it between them).
std::vector<RECT> Subtract(const std::vector<RECT>& rects, const RECT& cut) {
  std::vector<RECT> rest;
  for (const RECT& r : rects) {
    if (cut.left >= r.right || cut.right <= r.left || cut.top >= r.bottom || cut.bottom <= r.top ||
        cut.left >= cut.right || cut.top >= cut.bottom) {
      rest.push_back(r);
      continue;
    }
    const LONG top = std::max(r.top, cut.top);
    const LONG bottom = std::min(r.bottom, cut.bottom);
    if (r.top < top) rest.push_back({r.left, r.top, r.right, top});
    if (r.left < cut.left) rest.push_back({r.left, top, cut.left, bottom});
    if (cut.right < r.right) rest.push_back({cut.right, top, r.right, bottom});
    if (bottom < r.bottom) rest.push_back({r.left, bottom, r.right, r.bottom});
  }
  return rest;
}

}  // namespace

Form::Form(platform::Desktop& desktop, std::string name)
    : desktop_(desktop), screen_(desktop), name_(std::move(name)) {
  hwnd_ = desktop_.CreateTopLevel(*this, RECT{0, 0, 0, 0});
}

Form::~Form() {
  if (!unloaded_) {
    unloaded_ = true;
    for (auto& control : controls_) control->UserControl_Terminate();
    desktop_.DestroyTopLevel(hwnd_);
  }
  controls_.clear();
}

void Form::Caption(const std::string& text) {
  caption_ = text;
  desktop_.SetTitle(hwnd_, text);
  Invalidate();
}

void Form::Icon(std::vector<platform::IconImage> images) {
  icon_ = std::move(images);
  desktop_.SetIcon(hwnd_, icon_);
}

void Form::BackColor(std::uint32_t color) {
  backColor_ = color;
  Invalidate();
}

void Form::Left(int twips) {
  SetBounds(TwipsToPixels(twips, Screen::TwipsPerPixelX()), y_, w_, h_, false);
}
void Form::Top(int twips) {
  SetBounds(x_, TwipsToPixels(twips, Screen::TwipsPerPixelY()), w_, h_, false);
}
void Form::Width(int twips) {
  SetBounds(x_, y_, TwipsToPixels(twips, Screen::TwipsPerPixelX()), h_, false);
}
void Form::Height(int twips) {
  SetBounds(x_, y_, w_, TwipsToPixels(twips, Screen::TwipsPerPixelY()), false);
}
void Form::Move(int left, int top) {
  SetBounds(TwipsToPixels(left, Screen::TwipsPerPixelX()),
            TwipsToPixels(top, Screen::TwipsPerPixelY()), w_, h_, false);
}
void Form::Move(int left, int top, int width, int height) {
  SetBounds(TwipsToPixels(left, Screen::TwipsPerPixelX()),
            TwipsToPixels(top, Screen::TwipsPerPixelY()),
            TwipsToPixels(width, Screen::TwipsPerPixelX()),
            TwipsToPixels(height, Screen::TwipsPerPixelY()), false);
}

int Form::ScaleWidth() const { return state_ == 1 ? 0 : Width(); }
int Form::ScaleHeight() const { return state_ == 1 ? 0 : Height(); }

void Form::SetBounds(int x, int y, int w, int h, bool fromOutside) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  const bool sized = w != w_ || h != h_;
  if (!sized && x == x_ && y == y_) return;
  const RECT bounds{x, y, x + w, y + h};
  // What the window manager reports is already on screen: no echo.
  if (fromOutside) pushed_ = bounds;
  Commit(bounds, sized);
}

// The one path of every geometry change: the model first, then the resize
// handling (nested assignments settle inside it), then the desktop follows
// once, with the settled bounds.
void Form::Commit(const RECT& bounds, bool resize) {
  x_ = bounds.left;
  y_ = bounds.top;
  w_ = std::max(0, static_cast<int>(bounds.right - bounds.left));
  h_ = std::max(0, static_cast<int>(bounds.bottom - bounds.top));
  ++geometryDepth_;
  if (resize) SizeChanged();
  --geometryDepth_;
  PushBounds();
  Invalidate();
}

void Form::SizeChanged() {
  Layout();
  Form_Resize();
}

void Form::PushBounds() {
  // Nested runs settle first; the window follows the model once, at the end.
  if (geometryDepth_ > 0 || unloaded_ || state_ == 1) return;
  const RECT bounds{x_, y_, x_ + w_, y_ + h_};
  if (SameRect(bounds, pushed_)) return;
  pushed_ = bounds;
  desktop_.SetBounds(hwnd_, bounds);
}

void Form::WindowState(int state) {
  if (state == state_ || state < 0 || state > 2) return;
  const int old = state_;
  const RECT current{x_, y_, x_ + w_, y_ + h_};
  RECT target = current;
  if (state == 2) {
    restore_ = current;
    if (!desktop_.WorkArea(hwnd_, target)) target = current;
  } else if (state == 0 && old == 2) {
    target = restore_;
  }
  state_ = state;
  desktop_.SetState(hwnd_, state);
  Commit(target, true);
}

void Form::MinimumSize(int widthTwips, int heightTwips) {
  desktop_.SetMinimumSize(hwnd_, TwipsToPixels(widthTwips, Screen::TwipsPerPixelX()),
                          TwipsToPixels(heightTwips, Screen::TwipsPerPixelY()));
}

void Form::AddControl(std::unique_ptr<Control> control, const PropertyBag* stored) {
  Control& c = *control;
  c.parent_ = this;
  controls_.push_back(std::move(control));
  if (auto* browser = dynamic_cast<WebBrowser*>(&c)) browser->Attach(desktop_, hwnd_);
  c.UserControl_Initialize();
  if (stored) {
    PropertyBag bag = *stored;
    c.UserControl_ReadProperties(bag);
  } else {
    c.UserControl_InitProperties();
  }
  // Text fonts are found while the rest of the window is made, rather than
  // by its first frame.
  const int scale = desktop_.Scale(hwnd_);
  for (const Element* element : c.Elements()) {
    if (const auto* label = dynamic_cast<const Label*>(element)) {
      gdi::PrepareFont(label->DrawnFont(scale));
    }
  }
  if (c.Align() != vbAlignNone) Layout();
}

Control* Form::Controls(const std::string& name) const {
  for (const auto& control : controls_) {
    if (control->Name() == name) return control.get();
  }
  return nullptr;
}

void Form::Layout() {
  if (layoutDepth_ > 0) {
    // A control's Resize changed the layout while a pass was under way: lay
    // out now for the nested run, and again when the outer pass ends, whose
    // running totals may be stale.
    layoutAgain_ = true;
    LayoutPass();
    return;
  }
  ++layoutDepth_;
  int rounds = 0;
  do {
    layoutAgain_ = false;
    LayoutPass();
  } while (layoutAgain_ && ++rounds < 8);
  --layoutDepth_;
}

void Form::LayoutPass() {
  if (state_ == 1) return;
  int top = 0;
  int bottom = h_;
  for (auto& c : controls_) {
    if (c->align_ != vbAlignTop) continue;
    c->SetPixelBounds(0, top, w_, c->ph_, false);
    top += c->ph_;
  }
  for (auto& c : controls_) {
    if (c->align_ != vbAlignBottom) continue;
    c->SetPixelBounds(0, bottom - c->ph_, w_, c->ph_, false);
    bottom -= c->ph_;
  }
  const int between = std::max(0, bottom - top);
  int left = 0;
  int right = w_;
  for (auto& c : controls_) {
    if (c->align_ != vbAlignLeft) continue;
    c->SetPixelBounds(left, top, c->pw_, between, false);
    left += c->pw_;
  }
  for (auto& c : controls_) {
    if (c->align_ != vbAlignRight) continue;
    c->SetPixelBounds(right - c->pw_, top, c->pw_, between, false);
    right -= c->pw_;
  }
}

void Form::Show() {
  if (!loadRaised_) {
    loadRaised_ = true;
    Form_Load();
  }
  if (unloaded_) return;
  if (!shown_) {
    // Showing a window is its first size change, whether or not Load moved
    // or sized it.
    ++geometryDepth_;
    SizeChanged();
    --geometryDepth_;
    if (unloaded_) return;
  }
  shown_ = true;
  desktop_.Show(hwnd_, true);
  for (auto& control : controls_) {
    if (auto* browser = dynamic_cast<WebBrowser*>(control.get())) {
      desktop_.ShowWebView(browser->View(), browser->Visible());
    }
    control->paintPending_ = true;
  }
  PushBounds();
  PaintPending();
  Invalidate();
}

void Form::Unload() {
  if (unloaded_) return;
  int cancel = 0;
  Form_Unload(cancel);
  if (cancel != 0) return;
  unloaded_ = true;
  shown_ = false;
  capture_ = nullptr;
  captureElement_ = nullptr;
  hover_ = nullptr;
  // The controls end with the window, but their objects live on until the
  // form goes: an Unload may come from inside one of their handlers.
  for (auto& control : controls_) control->UserControl_Terminate();
  desktop_.DestroyTopLevel(hwnd_);
  // The program ends with the last window of its desktop, each a form's.
  if (desktop_.TopLevelCount() == 0) desktop_.Quit(0);
}

void Form::PaintPending() {
  if (!shown_ || unloaded_) return;
  for (int round = 0; round < 4; ++round) {
    bool painted = false;
    for (auto& control : controls_) {
      if (!control->paintPending_ || !control->visible_ || control->IsNative()) continue;
      control->paintPending_ = false;
      painted = true;
      control->UserControl_Paint();
      if (unloaded_) return;
    }
    if (!painted) break;
  }
  // Every change a part can see (a state, a skin, a press) ends in a paint.
  NoteAccessibleParts();
}

std::vector<platform::AccessiblePart> Form::AccessibleParts() {
  std::vector<platform::AccessiblePart> parts;
  // A minimized window shows no frame to find parts in.
  if (!shown_ || unloaded_ || state_ == 1) return parts;
  Guarded([&] {
    for (const auto& control : controls_) {
      const Control& c = *control;
      if (!c.visible_ || c.IsNative()) continue;
      for (platform::AccessiblePart part : c.AccessibleParts()) {
        part.bounds.left += c.px_;
        part.bounds.right += c.px_;
        part.bounds.top += c.py_;
        part.bounds.bottom += c.py_;
        parts.push_back(std::move(part));
      }
    }
  });
  return parts;
}

void Form::PressAccessiblePart(std::size_t index) {
  if (!shown_ || unloaded_ || state_ == 1) return;
  Guarded([&] {
    for (auto& control : controls_) {
      Control& c = *control;
      if (!c.visible_ || c.IsNative()) continue;
      const std::size_t count = c.AccessibleParts().size();
      if (index >= count) {
        index -= count;
        continue;
      }
      // A press the pointer holds is let go first: the tool's press moves
      // the control's hot spot, and that press's release must click nothing.
      if (capture_ != nullptr) {
        desktop_.ReleaseCapture();
        capture_ = nullptr;
        captureElement_ = nullptr;
      }
      c.PressAccessiblePart(index);
      PaintPending();
      Invalidate();
      return;
    }
  });
}

void Form::NoteAccessibleParts() {
  if (!shown_ || unloaded_) return;
  std::vector<platform::AccessiblePart> parts = AccessibleParts();
  if (SameParts(parts, toldParts_)) return;
  toldParts_ = std::move(parts);
  desktop_.AccessiblePartsChanged(hwnd_);
}

void Form::Invalidate() {
  if (shown_ && !unloaded_) desktop_.Invalidate(hwnd_);
}

void Form::Guarded(const std::function<void()>& work) {
  // The desktop calls in from its own loop, through C code on GTK: an error
  // that a handler does not handle ends the program here, with its report.
  try {
    work();
  } catch (const std::exception& error) {
    std::cerr << "skinshell: " << error.what() << "\n";
    desktop_.Quit(1);
  }
}

Control* Form::ControlAt(int x, int y) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    const Control& c = **it;
    if (!c.visible_ || c.IsNative()) continue;
    if (x >= c.px_ && y >= c.py_ && x < c.px_ + c.pw_ && y < c.py_ + c.ph_) return it->get();
  }
  return nullptr;
}

Element* Form::ElementAt(const Control& control, int x, int y) const {
  const auto& elements = control.Elements();
  for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
    if ((*it)->TakesMouse() && (*it)->Contains(x, y)) return *it;
  }
  return nullptr;
}

void Form::CursorChanged(const Control& control) {
  if (&control == hover_ || &control == capture_) {
    desktop_.SetCursor(hwnd_, CursorOf(control.MousePointer()));
  }
}

void Form::OnPointer(const platform::PointerEvent& event) {
  Guarded([&] { RoutePointer(event); });
}

void Form::RoutePointer(const platform::PointerEvent& event) {
  if (unloaded_) return;
  using platform::PointerKind;
  Control* target = capture_ ? capture_ : ControlAt(event.x, event.y);
  if (event.kind == PointerKind::Move && !capture_ && target != hover_) {
    hover_ = target;
    desktop_.SetCursor(hwnd_, CursorOf(target ? target->MousePointer() : vbDefault));
  }
  if (!target) {
    if (event.kind == PointerKind::Up) doubleClickPending_ = false;
    return;
  }
  const int x = event.x - target->px_;
  const int y = event.y - target->py_;
  Element* element = capture_ ? captureElement_ : ElementAt(*target, x, y);
  DeliverPointer(*target, element, event, x, y);
  PaintPending();
  Invalidate();
}

void Form::DeliverPointer(Control& target, Element* element,
                          const platform::PointerEvent& event, int x, int y) {
  using platform::PointerKind;
  const float ex = static_cast<float>(x - (element ? element->Left : 0));
  const float ey = static_cast<float>(y - (element ? element->Top : 0));
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);

  switch (event.kind) {
    case PointerKind::Move:
      if (element && element->MouseMove) {
        element->MouseMove(event.button, event.shift, ex, ey);
      } else if (!element) {
        target.UserControl_MouseMove(event.button, event.shift, fx, fy);
      }
      break;
    case PointerKind::Down:
      capture_ = &target;
      captureElement_ = element;
      doubleClickPending_ = false;
      if (element && element->MouseDown) {
        element->MouseDown(event.button, event.shift, ex, ey);
      } else if (!element) {
        target.UserControl_MouseDown(event.button, event.shift, fx, fy);
      }
      break;
    case PointerKind::DoubleClick:
      capture_ = &target;
      captureElement_ = element;
      doubleClickPending_ = true;
      if (element && element->DblClick) {
        element->DblClick();
      } else if (!element) {
        target.UserControl_DblClick();
      }
      break;
    case PointerKind::Up: {
      // The release after a double-click raises no second Click.
      const bool click = capture_ == &target && !doubleClickPending_;
      capture_ = nullptr;
      captureElement_ = nullptr;
      doubleClickPending_ = false;
      if (element && element->MouseUp) {
        element->MouseUp(event.button, event.shift, ex, ey);
      } else if (!element) {
        target.UserControl_MouseUp(event.button, event.shift, fx, fy);
        const bool inside = x >= 0 && y >= 0 && x < target.pw_ && y < target.ph_;
        if (click && inside && !unloaded_) target.UserControl_Click();
      }
      break;
    }
  }
}

void Form::OnBoundsChanged(int x, int y, int width, int height) {
  Guarded([&] {
    if (unloaded_) return;
    SetBounds(x, y, width, height, true);
    PaintPending();
  });
}

void Form::OnStateChanged(int windowState, const RECT& bounds) {
  Guarded([&] { AdoptState(windowState, bounds); });
}

void Form::AdoptState(int windowState, const RECT& bounds) {
  if (unloaded_ || windowState < 0 || windowState > 2) return;
  const RECT current{x_, y_, x_ + w_, y_ + h_};
  if (windowState == state_ && SameRect(bounds, current)) return;
  if (windowState == 2 && state_ != 2) restore_ = current;
  state_ = windowState;
  pushed_ = bounds;
  Commit(bounds, true);
  PaintPending();
}

void Form::OnCloseRequested() {
  Guarded([&] { Unload(); });
}

void Form::OnCaptureReleased() {
  capture_ = nullptr;
  captureElement_ = nullptr;
}

void Form::Render(gdi::Surface& target) {
  RenderScaled(target, 1);
}

void Form::RenderScaled(gdi::Surface& target, platform::DeviceScale scale) {
  Guarded([&] { PaintPending(); });
  target.Fill(gdi::ColorToPixel(backColor_));
  DrawControls(target, scale);
}

std::vector<RECT> Form::RenderUncovered(gdi::Surface& target, platform::DeviceScale scale) {
  Guarded([&] { PaintPending(); });
  std::vector<RECT> uncovered{{0, 0, target.width, target.height}};
  for (const auto& control : controls_) {
    const Control& c = *control;
    if (!c.visible_ || !c.IsNative()) continue;
    uncovered = Subtract(uncovered, {scale.Device(c.px_), scale.Device(c.py_),
                                     scale.Device(c.px_ + c.pw_), scale.Device(c.py_ + c.ph_)});
  }
  const std::uint32_t back = gdi::ColorToPixel(backColor_);
  for (const RECT& r : uncovered) {
    gdi::FillRect(target, r.left, r.top, r.right - r.left, r.bottom - r.top, back);
  }
  // A frame control reaching under a web view is drawn whole: what lands
  // there is never shown, and clipping it would cost more than the copy.
  DrawControls(target, scale);
  return uncovered;
}

void Form::DrawControls(gdi::Surface& target, platform::DeviceScale scale) const {
  for (const auto& control : controls_) {
    const Control& c = *control;
    if (!c.visible_ || c.IsNative()) continue;
    // A whole scale copies exact blocks; any other gives each pixel the
    // whole device pixels it covers.
    platform::CopyRectMapped(target, c.px_, c.py_, c.pw_, c.ph_, c.Pixels(), 0, 0, scale);
    const RECT clip{scale.Device(c.px_), scale.Device(c.py_), scale.Device(c.px_ + c.pw_),
                    scale.Device(c.py_ + c.ph_)};
    for (const Element* element : c.Elements()) {
      element->Draw(target, c.px_, c.py_, clip, scale);
    }
  }
}

}  // namespace host
