#include "host/Control.h"

#include "host/Form.h"
#include "host/Screen.h"
#include "platform/gdi/Gdi.h"

namespace host {

namespace {
const AmbientProperties& StandaloneAmbient() {
  static const AmbientProperties ambient;
  return ambient;
}
}  // namespace

Control::Control(std::string name) : name_(std::move(name)) {}

Control::~Control() {
  if (hdc_) gdi::DeleteSurfaceDC(hdc_);
}

int Control::Left() const { return px_ * Screen::TwipsPerPixelX(); }
int Control::Top() const { return py_ * Screen::TwipsPerPixelY(); }
int Control::Width() const { return pw_ * Screen::TwipsPerPixelX(); }
int Control::Height() const { return ph_ * Screen::TwipsPerPixelY(); }

void Control::Left(int twips) {
  SetPixelBounds(TwipsToPixels(twips, Screen::TwipsPerPixelX()), py_, pw_, ph_, true);
}
void Control::Top(int twips) {
  SetPixelBounds(px_, TwipsToPixels(twips, Screen::TwipsPerPixelY()), pw_, ph_, true);
}
void Control::Width(int twips) {
  SetPixelBounds(px_, py_, TwipsToPixels(twips, Screen::TwipsPerPixelX()), ph_, true);
}
void Control::Height(int twips) {
  SetPixelBounds(px_, py_, pw_, TwipsToPixels(twips, Screen::TwipsPerPixelY()), true);
}
void Control::Move(int left, int top, int width, int height) {
  SetPixelBounds(TwipsToPixels(left, Screen::TwipsPerPixelX()),
                 TwipsToPixels(top, Screen::TwipsPerPixelY()),
                 TwipsToPixels(width, Screen::TwipsPerPixelX()),
                 TwipsToPixels(height, Screen::TwipsPerPixelY()), true);
}

void Control::SetPixelBounds(int x, int y, int w, int h, bool relayout) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  const bool sized = w != pw_ || h != ph_;
  const bool moved = x != px_ || y != py_;
  if (!sized && !moved) return;
  px_ = x;
  py_ = y;
  pw_ = w;
  ph_ = h;
  if (sized && !IsNative()) {
    SettleDrawing();
    surface_.Resize(w, h, gdi::ColorToPixel(backColor_));
  }
  OnBoundsChanged();
  if (parent_) parent_->Invalidate();
  if (!sized) return;
  // A docked control that changes its own thickness moves its neighbours.
  if (relayout && parent_ && align_ != vbAlignNone) parent_->Layout();
  paintPending_ = true;
  UserControl_Resize();
}

void Control::Align(int value) {
  if (value == align_) return;
  align_ = value;
  if (parent_) parent_->Layout();
}

void Control::Visible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  if (visible_) paintPending_ = true;
  OnVisibleChanged();
  if (parent_) parent_->Invalidate();
}

HDC Control::hDC() {
  if (!hdc_) {
    hdc_ = gdi::CreateSurfaceDC(&surface_);
  } else if (!drawing_) {
    gdi::SurfaceToDC(hdc_);
  }
  drawing_ = hdc_ != nullptr;
  return hdc_;
}

void Control::SettleDrawing() const {
  if (!drawing_) return;
  drawing_ = false;
  gdi::DCToSurface(hdc_);
}

void Control::BackColor(std::uint32_t color) {
  backColor_ = color;
  SettleDrawing();
  surface_.Fill(gdi::ColorToPixel(color));
  if (parent_) parent_->Invalidate();
}

void Control::MousePointer(int shape) {
  mousePointer_ = shape;
  if (parent_) parent_->CursorChanged(*this);
}

void Control::Refresh() {
  paintPending_ = false;
  UserControl_Paint();
  if (parent_) parent_->Invalidate();
}

const AmbientProperties& Control::Ambient() const {
  if (!parent_) return StandaloneAmbient();
  ambient_ = parent_->ambient_;
  ambient_.DisplayName = name_;
  return ambient_;
}

void Control::PropertyChanged(const std::string& propertyName) {
  // Every resize reapplies the skin, which notifies "Path" four times: a
  // long session keeps only the recent part of the log.
  constexpr std::size_t Kept = 1024;
  if (changed_.size() >= 2 * Kept) changed_.erase(changed_.begin(), changed_.end() - Kept);
  changed_.push_back(propertyName);
}

}  // namespace host
