#include <gtest/gtest.h>

#include <memory>

#include "platform/gdi/Gdi.h"
#include "skin/clsBitmap.h"
#include "tests/support/Scenario.h"

namespace {

constexpr std::uint32_t Red = 0xFFFF0000u;
constexpr std::uint32_t Blue = 0xFF0000FFu;
constexpr std::uint32_t White = 0xFFFFFFFFu;

HBITMAP MakeBitmap(int w, int h, std::uint32_t argb) {
  return gdi::CreateBitmapFromSurface(gdi::Surface(w, h, argb));
}

// Live GDI objects at the start of a test; every test ends where it began.
class BitmapSurface : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::DC), dcs);
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), bitmaps);
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::Region), regions);
  }
  int dcs = gdi::LiveCount(gdi::Kind::DC);
  int bitmaps = gdi::LiveCount(gdi::Kind::Bitmap);
  int regions = gdi::LiveCount(gdi::Kind::Region);
};

// A target to paint on, with a DC onto it; its pixels as the DC drew them.
struct Target {
  gdi::Surface surface{8, 8, White};
  HDC dc = gdi::CreateSurfaceDC(&surface);
  ~Target() { gdi::DeleteSurfaceDC(dc); }
  const gdi::Surface& pixels() const { return *gdi::SurfaceOf(dc); }
};

TEST_F(BitmapSurface, ANewSurfaceIsEmptyAndPaintsNothing) {
  Target target;
  {
    clsBitmap surface;
    EXPECT_EQ(surface.Width(), 0);
    EXPECT_EQ(surface.Height(), 0);
    EXPECT_EQ(surface.hdc(), nullptr);
    surface.Paint(target.dc, 0, 0);
  }
  for (std::uint32_t p : target.pixels().pixels) ASSERT_EQ(p, White);
}

TEST_F(BitmapSurface, AnAdoptedBitmapPaintsWholeAndDiesWithTheSurface) {
  Target target;
  HBITMAP bitmap = MakeBitmap(3, 2, Red);
  {
    clsBitmap surface;
    ASSERT_TRUE(surface.LoadResource(bitmap));
    EXPECT_EQ(surface.Width(), 3);
    EXPECT_EQ(surface.Height(), 2);
    EXPECT_NE(surface.hdc(), nullptr);
    if (gdi::LiveCountPerKind) {
      EXPECT_EQ(gdi::LiveCount(gdi::Kind::DC), dcs + 2);
    }
    surface.Paint(target.dc, 4, 5);
  }
  EXPECT_EQ(gdi::BitmapPixels(bitmap), nullptr) << "the surface owns what it adopted";
  EXPECT_EQ(target.pixels().At(4, 5), Red);
  EXPECT_EQ(target.pixels().At(6, 6), Red);
  EXPECT_EQ(target.pixels().At(7, 6), White);
  EXPECT_EQ(target.pixels().At(4, 7), White);
}

TEST_F(BitmapSurface, LoadingASecondBitmapDeletesTheFirstAndItsDc) {
  HBITMAP first = MakeBitmap(2, 2, Red);
  HBITMAP second = MakeBitmap(5, 1, Blue);
  clsBitmap surface;
  ASSERT_TRUE(surface.LoadResource(first));
  ASSERT_TRUE(surface.LoadResource(second));
  EXPECT_EQ(gdi::BitmapPixels(first), nullptr);
  if (gdi::LiveCountPerKind) {
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::DC), dcs + 1);
  }
  if (gdi::LiveCountPerKind) {
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), bitmaps + 1);
  }
  EXPECT_EQ(surface.Width(), 5);
  EXPECT_EQ(surface.Height(), 1);
  EXPECT_EQ(gdi::SurfaceOf(surface.hdc())->At(4, 0), Blue);
}

TEST_F(BitmapSurface, LoadingNothingEmptiesTheSurfaceButKeepsTheLastSize) {
  HBITMAP bitmap = MakeBitmap(7, 4, Red);
  clsBitmap surface;
  ASSERT_TRUE(surface.LoadResource(bitmap));
  EXPECT_FALSE(surface.LoadResource(nullptr));
  EXPECT_EQ(surface.hdc(), nullptr);
  EXPECT_EQ(surface.Width(), 7);
  EXPECT_EQ(surface.Height(), 4);
  EXPECT_EQ(gdi::BitmapPixels(bitmap), nullptr);
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::DC), dcs);

  Target target;
  surface.Paint(target.dc, 0, 0);
  EXPECT_EQ(target.pixels().At(0, 0), White) << "an empty surface has nothing to copy";
}

TEST_F(BitmapSurface, AHandleThatIsNoBitmapLoadsAsZeroByZeroAndIsStillReleased) {
  const POINT points[] = {{0, 0}, {4, 0}, {4, 4}};
  HRGN region = CreatePolygonRgn(points, 3, WINDING);
  ASSERT_NE(region, nullptr);
  clsBitmap surface;
  ASSERT_TRUE(surface.LoadResource(reinterpret_cast<HBITMAP>(region)));
  EXPECT_EQ(surface.Width(), 0);
  EXPECT_EQ(surface.Height(), 0);
  Target target;
  surface.Paint(target.dc, 0, 0);
  EXPECT_EQ(target.pixels().At(0, 0), White);
}

TEST_F(BitmapSurface, PaintingPartlyOffTheTargetCopiesTheVisiblePartOnly) {
  gdi::Surface picture(3, 3, Blue);
  picture.Row(2)[2] = Red;
  clsBitmap surface;
  ASSERT_TRUE(surface.LoadResource(gdi::CreateBitmapFromSurface(picture)));
  Target target;
  surface.Paint(target.dc, -2, -2);
  EXPECT_EQ(target.pixels().At(0, 0), Red);
  EXPECT_EQ(target.pixels().At(1, 0), White);
  EXPECT_EQ(target.pixels().At(0, 1), White);
  surface.Paint(target.dc, 6, 7);
  EXPECT_EQ(target.pixels().At(7, 7), Blue);
}

TEST_F(BitmapSurface, AOneByOneBitmapReportsItsSize) {
  clsBitmap surface;
  ASSERT_TRUE(surface.LoadResource(MakeBitmap(1, 1, Red)));
  EXPECT_EQ(surface.Width(), 1);
  EXPECT_EQ(surface.Height(), 1);
}

TEST_F(BitmapSurface, LoadsABitmapFileAndKeepsTheOldSizeWhenAFileIsMissing) {
  test::TempFolder folder;
  const std::string path = folder / "face.bmp";
  test::WriteFile(path, gdi::EncodeBmp(gdi::Surface(9, 3, Red)));
  clsBitmap surface;
  ASSERT_TRUE(surface.LoadFile(path));
  EXPECT_EQ(surface.Width(), 9);
  EXPECT_EQ(surface.Height(), 3);
  // The colour: the system loads a file as a device bitmap, which reads
  // back without alpha.
  EXPECT_EQ(gdi::PixelToColor(gdi::SurfaceOf(surface.hdc())->At(8, 2)), gdi::PixelToColor(Red));

  EXPECT_FALSE(surface.LoadFile(folder / "missing.bmp"));
  EXPECT_EQ(surface.hdc(), nullptr);
  EXPECT_EQ(surface.Width(), 9);
  EXPECT_EQ(surface.Height(), 3);

  test::WriteFile(folder / "text.bmp", std::string("not a picture"));
  EXPECT_FALSE(surface.LoadFile(folder / "text.bmp"));
  EXPECT_FALSE(test::Exists(folder / "missing.bmp"));
}

TEST_F(BitmapSurface, ManyReloadsLeaveOneBitmapAndOneDc) {
  clsBitmap surface;
  for (int i = 1; i <= 50; ++i) {
    ASSERT_TRUE(surface.LoadResource(MakeBitmap(i, 2, Red)));
    if (i % 7 == 0) surface.LoadResource(nullptr);
  }
  if (gdi::LiveCountPerKind) {
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::DC), dcs + 1);
  }
  if (gdi::LiveCountPerKind) {
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), bitmaps + 1);
  }
  EXPECT_EQ(surface.Width(), 50);
}

}  // namespace
