#include "tools/skin/SkinPreview.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "skin/SkinFile.h"
#include "skin/clsBitmap.h"

namespace skintool {

namespace {

constexpr int FrameHeight = 120;
constexpr int Margin = 12;
constexpr std::uint32_t Backdrop = 0xFFD6D8DCu;
// The border control's own colour, which shows wherever its pieces do not.
constexpr std::uint32_t BorderBackColor = 0x00DC7E5A;

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

int Round(double v) {
  return static_cast<int>(std::nearbyint(v));
}

void Blit(HDC dc, int x, int y, const clsBitmap& piece) {
  BitBlt(dc, x, y, piece.Width(), piece.Height(), piece.hdc(), 0, 0, SRCCOPY);
}

void TileAcross(HDC dc, int width, const clsBitmap& piece) {
  if (piece.Width() <= 0) return;
  for (int x = 0; x < width; x += piece.Width()) Blit(dc, x, 0, piece);
}

void TileDown(HDC dc, int height, const clsBitmap& piece) {
  if (piece.Height() <= 0) return;
  for (int y = 0; y <= height; y += piece.Height()) Blit(dc, 0, y, piece);
}

// The bar as the caption draws it: tiles, then the left and right pieces on
// top of them.
int DrawBar(gdi::Surface& target, int y, int width, const host::PropertyBag& skin,
            std::uint32_t backColor) {
  clsBitmap left, middle, right;
  Load(left, skin, "TOPLEFT");
  Load(middle, skin, "TOPMID");
  Load(right, skin, "TOPRIGHT");
  const int height = left.Height();
  if (height <= 0) return 0;
  ControlSurface bar(width, height, backColor);
  TileAcross(bar.dc, width, middle);
  Blit(bar.dc, 0, 0, left);
  Blit(bar.dc, Round(width - right.Width()), 0, right);
  gdi::CopyRect(target, 0, y, width, height, bar.Pixels(), 0, 0);
  return height;
}

// A stand-in for the window's icon, so the preview shows where it sits.
void DrawIcon(gdi::Surface& target, int x, int y) {
  gdi::FillRect(target, x + 1, y + 1, 14, 14, 0xFF3D7BD9u);
  gdi::FillRect(target, x + 4, y + 4, 8, 2, 0xFFFFFFFFu);
  gdi::FillRect(target, x + 4, y + 7, 8, 2, 0xFFFFFFFFu);
  gdi::FillRect(target, x + 4, y + 10, 5, 2, 0xFFFFFFFFu);
}

void DrawCaption(gdi::Surface& frame, const host::PropertyBag& skin, int width,
                 const std::string& caption) {
  const std::uint32_t foreColor = skin::Colour(skin, "FORECOLOR").value_or(0);
  const std::uint32_t backColor = skin::Colour(skin, "BackColor").value_or(0);
  DrawBar(frame, 0, width, skin, backColor);
  const int fromRight = skin::Number(skin, "FROMRIGHT").value_or(0);
  const int fromTop = skin::Number(skin, "FROMTOP").value_or(0);
  const int space = skin::Number(skin, "ICONSPACE").value_or(0);
  const int xOffset = skin::Number(skin, "XOFFSET").value_or(0);
  const int xOffset2 = skin::Number(skin, "XOFFSET2").value_or(0);
  const int yOffset = skin::Number(skin, "YOFFSET").value_or(0);

  // Before the DC, which on Windows would write its copy of the frame back
  // over it.
  DrawIcon(frame, xOffset2, yOffset + 2);
  HDC dc = gdi::CreateSurfaceDC(&frame);
  clsBitmap close, max, min, onTop;
  Load(close, skin, "CLOSE");
  Load(max, skin, "MAX");
  Load(min, skin, "MIN");
  Load(onTop, skin, "ONTOP1");
  // Right to left from the bar's end, each face leaving room for those to
  // its right.
  double right = width - fromRight;
  for (clsBitmap* face : {&close, &max, &min, &onTop}) {
    right -= face->Width();
    Blit(dc, Round(right), fromTop, *face);
    right -= space;
  }
  const gdi::Font font{"Trebuchet MS", 9.0, 700};
  gdi::DrawTextLine(dc, xOffset + 16, yOffset - 1, 203, 18, caption, font, backColor);
  gdi::DrawTextLine(dc, xOffset + 17, yOffset, 203, 18, caption, font, foreColor);
  gdi::DeleteSurfaceDC(dc);
}

int DrawEdges(gdi::Surface& frame, const host::PropertyBag& skin, int width, int top) {
  clsBitmap leftTop, leftMid, rightTop, rightMid, leftBot, rightBot, bottom;
  Load(leftTop, skin, "LEFTTOP");
  Load(leftMid, skin, "LEFTMID");
  Load(rightTop, skin, "RIGHTTOP");
  Load(rightMid, skin, "RIGHTMID");
  Load(leftBot, skin, "LEFTBOT");
  Load(rightBot, skin, "RIGHTBOT");
  Load(bottom, skin, "BOTTOM");

  const int bottomHeight = bottom.Height();
  if (bottomHeight > 0) {
    ControlSurface edge(width, bottomHeight, BorderBackColor);
    TileAcross(edge.dc, width, bottom);
    Blit(edge.dc, 0, 0, leftBot);
    Blit(edge.dc, Round(width - rightBot.Width()), 0, rightBot);
    gdi::CopyRect(frame, 0, frame.height - bottomHeight, width, bottomHeight, edge.Pixels(), 0,
                  0);
  }
  const int sideHeight = frame.height - top - bottomHeight;
  if (sideHeight <= 0) return bottomHeight;
  struct Side {
    const clsBitmap& top;
    const clsBitmap& middle;
    bool right;
  };
  for (const Side& side : {Side{leftTop, leftMid, false}, Side{rightTop, rightMid, true}}) {
    const int thickness = side.top.Width();
    if (thickness <= 0) continue;
    ControlSurface edge(thickness, sideHeight, BorderBackColor);
    TileDown(edge.dc, sideHeight, side.middle);
    Blit(edge.dc, 0, 0, side.top);
    gdi::CopyRect(frame, side.right ? width - thickness : 0, top, thickness, sideHeight,
                  edge.Pixels(), 0, 0);
  }
  return bottomHeight;
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

gdi::Surface RenderPreview(const host::PropertyBag& skin, int width, const std::string& caption) {
  width = std::clamp(width, 64, 4096);
  clsBitmap left;
  Load(left, skin, "TOPLEFT");
  const int barHeight = std::max(0, left.Height());
  const std::uint32_t parentBack = skin::Colour(skin, "PARENTBACKCOLOR").value_or(0);
  gdi::Surface frame(width, FrameHeight + barHeight, gdi::ColorToPixel(parentBack));
  DrawEdges(frame, skin, width, barHeight);
  DrawCaption(frame, skin, width, caption);

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
