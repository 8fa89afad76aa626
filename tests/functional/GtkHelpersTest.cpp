// The GTK backend's own logic, which needs no display: page URIs, double-
// click detection, answering geometry requests, window shapes, the icon's
// property, the context menu's items.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "platform/gtk/ClickTracker.h"
#include "platform/gtk/IconProperty.h"
#include "platform/gtk/InputMapping.h"
#include "platform/gtk/PageHandOff.h"
#include "platform/gtk/PageUri.h"
#include "platform/gtk/PendingGeometry.h"
#include "platform/gtk/ResizeTrace.h"
#include "platform/gtk/ShapeRectangles.h"

namespace platform::gtk {
namespace {

TEST(PageUri, APlainPathBecomesAFileUri) {
  EXPECT_EQ(PageUri("/opt/skinshell/html/index.html"), "file:///opt/skinshell/html/index.html");
}

TEST(PageUri, TheQueryAfterTheFileNameIsKeptAsAQuery) {
  EXPECT_EQ(PageUri("/opt/app/html/index.html?installation=y"),
            "file:///opt/app/html/index.html?installation=y");
}

TEST(PageUri, ABackslashInAFolderNameIsPartOfTheName) {
  EXPECT_EQ(PageUri("/opt/a\\b/html/sound.html"), "file:///opt/a%5Cb/html/sound.html");
}

TEST(PageUri, QuestionMarksHashesAndPercentsInFolderNamesArePartOfThePath) {
  EXPECT_EQ(PageUri("/tmp/a?b#c%d e/html/index.html?installation=y"),
            "file:///tmp/a%3Fb%23c%25d%20e/html/index.html?installation=y");
}

TEST(PageUri, NonAsciiFolderNamesArePercentEncodedAsUtf8) {
  EXPECT_EQ(PageUri("/tmp/\xC3\xA4/html/index.html"), "file:///tmp/%C3%A4/html/index.html");
}

TEST(PageUri, ARelativePathIsTakenFromTheCurrentFolder) {
  std::string uri = PageUri("html/index.html");
  EXPECT_EQ(uri.rfind("file:///", 0), 0u) << uri;
  EXPECT_NE(uri.find("/html/index.html"), std::string::npos) << uri;
}

TEST(PageUri, ABlankInTheQueryIsEscapedButAnEncodedOneIsLeftAlone) {
  EXPECT_EQ(PageUri("/a/index.html?x=a b&y=%20"), "file:///a/index.html?x=a%20b&y=%20");
}

TEST(PageUri, LocationsThatAreNoFileGiveABlankPage) {
  EXPECT_EQ(PageUri(""), "about:blank");
  EXPECT_EQ(PageUri("?installation=y"), "about:blank");
  EXPECT_EQ(PageUri(std::string("/a\0b/index.html", 15)), "about:blank");
}

// The stock actions of the menu's items, separators as NO_ACTION.
std::vector<WebKitContextMenuAction> Actions(WebKitContextMenu* menu) {
  std::vector<WebKitContextMenuAction> actions;
  for (GList* item = webkit_context_menu_get_items(menu); item != nullptr; item = item->next) {
    actions.push_back(
        webkit_context_menu_item_get_stock_action(static_cast<WebKitContextMenuItem*>(item->data)));
  }
  return actions;
}

WebKitContextMenu* MenuOf(std::initializer_list<WebKitContextMenuAction> actions) {
  WebKitContextMenu* menu = webkit_context_menu_new();
  for (WebKitContextMenuAction action : actions) {
    webkit_context_menu_append(menu, action == WEBKIT_CONTEXT_MENU_ACTION_NO_ACTION
                                         ? webkit_context_menu_item_new_separator()
                                         : webkit_context_menu_item_new_from_stock_action(action));
  }
  return menu;
}

TEST(ContextMenu, NavigationItemsGoWithTheSeparatorsTheyLeaveAndEditingItemsStay) {
  constexpr auto Separator = WEBKIT_CONTEXT_MENU_ACTION_NO_ACTION;
  WebKitContextMenu* menu =
      MenuOf({WEBKIT_CONTEXT_MENU_ACTION_GO_BACK, WEBKIT_CONTEXT_MENU_ACTION_GO_FORWARD,
              WEBKIT_CONTEXT_MENU_ACTION_RELOAD, Separator, WEBKIT_CONTEXT_MENU_ACTION_CUT,
              WEBKIT_CONTEXT_MENU_ACTION_COPY, Separator, WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_IMAGE_TO_DISK,
              Separator, WEBKIT_CONTEXT_MENU_ACTION_SELECT_ALL, Separator,
              WEBKIT_CONTEXT_MENU_ACTION_INSPECT_ELEMENT});
  EXPECT_FALSE(TrimContextMenu(menu));
  EXPECT_EQ(Actions(menu), (std::vector<WebKitContextMenuAction>{
                               WEBKIT_CONTEXT_MENU_ACTION_CUT, WEBKIT_CONTEXT_MENU_ACTION_COPY,
                               Separator, WEBKIT_CONTEXT_MENU_ACTION_SELECT_ALL}));
  g_object_unref(menu);

  // A link's menu has nothing left, nor has an item of no stock action (a
  // link to the page's own address): none is shown.
  menu = MenuOf({WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK,
                 WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW, Separator,
                 WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_LINK_TO_DISK});
  GSimpleAction* action = g_simple_action_new("highlight", nullptr);
  webkit_context_menu_append(menu, webkit_context_menu_item_new_from_gaction(
                                       G_ACTION(action), "Copy Link with Highlight", nullptr));
  EXPECT_TRUE(TrimContextMenu(menu));
  g_object_unref(menu);
  g_object_unref(action);
}

TEST(ClickTracker, ASecondPressSoonAndCloseIsADoubleClickAndAThirdStartsOver) {
  ClickTracker clicks(400, 5);
  EXPECT_FALSE(clicks.Press(1, 100, 100, 1000));
  EXPECT_TRUE(clicks.Press(1, 103, 98, 1300));
  EXPECT_FALSE(clicks.Press(1, 103, 98, 1400));
  EXPECT_TRUE(clicks.Press(1, 103, 98, 1500));
}

TEST(ClickTracker, ALatePressAFarPressOrAnotherButtonIsASinglePress) {
  ClickTracker clicks(400, 5);
  EXPECT_FALSE(clicks.Press(1, 100, 100, 1000));
  EXPECT_FALSE(clicks.Press(1, 100, 100, 1401));
  EXPECT_FALSE(clicks.Press(1, 106, 100, 1500));
  EXPECT_FALSE(clicks.Press(2, 106, 100, 1600));
  EXPECT_TRUE(clicks.Press(2, 106, 100, 1700));
}

TEST(ClickTracker, ADoubleClickIsSeenAcrossTheServerClockWrapping) {
  ClickTracker clicks(400, 5);
  EXPECT_FALSE(clicks.Press(1, 0, 0, 0xFFFFFF00u));
  EXPECT_TRUE(clicks.Press(1, 0, 0, 0x00000010u));
}

TEST(PendingGeometry, WithNothingPendingAConfigureComesFromOutside) {
  PendingGeometry pending;
  EXPECT_EQ(pending.Configured({1, 2, 3, 4}), PendingGeometry::Verdict::Outside);
}

TEST(PendingGeometry, AnAnswerDropsItsRequestAndAllOlderOnes) {
  PendingGeometry pending;
  pending.Requested({0, 0, 100, 100});
  pending.Requested({0, 0, 200, 200});
  pending.Requested({0, 0, 300, 300});
  EXPECT_EQ(pending.Configured({0, 0, 200, 200}), PendingGeometry::Verdict::Answer);
  // The older request's answer arriving late is stale now, not outside.
  EXPECT_EQ(pending.Configured({0, 0, 100, 100}), PendingGeometry::Verdict::Stale);
  EXPECT_EQ(pending.Configured({0, 0, 300, 300}), PendingGeometry::Verdict::Answer);
  EXPECT_TRUE(pending.Empty());
  EXPECT_EQ(pending.Configured({0, 0, 100, 100}), PendingGeometry::Verdict::Outside);
}

TEST(PendingGeometry, TheSameGeometryAskedTwiceIsAnsweredByItsLaterRequest) {
  PendingGeometry pending;
  pending.Requested({0, 0, 100, 100});
  pending.Requested({0, 0, 200, 200});
  pending.Requested({0, 0, 100, 100});
  EXPECT_EQ(pending.Configured({0, 0, 100, 100}), PendingGeometry::Verdict::Answer);
  EXPECT_TRUE(pending.Empty());
}

TEST(PendingGeometry, RequestsThatAreNeverAnsweredDoNotPileUpWithoutEnd) {
  PendingGeometry pending;
  for (int i = 0; i < 1000; ++i) pending.Requested({0, 0, i, i});
  // The oldest were forgotten: their answers now read as stale.
  EXPECT_EQ(pending.Configured({0, 0, 3, 3}), PendingGeometry::Verdict::Stale);
  EXPECT_EQ(pending.Configured({0, 0, 999, 999}), PendingGeometry::Verdict::Answer);
}

TEST(ShapeRectangles, RowsWithTheSameSpansMergeIntoOneBand) {
  std::vector<gdi::Span> spans;
  for (int y = 0; y < 3; ++y) spans.push_back({y, 3 - y, 10 + y});  // a widening top
  for (int y = 3; y < 50; ++y) spans.push_back({y, 0, 13});
  std::vector<ShapeRect> rects = ShapeRectangles(spans);
  ASSERT_EQ(rects.size(), 4u);
  EXPECT_EQ(rects[0], (ShapeRect{3, 0, 7, 1}));
  EXPECT_EQ(rects[2], (ShapeRect{1, 2, 11, 1}));
  EXPECT_EQ(rects[3], (ShapeRect{0, 3, 13, 47}));
}

TEST(ShapeRectangles, AtScaleTwoEveryRectangleDoublesInPlace) {
  // A corner cut 2 across on the first row, 1 on the second, of a 10x4
  // window: the cuts are twice as large in device pixels, the rest whole.
  std::vector<gdi::Span> spans = {{0, 2, 10}, {1, 1, 10}, {2, 0, 10}, {3, 0, 10}};
  std::vector<ShapeRect> rects = ShapeRectangles(spans, 2);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0], (ShapeRect{4, 0, 16, 2}));
  EXPECT_EQ(rects[1], (ShapeRect{2, 2, 18, 2}));
  EXPECT_EQ(rects[2], (ShapeRect{0, 4, 20, 4}));
}

TEST(ShapeRectangles, ARowWithAHoleMergesBandByBand) {
  std::vector<gdi::Span> spans = {{0, 0, 4}, {0, 6, 10}, {1, 6, 10}, {1, 0, 4}, {2, 0, 10}};
  std::vector<ShapeRect> rects = ShapeRectangles(spans);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0], (ShapeRect{0, 0, 4, 2}));
  EXPECT_EQ(rects[1], (ShapeRect{6, 0, 4, 2}));
  EXPECT_EQ(rects[2], (ShapeRect{0, 2, 10, 1}));
}

TEST(ShapeRectangles, RowsApartAreNotJoinedAndEmptyOrTouchingSpansAreTidied) {
  std::vector<gdi::Span> spans = {{0, 0, 5}, {0, 5, 8}, {1, 3, 3}, {2, 0, 8}};
  std::vector<ShapeRect> rects = ShapeRectangles(spans);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0], (ShapeRect{0, 0, 8, 1}));
  EXPECT_EQ(rects[1], (ShapeRect{0, 2, 8, 1}));
  EXPECT_TRUE(ShapeRectangles({}).empty());
}

TEST(InputMapping, ButtonsAndModifiersAreCountedAsTheHostCountsThem) {
  EXPECT_EQ(HostButton(1), 1);
  EXPECT_EQ(HostButton(3), 2);
  EXPECT_EQ(HostButton(2), 4);
  EXPECT_EQ(HostButton(8), 0);
  EXPECT_EQ(HostShift(GDK_SHIFT_MASK | GDK_MOD1_MASK), 5);
  EXPECT_EQ(HostShift(GDK_CONTROL_MASK | GDK_BUTTON1_MASK), 2);
  EXPECT_EQ(HostButtons(GDK_BUTTON1_MASK | GDK_BUTTON2_MASK), 5);
  EXPECT_EQ(HostButtons(GDK_BUTTON3_MASK | GDK_SHIFT_MASK), 2);
}

TEST(InputMapping, EachFrameHitCodeStartsItsOwnEdgeAndTheCaptionNone) {
  EXPECT_EQ(SizingEdge(HTLEFT), GDK_WINDOW_EDGE_WEST);
  EXPECT_EQ(SizingEdge(HTRIGHT), GDK_WINDOW_EDGE_EAST);
  EXPECT_EQ(SizingEdge(HTBOTTOM), GDK_WINDOW_EDGE_SOUTH);
  EXPECT_EQ(SizingEdge(HTBOTTOMLEFT), GDK_WINDOW_EDGE_SOUTH_WEST);
  EXPECT_EQ(SizingEdge(HTBOTTOMRIGHT), GDK_WINDOW_EDGE_SOUTH_EAST);
  EXPECT_EQ(SizingEdge(HTCAPTION), std::nullopt);
  EXPECT_EQ(CursorName(Cursor::SizeNWSE), std::string("nwse-resize"));
  EXPECT_EQ(CursorName(Cursor::Default), nullptr);
}

TEST(ResizeTrace, ASizeIsTimedToItsFirstFrameAndSkippedWhenTheNextCameFirst) {
  ResizeTrace trace;
  EXPECT_EQ(trace.Configured({800, 600}, 1000), std::nullopt);
  EXPECT_EQ(trace.Painted({640, 480}, 2000), std::nullopt);  // a frame of the old size
  EXPECT_EQ(trace.Configured({800, 600}, 3000), std::nullopt);  // a move keeps the clock
  EXPECT_EQ(trace.Painted({800, 600}, 5500), 4.5);
  EXPECT_EQ(trace.Painted({800, 600}, 9000), std::nullopt);  // timed once
  EXPECT_EQ(trace.Configured({810, 600}, 10000), std::nullopt);
  EXPECT_EQ(trace.Configured({820, 600}, 11000), (ResizeTrace::Size{810, 600}));
  EXPECT_EQ(trace.Painted({820, 600}, 12000), 1.0);
}

// The window manager takes straight colour: a premultiplied half-covered
// white would show grey, and a masked-out corner taken as opaque, black.
TEST(NetWmIcon, EachImageIsItsSizeThenItsPixelsStraightWithMasksKept) {
  IconImage soft{gdi::Surface(2, 1, 0xFF336699u), 32};
  soft.pixels.Row(0)[1] = 0x80808080u;  // white, half covered
  IconImage masked{gdi::Surface(1, 2, 0xFF102030u), 24};
  masked.pixels.Row(0)[0] = 0x00000000u;  // outside the mask
  const std::vector<unsigned long> expected = {2, 1, 0xFF336699u, 0x80FFFFFFu,
                                               1, 2, 0x00000000u, 0xFF102030u};
  EXPECT_EQ(NetWmIcon({soft, IconImage{}, masked}), expected);
  // A pixel of a masked image is shown whole or not at all.
  EXPECT_EQ(StraightArgb(0xC0C0C0C0u, 24), 0xFFFFFFFFu);
  EXPECT_EQ(StraightArgb(0x40404040u, 24), 0x00000000u);
}

}  // namespace
}  // namespace platform::gtk
