#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/gdi/Gdi.h"
#include "tests/gdi/BmpBuilder.h"
#include "tests/profile/TempFolder.h"

namespace {

using gdi::testing::BmpLayout;
using gdi::testing::BuildBmp;

std::uint32_t Pattern(int x, int y) {
  return 0x80000000u | static_cast<std::uint32_t>((x * 40) << 16 | (y * 50) << 8 | (x + y));
}

bool Decode(const std::vector<std::uint8_t>& bytes, gdi::Surface& out) {
  return gdi::DecodeBmp(bytes.data(), bytes.size(), out);
}

void ExpectPattern(const gdi::Surface& s, int w, int h, bool keepAlpha) {
  ASSERT_EQ(s.width, w);
  ASSERT_EQ(s.height, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t want = keepAlpha ? Pattern(x, y) : (Pattern(x, y) | 0xFF000000u);
      ASSERT_EQ(s.At(x, y), want) << "pixel " << x << "," << y;
    }
  }
}

TEST(DecodeBmp, ReadsBottomUpAndTopDownRowsInPictureOrder) {
  for (int bits : {24, 32}) {
    for (bool topDown : {false, true}) {
      // 3 pixels wide: 24-bit rows need padding.
      const auto bytes = BuildBmp({.width = 3, .height = topDown ? -4 : 4, .bits = bits}, Pattern);
      gdi::Surface s;
      ASSERT_TRUE(Decode(bytes, s)) << bits << " bits, top-down " << topDown;
      ExpectPattern(s, 3, 4, bits == 32);
    }
  }
}

TEST(DecodeBmp, KeepsAlphaOnlyWhenSomePixelHasAny) {
  gdi::Surface s;
  ASSERT_TRUE(Decode(BuildBmp({.bits = 32}, [](int, int) { return 0x00336699u; }), s));
  EXPECT_EQ(s.At(1, 1), 0xFF336699u);
  ASSERT_TRUE(
      Decode(BuildBmp({.bits = 32}, [](int x, int) { return x ? 0x40336699u : 0x00112233u; }), s));
  EXPECT_EQ(s.At(1, 0), 0x40336699u);
  EXPECT_EQ(s.At(0, 0), 0x00112233u);
  // 24-bit pixels are always opaque.
  ASSERT_TRUE(Decode(BuildBmp({.bits = 24}, [](int, int) { return 0x00ABCDEFu; }), s));
  EXPECT_EQ(s.At(0, 0), 0xFFABCDEFu);
}

TEST(DecodeBmp, AcceptsLargerHeadersAndStandardBitfields) {
  for (std::uint32_t infoSize : {52u, 56u, 108u, 124u}) {
    gdi::Surface s;
    ASSERT_TRUE(
        Decode(BuildBmp({.width = 2, .height = -3, .bits = 32, .infoSize = infoSize}, Pattern), s))
        << infoSize;
    ExpectPattern(s, 2, 3, true);
    ASSERT_TRUE(Decode(BuildBmp({.width = 2,
                                 .height = 3,
                                 .bits = 32,
                                 .infoSize = infoSize,
                                 .compression = 3,
                                 .masks = true},
                                Pattern),
                       s))
        << infoSize << " bitfields";
    // Only a header with an alpha mask makes the fourth byte alpha.
    ExpectPattern(s, 2, 3, infoSize >= 56);
  }
  gdi::Surface s;
  ASSERT_TRUE(Decode(BuildBmp({.bits = 32, .compression = 3, .masks = true}, Pattern), s));
  ExpectPattern(s, 2, 2, false);
}

TEST(DecodeBmp, RefusesEveryKindOfBadInputWithoutTouchingTheOutput) {
  const auto good = BuildBmp({.width = 3, .height = 3}, Pattern);
  auto with = [&](std::size_t at, std::uint32_t value, int bytes = 4) {
    auto copy = good;
    for (int i = 0; i < bytes; ++i) copy[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return copy;
  };
  auto truncated = [&](std::size_t size) {
    return std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(size));
  };
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"file header only", truncated(14)},
      {"header cut short", truncated(30)},
      {"last row missing", truncated(good.size() - 12)},
      {"last pixel missing", truncated(good.size() - 6)},
      {"not a BMP", with(0, 'P' | 'K' << 8, 2)},
      {"core header", with(14, 12)},
      {"unknown header size", with(14, 41)},
      {"header larger than the file", with(14, 124)},
      {"zero width", with(18, 0)},
      {"negative width", with(18, static_cast<std::uint32_t>(-3))},
      {"zero height", with(22, 0)},
      {"width over the limit", with(18, 16385)},
      {"height over the limit", with(22, 16385)},
      {"top-down height over the limit", with(22, static_cast<std::uint32_t>(-16385))},
      {"most negative height", with(22, 0x80000000u)},
      {"huge width", with(18, 0x7FFFFFFFu)},
      {"size that overflows rows", with(18, 0x40000001u)},
      {"width the file cannot hold", with(18, 16384)},
      {"height the file cannot hold", with(22, 16384)},
      {"8 bits per pixel", with(28, 8, 2)},
      {"16 bits per pixel", with(28, 16, 2)},
      {"two planes", with(26, 2, 2)},
      {"RLE compression", with(30, 1)},
      {"bitfields on 24 bits", with(30, 3)},
      {"pixels offset past the end", with(10, 0xFFFFFFF0u)},
      {"pixels offset inside the header", with(10, 20)},
      {"pixels offset pushing rows past the end", with(10, 60)},
      {"bitfields with other masks",
       BuildBmp(
           {.bits = 32, .infoSize = 56, .compression = 3, .masks = true, .alphaMask = 0x000000FFu},
           Pattern)},
  };
  for (const Case& c : cases) {
    gdi::Surface out(1, 1, 0xFFABCDEFu);
    EXPECT_FALSE(gdi::DecodeBmp(c.bytes.data(), c.bytes.size(), out)) << c.what;
    EXPECT_EQ(out.width, 1) << c.what;
    EXPECT_EQ(out.At(0, 0), 0xFFABCDEFu) << c.what;
    EXPECT_EQ(gdi::CreateBitmapFromBmp(c.bytes.data(), c.bytes.size()), nullptr) << c.what;
  }
  gdi::Surface out;
  EXPECT_FALSE(gdi::DecodeBmp(nullptr, 100, out));
}

TEST(DecodeBmp, AcceptsALastRowWithoutItsPadding) {
  auto bytes = BuildBmp({.width = 3, .height = 2}, Pattern);
  bytes.resize(bytes.size() - 3);  // 9 pixel bytes, 3 padding bytes
  gdi::Surface s;
  ASSERT_TRUE(Decode(bytes, s));
  ExpectPattern(s, 3, 2, false);
}

TEST(EncodeBmp, RoundTripsThroughTheDecoder) {
  gdi::Surface picture(5, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) picture.Row(y)[x] = Pattern(x, y);
  }
  gdi::Surface back;
  ASSERT_TRUE(Decode(gdi::EncodeBmp(picture), back));
  ExpectPattern(back, 5, 3, false);
  ASSERT_TRUE(Decode(gdi::EncodeBmp(picture, true), back));
  ExpectPattern(back, 5, 3, true);
  EXPECT_TRUE(gdi::EncodeBmp(gdi::Surface()).empty());
}

class LoadImageTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = folder_.Path(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path;
  }
  TempFolder folder_;
  const std::string dir_ = folder_.Path("");
};

TEST_F(LoadImageTest, LoadsABitmapFile) {
  const std::string path = Write("pic.bmp", BuildBmp({.width = 4, .height = 2}, Pattern));
  const int before = gdi::LiveCount(gdi::Kind::Bitmap);
  auto bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(bitmap, nullptr);
  if (gdi::LiveCountPerKind) {
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), before + 1);
  }
  gdi::Surface pixels = *gdi::BitmapPixels(bitmap);
#ifdef _WIN32
  // The system loads a device bitmap, which has no alpha to read back.
  for (std::uint32_t& p : pixels.pixels) p |= 0xFF000000u;
#endif
  ExpectPattern(pixels, 4, 2, false);
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(LoadImageTest, GivesNothingForMissingEmptyOrBadFilesAndOtherArguments) {
  const std::string good = Write("good.bmp", BuildBmp({}, Pattern));
  const std::string empty = Write("empty.bmp", {});
  const std::string text = Write("text.bmp", {'h', 'e', 'l', 'l', 'o'});
  const int before = gdi::LiveCount(gdi::Kind::Bitmap);
  for (const std::string& path : {dir_ + "/missing.bmp", empty, text, dir_}) {
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr)
        << path;
  }
  EXPECT_EQ(LoadImageA(nullptr, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
#ifndef _WIN32
  // The emulation serves the one use the callers make; the system also
  // scales, loads other kinds of image and reads resources.
  EXPECT_EQ(LoadImageA(nullptr, good.c_str(), 1, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImageA(nullptr, good.c_str(), IMAGE_BITMAP, 8, 8, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImageA(nullptr, good.c_str(), IMAGE_BITMAP, 0, 0, 0), nullptr);
#endif
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), before);
}

}  // namespace
