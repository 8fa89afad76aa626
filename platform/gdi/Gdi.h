// The handle table behind the GDI functions of win32.h, and the few entry
// points the host and the backends need beyond the Win32 names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace gdi {

enum class Kind { DC, Bitmap, Region };

// Objects of a kind alive now. Tests compare these before and after work to
// prove that nothing leaked. Windows counts only all GDI objects together
// (GetGuiResources), which is what a Windows build answers for every kind.
int LiveCount(Kind kind);
#ifdef _WIN32
inline constexpr bool LiveCountPerKind = false;
#else
inline constexpr bool LiveCountPerKind = true;
#endif

// A DC that draws straight into a surface owned by someone else: a control's
// pixels or a window frame. It holds no bitmap and cannot be the target of
// SelectObject for bitmaps. The caller deletes it with DeleteDC; the surface
// must outlive it. Counted as a DC.
HDC CreateSurfaceDC(Surface* target);
// Points an existing surface DC at another surface (after a reallocation).
void RetargetSurfaceDC(HDC hdc, Surface* target);

// On Windows a surface DC draws into a bitmap of its own that mirrors the
// surface: SurfaceToDC copies the surface into it (and follows a change of
// size), DCToSurface copies what GDI drew back. In the emulation the DC draws
// straight into the surface and both do nothing. A surface DC is deleted with
// DeleteSurfaceDC, which brings its pixels home first.
void SurfaceToDC(HDC hdc);
void DCToSurface(HDC hdc);
BOOL DeleteSurfaceDC(HDC hdc);

// The surface a DC draws into (its selected bitmap's, or its own target);
// null for an invalid handle or the screen DC. On Windows a surface DC's
// pixels are brought into its surface first, and a memory DC answers with a
// copy of its bitmap's pixels.
Surface* SurfaceOf(HDC hdc);
// The pixels of a bitmap; null for anything that is not a live bitmap. On
// Windows a copy, valid until the next call for the same bitmap.
const Surface* BitmapPixels(HBITMAP bitmap);

// A new bitmap holding a copy of the pixels. Counted as a bitmap.
HBITMAP CreateBitmapFromSurface(const Surface& pixels);
// Decodes a whole BMP file held in memory; 0 when it does not decode.
HBITMAP CreateBitmapFromBmp(const std::uint8_t* data, std::size_t size);

// BMP decoding without a handle, for tools. Accepts uncompressed 24- and
// 32-bit files, bottom-up or top-down, up to MaxBmpSide pixels a side, and
// never reads past size or allocates more than the file can fill.
constexpr int MaxBmpSide = 16384;
bool DecodeBmp(const std::uint8_t* data, std::size_t size, Surface& out);
// 24-bit bottom-up BMP file bytes of the pixels (alpha dropped), or 32-bit
// when keepAlpha is set.
std::vector<std::uint8_t> EncodeBmp(const Surface& pixels, bool keepAlpha = false);

// PNG files through libpng, for screenshots, previews and the skin tool.
bool WritePng(const Surface& pixels, const std::string& path);
bool ReadPng(const std::string& path, Surface& out);

// A region's outline as horizontal spans for a window of the given size:
// {y, x0, x1} with x1 exclusive, rows in order. Empty for an invalid handle.
struct Span {
  int y;
  int x0;
  int x1;
};
std::vector<Span> RegionSpans(HRGN region, int width, int height);
bool RegionContains(HRGN region, int x, int y);
// The points a polygon region was made from, for tests.
std::vector<POINT> RegionPoints(HRGN region);

}  // namespace gdi
