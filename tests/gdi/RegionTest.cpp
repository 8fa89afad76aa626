#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace {

// The window outline of an 878 x 560 window with its top corners cut.
const POINT Outline[] = {{0, 560}, {0, 3}, {3, 0}, {875, 0}, {878, 4}, {878, 560}, {0, 560}};

std::map<int, std::vector<gdi::Span>> ByRow(const std::vector<gdi::Span>& spans) {
  std::map<int, std::vector<gdi::Span>> rows;
  for (const gdi::Span& s : spans) rows[s.y].push_back(s);
  return rows;
}

long long Area(const std::vector<gdi::Span>& spans) {
  long long area = 0;
  for (const gdi::Span& s : spans) area += s.x1 - s.x0;
  return area;
}

TEST(PolygonRegion, TheWindowOutlineCutsBothTopCornersAndKeepsTheBottomSquare) {
  HRGN region = CreatePolygonRgn(Outline, 7, WINDING);
  ASSERT_NE(region, nullptr);
  const auto rows = ByRow(gdi::RegionSpans(region, 878, 560));
  ASSERT_EQ(rows.size(), 560u);
  // Rows are sampled along their top edge, a pixel by its top-left corner,
  // as the system's regions do: the left cut removes 3, 2 and 1 pixels from
  // the first three rows; the right cut, 3 across and 4 down, removes 3, 2
  // and 1 as well (at 875.75, 876.5 and 877.25).
  const int left[] = {3, 2, 1, 0, 0};
  const int right[] = {875, 876, 877, 878, 878};
  for (int y = 0; y < 5; ++y) {
    ASSERT_EQ(rows.at(y).size(), 1u) << "row " << y;
    EXPECT_EQ(rows.at(y)[0].x0, left[y]) << "row " << y;
    EXPECT_EQ(rows.at(y)[0].x1, right[y]) << "row " << y;
  }
  ASSERT_EQ(rows.at(559).size(), 1u);
  EXPECT_EQ(rows.at(559)[0].x0, 0);
  EXPECT_EQ(rows.at(559)[0].x1, 878);
  EXPECT_EQ(Area(gdi::RegionSpans(region, 878, 560)), 878LL * 560 - 12);

  EXPECT_FALSE(gdi::RegionContains(region, 2, 0));
  EXPECT_TRUE(gdi::RegionContains(region, 3, 0));
  EXPECT_FALSE(gdi::RegionContains(region, 0, 2));
  EXPECT_TRUE(gdi::RegionContains(region, 0, 3));
  EXPECT_FALSE(gdi::RegionContains(region, 875, 0));
  EXPECT_TRUE(gdi::RegionContains(region, 874, 0));
  EXPECT_FALSE(gdi::RegionContains(region, 877, 2));
  EXPECT_TRUE(gdi::RegionContains(region, 876, 2));
  EXPECT_TRUE(gdi::RegionContains(region, 877, 3));
  EXPECT_TRUE(gdi::RegionContains(region, 877, 4));
  EXPECT_TRUE(gdi::RegionContains(region, 0, 559));
  EXPECT_TRUE(gdi::RegionContains(region, 877, 559));
  EXPECT_FALSE(gdi::RegionContains(region, 878, 559));
  EXPECT_FALSE(gdi::RegionContains(region, 0, 560));
  EXPECT_FALSE(gdi::RegionContains(region, -1, 100));

#ifndef _WIN32
  // A system region keeps rectangles, not the points it was made from.
  std::vector<POINT> points = gdi::RegionPoints(region);
  ASSERT_EQ(points.size(), 7u);
  EXPECT_EQ(points[4].x, 878);
  EXPECT_EQ(points[4].y, 4);
#endif
  EXPECT_TRUE(DeleteObject(region));
}

TEST(PolygonRegion, AFullRectangleCoversExactlyItsWidthTimesHeight) {
  const POINT rect[] = {{0, 0}, {50, 0}, {50, 20}, {0, 20}};
  HRGN region = CreatePolygonRgn(rect, 4, ALTERNATE);
  EXPECT_EQ(Area(gdi::RegionSpans(region, 50, 20)), 1000);
  // Rasterising for a larger window adds nothing past the right and bottom
  // edges; for a smaller one the spans are clipped to it.
  EXPECT_EQ(Area(gdi::RegionSpans(region, 80, 40)), 1000);
  EXPECT_EQ(Area(gdi::RegionSpans(region, 10, 5)), 50);
  EXPECT_FALSE(gdi::RegionContains(region, 50, 0));
  EXPECT_FALSE(gdi::RegionContains(region, 0, 20));
  DeleteObject(region);
}

TEST(PolygonRegion, FillModesDifferOnlyWhereTheOutlineOverlapsItself) {
  // A square drawn twice round: winding fills it, alternate leaves it empty.
  const POINT twice[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
  HRGN winding = CreatePolygonRgn(twice, 8, WINDING);
  HRGN alternate = CreatePolygonRgn(twice, 8, ALTERNATE);
  EXPECT_EQ(Area(gdi::RegionSpans(winding, 10, 10)), 100);
  EXPECT_EQ(Area(gdi::RegionSpans(alternate, 10, 10)), 0);
  // A square with a square hole cut the other way round: both modes leave
  // the hole open.
  const POINT framed[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0},
                          {2, 2}, {2, 8},  {8, 8},   {8, 2},  {2, 2}};
  HRGN frame = CreatePolygonRgn(framed, 10, WINDING);
  EXPECT_EQ(Area(gdi::RegionSpans(frame, 10, 10)), 100 - 36);
  EXPECT_EQ(ByRow(gdi::RegionSpans(frame, 10, 10)).at(5).size(), 2u);
  for (HRGN r : {winding, alternate, frame}) DeleteObject(r);
}

// Rows lying between the same upright edges are worked out once for the
// whole band; every pixel must still answer as it does when asked alone, for
// outlines with upright, slanted and crossing edges, under both fill rules.
TEST(PolygonRegion, TheSpansOfEveryRowAgreeWithEachPixelAskedAlone) {
  std::vector<std::vector<POINT>> outlines = {
      {{0, 30}, {0, 3}, {3, 0}, {37, 0}, {40, 4}, {40, 30}},
      {{5, 2}, {35, 2}, {35, 12}, {20, 12}, {20, 20}, {35, 20}, {35, 28}, {5, 28}},
      {{20, -4}, {28, 34}, {2, 10}, {38, 10}, {12, 34}},
  };
  unsigned seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<unsigned>(range)) - 5;
  };
  for (int i = 0; i < 20; ++i) {
    std::vector<POINT> outline;
    const int corners = 3 + i % 6;
    for (int c = 0; c < corners; ++c) {
      // Every other outline keeps to upright and level edges.
      if (i % 2 == 0 && c > 0) {
        const POINT last = outline.back();
        outline.push_back(c % 2 ? POINT{next(50), last.y} : POINT{last.x, next(40)});
      } else {
        outline.push_back({next(50), next(40)});
      }
    }
    outlines.push_back(outline);
  }
  for (const auto& outline : outlines) {
    for (int mode : {WINDING, ALTERNATE}) {
      HRGN region = CreatePolygonRgn(outline.data(), static_cast<int>(outline.size()), mode);
      ASSERT_NE(region, nullptr);
      std::vector<std::vector<bool>> covered(30, std::vector<bool>(40, false));
      for (const gdi::Span& span : gdi::RegionSpans(region, 40, 30)) {
        for (int x = span.x0; x < span.x1; ++x) covered[span.y][x] = true;
      }
      int wrong = 0;
      for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) wrong += covered[y][x] != gdi::RegionContains(region, x, y);
      }
      EXPECT_EQ(wrong, 0) << "outline " << (&outline - outlines.data()) << ", fill mode " << mode;
      DeleteObject(region);
    }
  }
}

#ifndef _WIN32
// The system checks its own arguments (a null point list faults there).
TEST(PolygonRegion, BadArgumentsGiveNothing) {
  const int before = gdi::LiveCount(gdi::Kind::Region);
  EXPECT_EQ(CreatePolygonRgn(nullptr, 3, WINDING), nullptr);
  EXPECT_EQ(CreatePolygonRgn(Outline, 1, WINDING), nullptr);
  EXPECT_EQ(CreatePolygonRgn(Outline, -7, WINDING), nullptr);
  EXPECT_EQ(CreatePolygonRgn(Outline, 7, 3), nullptr);
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Region), before);
}
#endif

TEST(PolygonRegion, DeadHandlesGiveNothingAndHugeOutlinesDoNotOverflow) {
  HRGN region = CreatePolygonRgn(Outline, 7, WINDING);
  ASSERT_TRUE(DeleteObject(region));
  EXPECT_FALSE(DeleteObject(region));
  EXPECT_TRUE(gdi::RegionSpans(region, 878, 560).empty());
  EXPECT_FALSE(gdi::RegionContains(region, 100, 100));
  EXPECT_TRUE(gdi::RegionPoints(region).empty());
#ifndef _WIN32
  // Absurd coordinates rasterise without overflow. (The system keeps
  // coordinates to far fewer bits and makes such a region empty.)
  const POINT huge[] = {{-2147483647, -5}, {2147483647, -5}, {0, 2147483647}};
  HRGN big = CreatePolygonRgn(huge, 3, WINDING);
  EXPECT_EQ(Area(gdi::RegionSpans(big, 4, 4)), 16);
  DeleteObject(big);
#endif
}

}  // namespace
