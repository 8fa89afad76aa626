#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "controls/ResizeEnabled.h"
#include "controls/border/JSBORDER.h"
#include "host/Form.h"
#include "platform/gdi/Gdi.h"
#include "platform/headless/HeadlessDesktop.h"
#include "skin/FrameSkins.h"
#include "skin/builtin/BuiltInSkins.h"
#include "tests/support/Scenario.h"
#include "tests/support/SkinBuilder.h"

namespace {

using test::SkinBuilder;

constexpr std::uint32_t Red = 0x000000FF;
constexpr std::uint32_t Green = 0x0000FF00;
constexpr std::uint32_t Blue = 0x00FF0000;
constexpr std::uint32_t Back = JSBORDER::EdgeBackColor;

class Border : public test::HeadlessTest {
 protected:
  Border() : skinPath(folder / "test.jss") {
    form = std::make_unique<host::Form>(desktop, "TestOCX_new");
  }
  ~Border() override { ResizeEnabled = 0; }

  // An edge of the given type docked in a form of width x height pixels.
  JSBORDER& AddEdge(int type, int width, int height, const std::string& name = "JSBORDER1") {
    form->Move(0, 0, width * 15, height * 15);
    JSBORDER& edge = form->Add(std::make_unique<JSBORDER>(name));
    edge.BORDERTYPE(type);
    return edge;
  }
  void Write(const SkinBuilder& skin) { ASSERT_TRUE(skin.Write(skinPath)); }
  static std::uint32_t Px(const JSBORDER& edge, int x, int y) {
    return test::ColorAt(edge.Pixels(), x, y);
  }
  static bool AllBack(const JSBORDER& edge) {
    return std::all_of(edge.Pixels().pixels.begin(), edge.Pixels().pixels.end(),
                       [](std::uint32_t p) { return gdi::PixelToColor(p) == Back; });
  }

  test::TempFolder folder{"border"};
  std::string skinPath;
  std::unique_ptr<host::Form> form;
};

TEST_F(Border, ALeftEdgeTilesItsMiddlePieceDownTheWholeHeightUnderTheTopPiece) {
  JSBORDER& edge = AddEdge(1, 100, 500);
  Write(SkinBuilder().Picture("LEFTTOP", 5, 20, Red).Picture("LEFTMID", 5, 1, Green));
  edge.Path(skinPath);
  ASSERT_EQ(edge.Width(), 75);
  ASSERT_EQ(edge.ScaleHeight(), 500);
  for (int y = 0; y < 500; ++y) EXPECT_EQ(Px(edge, 4, y), y < 20 ? Red : Green) << y;
}

TEST_F(Border, AMiddlePieceIsTiledAtItsOwnSizeDownToTheLastRow) {
  JSBORDER& edge = AddEdge(2, 100, 500);
  gdi::Surface mid(3, 7, gdi::ColorToPixel(Green));
  std::fill_n(mid.Row(0), 3, gdi::ColorToPixel(Blue));
  Write(SkinBuilder().Picture("RIGHTTOP", 3, 1, Red).Picture("RIGHTMID", mid));
  edge.Path(skinPath);
  // 500 is not a multiple of 7: the copies must still reach rows 497 to 499.
  for (int y = 1; y < 500; ++y) EXPECT_EQ(Px(edge, 1, y), y % 7 == 0 ? Blue : Green) << y;
}

TEST_F(Border, TheTopPieceSetsTheThicknessWhateverTheContainerGave) {
  JSBORDER& edge = AddEdge(2, 100, 300);
  edge.Width(300);
  Write(SkinBuilder().Picture("RIGHTTOP", 6, 10, Red).Picture("RIGHTMID", 6, 1, Blue));
  edge.Path(skinPath);
  EXPECT_EQ(edge.Width(), 6 * 15);
  EXPECT_EQ(edge.ScaleWidth(), 6);
  // A narrower middle piece leaves a strip of background beside it, not the
  // previous skin's.
  Write(SkinBuilder().Picture("RIGHTTOP", 6, 10, Red).Picture("RIGHTMID", 4, 1, Green));
  edge.Path(skinPath);
  EXPECT_EQ(Px(edge, 5, 5), Red);
  EXPECT_EQ(Px(edge, 3, 100), Green);
  EXPECT_EQ(Px(edge, 4, 100), Back);
  EXPECT_EQ(Px(edge, 5, 299), Back);
}

TEST_F(Border, TheBottomEdgeLaysItsEndsOverTheTilesFlushWithBothSides) {
  JSBORDER& edge = AddEdge(3, 800, 300);
  Write(SkinBuilder()
            .Picture("LEFTBOT", 10, 5, Red)
            .Picture("RIGHTBOT", 10, 5, Blue)
            .Picture("BOTTOM", 1, 5, Green));
  edge.Path(skinPath);
  ASSERT_EQ(edge.Height(), 75);
  ASSERT_EQ(edge.ScaleWidth(), 800);
  EXPECT_EQ(Px(edge, 9, 4), Red);
  EXPECT_EQ(Px(edge, 10, 0), Green);
  EXPECT_EQ(Px(edge, 789, 4), Green);
  EXPECT_EQ(Px(edge, 790, 0), Blue);
  EXPECT_EQ(Px(edge, 799, 4), Blue);
  // Without its middle piece the bottom edge has no thickness.
  Write(SkinBuilder().Picture("LEFTBOT", 10, 5, Red).Picture("RIGHTBOT", 10, 5, Blue));
  edge.Path(skinPath);
  EXPECT_EQ(edge.Height(), 0);
}

TEST_F(Border, EveryAssignmentAndRedrawReadsTheSkinFileAgain) {
  JSBORDER& edge = AddEdge(1, 100, 50);
  Write(SkinBuilder().Picture("LEFTTOP", 4, 1, Red).Picture("LEFTMID", 4, 1, Green));
  edge.Path(skinPath);
  EXPECT_EQ(Px(edge, 0, 30), Green);
  Write(SkinBuilder().Picture("LEFTTOP", 4, 1, Red).Picture("LEFTMID", 4, 1, Blue));
  edge.Path(skinPath);
  EXPECT_EQ(Px(edge, 0, 30), Blue);
  Write(SkinBuilder().Picture("LEFTTOP", 2, 1, Red).Picture("LEFTMID", 2, 1, Green));
  edge.REDRAW();
  EXPECT_EQ(edge.ScaleWidth(), 2);
  EXPECT_EQ(Px(edge, 1, 30), Green);
  EXPECT_EQ(std::count(edge.ChangedProperties().begin(), edge.ChangedProperties().end(), "Path"),
            2);
}

TEST_F(Border, CompositionsLeaveNoHandlesAndUnusableSkinsDrawTheBuiltInEdge) {
  Write(SkinBuilder()
            .Picture("LEFTTOP", 4, 9, Red)
            .Picture("LEFTMID", 4, 3, Green)
            .Picture("RIGHTTOP", 4, 9, Red)
            .Picture("RIGHTMID", 4, 3, Green)
            .Picture("LEFTBOT", 9, 4, Red)
            .Picture("RIGHTBOT", 9, 4, Blue)
            .Picture("BOTTOM", 3, 4, Green));
  const std::string noKeys = folder / "nokeys.jss";
  ASSERT_TRUE(SkinBuilder().Number("XOFFSET", 4).Write(noKeys));
  const std::string zeroWidth = folder / "zero.jss";
  ASSERT_TRUE(SkinBuilder()
                  .Picture("LEFTTOP", 0, 9, Red)
                  .Picture("RIGHTTOP", 0, 9, Red)
                  .Picture("BOTTOM", 3, 0, Red)
                  .Write(zeroWidth));
  const std::string captionOnly = folder / "caption.jss";
  ASSERT_TRUE(SkinBuilder().Picture("TOPLEFT", 8, 27, Red).Write(captionOnly));
  // Read as the main window has its edges read a skin.
  skin::FrameSkins skins(skin::BuiltInSkins());
  for (int type = 1; type <= 3; ++type) {
    SCOPED_TRACE(type);
    JSBORDER& edge = AddEdge(type, 400, 300, "JSBORDER" + std::to_string(type));
    edge.Skins(skins);
    edge.hDC();
    const int dcs = gdi::LiveCount(gdi::Kind::DC);
    const int bitmaps = gdi::LiveCount(gdi::Kind::Bitmap);
    edge.Path(skinPath);
    edge.REDRAW();
    EXPECT_EQ((type == 3 ? edge.Height() : edge.Width()), 4 * 15);
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::DC), dcs);
    EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), bitmaps);
    // The built-in black-1 has 6-pixel sides and a 5-pixel bottom.
    for (const std::string& bad : {folder / "missing.jss", noKeys, zeroWidth, folder.Path()}) {
      SCOPED_TRACE(bad);
      edge.Path(bad);
      EXPECT_EQ((type == 3 ? edge.Height() : edge.Width()), (type == 3 ? 5 : 6) * 15);
      EXPECT_EQ(gdi::LiveCount(gdi::Kind::DC), dcs);
      EXPECT_EQ(gdi::LiveCount(gdi::Kind::Bitmap), bitmaps);
    }
    // A skin is used as it stands, even one that has nothing for the edges.
    edge.Path(captionOnly);
    EXPECT_EQ((type == 3 ? edge.Height() : edge.Width()), 0);
    EXPECT_FALSE(test::Exists(folder / "missing.jss"));
  }
}

TEST_F(Border, InDesignModeTheEdgeHoldsItsDesignedThicknessAndDrawsNothing) {
  form->UserMode(false);
  JSBORDER& left = AddEdge(1, 400, 300);
  left.Width(3000);
  EXPECT_EQ(left.Width(), 105);
  Write(SkinBuilder().Picture("LEFTTOP", 4, 9, Red).Picture("LEFTMID", 4, 3, Green));
  left.Path(skinPath);
  EXPECT_EQ(left.Width(), 105);
  EXPECT_TRUE(AllBack(left));
  JSBORDER& bottom = form->Add(std::make_unique<JSBORDER>("JSBORDER3"));
  bottom.BORDERTYPE(3);
  bottom.Height(3000);
  EXPECT_EQ(bottom.Height(), 105);
}

TEST_F(Border,
       SettingTheTypeDocksTheEdgeAndTellsTheHostWithoutDrawingUnlessTheContainerCannotBeAsked) {
  JSBORDER& edge = AddEdge(0, 400, 300);
  Write(SkinBuilder().Picture("RIGHTTOP", 4, 9, Red).Picture("RIGHTMID", 4, 3, Green));
  edge.Width(150);
  edge.Path(skinPath);
  EXPECT_EQ(edge.Align(), host::vbAlignNone);
  edge.BORDERTYPE(2);
  EXPECT_EQ(edge.Align(), host::vbAlignRight);
  EXPECT_EQ(edge.Width(), 150);
  EXPECT_TRUE(AllBack(edge));
  edge.BORDERTYPE(3);
  EXPECT_EQ(edge.Align(), host::vbAlignBottom);
  edge.BORDERTYPE(1);
  edge.BORDERTYPE(5);
  EXPECT_EQ(edge.BORDERTYPE(), 5);
  EXPECT_EQ(edge.Align(), host::vbAlignLeft);
  const int width = edge.Width();
  const int height = edge.Height();
  edge.Path(skinPath);
  EXPECT_EQ(edge.Width(), width);
  EXPECT_EQ(edge.Height(), height);
  EXPECT_EQ(
      std::count(edge.ChangedProperties().begin(), edge.ChangedProperties().end(), "BORDERTYPE"),
      5);

  JSBORDER outside("JSBORDER9");  // in no container: the docking fails
  EXPECT_THROW(outside.BORDERTYPE(2), host::Error);
  EXPECT_EQ(outside.BORDERTYPE(), 2);
  EXPECT_TRUE(outside.ChangedProperties().empty());
}

TEST_F(Border, SavedSettingsLeaveOutAnEmptyPathAndLoadBackWithoutSideEffects) {
  host::PropertyBag stored;
  stored.WriteProperty("BORDERTYPE", host::PropertyValue::Of(2));
  JSBORDER& loaded = form->Add(std::make_unique<JSBORDER>("JSBORDER2"), &stored);
  EXPECT_EQ(loaded.BORDERTYPE(), 2);
  EXPECT_EQ(loaded.Align(), host::vbAlignNone);
  EXPECT_TRUE(loaded.ChangedProperties().empty());
  host::PropertyBag saved;
  loaded.UserControl_WriteProperties(saved);
  ASSERT_EQ(saved.Entries().size(), 1u);
  EXPECT_EQ(saved.Entries()[0].name, "BORDERTYPE");
  EXPECT_EQ(saved.ReadLong("BORDERTYPE", 0), 2);

  const int width = loaded.Width();
  host::PropertyBag withPath;
  withPath.WriteProperty("Path", host::PropertyValue::Of(std::string("C:\\x\\stype\\a.jss")));
  loaded.UserControl_ReadProperties(withPath);
  EXPECT_EQ(loaded.BORDERTYPE(), 0);
  EXPECT_EQ(loaded.Path(), "C:\\x\\stype\\a.jss");
  EXPECT_EQ(loaded.Width(), width);

  host::PropertyBag broken;
  broken.WriteProperty("BORDERTYPE", host::PropertyValue::Of(std::string("left")));
  EXPECT_THROW(loaded.UserControl_ReadProperties(broken), host::Error);
}

TEST_F(Border, PressesResizeOnlyWhileAllowedAndFromTheZoneLastFound) {
  JSBORDER& left = AddEdge(1, 400, 600);
  form->Show();
  desktop.ClearCalls();
  left.MousePointer(host::vbSizeNS);
  left.UserControl_MouseMove(0, 0, 2, 595);
  left.UserControl_MouseDown(1, 0, 2, 595);
  EXPECT_EQ(left.MousePointer(), host::vbSizeNS);
  EXPECT_EQ(left.ResizeZone(), 0);
  EXPECT_EQ(std::count(desktop.Calls().begin(), desktop.Calls().end(), "BeginMoveSize 16"), 0);

  ResizeEnabled = -1;
  left.UserControl_MouseDown(1, 0, 2, 100);  // before any move: the lower-left corner
  left.UserControl_MouseMove(0, 0, 2, 100);
  EXPECT_EQ(left.MousePointer(), host::vbSizeWE);
  left.UserControl_MouseDown(2, 0, 2, 100);  // any button
  JSBORDER& right = form->Add(std::make_unique<JSBORDER>("JSBORDER2"));
  right.BORDERTYPE(2);
  right.UserControl_MouseDown(1, 0, 2, 100);  // zone 0 on the right edge starts nothing
  const std::vector<std::string> expected = {"ReleaseCapture", "BeginMoveSize 16", "ReleaseCapture",
                                             "BeginMoveSize 10"};
  std::vector<std::string> sizing;
  for (const std::string& call : desktop.Calls()) {
    if (call == "ReleaseCapture" || call.rfind("BeginMoveSize", 0) == 0) sizing.push_back(call);
  }
  EXPECT_EQ(sizing, expected);
}

TEST_F(Border, DraggingTheBottomEdgeSizesTheWindow) {
  JSBORDER& bottom = AddEdge(3, 400, 300);
  Write(SkinBuilder().Picture("BOTTOM", 1, 5, Green));
  bottom.Path(skinPath);
  form->Show();
  ResizeEnabled = -1;
  desktop.QueueMove(200, 297);
  desktop.QueueDrag(200, 297, 200, 347);
  desktop.Pump();
  EXPECT_EQ(bottom.ResizeZone(), 1);
  EXPECT_EQ(form->Height(), 350 * 15);
}

}  // namespace
