#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"
#include "tests/profile/TempFolder.h"

namespace {

TEST(Colors, SystemColoursResolveAndPlainColoursConvertBothWays) {
  EXPECT_EQ(gdi::ResolveColor(0x8000000Fu), 0x00F0F0F0u);  // button face
  EXPECT_EQ(gdi::ResolveColor(0x80000012u), 0u);           // button text
  EXPECT_EQ(gdi::ResolveColor(0x80000005u), 0x00FFFFFFu);  // window
  EXPECT_EQ(gdi::ResolveColor(0x80000008u), 0u);           // window text
  EXPECT_EQ(gdi::ResolveColor(0x800000FFu), 0u);
  EXPECT_EQ(gdi::ResolveColor(0x00123456u), 0x00123456u);
  // 0x00BBGGRR against 0xAARRGGBB.
  EXPECT_EQ(gdi::ColorToPixel(0x00123456u), 0xFF563412u);
  EXPECT_EQ(gdi::ColorToPixel(0x8000000Fu), 0xFFF0F0F0u);
  EXPECT_EQ(gdi::PixelToColor(0xFF563412u), 0x00123456u);
}

TEST(Surface, ResizeKeepsTheOverlapAndFillsTheRest) {
  gdi::Surface s(3, 2, 0xFF000001u);
  s.Row(1)[2] = 0xFF000002u;
  s.Resize(4, 3, 0xFF0000FFu);
  ASSERT_EQ(s.pixels.size(), 12u);
  EXPECT_EQ(s.At(2, 1), 0xFF000002u);
  EXPECT_EQ(s.At(0, 0), 0xFF000001u);
  EXPECT_EQ(s.At(3, 0), 0xFF0000FFu);
  EXPECT_EQ(s.At(0, 2), 0xFF0000FFu);
  s.Resize(2, 1, 0);
  EXPECT_EQ(s.pixels, (gdi::Pixels{0xFF000001u, 0xFF000001u}));
  s.Resize(-5, 4, 0);
  EXPECT_EQ(s.width, 0);
  EXPECT_TRUE(s.pixels.empty());
}

TEST(Surface, FillRectAndCopyRectClipAndIgnoreInconsistentSurfaces) {
  gdi::Surface s(4, 4, 0);
  gdi::FillRect(s, -2, 3, 4, 10, 0xFFFFFFFFu);
  EXPECT_EQ(s.At(1, 3), 0xFFFFFFFFu);
  EXPECT_EQ(s.At(2, 3), 0u);
  EXPECT_EQ(s.At(1, 2), 0u);
  // A surface whose size claims more pixels than it holds is left alone.
  gdi::Surface lying;
  lying.width = 100;
  lying.height = 100;
  gdi::FillRect(lying, 0, 0, 100, 100, 1);
  gdi::CopyRect(lying, 0, 0, 4, 4, s, 0, 0);
  gdi::CopyRect(s, 0, 0, 4, 4, lying, 0, 0);
  EXPECT_EQ(s.At(1, 3), 0xFFFFFFFFu);
  EXPECT_EQ(gdi::CreateBitmapFromSurface(lying), nullptr);
  EXPECT_TRUE(gdi::EncodeBmp(lying).empty());
}

TEST(Surface, StretchBlendScalesAndBlendsOverTheDestination) {
  gdi::Surface picture(2, 1);
  picture.Row(0)[0] = 0xFFFF0000u;
  picture.Row(0)[1] = 0x800000FFu;  // half-transparent blue
  gdi::Surface s(6, 3, 0xFF000000u);
  gdi::StretchBlend(s, 1, 1, 4, 2, picture);
  EXPECT_EQ(s.At(1, 1), 0xFFFF0000u);
  EXPECT_EQ(s.At(2, 2), 0xFFFF0000u);
  const std::uint32_t blended = s.At(3, 1);
  EXPECT_EQ(blended >> 24, 0xFFu);
  EXPECT_NEAR(static_cast<int>(blended & 0xFF), 128, 2);
  EXPECT_EQ(s.At(0, 0), 0xFF000000u);
  EXPECT_EQ(s.At(5, 1), 0xFF000000u);
  EXPECT_EQ(s.At(1, 0), 0xFF000000u);
}

TEST(Png, WritesAndReadsBackEveryPixelIncludingAlpha) {
  gdi::Surface picture(3, 2);
  const std::uint32_t values[] = {0xFF102030u, 0x80FFFFFFu, 0xFF000000u,
                                  0xFFABCDEFu, 0xFF00FF00u, 0xC0123456u};
  picture.pixels.assign(std::begin(values), std::end(values));
  TempFolder folder;
  const std::string dir = folder.Path("");
  const std::string path = std::string(dir) + "/shot.png";
  ASSERT_TRUE(gdi::WritePng(picture, path));
  gdi::Surface back;
  ASSERT_TRUE(gdi::ReadPng(path, back));
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.pixels, picture.pixels);
  EXPECT_FALSE(gdi::WritePng(gdi::Surface(), path));
  EXPECT_FALSE(gdi::WritePng(picture, std::string(dir) + "/missing/shot.png"));
  // A file that is not a PNG reads as nothing and leaves the output alone.
  const std::string bmp = std::string(dir) + "/not.png";
  const auto bytes = gdi::EncodeBmp(picture);
  std::FILE* f = std::fopen(bmp.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  gdi::Surface untouched(1, 1, 7);
  EXPECT_FALSE(gdi::ReadPng(bmp, untouched));
  EXPECT_FALSE(gdi::ReadPng(std::string(dir) + "/absent.png", untouched));
  EXPECT_EQ(untouched.At(0, 0), 7u);
}

}  // namespace
