// The GDI calls that run thousands of times a frame: tile blits onto a
// caption-wide strip, and the DC and bitmap cycle a surface goes through.
#include <benchmark/benchmark.h>

#include "platform/gdi/Gdi.h"

namespace {

// One tile blitted along a 1920 x 27 strip, left to right, as a frame
// control repeats its middle piece.
void BitBltTileOntoStrip(benchmark::State& state) {
  const int tileWidth = static_cast<int>(state.range(0));
  gdi::Surface strip(1920, 27, 0xFF000000u);
  HDC target = gdi::CreateSurfaceDC(&strip);
  HDC tile = CreateCompatibleDC(nullptr);
  HBITMAP pixels = gdi::CreateBitmapFromSurface(gdi::Surface(tileWidth, 27, 0xFF336699u));
  HGDIOBJ stock = SelectObject(tile, pixels);
  int x = 0;
  for (auto _ : state) {
    BitBlt(target, x, 0, tileWidth, 27, tile, 0, 0, SRCCOPY);
    x += tileWidth;
    if (x >= 1920) x = 0;
  }
  benchmark::DoNotOptimize(strip.pixels.data());
  state.SetItemsProcessed(state.iterations());
  SelectObject(tile, stock);
  DeleteObject(pixels);
  DeleteDC(tile);
  DeleteDC(target);
}
BENCHMARK(BitBltTileOntoStrip)->Arg(30)->Arg(1);

// What a surface does per picture: a memory DC, the picture selected in,
// the stock bitmap put back, and both deleted. The bitmap is made from
// pixels at hand each time, as reading a skin picture does.
void DcSelectDeleteCycle(benchmark::State& state) {
  const gdi::Surface picture(30, 27, 0xFF336699u);
  for (auto _ : state) {
    HBITMAP bitmap = gdi::CreateBitmapFromSurface(picture);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ prior = SelectObject(dc, bitmap);
    SelectObject(dc, prior);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
}
BENCHMARK(DcSelectDeleteCycle);

// The same cycle without the pixel copy: the cost of the handle table alone.
void DcSelectDeleteCycleOnly(benchmark::State& state) {
  HBITMAP bitmap = gdi::CreateBitmapFromSurface(gdi::Surface(30, 27));
  for (auto _ : state) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ prior = SelectObject(dc, bitmap);
    SelectObject(dc, prior);
    DeleteDC(dc);
  }
  DeleteObject(bitmap);
}
BENCHMARK(DcSelectDeleteCycleOnly);

}  // namespace
