#include "controls/caption/CaptionButtons.h"

#include <utility>

#include "host/Control.h"
#include "skin/SkinFile.h"

namespace caption {

namespace {

constexpr std::int16_t True = -1;

// Button styles: 0 shows the close button alone, 3 keeps maximize/restore
// from reacting and 4 keeps close from reacting.
constexpr std::int32_t CloseOnlyStyle = 0;
constexpr std::int32_t NoMaximizeStyle = 3;
constexpr std::int32_t NoCloseStyle = 4;

// Skin keys of a button's faces; a look without a key has no face, and the
// button keeps what it shows.
struct Faces {
  const char* normal;
  const char* hover;
  const char* pressed;
  const char* For(ButtonLook look) const {
    switch (look) {
      case ButtonLook::Normal:
        return normal;
      case ButtonLook::Hover:
        return hover;
      case ButtonLook::Pressed:
        return pressed;
    }
    return nullptr;
  }
};

using Rule = bool (*)(const ButtonContext&);

// Everything that differs between the buttons. A switched button shows its
// second faces and name: the maximize button while the caption holds the
// work area, the always-on-top button while the window is pinned.
struct ButtonRow {
  ButtonKind kind;
  ButtonSlot slot;
  std::int32_t ButtonLefts::*left;
  ButtonExtent ButtonExtents::*extent;
  const char* name;
  const char* switchedName;
  Faces faces;
  Faces switchedFaces;
  bool toggles;    // its pressed state is its switch
  Rule switched;   // shows the second faces
  Rule shown;      // drawn by the composition
  Rule hoverable;  // a pointer move makes it hot
  Rule clickable;  // a click on it when hot acts
};

const ButtonRow Rows[] = {
    {ButtonKind::Close,
     ButtonSlot::Close,
     &ButtonLefts::close,
     &ButtonExtents::close,
     "Close",
     "Close",
     {"CLOSE", "CLOSE3", "CLOSE2"},
     {"CLOSE", "CLOSE3", "CLOSE2"},
     false,
     [](const ButtonContext&) { return false; },
     [](const ButtonContext& c) { return c.controlBox != 0; },
     [](const ButtonContext& c) { return c.style != NoCloseStyle; },
     [](const ButtonContext& c) { return c.style != NoCloseStyle; }},
    // The restore face numbers its hover and pressed forms the other way.
    {ButtonKind::Max,
     ButtonSlot::Max,
     &ButtonLefts::max,
     &ButtonExtents::max,
     "Maximize",
     "Restore",
     {"MAX", "MAX3", "MAX2"},
     {"RES1", "RES2", "RES3"},
     false,
     [](const ButtonContext& c) { return c.held; },
     [](const ButtonContext& c) { return c.controlBox != 0 && c.style != CloseOnlyStyle; },
     [](const ButtonContext& c) { return c.style != CloseOnlyStyle && c.style != NoMaximizeStyle; },
     [](const ButtonContext& c) { return c.style != NoMaximizeStyle; }},
    {ButtonKind::Min,
     ButtonSlot::Min,
     &ButtonLefts::min,
     &ButtonExtents::min,
     "Minimize",
     "Minimize",
     {"MIN", "MIN3", "MIN2"},
     {"MIN", "MIN3", "MIN2"},
     false,
     [](const ButtonContext&) { return false; },
     [](const ButtonContext& c) { return c.controlBox != 0 && c.style != CloseOnlyStyle; },
     [](const ButtonContext& c) { return c.style != CloseOnlyStyle; },
     [](const ButtonContext&) { return true; }},
    // The always-on-top button has no hover or pressed face, and it shows
    // without the control box.
    {ButtonKind::OnTop,
     ButtonSlot::OnTop,
     &ButtonLefts::onTop,
     &ButtonExtents::onTop,
     "Always on top",
     "Always on top",
     {"ONTOP1", nullptr, nullptr},
     {"ONTOP3", nullptr, nullptr},
     true,
     [](const ButtonContext& c) { return c.onTop != 0; },
     [](const ButtonContext& c) { return c.showOnTop != 0; },
     [](const ButtonContext& c) { return c.showOnTop == True; },
     [](const ButtonContext&) { return true; }},
};

const ButtonRow& Row(ButtonKind kind) {
  return Rows[static_cast<int>(kind)];
}

const Faces& FacesOf(const ButtonRow& row, const ButtonContext& context) {
  return row.switched(context) ? row.switchedFaces : row.faces;
}

void Blit(HDC target, const clsBitmap* surface, std::int32_t x, std::int32_t y) {
  if (!surface || !surface->hdc()) return;  // an empty face draws nothing
  BitBlt(target, x, y, surface->Width(), surface->Height(), surface->hdc(), 0, 0, SRCCOPY);
}

}  // namespace

CaptionButtons::CaptionButtons(const host::PropertyBag& skin) : skin_(skin) {}

CaptionButtons::~CaptionButtons() = default;

std::unique_ptr<clsBitmap>& CaptionButtons::Slot(ButtonKind kind) {
  return faces_[static_cast<int>(kind)];
}

const clsBitmap* CaptionButtons::Surface(ButtonKind kind) const {
  return faces_[static_cast<int>(kind)].get();
}

void CaptionButtons::NewFaces() {
  for (ButtonKind kind : AllButtons) Slot(kind) = std::make_unique<clsBitmap>();
}

void CaptionButtons::ReleaseFaces() {
  // The always-on-top face is kept: it goes with the control itself.
  for (ButtonKind kind : {ButtonKind::Close, ButtonKind::Max, ButtonKind::Min}) Slot(kind).reset();
}

ButtonWidths CaptionButtons::Widths() const {
  const auto width = [&](ButtonKind kind) {
    const clsBitmap* surface = Surface(kind);
    return surface ? surface->Width() : 0;
  };
  return {width(ButtonKind::Close), width(ButtonKind::Max), width(ButtonKind::Min),
          width(ButtonKind::OnTop)};
}

ButtonLefts CaptionButtons::Lefts(const ButtonContext& context) const {
  return ButtonLeftEdges(context.barWidth, Widths(), context.fromRight, context.iconSpace);
}

void CaptionButtons::LoadFace(ButtonKind kind, ButtonLook look, const ButtonContext& context) {
  clsBitmap* surface = Slot(kind).get();
  const char* key = FacesOf(Row(kind), context).For(look);
  if (!surface) throw host::Error(std::string("no surface for ") + (key ? key : "a button"));
  if (key) surface->LoadResource(skin::Picture(skin_, key));
}

void CaptionButtons::BlitControlBox(const ButtonContext& context) const {
  const ButtonLefts lefts = Lefts(context);
  for (ButtonKind kind : {ButtonKind::Close, ButtonKind::Max, ButtonKind::Min}) {
    const ButtonRow& row = Row(kind);
    if (row.shown(context)) Blit(context.target, Surface(kind), lefts.*row.left, context.fromTop);
  }
}

void CaptionButtons::BlitOnTop(const ButtonContext& context) const {
  if (!Row(ButtonKind::OnTop).shown(context)) return;
  Blit(context.target, Surface(ButtonKind::OnTop), Lefts(context).onTop, context.fromTop);
}

void CaptionButtons::Show(ButtonKind kind, ButtonLook look, const ButtonContext& context) {
  const ButtonRow& row = Row(kind);
  clsBitmap* surface = Slot(kind).get();
  const char* key = FacesOf(row, context).For(look);
  // Before the first composition, and after the control has ended, there
  // are no faces to load into.
  if (!surface || !key) return;
  // A key the skin lacks empties the surface but leaves its size: nothing is
  // drawn, the previous face stays on screen and the hit test keeps its size.
  surface->LoadResource(skin::Picture(skin_, key));
  // The place follows the widths of the faces now loaded.
  Blit(context.target, surface, Lefts(context).*row.left, context.fromTop);
}

void CaptionButtons::ShowNormalFaces(const ButtonContext& context) {
  // The always-on-top face shows the pinned state, which a hover never
  // changed, so it stays.
  for (ButtonKind kind : {ButtonKind::Close, ButtonKind::Max, ButtonKind::Min}) {
    if (Row(kind).shown(context)) Show(kind, ButtonLook::Normal, context);
  }
}

void CaptionButtons::PointerMoved(const ButtonContext& context, float x, float y) {
  if (context.controlBox != True) return;
  // The band always takes the close face's height; a skin without a close
  // face has no band, and no button ever reacts.
  const clsBitmap* close = Surface(ButtonKind::Close);
  if (!InButtonBand(y, context.fromTop, close ? close->Height() : 0)) return;
  const ButtonExtents extents =
      ButtonHitExtents(context.barWidth, Widths(), context.fromRight, context.iconSpace);
  const ButtonSlot slot = ButtonUnder(extents, x);
  if (slot == ButtonSlot::None) {
    ShowNormalFaces(context);
    over_ = false;
    down_ = false;
    return;
  }
  for (const ButtonRow& row : Rows) {
    if (row.slot != slot) continue;
    // An inactive button's extent leaves the state as it was, so a pointer
    // sliding from an active button onto it keeps the active one hot.
    if (!row.hoverable(context)) return;
    Show(row.kind, ButtonLook::Hover, context);
    hot_ = row.kind;
    over_ = true;
    down_ = false;
    return;
  }
}

void CaptionButtons::PointerDown(const ButtonContext& context) {
  if (context.controlBox != True) return;
  Show(hot_, ButtonLook::Pressed, context);
  down_ = true;
}

void CaptionButtons::PointerUp(const ButtonContext& context) {
  if (context.controlBox != True || !over_) return;
  down_ = false;
  // Only a button that showed a pressed face puts its normal face back.
  if (FacesOf(Row(hot_), context).pressed) Show(hot_, ButtonLook::Normal, context);
}

bool CaptionButtons::Reacts(ButtonKind kind, const ButtonContext& context) const {
  return Row(kind).hoverable(context);
}

std::optional<ButtonKind> CaptionButtons::ClickTarget(const ButtonContext& context) const {
  if (context.controlBox != True || !over_) return std::nullopt;
  if (!Row(hot_).clickable(context)) return std::nullopt;
  return hot_;
}

std::vector<ButtonView> CaptionButtons::Views(const ButtonContext& context) const {
  const ButtonLefts lefts = Lefts(context);
  std::vector<ButtonView> views;
  for (const ButtonRow& row : Rows) {
    const clsBitmap* surface = Surface(row.kind);
    ButtonView view;
    view.kind = row.kind;
    view.visible = row.shown(context);
    view.rect.left = lefts.*row.left;
    view.rect.top = context.fromTop;
    view.rect.right = view.rect.left + (surface ? surface->Width() : 0);
    view.rect.bottom = view.rect.top + (surface ? surface->Height() : 0);
    view.name = row.switched(context) ? row.switchedName : row.name;
    view.pressed = row.toggles ? row.switched(context) : (down_ && over_ && hot_ == row.kind);
    views.push_back(view);
  }
  return views;
}

std::vector<ButtonView> CaptionButtons::Drawn(const ButtonContext& context) const {
  std::vector<ButtonView> drawn;
  for (const ButtonView& view : Views(context)) {
    if (view.visible && view.rect.right > view.rect.left && view.rect.bottom > view.rect.top) {
      drawn.push_back(view);
    }
  }
  return drawn;
}

std::vector<platform::AccessiblePart> CaptionButtons::AccessibleParts(
    const std::vector<ButtonView>& drawn) {
  std::vector<platform::AccessiblePart> parts;
  for (const ButtonView& view : drawn) {
    platform::AccessiblePart part;
    part.role = view.kind == ButtonKind::OnTop ? platform::AccessibleRole::ToggleButton
                                               : platform::AccessibleRole::PushButton;
    part.name = view.name;
    part.bounds = view.rect;
    part.pressed = view.pressed;
    parts.push_back(std::move(part));
  }
  return parts;
}

std::optional<PointerPoint> CaptionButtons::PressPoint(ButtonKind kind,
                                                       const ButtonContext& context) const {
  const ButtonExtents extents =
      ButtonHitExtents(context.barWidth, Widths(), context.fromRight, context.iconSpace);
  const ButtonExtent extent = extents.*Row(kind).extent;
  const clsBitmap* close = Surface(ButtonKind::Close);
  const std::int32_t bandHeight = close ? close->Height() : 0;
  // The middle of the extent and of the band: a button of a single pixel
  // still has a point strictly inside both.
  const PointerPoint point{(extent.left + extent.right) / 2.0f,
                           static_cast<float>(context.fromTop + bandHeight / 2.0)};
  if (!extent.Holds(point.x) || !InButtonBand(point.y, context.fromTop, bandHeight)) {
    return std::nullopt;
  }
  return point;
}

}  // namespace caption
