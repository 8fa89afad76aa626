#include <gtest/gtest.h>

#include <limits>

#include "controls/caption/CaptionGeometry.h"

using caption::ButtonLeftEdges;
using caption::ButtonWidths;
using caption::RoundHalfEven;
using caption::WorkAreaPosition;

TEST(RoundHalfEven, TakesHalvesToTheEvenNeighbourAndEverythingElseToTheNearest) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
  EXPECT_EQ(RoundHalfEven(-2.5001), -3);
  EXPECT_EQ(RoundHalfEven(7.0), 7);
}

TEST(RoundHalfEven, HoldsValuesBeyondThirtyTwoBitsAtTheEndsAndTurnsNanIntoZero) {
  EXPECT_EQ(RoundHalfEven(1e12), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(RoundHalfEven(-1e12), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(ButtonLeftEdges, RoundAFractionalBarWidthHalvesToEven) {
  EXPECT_EQ(ButtonLeftEdges(100.5, ButtonWidths{10, 0, 0, 0}, 0, 0).close, 90);
  EXPECT_EQ(ButtonLeftEdges(101.5, ButtonWidths{10, 0, 0, 0}, 0, 0).close, 92);
  EXPECT_EQ(caption::RightPieceLeft(100.5, 11), 90);
  EXPECT_EQ(caption::RightPieceLeft(100.5, 12), 88);
}

TEST(ButtonLeftEdges, AcceptNegativeSkinOffsetsAndTheFarEndsOfTheSixteenBitRange) {
  const auto lefts = ButtonLeftEdges(300, ButtonWidths{9, 8, 6, 5}, -32768, 32767);
  EXPECT_EQ(lefts.close, 300 - 9 + 32768);
  EXPECT_EQ(lefts.onTop, 300 - 5 - 6 - 8 - 9 - 3 * 32767 + 32768);
}

TEST(TileCount, CoversTheWholeBarFromTheLeftAndNeverLoopsOnATileWithoutWidth) {
  EXPECT_EQ(caption::TileCount(300, 7), 43);  // 42 tiles reach 294, one more covers 299
  EXPECT_EQ(caption::TileCount(294, 7), 42);
  EXPECT_EQ(caption::TileCount(1, 7), 1);
  EXPECT_EQ(caption::TileCount(0, 7), 0);
  EXPECT_EQ(caption::TileCount(300, 0), 0);
  EXPECT_EQ(caption::TileCount(300, -3), 0);
}

TEST(Add16, SumsInSixteenBitsAndRefusesWhatLeavesTheRange) {
  EXPECT_EQ(caption::Add16(30, 17), 47);
  EXPECT_EQ(caption::Add16(-5, -1), -6);
  EXPECT_EQ(caption::Add16(32750, 17), 32767);
  EXPECT_FALSE(caption::Add16(32751, 17).has_value());
  EXPECT_FALSE(caption::Add16(-32768, -1).has_value());
}

struct PlacementRow {
  RECT area;
  bool moves;
  std::int32_t left;
  std::int32_t top;
};

class WorkAreaPlacementTable : public ::testing::TestWithParam<PlacementRow> {};

TEST_P(WorkAreaPlacementTable, PlacesTheWindowByTheFirstRowWhoseConditionHolds) {
  const PlacementRow& row = GetParam();
  const auto place = WorkAreaPosition(row.area, 15, 15);
  ASSERT_EQ(place.has_value(), row.moves);
  if (!row.moves) return;
  EXPECT_EQ(place->left, row.left);
  EXPECT_EQ(place->top, row.top);
}

INSTANTIATE_TEST_SUITE_P(Rows, WorkAreaPlacementTable,
                         ::testing::Values(
                             // Taskbar at the bottom or on the right: the top-left corner.
                             PlacementRow{{0, 0, 1920, 1040}, true, 0, 0},
                             PlacementRow{{0, 0, 1860, 1080}, true, 0, 0},
                             // Taskbar on the left: left in twips, top 0.
                             PlacementRow{{60, 0, 1920, 1080}, true, 900, 0},
                             // Taskbar at the top: left 0, top in twips.
                             PlacementRow{{0, 40, 1920, 1080}, true, 0, 600},
                             // A screen left of the primary one still goes to the corner.
                             PlacementRow{{-1280, 0, 640, 1024}, true, 0, 0},
                             // An area at the corner without height, but with width.
                             PlacementRow{{0, 0, 1920, 0}, true, 0, 0},
                             // At the corner with neither width nor height, and with neither edge
                             // at the screen's top or left: the window keeps its place.
                             PlacementRow{{0, 0, 0, 0}, false, 0, 0},
                             PlacementRow{{60, 40, 1920, 1080}, false, 0, 0},
                             PlacementRow{{-60, 40, 1920, 1080}, false, 0, 0},
                             PlacementRow{{0, -40, 1920, 1080}, false, 0, 0},
                             // The first row wins over the fourth, which would give the same.
                             PlacementRow{{0, 0, -5, 1080}, true, 0, 0}));

TEST(ButtonHitExtents, LineTheButtonsUpLeftwardsWithStrictEdgesAndGiveOverlapsToTheEarlierButton) {
  using caption::ButtonSlot;
  const auto extents = caption::ButtonHitExtents(300, ButtonWidths{9, 8, 6, 5}, 4, 2);
  EXPECT_EQ(caption::ButtonUnder(extents, 295.9f), ButtonSlot::Close);
  EXPECT_EQ(caption::ButtonUnder(extents, 296.0f), ButtonSlot::None);
  EXPECT_EQ(caption::ButtonUnder(extents, 287.0f), ButtonSlot::None);
  EXPECT_EQ(caption::ButtonUnder(extents, 286.0f), ButtonSlot::None);  // the gap
  EXPECT_EQ(caption::ButtonUnder(extents, 284.5f), ButtonSlot::Max);
  EXPECT_EQ(caption::ButtonUnder(extents, 270.0f), ButtonSlot::Min);
  EXPECT_EQ(caption::ButtonUnder(extents, 263.0f), ButtonSlot::OnTop);
  // Empty faces keep their gaps; a negative gap makes neighbours overlap.
  const auto overlapping = caption::ButtonHitExtents(100, ButtonWidths{10, 10, 0, 4}, 0, -5);
  EXPECT_FLOAT_EQ(overlapping.onTop.left, 100 - 10 - 10 - 4 + 15);
  EXPECT_EQ(caption::ButtonUnder(overlapping, 92.0f), ButtonSlot::Close);
  EXPECT_EQ(caption::ButtonUnder(overlapping, 87.0f), ButtonSlot::Max);
}
