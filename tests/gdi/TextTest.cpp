#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"

namespace {

constexpr std::uint32_t Paper = 0xFFFFFFFFu;

struct Box {
  int x, y, w, h;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

int CountInside(const gdi::Surface& s, const Box& box, std::uint32_t pixel) {
  int n = 0;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) n += box.Contains(x, y) && s.At(x, y) == pixel;
  }
  return n;
}

bool ChangedOutside(const gdi::Surface& s, const Box& box) {
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      if (!box.Contains(x, y) && s.At(x, y) != Paper) return true;
    }
  }
  return false;
}

TEST(DrawTextLine, DrawsInsideItsBoxInTheGivenColourAndNowhereElse) {
  gdi::Surface target(200, 60, Paper);
  HDC dc = gdi::CreateSurfaceDC(&target);
  const Box box{20, 10, 150, 30};
  gdi::Font font;
  font.Size = 14;
  font.Weight = 700;
  ASSERT_TRUE(gdi::DrawTextLine(dc, box.x, box.y, box.w, box.h, "Hello Mm", font, 0x000000FFu));
  // Solid glyph stems carry exactly the colour: red here (0x00BBGGRR).
  EXPECT_GT(CountInside(target, box, 0xFFFF0000u), 10);
  EXPECT_FALSE(ChangedOutside(target, box));
  DeleteDC(dc);
}

TEST(DrawTextLine, ClipsTextThatOverflowsItsBox) {
  gdi::Surface target(120, 40, Paper);
  HDC dc = gdi::CreateSurfaceDC(&target);
  // A long line in a box that holds a few letters, shifted partly off the
  // surface's left edge, with a system colour.
  const Box box{-5, 8, 40, 12};
  gdi::Font font;
  font.Size = 20;
  ASSERT_TRUE(
      gdi::DrawTextLine(dc, box.x, box.y, box.w, box.h, "WWWWWWWWWWWWWWWWWW", font, 0x80000012u));
  EXPECT_GT(CountInside(target, box, 0xFF000000u), 5);
  EXPECT_FALSE(ChangedOutside(target, box));
  DeleteDC(dc);
}

TEST(DrawTextLine, FallsBackForMissingFacesAndSurvivesBadText) {
  gdi::Surface target(160, 40, Paper);
  HDC dc = gdi::CreateSurfaceDC(&target);
  gdi::Font font;
  font.Name = "No Such Face 12345";
  font.Italic = font.Underline = font.Strikethrough = true;
  const std::string broken = std::string("Ab\xff\xfe") + "\ncd";
  ASSERT_TRUE(gdi::DrawTextLine(dc, 0, 0, 160, 40, broken, font, 0));
  EXPECT_GT(CountInside(target, Box{0, 0, 160, 40}, 0xFF000000u), 5);
  DeleteDC(dc);
}

TEST(DrawTextLine, RefusesDcsWithoutPixelsAndBoxesOffTheSurface) {
  gdi::Surface target(50, 20, Paper);
  HDC dc = gdi::CreateSurfaceDC(&target);
  gdi::Font font;
  HDC screen = GetDC(nullptr);
  EXPECT_FALSE(gdi::DrawTextLine(screen, 0, 0, 50, 20, "x", font, 0));
  ReleaseDC(nullptr, screen);
  EXPECT_FALSE(gdi::DrawTextLine(nullptr, 0, 0, 50, 20, "x", font, 0));
  EXPECT_FALSE(gdi::DrawTextLine(dc, 60, 0, 50, 20, "x", font, 0));
  EXPECT_FALSE(gdi::DrawTextLine(dc, 0, -40, 50, 20, "x", font, 0));
  EXPECT_FALSE(gdi::DrawTextLine(dc, 0, 0, 0, 20, "x", font, 0));
  EXPECT_EQ(target.pixels, gdi::Surface(50, 20, Paper).pixels);
  DeleteDC(dc);
}

TEST(MeasureText, GrowsWithTheTextAndTheFontSize) {
  gdi::Font small;
  small.Size = 9;
  gdi::Font large = small;
  large.Size = 18;
  int w1, h1, w2, h2, w3, h3;
  gdi::MeasureText("Caption", small, w1, h1);
  gdi::MeasureText("Caption text", small, w2, h2);
  gdi::MeasureText("Caption", large, w3, h3);
  EXPECT_GT(w1, 0);
  EXPECT_GT(w2, w1);
  EXPECT_EQ(h2, h1);
  EXPECT_GT(w3, w1 * 3 / 2);
  EXPECT_GT(h3, h1 * 3 / 2);
  // 9 points at 96 dots per inch is 12 pixels of em: the line is about that.
  EXPECT_GE(h1, 12);
  EXPECT_LE(h1, 20);
}

}  // namespace
