// The GDI functions of win32.h over the handle table, and the entry points
// of Gdi.h that hand out or look into handles.
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/File.h"
#include "platform/gdi/HandleTable.h"

using gdi::DcType;
using gdi::GdiObject;
using gdi::HandleTable;
using gdi::Kind;

namespace {

template <typename H>
H HandleFrom(std::uintptr_t value) {
  return reinterpret_cast<H>(value);
}

HDC NewDc(DcType type, GdiObject*& dc) {
  const auto handle = HandleTable::Instance().Create(Kind::DC, dc);
  if (dc) dc->dcType = type;
  return HandleFrom<HDC>(handle);
}

// A BMP may be as large as the decoder accepts, headers included.
constexpr std::size_t MaxBmpFileBytes = std::size_t{gdi::MaxBmpSide} * gdi::MaxBmpSide * 4 + 4096;

}  // namespace

HDC GetDC(HWND hWnd) {
  // Only the screen DC exists here: windows draw through the surface DCs of
  // their controls, so there are no per-window DCs to hand out.
  if (hWnd) return nullptr;
  GdiObject* dc = nullptr;
  return NewDc(DcType::Screen, dc);
}

int ReleaseDC(HWND, HDC hDC) {
  auto& table = HandleTable::Instance();
  GdiObject* dc = table.Find(hDC, Kind::DC);
  if (!dc || dc->dcType != DcType::Screen) return 0;
  table.Destroy(dc->handle);
  return 1;
}

HDC CreateCompatibleDC(HDC hdc) {
  auto& table = HandleTable::Instance();
  if (hdc && !table.Find(hdc, Kind::DC)) return nullptr;
  GdiObject* dc = nullptr;
  HDC memory = NewDc(DcType::Memory, dc);
  if (!dc) return nullptr;
  // As on Windows, a new memory DC holds a 1x1 stock bitmap, which is what
  // SelectObject hands back as the prior bitmap.
  dc->selected = table.StockBitmap();
  dc->surface = &table.Find(dc->selected, Kind::Bitmap)->pixels;
  return memory;
}

BOOL DeleteDC(HDC hdc) {
  auto& table = HandleTable::Instance();
  GdiObject* dc = table.Find(hdc, Kind::DC);
  // The screen DC goes back through ReleaseDC.
  if (!dc || dc->dcType == DcType::Screen) return FALSE;
  if (GdiObject* bitmap = table.Find(dc->selected, Kind::Bitmap)) {
    if (bitmap->selectedInto == hdc) bitmap->selectedInto = nullptr;
  }
  table.Destroy(dc->handle);
  return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  auto& table = HandleTable::Instance();
  GdiObject* dc = table.Find(hdc, Kind::DC);
  GdiObject* bitmap = table.Find(h, Kind::Bitmap);
  // Only bitmaps are selectable, and only into memory DCs.
  if (!dc || !bitmap || dc->dcType != DcType::Memory) return nullptr;
  const auto wanted = static_cast<HBITMAP>(h);
  if (dc->selected == wanted) return h;
  if (!bitmap->stock && bitmap->selectedInto) return nullptr;
  const HBITMAP prior = dc->selected;
  if (GdiObject* old = table.Find(prior, Kind::Bitmap); old && !old->stock) {
    old->selectedInto = nullptr;
  }
  if (!bitmap->stock) bitmap->selectedInto = hdc;
  dc->selected = wanted;
  dc->surface = &bitmap->pixels;
  return prior;
}

BOOL DeleteObject(HGDIOBJ ho) {
  auto& table = HandleTable::Instance();
  if (GdiObject* bitmap = table.Find(ho, Kind::Bitmap)) {
    // Deleting a stock object is harmless and does nothing, as on Windows.
    if (bitmap->stock) return TRUE;
    if (bitmap->selectedInto) return FALSE;
    table.Destroy(bitmap->handle);
    return TRUE;
  }
  if (GdiObject* region = table.Find(ho, Kind::Region)) {
    table.Destroy(region->handle);
    return TRUE;
  }
  return FALSE;
}

int GetObjectA(HANDLE h, int c, LPVOID pv) {
  GdiObject* bitmap = HandleTable::Instance().Find(h, Kind::Bitmap);
  if (!bitmap) return 0;
  if (!pv) return static_cast<int>(sizeof(BITMAP));
  if (c <= 0) return 0;
  BITMAP record{};
  record.bmType = 0;
  record.bmWidth = bitmap->pixels.width;
  record.bmHeight = bitmap->pixels.height;
  record.bmWidthBytes = bitmap->pixels.width * 4;
  record.bmPlanes = 1;
  record.bmBitsPixel = 32;
  record.bmBits = nullptr;
  // A caller sizing the record for a 32-bit build passes fewer bytes; every
  // field it reads still fits.
  const std::size_t bytes = std::min(static_cast<std::size_t>(c), sizeof(BITMAP));
  std::memcpy(pv, &record, bytes);
  return static_cast<int>(bytes);
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  if (rop != SRCCOPY) return FALSE;
  auto& table = HandleTable::Instance();
  GdiObject* dst = table.Find(hdc, Kind::DC);
  GdiObject* src = table.Find(hdcSrc, Kind::DC);
  if (!dst || !src || !dst->surface || !src->surface) return FALSE;
  gdi::CopyRect(*dst->surface, x, y, cx, cy, *src->surface, x1, y1);
  return TRUE;
}

HANDLE LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  // Only bitmap files at their own size, the one use the callers make.
  if (hInst || !name || type != IMAGE_BITMAP || cx != 0 || cy != 0 || fuLoad != LR_LOADFROMFILE) {
    return nullptr;
  }
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadWholeFile(name, bytes, MaxBmpFileBytes)) {
    return nullptr;
  }
  return gdi::CreateBitmapFromBmp(bytes.data(), bytes.size());
}

namespace gdi {

int LiveCount(Kind kind) {
  return HandleTable::Instance().Live(kind);
}

HDC CreateSurfaceDC(Surface* target) {
  if (!target) return nullptr;
  GdiObject* dc = nullptr;
  HDC handle = NewDc(DcType::Target, dc);
  if (dc) dc->surface = target;
  return handle;
}

void RetargetSurfaceDC(HDC hdc, Surface* target) {
  GdiObject* dc = HandleTable::Instance().Find(hdc, Kind::DC);
  if (dc && dc->dcType == DcType::Target) dc->surface = target;
}

void SurfaceToDC(HDC) {}
void DCToSurface(HDC) {}
BOOL DeleteSurfaceDC(HDC hdc) { return DeleteDC(hdc); }

Surface* SurfaceOf(HDC hdc) {
  GdiObject* dc = HandleTable::Instance().Find(hdc, Kind::DC);
  return dc ? dc->surface : nullptr;
}

const Surface* BitmapPixels(HBITMAP bitmap) {
  GdiObject* object = HandleTable::Instance().Find(bitmap, Kind::Bitmap);
  return object ? &object->pixels : nullptr;
}

namespace {

HBITMAP AdoptPixels(Surface&& pixels) {
  GdiObject* bitmap = nullptr;
  const auto handle = HandleTable::Instance().Create(Kind::Bitmap, bitmap);
  if (!bitmap) return nullptr;
  bitmap->pixels = std::move(pixels);
  return HandleFrom<HBITMAP>(handle);
}

}  // namespace

HBITMAP CreateBitmapFromSurface(const Surface& pixels) {
  if (pixels.width < 0 || pixels.height < 0 ||
      pixels.pixels.size() !=
          static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height)) {
    return nullptr;
  }
  Surface copy = pixels;
  return AdoptPixels(std::move(copy));
}

HBITMAP CreateBitmapFromBmp(const std::uint8_t* data, std::size_t size) {
  Surface pixels;
  if (!DecodeBmp(data, size, pixels)) return nullptr;
  return AdoptPixels(std::move(pixels));
}

}  // namespace gdi
