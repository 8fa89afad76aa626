#include <gtest/gtest.h>

#include <climits>

#include "platform/gdi/Gdi.h"

namespace {

// Every pixel of the source distinct, so a misplaced row or column shows.
gdi::Surface Numbered(int w, int h) {
  gdi::Surface s(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(y << 12 | x);
  }
  return s;
}

constexpr std::uint32_t Background = 0x12345678u;

// A memory DC holding a bitmap of the pixels; released in the right order.
class MemoryDc {
 public:
  explicit MemoryDc(const gdi::Surface& pixels)
      : dc_(CreateCompatibleDC(nullptr)), bitmap_(gdi::CreateBitmapFromSurface(pixels)) {
    prior_ = SelectObject(dc_, bitmap_);
  }
  ~MemoryDc() {
    SelectObject(dc_, prior_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  const gdi::Surface& pixels() const { return *gdi::SurfaceOf(dc_); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ prior_;
};

// What a clipped copy must produce, pixel by pixel.
gdi::Surface Expected(const gdi::Surface& dst, int x, int y, int w, int h, const gdi::Surface& src,
                      int sx, int sy) {
  gdi::Surface out = dst;
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const long long dx = 1LL * x + i, dy = 1LL * y + j, srcX = 1LL * sx + i, srcY = 1LL * sy + j;
      if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) continue;
      if (srcX < 0 || srcY < 0 || srcX >= src.width || srcY >= src.height) continue;
      out.Row(static_cast<int>(dy))[dx] = src.At(static_cast<int>(srcX), static_cast<int>(srcY));
    }
  }
  return out;
}

TEST(BitBlt, ClipsAgainstEveryEdgeOfBothSurfaces) {
  const gdi::Surface source = Numbered(7, 5);
  MemoryDc src(source);
  const int offsets[] = {-9, -7, -3, -1, 0, 1, 2, 4, 6, 8, 11};
  const int sizes[] = {0, 1, 3, 7, 12};
  int cases = 0;
  for (int x : offsets) {
    for (int y : {-6, -1, 0, 3, 5, 9}) {
      for (int sx : {-8, -2, 0, 3, 6, 7}) {
        for (int sy : {-5, -1, 0, 2, 4, 5}) {
          for (int w : sizes) {
            const int h = w == 12 ? 9 : w;
            gdi::Surface target(9, 6, Background);
            HDC dst = gdi::CreateSurfaceDC(&target);
            const gdi::Surface want = Expected(target, x, y, w, h, source, sx, sy);
            ASSERT_TRUE(BitBlt(dst, x, y, w, h, src.dc(), sx, sy, SRCCOPY));
            gdi::DeleteSurfaceDC(dst);
            ASSERT_EQ(target.pixels, want.pixels) << "blit " << w << "x" << h << " from (" << sx
                                                  << "," << sy << ") to (" << x << "," << y << ")";
            ++cases;
          }
        }
      }
    }
  }
  EXPECT_GT(cases, 10000);
}

TEST(BitBlt, WideRowsClipLikeNarrowOnes) {
  const gdi::Surface source = Numbered(150, 4);
  MemoryDc src(source);
  for (int x : {-70, -1, 0, 3, 100}) {
    for (int w : {63, 64, 65, 67, 150}) {
      gdi::Surface target(200, 5, Background);
      HDC dst = gdi::CreateSurfaceDC(&target);
      const gdi::Surface want = Expected(target, x, 1, w, 4, source, 2, 0);
      ASSERT_TRUE(BitBlt(dst, x, 1, w, 4, src.dc(), 2, 0, SRCCOPY));
      gdi::DeleteSurfaceDC(dst);
      ASSERT_EQ(target.pixels, want.pixels) << "width " << w << " at " << x;
    }
  }
}

TEST(BitBlt, ExtremeCoordinatesCopyNothingAndDoNotOverflow) {
  MemoryDc src(Numbered(4, 4));
  gdi::Surface target(8, 8, Background);
  HDC dst = gdi::CreateSurfaceDC(&target);
  const int cases[][6] = {
      {INT_MAX, 0, 4, 4, 0, 0},
      {0, INT_MAX, 4, 4, 0, 0},
      {INT_MIN, 0, 4, 4, 0, 0},
      {0, 0, INT_MAX, INT_MAX, 0, 0},
      {0, 0, 4, 4, INT_MIN, 0},
      {0, 0, 4, 4, 0, INT_MAX},
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MIN},
      {0, 0, -4, -4, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(BitBlt(dst, c[0], c[1], c[2], c[3], src.dc(), c[4], c[5], SRCCOPY));
  }
  // Only the huge but in-range copy from (0,0) lands, and only inside.
  gdi::DeleteSurfaceDC(dst);
  const gdi::Surface want =
      Expected(gdi::Surface(8, 8, Background), 0, 0, 4, 4, src.pixels(), 0, 0);
  EXPECT_EQ(target.pixels, want.pixels);
}

TEST(BitBlt, CopiesWithinOneSurfaceAsIfFromASnapshot) {
  for (int shift : {-3, -1, 1, 3}) {
    gdi::Surface target = Numbered(10, 10);
    const gdi::Surface before = target;
    HDC dc = gdi::CreateSurfaceDC(&target);
    ASSERT_TRUE(BitBlt(dc, 2 + shift, 2 + shift, 6, 6, dc, 2, 2, SRCCOPY));
    gdi::DeleteSurfaceDC(dc);
    EXPECT_EQ(target.pixels, Expected(before, 2 + shift, 2 + shift, 6, 6, before, 2, 2).pixels)
        << "shift " << shift;
  }
}

#ifndef _WIN32
// The emulation copies only; the system's BitBlt knows every raster
// operation and draws on the screen as well.
TEST(BitBlt, RefusesOtherRasterOpsAndDcsWithoutPixels) {
  MemoryDc src(Numbered(2, 2));
  gdi::Surface target(2, 2, Background);
  HDC dst = gdi::CreateSurfaceDC(&target);
  EXPECT_FALSE(BitBlt(dst, 0, 0, 2, 2, src.dc(), 0, 0, 0x00EE0086 /* SRCPAINT */));
  EXPECT_FALSE(BitBlt(dst, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, src.dc(), 0, 0, SRCCOPY));
  HDC screen = GetDC(nullptr);
  EXPECT_FALSE(BitBlt(screen, 0, 0, 2, 2, src.dc(), 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(dst, 0, 0, 2, 2, screen, 0, 0, SRCCOPY));
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(target.pixels, gdi::Surface(2, 2, Background).pixels);
  DeleteDC(dst);
}
#endif

TEST(BitBlt, AMemoryDcIsAValidDestinationAndItsBitmapKeepsThePixels) {
  MemoryDc src(Numbered(3, 3));
  gdi::Surface blank(5, 5, Background);
  HBITMAP bitmap = gdi::CreateBitmapFromSurface(blank);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ stock = SelectObject(dc, bitmap);
  ASSERT_TRUE(BitBlt(dc, 1, 1, 3, 3, src.dc(), 0, 0, SRCCOPY));
  SelectObject(dc, stock);
  DeleteDC(dc);
  EXPECT_EQ(gdi::BitmapPixels(bitmap)->At(3, 3), src.pixels().At(2, 2));
  EXPECT_EQ(gdi::BitmapPixels(bitmap)->At(0, 0), Background);
  DeleteObject(bitmap);
}

}  // namespace
