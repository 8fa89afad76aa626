#include "tools/skin/SkinPreview.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "controls/border/JSBORDER.h"
#include "controls/caption/JSCAPTION.h"
#include "host/Form.h"
#include "platform/gdi/Gdi.h"
#include "platform/headless/HeadlessDesktop.h"
#include "skin/SkinFile.h"
#include "skin/clsBitmap.h"

namespace skintool {

namespace {

// The height of the window below its caption bar.
constexpr int FrameHeight = 120;
constexpr int Margin = 12;
constexpr std::uint32_t Backdrop = 0xFFD6D8DCu;
constexpr int Twips = host::Screen::TwipsPerPixelX();

// A control's pixels with a DC onto them, as the host gives a control. On
// Windows the DC draws into a mirror of the pixels: Pixels() brings them
// home before they are read.
struct ControlSurface {
  gdi::Surface pixels;
  HDC dc = nullptr;
  ControlSurface(int w, int h, std::uint32_t colour) : pixels(w, h, gdi::ColorToPixel(colour)) {
    dc = gdi::CreateSurfaceDC(&pixels);
  }
  ~ControlSurface() { gdi::DeleteSurfaceDC(dc); }
  const gdi::Surface& Pixels() {
    gdi::DCToSurface(dc);
    return pixels;
  }
  ControlSurface(const ControlSurface&) = delete;
  ControlSurface& operator=(const ControlSurface&) = delete;
};

void Load(clsBitmap& surface, const host::PropertyBag& skin, std::string_view key) {
  surface.LoadResource(skin::Picture(skin, key));
}

void Blit(HDC dc, int x, int y, const clsBitmap& piece) {
  BitBlt(dc, x, y, piece.Width(), piece.Height(), piece.hdc(), 0, 0, SRCCOPY);
}

void TileAcross(HDC dc, int width, const clsBitmap& piece) {
  if (piece.Width() <= 0) return;
  for (int x = 0; x < width; x += piece.Width()) Blit(dc, x, 0, piece);
}

// A stand-in for the window's icon, so the preview shows where it sits.
platform::IconImage StandInIcon() {
  gdi::Surface icon(16, 16, 0);
  gdi::FillRect(icon, 1, 1, 14, 14, 0xFF3D7BD9u);
  gdi::FillRect(icon, 4, 4, 8, 2, 0xFFFFFFFFu);
  gdi::FillRect(icon, 4, 7, 8, 2, 0xFFFFFFFFu);
  gdi::FillRect(icon, 4, 10, 5, 2, 0xFFFFFFFFu);
  return {std::move(icon), 32};
}

// The controls reach the window manager through the current desktop; the
// preview's own is current while it draws.
class DesktopInUse {
 public:
  explicit DesktopInUse(platform::Desktop& desktop) : before_(platform::CurrentDesktop()) {
    platform::UseDesktop(&desktop);
  }
  ~DesktopInUse() { platform::UseDesktop(before_); }
  DesktopInUse(const DesktopInUse&) = delete;
  DesktopInUse& operator=(const DesktopInUse&) = delete;

 private:
  platform::Desktop* before_;
};

host::PropertyBag EdgeSettings(std::int32_t type) {
  host::PropertyBag bag;
  bag.WriteProperty("BORDERTYPE", host::PropertyValue::Of(type));
  return bag;
}

// The frame as the main window shows it: the same controls, docked in the
// order it makes them, each reading the file through one reader. Only the
// pin button, which the main window leaves hidden, is shown, so that its
// place in the bar can be judged.
gdi::Surface DrawFrame(const std::string& skinPath, int width, const std::string& caption,
                       const skin::FrameSkins::Sink& say) {
  platform::HeadlessDesktop desktop(4096 + 2 * Margin, 4096 + 2 * Margin);
  const DesktopInUse inUse(desktop);
  skin::FrameSkins skins({}, say);
  host::Form window(desktop, "SkinPreview");
  window.Caption(caption);
  window.Icon({StandInIcon()});
  window.Move(0, 0, width * Twips, FrameHeight * Twips);

  const host::PropertyBag right = EdgeSettings(2);
  JSBORDER& rightEdge = window.Add(std::make_unique<JSBORDER>("JSBORDER2"), &right);
  rightEdge.Align(host::vbAlignRight);
  const host::PropertyBag bottom = EdgeSettings(3);
  JSBORDER& bottomEdge = window.Add(std::make_unique<JSBORDER>("JSBORDER3"), &bottom);
  bottomEdge.Align(host::vbAlignBottom);
  // The caption's stored defaults: all three buttons, the icon, resizing.
  const host::PropertyBag defaults;
  JSCAPTION& bar = window.Add(std::make_unique<JSCAPTION>("JSCAPTION1"), &defaults);
  bar.Align(host::vbAlignTop);
  bar.SHOWONTOP(-1);
  const host::PropertyBag left = EdgeSettings(1);
  JSBORDER& leftEdge = window.Add(std::make_unique<JSBORDER>("JSBORDER1"), &left);
  leftEdge.Align(host::vbAlignLeft);

  bar.Skins(skins);
  bar.Path(skinPath);
  for (JSBORDER* edge : {&leftEdge, &rightEdge, &bottomEdge}) {
    edge->Skins(skins);
    edge->Path(skinPath);
  }
  // The window is as high as its bar, which the skin sets, and the rest.
  window.Height((bar.ScaleHeight() + FrameHeight) * Twips);
  window.Show();
  return desktop.Capture(window.hwnd());
}

// Every button's faces side by side on a strip of bar, in the order
// normal, hover, pressed.
const std::initializer_list<std::initializer_list<std::string_view>> FaceGroups = {
    {"CLOSE", "CLOSE3", "CLOSE2"},
    {"MAX", "MAX3", "MAX2"},
    {"RES1", "RES2", "RES3"},
    {"MIN", "MIN3", "MIN2"},
    {"ONTOP1", "ONTOP3"}};
constexpr int FaceGap = 4;
constexpr int GroupGap = 12;

int FacesWidth(const host::PropertyBag& skin) {
  int x = Margin;
  for (const auto& group : FaceGroups) {
    for (std::string_view key : group) {
      clsBitmap face;
      Load(face, skin, key);
      x += face.Width() + FaceGap;
    }
    x += GroupGap;
  }
  return x;
}

int DrawFaces(gdi::Surface& target, int y, int width, const host::PropertyBag& skin) {
  clsBitmap middle;
  Load(middle, skin, "TOPMID");
  const int height = middle.Height();
  if (height <= 0) return 0;
  ControlSurface strip(width, height, 0);
  TileAcross(strip.dc, width, middle);
  const int fromTop = skin::Number(skin, "FROMTOP").value_or(0);
  int x = Margin;
  for (const auto& group : FaceGroups) {
    for (std::string_view key : group) {
      clsBitmap face;
      Load(face, skin, key);
      Blit(strip.dc, x, fromTop, face);
      x += face.Width() + FaceGap;
    }
    x += GroupGap;
  }
  gdi::CopyRect(target, 0, y, width, height, strip.Pixels(), 0, 0);
  return height;
}

}  // namespace

gdi::Surface RenderPreview(const std::string& skinPath, const host::PropertyBag& skin, int width,
                           const skin::FrameSkins::Sink& say, const std::string& caption) {
  width = std::clamp(width, 64, 4096);
  const gdi::Surface frame = DrawFrame(skinPath, width, caption, say);
  const int barHeight = std::max(0, frame.height - FrameHeight);
  const int stripWidth = std::min(4096, FacesWidth(skin));
  gdi::Surface out(std::max(width, stripWidth), frame.height + Margin + barHeight, Backdrop);
  gdi::CopyRect(out, 0, 0, width, frame.height, frame, 0, 0);
  DrawFaces(out, frame.height + Margin, stripWidth, skin);
  return out;
}

gdi::Surface StackPreviews(const std::vector<gdi::Surface>& previews) {
  int width = 0;
  int height = Margin;
  for (const gdi::Surface& p : previews) {
    width = std::max(width, p.width);
    height += p.height + Margin;
  }
  gdi::Surface out(width + 2 * Margin, height, Backdrop);
  int y = Margin;
  for (const gdi::Surface& p : previews) {
    gdi::CopyRect(out, Margin, y, p.width, p.height, p, 0, 0);
    y += p.height + Margin;
  }
  return out;
}

}  // namespace skintool
