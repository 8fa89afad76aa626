#include "controls/border/JSBORDER.h"

#include <climits>
#include <cstdint>
#include <optional>
#include <utility>

#include "controls/ResizeEnabled.h"
#include "controls/border/EdgeZones.h"
#include "host/Form.h"
#include "host/Screen.h"
#include "host/StoredSettings.h"
#include "skin/SkinFile.h"
#include "skin/FrameSkins.h"
#include "skin/clsBitmap.h"

namespace {

// One opaque copy of a piece's whole bitmap. An empty surface has no DC, so
// the copy draws nothing.
void Blit(HDC target, std::int64_t x, std::int64_t y, const clsBitmap& piece) {
  BitBlt(target, static_cast<int>(x), static_cast<int>(y), piece.Width(), piece.Height(),
         piece.hdc(), 0, 0, SRCCOPY);
}

// Copies of the middle piece go at i * step for i = 0 up to and including
// `last`. Positions past the largest int lie far beyond any control, so the
// run stops there instead of wrapping round onto the edge.
template <class Place>
void Tile(std::int64_t step, int last, Place place) {
  for (std::int64_t i = 0; i <= last; ++i) {
    const std::int64_t at = i * step;
    if (at > INT_MAX) break;
    place(at);
  }
}

}  // namespace

JSBORDER::JSBORDER(std::string name) : host::Control(std::move(name)) {}

void JSBORDER::UserControl_Initialize() {
  BackColor(EdgeBackColor);
}

void JSBORDER::BORDERTYPE(std::int32_t NewBordertype) {
  bordertype_ = NewBordertype;
  const int align = border::DockAlignFor(NewBordertype);
  if (align != host::vbAlignNone) {
    host::Form* container = Parent();
    const std::string& displayName = Ambient().DisplayName;
    host::Control* entry = container ? container->Controls(displayName) : nullptr;
    if (!entry) {
      throw host::Error("JSBORDER: the container has no control named \"" + displayName +
                        "\" to dock");
    }
    entry->Align(align);
  }
  PropertyChanged("BORDERTYPE");
}

void JSBORDER::Path(const std::string& NewPath) {
  path_ = NewPath;
  PropertyChanged("Path");
  DrawSkin();
}

void JSBORDER::REDRAW() {
  Refresh();
}

void JSBORDER::UserControl_ReadProperties(host::PropertyBag& PropBag) {
  // Stored directly: loading neither docks, nor notifies, nor draws. A
  // BORDERTYPE that does not convert still leaves the edge type at 0.
  const host::StoredSettings stored(PropBag, "JSBORDER");
  bordertype_ = 0;
  bordertype_ = stored.Long("BORDERTYPE", 0);
  path_ = stored.Text("Path", "");
}

void JSBORDER::UserControl_WriteProperties(host::PropertyBag& PropBag) {
  PropBag.WriteProperty("BORDERTYPE", host::PropertyValue::Of(bordertype_),
                        host::PropertyValue::Of(std::int32_t{0}));
  PropBag.WriteProperty("Path", host::PropertyValue::Of(path_),
                        host::PropertyValue::Of(std::string()));
}

void JSBORDER::UserControl_Paint() {
  DrawSkin();
}

void JSBORDER::UserControl_Resize() {
  // A designer sees the edges at the thickness they were designed with; at
  // run time the skin alone sets it.
  if (Ambient().UserMode) return;
  if (bordertype_ == 1 || bordertype_ == 2) {
    Width(100);
  } else if (bordertype_ == 3) {
    Height(100);
  }
}

void JSBORDER::ReadSkin(host::PropertyBag& store) const {
  skins_ ? skins_->Read(path_, store) : skin::ReadSkinFile(path_, store);
}

// Every step below runs whatever the one before achieved: a missing piece
// leaves its surface empty, which gives a thickness of 0 and copies that draw
// nothing. A file the frame cannot use at all draws the built-in skin.
void JSBORDER::DrawSkin() {
  if (!Ambient().UserMode) return;

  const std::int32_t edge = bordertype_;
  host::PropertyBag store;
  clsBitmap first;
  clsBitmap second;
  std::optional<clsBitmap> third;
  if (edge == 3) third.emplace();

  ReadSkin(store);
  switch (edge) {
    case 1:
      first.LoadResource(skin::Picture(store, "LEFTTOP"));
      second.LoadResource(skin::Picture(store, "LEFTMID"));
      break;
    case 2:
      first.LoadResource(skin::Picture(store, "RIGHTTOP"));
      second.LoadResource(skin::Picture(store, "RIGHTMID"));
      break;
    case 3:
      first.LoadResource(skin::Picture(store, "LEFTBOT"));
      second.LoadResource(skin::Picture(store, "RIGHTBOT"));
      third->LoadResource(skin::Picture(store, "BOTTOM"));
      break;
    default:
      return;  // not an edge: no piece, no size, no drawing
  }

  if (edge == 3) {
    Height(host::Screen::TwipsPerPixelY() * third->Height());
  } else {
    Width(host::Screen::TwipsPerPixelX() * first.Width());
  }

  // The control keeps nothing of an earlier composition: a narrower piece
  // must not leave the old skin showing beside it.
  BackColor(EdgeBackColor);
  HDC dc = hDC();
  if (edge == 3) {
    const clsBitmap& middle = *third;
    Tile(middle.Width(), ScaleWidth(), [&](std::int64_t x) { Blit(dc, x, 0, middle); });
    Blit(dc, 0, 0, first);
    Blit(dc, ScaleWidth() - second.Width(), 0, second);
  } else {
    Tile(second.Height(), ScaleHeight(), [&](std::int64_t y) { Blit(dc, 0, y, second); });
    Blit(dc, 0, 0, first);
  }
}

void JSBORDER::UserControl_MouseMove(int Button, int Shift, float X, float Y) {
  (void)Button, (void)Shift;
  if (!ResizeEnabled) return;
  const border::EdgeZone found = border::ZoneAt(bordertype_, X, Y, ScaleWidth(), ScaleHeight());
  resizeZone_ = found.zone;
  MousePointer(found.pointer);
}

void JSBORDER::UserControl_MouseDown(int Button, int Shift, float X, float Y) {
  // Any button starts the resize: the press is handed over as it is.
  (void)Button, (void)Shift, (void)X, (void)Y;
  if (!ResizeEnabled) return;
  const WPARAM hitCode = border::HitCodeFor(bordertype_, resizeZone_);
  if (hitCode == 0) return;
  ReleaseCapture();
  // The loop runs inside the send, so this returns when the sizing is over.
  if (host::Form* container = Parent()) {
    SendMessageA(container->hwnd(), WM_NCLBUTTONDOWN, hitCode, 0);
  }
}

void JSBORDER::UserControl_MouseUp(int Button, int Shift, float X, float Y) {
  (void)Button, (void)Shift, (void)X, (void)Y;
}
