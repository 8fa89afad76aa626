// The entry points of Gdi.h over the system's own GDI. Bitmaps are 32-bit
// top-down DIB sections, whose memory has the layout of a Surface, so pixels
// move between the two with one copy.
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>

#include "platform/win/Dib.h"

namespace gdi {

namespace {

bool Consistent(const Surface& s) {
  return s.width >= 0 && s.height >= 0 &&
         s.pixels.size() >= static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height);
}

// A DIB section of at least 1x1: GDI refuses empty bitmaps, and an empty
// surface still needs a DC.
HBITMAP NewDib(int width, int height, std::uint32_t*& bits) {
  BITMAPINFO info = platform::win::TopDownDib(std::max(width, 1), std::max(height, 1));
  void* memory = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
  bits = static_cast<std::uint32_t*>(memory);
  return bits ? bitmap : nullptr;
}

// A surface DC: a memory DC holding a DIB section that mirrors the surface.
struct SurfaceDc {
  Surface* target = nullptr;
  HBITMAP dib = nullptr;
  HGDIOBJ prior = nullptr;
  std::uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
};

// Everything runs on the user-interface thread, as GDI objects are used.
std::unordered_map<HDC, SurfaceDc>& SurfaceDcs() {
  static std::unordered_map<HDC, SurfaceDc> dcs;
  return dcs;
}

// The surface DC behind the handle. A handle deleted with DeleteDC rather
// than DeleteSurfaceDC no longer holds its bitmap (or names another DC by
// now): its record is dropped then.
SurfaceDc* FindSurfaceDc(HDC hdc) {
  auto& dcs = SurfaceDcs();
  auto found = dcs.find(hdc);
  if (found == dcs.end()) return nullptr;
  if (GetCurrentObject(hdc, OBJ_BITMAP) != found->second.dib) {
    DeleteObject(found->second.dib);
    dcs.erase(found);
    return nullptr;
  }
  return &found->second;
}

// Surface to bitmap, making a new bitmap when the surface changed size.
void CopyIn(HDC hdc, SurfaceDc& dc) {
  const Surface& s = *dc.target;
  if (!Consistent(s)) return;
  if (s.width != dc.width || s.height != dc.height) {
    std::uint32_t* bits = nullptr;
    HBITMAP dib = NewDib(s.width, s.height, bits);
    if (!dib) return;
    SelectObject(hdc, dib);
    DeleteObject(dc.dib);
    dc.dib = dib;
    dc.bits = bits;
    dc.width = s.width;
    dc.height = s.height;
  }
  GdiFlush();
  std::memcpy(dc.bits, s.pixels.data(),
              static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height) * 4);
}

void CopyOut(SurfaceDc& dc) {
  Surface& s = *dc.target;
  if (!Consistent(s) || s.width != dc.width || s.height != dc.height) return;
  GdiFlush();
  std::memcpy(s.pixels.data(), dc.bits,
              static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height) * 4);
}

// Copies of bitmaps and memory DCs handed out by BitmapPixels and SurfaceOf,
// valid until the next call for the same handle.
std::map<const void*, Surface>& Snapshots() {
  static std::map<const void*, Surface> snapshots;
  return snapshots;
}

// GDI's own copy of the bits, asked for top-down: GetObject does not say
// which way up a DIB section lies.
bool ReadBitmap(HBITMAP bitmap, Surface& out) {
  BITMAP bm{};
  if (GetObjectW(bitmap, sizeof bm, &bm) == 0) return false;
  out = Surface(bm.bmWidth, std::abs(bm.bmHeight), 0);
  if (out.width == 0 || out.height == 0) return true;
  BITMAPINFO info = platform::win::TopDownDib(out.width, out.height);
  GdiFlush();
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(out.height), out.pixels.data(),
                             &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return rows == out.height;
}

}  // namespace

int LiveCount(Kind) {
  // Windows counts GDI objects per process, not per kind.
  return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
}

HDC CreateSurfaceDC(Surface* target) {
  if (!target || !Consistent(*target)) return nullptr;
  HDC hdc = CreateCompatibleDC(nullptr);
  if (!hdc) return nullptr;
  SurfaceDc dc;
  dc.target = target;
  dc.dib = NewDib(target->width, target->height, dc.bits);
  if (!dc.dib) {
    DeleteDC(hdc);
    return nullptr;
  }
  dc.width = target->width;
  dc.height = target->height;
  dc.prior = SelectObject(hdc, dc.dib);
  SurfaceDcs()[hdc] = dc;
  CopyIn(hdc, SurfaceDcs()[hdc]);
  return hdc;
}

void RetargetSurfaceDC(HDC hdc, Surface* target) {
  SurfaceDc* dc = FindSurfaceDc(hdc);
  if (!dc || !target) return;
  dc->target = target;
  CopyIn(hdc, *dc);
}

void SurfaceToDC(HDC hdc) {
  if (SurfaceDc* dc = FindSurfaceDc(hdc)) CopyIn(hdc, *dc);
}

void DCToSurface(HDC hdc) {
  if (SurfaceDc* dc = FindSurfaceDc(hdc)) CopyOut(*dc);
}

BOOL DeleteSurfaceDC(HDC hdc) {
  SurfaceDc* dc = FindSurfaceDc(hdc);
  if (!dc) return DeleteDC(hdc);
  CopyOut(*dc);
  SelectObject(hdc, dc->prior);
  DeleteObject(dc->dib);
  SurfaceDcs().erase(hdc);
  Snapshots().erase(hdc);
  return DeleteDC(hdc);
}

Surface* SurfaceOf(HDC hdc) {
  if (SurfaceDc* dc = FindSurfaceDc(hdc)) {
    CopyOut(*dc);
    return dc->target;
  }
  HGDIOBJ bitmap = hdc ? GetCurrentObject(hdc, OBJ_BITMAP) : nullptr;
  if (!bitmap) return nullptr;
  Surface& snapshot = Snapshots()[hdc];
  if (!ReadBitmap(static_cast<HBITMAP>(bitmap), snapshot)) return nullptr;
  return &snapshot;
}

const Surface* BitmapPixels(HBITMAP bitmap) {
  if (!bitmap) return nullptr;
  Surface& snapshot = Snapshots()[bitmap];
  if (!ReadBitmap(bitmap, snapshot)) {
    Snapshots().erase(bitmap);
    return nullptr;
  }
  return &snapshot;
}

HBITMAP CreateBitmapFromSurface(const Surface& pixels) {
  if (pixels.width < 0 || pixels.height < 0 ||
      pixels.pixels.size() !=
          static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height)) {
    return nullptr;
  }
  std::uint32_t* bits = nullptr;
  HBITMAP bitmap = NewDib(pixels.width, pixels.height, bits);
  if (!bitmap) return nullptr;
  std::memcpy(bits, pixels.pixels.data(), pixels.pixels.size() * 4);
  return bitmap;
}

HBITMAP CreateBitmapFromBmp(const std::uint8_t* data, std::size_t size) {
  Surface pixels;
  if (!DecodeBmp(data, size, pixels)) return nullptr;
  return CreateBitmapFromSurface(pixels);
}

std::vector<Span> RegionSpans(HRGN region, int width, int height) {
  std::vector<Span> spans;
  const DWORD bytes = region ? GetRegionData(region, 0, nullptr) : 0;
  if (bytes == 0) return spans;
  std::vector<std::uint8_t> buffer(bytes);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(region, bytes, data) == 0) return spans;
  const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) {
    const RECT& r = rects[i];
    const int x0 = std::max<LONG>(r.left, 0);
    const int x1 = std::min<LONG>(r.right, width);
    if (x0 >= x1) continue;
    for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, height); ++y) {
      spans.push_back({y, x0, x1});
    }
  }
  std::sort(spans.begin(), spans.end(),
            [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
  // Bands of one row can touch; a span is the longest run.
  std::vector<Span> merged;
  for (const Span& s : spans) {
    if (!merged.empty() && merged.back().y == s.y && merged.back().x1 >= s.x0) {
      merged.back().x1 = std::max(merged.back().x1, s.x1);
    } else {
      merged.push_back(s);
    }
  }
  return merged;
}

bool RegionContains(HRGN region, int x, int y) {
  return region && PtInRegion(region, x, y);
}

std::vector<POINT> RegionPoints(HRGN) {
  // A system region keeps its rectangles, not the points it was made from.
  return {};
}

}  // namespace gdi
