// The placement store's text handling: fields, numbers and their checks.
#include <gtest/gtest.h>

#include "app/FormPlacement.h"

namespace {

using app::NextToken;

TEST(NextToken, WalksTheFieldsInOrderAndStartsOverAfterTheLast) {
  const std::string text = "1200,2400,8400";
  std::int32_t position = 1;
  EXPECT_EQ(NextToken(position, text, ","), "1200");
  EXPECT_EQ(position, 6);
  EXPECT_EQ(NextToken(position, text, ","), "2400");
  EXPECT_EQ(position, 11);
  EXPECT_EQ(NextToken(position, text, ","), "8400");
  EXPECT_EQ(position, 0);
  EXPECT_EQ(NextToken(position, text, ","), "1200");
}

TEST(NextToken, GivesAnEmptyFieldWhenADelimiterStandsAtTheStart) {
  std::int32_t position = 1;
  EXPECT_EQ(NextToken(position, ",5", ","), "");
  EXPECT_EQ(position, 2);
  EXPECT_EQ(NextToken(position, ",5", ","), "5");
}

TEST(NextToken, StopsAtTheEarliestOfSeveralDelimiterCharacters) {
  std::int32_t position = 1;
  // ';' comes first in the text although ',' comes first in the list.
  EXPECT_EQ(NextToken(position, "a;b,c", ",;"), "a");
  EXPECT_EQ(position, 3);
  EXPECT_EQ(NextToken(position, "a;b,c", ",;"), "b");
  EXPECT_EQ(NextToken(position, "a;b,c", ",;"), "c");
  EXPECT_EQ(position, 0);
}

TEST(NextToken, TreatsPositionsBelowOneAsTheStartAndPastTheEndAsEmpty) {
  std::int32_t position = -7;
  EXPECT_EQ(NextToken(position, "x,y", ","), "x");
  position = 40;
  EXPECT_EQ(NextToken(position, "x,y", ","), "");
  EXPECT_EQ(position, 0);
  position = 1;
  EXPECT_EQ(NextToken(position, "", ","), "");
  EXPECT_EQ(position, 0);
}

TEST(SingleText, WritesWholeNumbersWithoutADecimalPart) {
  EXPECT_EQ(app::FormatSingle(13170.0f), "13170");
  EXPECT_EQ(app::FormatSingle(-30.0f), "-30");
  EXPECT_EQ(app::FormatSingle(0.0f), "0");
  EXPECT_EQ(app::FormatSingle(1234567.0f), "1234567");
  // Beyond seven digits the float's own precision shows.
  EXPECT_EQ(app::FormatSingle(12345678.0f), "1.234568E+07");
  EXPECT_EQ(app::FormatSingle(2.5f), "2.5");
}

TEST(SingleText, ReadsNumbersWithBlanksAroundAndRejectsEverythingElse) {
  EXPECT_EQ(app::ParseSingle(" 2400 "), 2400.0f);
  EXPECT_EQ(app::ParseSingle("\t-15"), -15.0f);
  EXPECT_EQ(app::ParseSingle("+7"), 7.0f);
  EXPECT_EQ(app::ParseSingle("1.234568E+07"), 12345680.0f);
  EXPECT_EQ(app::ParseSingle("2.5"), 2.5f);
  for (const char* bad :
       {"", "   ", "abc", "12a", "1 2", "2,5", "inf", "nan", "1e39", "--1", "+-1", "++1"}) {
    EXPECT_FALSE(app::ParseSingle(bad).has_value()) << bad;
  }
}

TEST(PlacementValue, KeepsNegativePositionsAndRoundsFractionsToWholeTwips) {
  const auto p = app::ParsePlacement("-300,-15000,8400.4,13170.6");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Top, -300);
  EXPECT_EQ(p->Left, -15000);
  EXPECT_EQ(p->Height, 8400);
  EXPECT_EQ(p->Width, 13171);
}

TEST(PlacementValue, RefusesFieldsThatAreNotNumbersAndNegativeSizes) {
  std::string why;
  EXPECT_FALSE(app::ParsePlacement("1200,,8400,13170", &why));
  EXPECT_NE(why.find("Left"), std::string::npos) << why;
  EXPECT_FALSE(app::ParsePlacement("top,left,height,width", &why));
  EXPECT_FALSE(app::ParsePlacement("1,2,3,4e20", &why));
  EXPECT_FALSE(app::ParsePlacement("1,2,-3,4", &why));
  EXPECT_NE(why.find("Height"), std::string::npos) << why;
  // A single field repeats, so a lone bad field fails on the first read.
  EXPECT_FALSE(app::ParsePlacement("x", &why));
}

TEST(PlacementMonitors, APlacementPartlyOnAnyMonitorCounts) {
  const std::vector<RECT> monitors = {{0, 0, 1920, 1080}, {-1280, 0, 0, 1024}};
  // On the left monitor, negative position.
  EXPECT_TRUE(app::OnSomeMonitor({300, -15000, 8400, 13170}, monitors));
  // One pixel overlapping the right edge of the primary.
  EXPECT_TRUE(app::OnSomeMonitor({0, 1919 * 15, 8400, 13170}, monitors));
  // Just past the right edge, and far above.
  EXPECT_FALSE(app::OnSomeMonitor({0, 1920 * 15, 8400, 13170}, monitors));
  EXPECT_FALSE(app::OnSomeMonitor({-9000, 0, 8400, 13170}, monitors));
  // A removed monitor on the left.
  EXPECT_FALSE(app::OnSomeMonitor({0, -19200 * 15, 8400, 13170}, {{0, 0, 1920, 1080}}));
  // Unknown monitors: nothing to judge by.
  EXPECT_TRUE(app::OnSomeMonitor({0, -999999, 8400, 13170}, {}));
}

TEST(PlacementMonitors, TouchingAMonitorAtAnySideIsNotBeingOnIt) {
  // A 100x50 monitor at 1000,500, and a 20x10 window (in twips: top, left,
  // height, width) flush against each of its sides from outside, then one
  // pixel over that side.
  const std::vector<RECT> monitor = {{1000, 500, 1100, 550}};
  struct Case {
    int left, top;
  };
  const Case touching[] = {{980, 520}, {1100, 520}, {1040, 490}, {1040, 550}};
  const Case overlapping[] = {{981, 520}, {1099, 520}, {1040, 491}, {1040, 549}};
  for (const Case& c : touching) {
    EXPECT_FALSE(app::OnSomeMonitor({c.top * 15, c.left * 15, 150, 300}, monitor))
        << c.left << "," << c.top;
  }
  for (const Case& c : overlapping) {
    EXPECT_TRUE(app::OnSomeMonitor({c.top * 15, c.left * 15, 150, 300}, monitor))
        << c.left << "," << c.top;
  }
}

}  // namespace
