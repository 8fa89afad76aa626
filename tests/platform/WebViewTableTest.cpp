#include "platform/WebViewTable.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// A backend draws no frame for a repaint that lies wholly under a shown web
// view; anywhere else the frame, or the part of the page cut off, would show
// stale pixels.
TEST(WebViewTable, AViewIsSeenInsideItsWindowAndOnlyAShownOneCoversTheFrame) {
  WebViewTable table;
  const HWND window = reinterpret_cast<HWND>(1);
  const WebViewId page = table.Add(window);
  const WebViewId sound = table.Add(window);
  EXPECT_NE(page, 0);
  EXPECT_NE(sound, page);
  table.Find(page)->bounds = {-2, 20, 204, 150};
  table.Find(page)->visible = true;
  table.Find(sound)->bounds = {0, 0, 200, 20};
  const RECT seen = WebViewTable::Visible(*table.Find(page), 200, 120);
  EXPECT_EQ(seen.left, 0);
  EXPECT_EQ(seen.top, 20);
  EXPECT_EQ(seen.right, 200);
  EXPECT_EQ(seen.bottom, 120);
  EXPECT_TRUE(table.Covers(window, 200, 120, {0, 20, 200, 120}));
  EXPECT_FALSE(table.Covers(window, 200, 120, {10, 10, 190, 60}));   // the caption's strip too
  EXPECT_FALSE(table.Covers(window, 200, 110, {10, 30, 190, 120}));  // past the window's bottom
  EXPECT_FALSE(table.Covers(window, 200, 120, {0, 0, 200, 20}));     // under the hidden view
  EXPECT_FALSE(table.Covers(reinterpret_cast<HWND>(2), 200, 120, {10, 30, 190, 120}));
  table.Remove(page);
  EXPECT_EQ(table.Find(page), nullptr);
  EXPECT_FALSE(table.Covers(window, 200, 120, {0, 20, 200, 120}));
  EXPECT_EQ(table.Of(window), std::vector<WebViewId>{sound});
  EXPECT_NE(table.Add(window), sound);  // an id is never given twice
}

}  // namespace
}  // namespace platform
