// The emulation's own handle table: its counts per kind and its checks.
// Windows keeps its objects itself and counts them only all together.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/Gdi.h"

namespace {

using gdi::Kind;
using gdi::LiveCount;

HBITMAP NewBitmap(int w, int h, std::uint32_t fill = 0xFF102030u) {
  return gdi::CreateBitmapFromSurface(gdi::Surface(w, h, fill));
}

// Counts of every kind, so a test can prove it left nothing behind.
struct Counts {
  int dc = LiveCount(Kind::DC);
  int bitmap = LiveCount(Kind::Bitmap);
  int region = LiveCount(Kind::Region);
  bool operator==(const Counts&) const = default;
};

TEST(HandleTable, CreateSelectDeleteCyclesReturnEveryCountToWhereItWas) {
  const Counts before;
  for (int i = 0; i < 50; ++i) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    HBITMAP bitmap = NewBitmap(4, 3);
    HGDIOBJ prior = SelectObject(dc, bitmap);
    ASSERT_NE(prior, nullptr);
    POINT points[] = {{0, 0}, {4, 0}, {4, 4}};
    HRGN region = CreatePolygonRgn(points, 3, WINDING);
    EXPECT_EQ(LiveCount(Kind::DC), before.dc + 1);
    EXPECT_EQ(LiveCount(Kind::Bitmap), before.bitmap + 1);
    EXPECT_EQ(LiveCount(Kind::Region), before.region + 1);
    EXPECT_EQ(SelectObject(dc, prior), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(region));
  }
  EXPECT_EQ(Counts{}, before);
}

TEST(HandleTable, ScreenDcIsCountedUntilReleasedAndHasNoPixels) {
  const int before = LiveCount(Kind::DC);
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(LiveCount(Kind::DC), before + 1);
  EXPECT_EQ(gdi::SurfaceOf(screen), nullptr);
  // It goes back through ReleaseDC, not DeleteDC, and only once.
  EXPECT_FALSE(DeleteDC(screen));
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
  EXPECT_EQ(LiveCount(Kind::DC), before);
}

TEST(HandleTable, NewMemoryDcHoldsAShared1x1StockBitmapThatCannotBeDeleted) {
  const int bitmaps = LiveCount(Kind::Bitmap);
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(nullptr);
  const gdi::Surface* pixels = gdi::SurfaceOf(a);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(pixels->width, 1);
  EXPECT_EQ(pixels->height, 1);
  EXPECT_EQ(LiveCount(Kind::Bitmap), bitmaps);

  HBITMAP mine = NewBitmap(2, 2);
  auto stock = static_cast<HBITMAP>(SelectObject(a, mine));
  ASSERT_NE(stock, nullptr);
  BITMAP record{};
  EXPECT_GT(GetObjectA(stock, sizeof record, &record), 0);
  EXPECT_EQ(record.bmWidth, 1);
  EXPECT_EQ(record.bmHeight, 1);
  // The stock bitmap survives a delete and can go into two DCs at once.
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_EQ(SelectObject(b, stock), stock);
  EXPECT_EQ(SelectObject(a, stock), mine);
  EXPECT_EQ(gdi::SurfaceOf(a)->width, 1);

  EXPECT_TRUE(DeleteObject(mine));
  EXPECT_TRUE(DeleteDC(a));
  EXPECT_TRUE(DeleteDC(b));
  EXPECT_EQ(LiveCount(Kind::Bitmap), bitmaps);
}

TEST(HandleTable, SelectObjectHandsBackThePriorBitmapAndSwitchesThePixels) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP first = NewBitmap(3, 2, 0xFF111111u);
  HBITMAP second = NewBitmap(5, 4, 0xFF222222u);
  HGDIOBJ stock = SelectObject(dc, first);
  EXPECT_EQ(gdi::SurfaceOf(dc)->width, 3);
  EXPECT_EQ(SelectObject(dc, second), first);
  EXPECT_EQ(gdi::SurfaceOf(dc)->At(0, 0), 0xFF222222u);
  // Selecting what is already selected changes nothing.
  EXPECT_EQ(SelectObject(dc, second), second);
  // The first one is free again and can be deleted.
  EXPECT_TRUE(DeleteObject(first));
  EXPECT_EQ(SelectObject(dc, stock), second);
  EXPECT_TRUE(DeleteObject(second));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(HandleTable, DeletingABitmapStillSelectedFailsAndDeletesNothing) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = NewBitmap(2, 2);
  const int bitmaps = LiveCount(Kind::Bitmap);
  HGDIOBJ stock = SelectObject(dc, bitmap);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(LiveCount(Kind::Bitmap), bitmaps);
  EXPECT_NE(gdi::BitmapPixels(bitmap), nullptr);
  EXPECT_EQ(gdi::SurfaceOf(dc)->width, 2);
  SelectObject(dc, stock);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(LiveCount(Kind::Bitmap), bitmaps - 1);
  DeleteDC(dc);
}

TEST(HandleTable, ABitmapGoesIntoOneDcAtATime) {
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = NewBitmap(2, 2);
  ASSERT_NE(SelectObject(a, bitmap), nullptr);
  EXPECT_EQ(SelectObject(b, bitmap), nullptr);
  EXPECT_EQ(gdi::SurfaceOf(b)->width, 1);  // b keeps its stock bitmap
  // Once a is gone, the bitmap is free (and alive) for b.
  EXPECT_TRUE(DeleteDC(a));
  EXPECT_NE(gdi::BitmapPixels(bitmap), nullptr);
  EXPECT_NE(SelectObject(b, bitmap), nullptr);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(b));
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(HandleTable, StaleHandlesFailSafelyEvenAfterTheirSlotIsReused) {
  HBITMAP old = NewBitmap(2, 2);
  ASSERT_TRUE(DeleteObject(old));
  HBITMAP fresh = NewBitmap(7, 7);  // likely takes the freed slot
  EXPECT_NE(fresh, old);
  EXPECT_FALSE(DeleteObject(old));
  EXPECT_EQ(gdi::BitmapPixels(old), nullptr);
  BITMAP record{};
  EXPECT_EQ(GetObjectA(old, sizeof record, &record), 0);
  EXPECT_NE(gdi::BitmapPixels(fresh), nullptr);

  HDC deadDc = CreateCompatibleDC(nullptr);
  ASSERT_TRUE(DeleteDC(deadDc));
  HDC live = CreateCompatibleDC(nullptr);
  EXPECT_FALSE(DeleteDC(deadDc));
  EXPECT_EQ(SelectObject(deadDc, fresh), nullptr);
  EXPECT_FALSE(BitBlt(live, 0, 0, 1, 1, deadDc, 0, 0, SRCCOPY));
  EXPECT_EQ(CreateCompatibleDC(deadDc), nullptr);
  EXPECT_TRUE(DeleteObject(fresh));
  EXPECT_TRUE(DeleteDC(live));
}

TEST(HandleTable, NullGarbageAndWrongKindHandlesAreRefused) {
  const Counts before;
  auto garbage = reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(0xDEADBEEFu));
  auto allOnes = reinterpret_cast<HGDIOBJ>(~std::uintptr_t{0});
  for (HGDIOBJ h : {static_cast<HGDIOBJ>(nullptr), garbage, allOnes}) {
    EXPECT_FALSE(DeleteObject(h));
    EXPECT_FALSE(DeleteDC(static_cast<HDC>(h)));
    EXPECT_EQ(SelectObject(static_cast<HDC>(h), h), nullptr);
    EXPECT_EQ(GetObjectA(h, sizeof(BITMAP), nullptr), 0);
    EXPECT_EQ(gdi::SurfaceOf(static_cast<HDC>(h)), nullptr);
  }
  // A DC is not a bitmap, and a bitmap is not a DC.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = NewBitmap(1, 1);
  EXPECT_FALSE(DeleteObject(dc));
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(bitmap)));
  EXPECT_EQ(SelectObject(dc, dc), nullptr);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(Counts{}, before);
}

TEST(HandleTable, GetObjectFillsTheBitmapRecordAndLeavesOtherRecordsUntouched) {
  HBITMAP bitmap = NewBitmap(30, 27);
  BITMAP record;
  std::memset(&record, 0xAB, sizeof record);
  EXPECT_EQ(GetObjectA(bitmap, sizeof record, &record), static_cast<int>(sizeof record));
  EXPECT_EQ(record.bmType, 0);
  EXPECT_EQ(record.bmWidth, 30);
  EXPECT_EQ(record.bmHeight, 27);
  EXPECT_EQ(record.bmWidthBytes, 120);
  EXPECT_EQ(record.bmPlanes, 1);
  EXPECT_EQ(record.bmBitsPixel, 32);
  EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof record));

  // A 24-byte record, as a 32-bit caller sizes it, gets every field but
  // the pointer and nothing past its end.
  std::uint8_t small[32];
  std::memset(small, 0xCD, sizeof small);
  EXPECT_EQ(GetObjectA(bitmap, 24, small), 24);
  EXPECT_EQ(small[24], 0xCD);

  HDC dc = CreateCompatibleDC(nullptr);
  POINT points[] = {{0, 0}, {1, 0}, {1, 1}};
  HRGN region = CreatePolygonRgn(points, 3, WINDING);
  for (HANDLE other : {static_cast<HANDLE>(dc), static_cast<HANDLE>(region)}) {
    BITMAP untouched{7, 7, 7, 7, 7, 7, nullptr};
    EXPECT_EQ(GetObjectA(other, sizeof untouched, &untouched), 0);
    EXPECT_EQ(untouched.bmWidth, 7);
  }
  DeleteObject(region);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST(HandleTable, SurfaceDcsDrawIntoTheirTargetAndTakeNoBitmaps) {
  gdi::Surface target(4, 4, 0xFF000000u);
  gdi::Surface moved(6, 6, 0xFF000000u);
  HDC dc = gdi::CreateSurfaceDC(&target);
  HBITMAP bitmap = NewBitmap(2, 2, 0xFFFFFFFFu);
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ stock = SelectObject(source, bitmap);
  EXPECT_TRUE(BitBlt(dc, 1, 1, 2, 2, source, 0, 0, SRCCOPY));
  EXPECT_EQ(target.At(1, 1), 0xFFFFFFFFu);
  gdi::RetargetSurfaceDC(dc, &moved);
  EXPECT_EQ(gdi::SurfaceOf(dc), &moved);
  EXPECT_TRUE(BitBlt(dc, 4, 4, 2, 2, source, 0, 0, SRCCOPY));
  EXPECT_EQ(moved.At(5, 5), 0xFFFFFFFFu);
  EXPECT_EQ(gdi::CreateSurfaceDC(nullptr), nullptr);
  SelectObject(source, stock);
  DeleteObject(bitmap);
  DeleteDC(source);
  EXPECT_TRUE(DeleteDC(dc));
}

}  // namespace

#endif
