#include "tools/skin/SkinArt.h"

#include <functional>

#include "platform/File.h"
#include "platform/gdi/Gdi.h"
#include "tools/skin/SkinPaint.h"

namespace skintool {

namespace {

constexpr std::uint32_t Opaque(std::uint32_t rgb) {
  return 0xFF000000u | rgb;
}

// One palette for both skins: a near-black frame with a faint highlight
// along the top of the bar and a darker hairline where the page begins.
constexpr std::uint32_t Outer = Opaque(0x0B0C0E);
constexpr std::uint32_t Frame = Opaque(0x25272B);
constexpr std::uint32_t Inner = Opaque(0x17181B);
constexpr std::uint32_t Highlight = Opaque(0x3A3D44);
constexpr std::uint32_t BarTop = Opaque(0x313338);

constexpr int FaceWidth = 28;
constexpr int FaceHeight = 20;
constexpr int FromTop = 3;
constexpr int CornerWidth = 8;
constexpr int EdgeThickness = 6;
constexpr int BottomThickness = 5;
constexpr int TileLength = 64;

struct Design {
  int barHeight;
  // The normal window has a dark outline and cut top corners; the
  // maximized window fills the work area and needs neither.
  bool outline;
  int fromRight;
};

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double ca = a >> shift & 0xFF;
    const double cb = b >> shift & 0xFF;
    out |= static_cast<std::uint32_t>(ca + (cb - ca) * t + 0.5) << shift;
  }
  return out;
}

// The colour of the bar's row y away from its ends.
std::uint32_t BarRow(const Design& d, int y) {
  const int last = d.barHeight - 1;
  if (y == last) return Inner;
  const int first = d.outline ? 2 : 1;
  if (d.outline && y == 0) return Outer;
  if (y == first - 1) return Highlight;
  const double t = static_cast<double>(y - first) / (last - 1 - first);
  return Mix(BarTop, Frame, t);
}

gdi::Surface Pixels(int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
  gdi::Surface s(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s.Row(y)[x] = colour(x, y);
  }
  return s;
}

// A bar end, drawn as the left one; the right one is its mirror except for
// the corner, which the window outline cuts 3 across and 4 down there.
gdi::Surface BarEnd(const Design& d, bool right) {
  return Pixels(CornerWidth, d.barHeight, [&](int x, int y) {
    const int fromOuter = right ? CornerWidth - 1 - x : x;
    if (!d.outline) return BarRow(d, y);
    const int cut = 3 - fromOuter;
    if (y <= cut) return Outer;
    if (fromOuter == 0) return Outer;
    if (y == d.barHeight - 1) return fromOuter < EdgeThickness - 1 ? Frame : Inner;
    return BarRow(d, y);
  });
}

// Columns of a side edge from the outside in.
std::uint32_t SideColumn(const Design& d, int fromOuter) {
  if (fromOuter == 0) return d.outline ? Outer : Frame;
  return fromOuter == EdgeThickness - 1 ? Inner : Frame;
}

std::uint32_t BottomRow(const Design& d, int y) {
  if (y == BottomThickness - 1) return d.outline ? Outer : Frame;
  return y == 0 ? Inner : Frame;
}

gdi::Surface SidePiece(const Design& d, int height, bool right) {
  return Pixels(EdgeThickness, height,
                [&](int x, int) { return SideColumn(d, right ? EdgeThickness - 1 - x : x); });
}

gdi::Surface BottomCorner(const Design& d, bool right) {
  return Pixels(EdgeThickness, BottomThickness, [&](int x, int y) {
    const int fromOuter = right ? EdgeThickness - 1 - x : x;
    if (fromOuter == 0 || y == BottomThickness - 1) return d.outline ? Outer : Frame;
    if (y == 0 && fromOuter == EdgeThickness - 1) return Inner;
    return Frame;
  });
}

enum class Glyph { Close, Maximize, Restore, Minimize, Pin };
enum class Look { Normal, Hover, Pressed, Pinned };

// Glyphs sit on whole pixels wherever they are straight, so they stay sharp
// at their 1-pixel weight; only the close cross is antialiased.
Shape GlyphShape(Glyph glyph, Look look) {
  switch (glyph) {
    case Glyph::Minimize:
      return Box(9, 10, 10, 1);
    case Glyph::Maximize:
      return Outline(9, 5, 10, 10);
    case Glyph::Restore:
      // The front window, and the corner of the one behind it.
      return Union(Outline(9, 7, 8, 8),
                   Union(Union(Box(11, 5, 1, 2), Box(11, 5, 8, 1)),
                         Union(Box(18, 5, 1, 8), Box(17, 12, 2, 1))));
    case Glyph::Close:
      return Union(Capsule(9.5, 5.5, 18.5, 14.5, 0.65), Capsule(18.5, 5.5, 9.5, 14.5, 0.65));
    case Glyph::Pin:
      break;
  }
  // A push pin seen from the side: head, body, plate and needle. Pinned,
  // the body is filled.
  const Shape body = look == Look::Pinned ? Box(11, 6, 5, 4)
                                          : Union(Box(11, 6, 1, 4), Box(15, 6, 1, 4));
  return Union(Union(Box(10, 5, 7, 1), body), Union(Box(9, 10, 9, 1), Box(13, 11, 1, 5)));
}

gdi::Surface Face(const Design& d, Glyph glyph, Look look) {
  gdi::Surface face =
      Pixels(FaceWidth, FaceHeight, [&](int, int y) { return BarRow(d, FromTop + y); });
  const Shape back = RoundedBox(0, 0, FaceWidth, FaceHeight, 4);
  std::uint32_t ink = 0xC4C7CD;
  const bool close = glyph == Glyph::Close;
  switch (look) {
    case Look::Normal:
      break;
    case Look::Hover:
      if (close) {
        Paint(face, back, 0xE81123);
      } else {
        Paint(face, back, 0xFFFFFF, 0.11);
      }
      ink = 0xFFFFFF;
      break;
    case Look::Pressed:
      if (close) {
        Paint(face, back, 0xA30E1B);
        ink = 0xF3D6D9;
      } else {
        Paint(face, back, 0xFFFFFF, 0.05);
        ink = 0x9A9EA6;
      }
      break;
    case Look::Pinned:
      Paint(face, back, 0x4C8DFF, 0.22);
      ink = 0x8AB8FF;
      break;
  }
  Paint(face, GlyphShape(glyph, look), ink);
  return face;
}

std::int32_t Bgr(std::uint32_t rgb) {
  return static_cast<std::int32_t>((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
}

}  // namespace

bool DrawSkinArt(const std::string& name, SkinArt& art) {
  Design d{};
  if (name == "black-1") {
    // 27 pixels: the caption height the window's layout was designed with.
    d = Design{27, true, 6};
  } else if (name == "black-2") {
    d = Design{26, false, 4};
  } else {
    return false;
  }
  art = SkinArt{};
  auto& p = art.pictures;
  p["LEFTTOP"] = SidePiece(d, 8, false);
  p["LEFTMID"] = SidePiece(d, 32, false);
  p["RIGHTTOP"] = SidePiece(d, 8, true);
  p["RIGHTMID"] = SidePiece(d, 32, true);
  p["LEFTBOT"] = BottomCorner(d, false);
  p["RIGHTBOT"] = BottomCorner(d, true);
  p["BOTTOM"] = Pixels(TileLength, BottomThickness, [&](int, int y) { return BottomRow(d, y); });
  p["TOPLEFT"] = BarEnd(d, false);
  p["TOPMID"] = Pixels(TileLength, d.barHeight, [&](int, int y) { return BarRow(d, y); });
  p["TOPRIGHT"] = BarEnd(d, true);
  p["CLOSE"] = Face(d, Glyph::Close, Look::Normal);
  p["CLOSE2"] = Face(d, Glyph::Close, Look::Pressed);
  p["CLOSE3"] = Face(d, Glyph::Close, Look::Hover);
  p["MAX"] = Face(d, Glyph::Maximize, Look::Normal);
  p["MAX2"] = Face(d, Glyph::Maximize, Look::Pressed);
  p["MAX3"] = Face(d, Glyph::Maximize, Look::Hover);
  p["RES1"] = Face(d, Glyph::Restore, Look::Normal);
  p["RES2"] = Face(d, Glyph::Restore, Look::Hover);
  p["RES3"] = Face(d, Glyph::Restore, Look::Pressed);
  p["MIN"] = Face(d, Glyph::Minimize, Look::Normal);
  p["MIN2"] = Face(d, Glyph::Minimize, Look::Pressed);
  p["MIN3"] = Face(d, Glyph::Minimize, Look::Hover);
  p["ONTOP1"] = Face(d, Glyph::Pin, Look::Normal);
  p["ONTOP3"] = Face(d, Glyph::Pin, Look::Pinned);

  // The icon sits at x 8 and the text right of it at XOFFSET + 17; both
  // centre on the visible part of the bar.
  art.values = {
      {"XOFFSET", 13},
      {"XOFFSET2", 8},
      {"YOFFSET", 4},
      {"FROMRIGHT", d.fromRight},
      {"FROMTOP", FromTop},
      {"ICONSPACE", 2},
      {"FORECOLOR", Bgr(0xE4E6EB)},
      // Drawn one pixel up and left of the text: a dark engraving under it.
      {"BackColor", Bgr(0x101113)},
      {"PARENTBACKCOLOR", Bgr(0x1E1F22)},
  };
  return true;
}

bool WriteSkinArt(const SkinArt& art, const std::string& dir, Messages& messages) {
  // Never into a folder with files: a stale close.png beside the new
  // CLOSE.png would make the folder fail to pack.
  if (!MakeNewFolder(dir, messages)) return false;
  for (const auto& [key, pixels] : art.pictures) {
    const std::string path = Utf8(FsPath(dir) / (key + ".png"));
    if (!gdi::WritePng(pixels, path)) messages.errors.push_back(path + ": cannot be written");
  }
  const std::string ini = MakeValuesIni(art.values);
  std::string error;
  const std::string iniPath = Utf8(FsPath(dir) / "skin.ini");
  if (!platform::WriteFileAtomic(iniPath, ini.data(), ini.size(), &error)) {
    messages.errors.push_back(iniPath + ": " + error);
  }
  return messages.Ok();
}

}  // namespace skintool
