#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/headless/HeadlessDesktop.h"
#include "tests/support/Scenario.h"

namespace {

// A window owner that records what the desktop tells it and can start a
// loop from a press, as the frame controls do.
class Sink : public platform::WindowSink {
 public:
  void OnPointer(const platform::PointerEvent& e) override {
    events.push_back(std::to_string(static_cast<int>(e.kind)) + " " + std::to_string(e.x) + "," +
                     std::to_string(e.y));
    if (e.kind == platform::PointerKind::Down && loopCode != 0) {
      const WPARAM code = loopCode;
      loopCode = 0;  // one loop per arming
      ReleaseCapture();
      SendMessageA(hwnd, WM_NCLBUTTONDOWN, code, 0);
      events.push_back("loop ended");
    }
  }
  void OnBoundsChanged(int x, int y, int w, int h) override {
    bounds.push_back(RECT{x, y, x + w, y + h});
  }
  void OnStateChanged(int state, const RECT&) override { states.push_back(state); }
  void OnCloseRequested() override { closed = true; }
  void OnCaptureReleased() override { ++captureReleased; }
  void Render(gdi::Surface& target) override { target.Fill(0xFF102030u); }

  HWND hwnd = nullptr;
  WPARAM loopCode = 0;
  std::vector<std::string> events;
  std::vector<RECT> bounds;
  std::vector<int> states;
  bool closed = false;
  int captureReleased = 0;
};

class HeadlessDesktopTest : public test::HeadlessTest {
 protected:
  void SetUp() override {
    sink.hwnd = desktop.CreateTopLevel(sink, RECT{100, 100, 500, 400});
    desktop.Show(sink.hwnd, true);
    desktop.SetMinimumSize(sink.hwnd, 200, 150);
  }
  const RECT& Bounds() { return desktop.Find(sink.hwnd)->bounds; }
  Sink sink;
};

TEST_F(HeadlessDesktopTest, InputReachesTheWindowUnderThePointerInClientPixels) {
  desktop.QueueClick(110, 120);
  desktop.QueueClick(50, 50);  // outside: nobody
  desktop.Pump();
  EXPECT_EQ(sink.events, (std::vector<std::string>{"0 10,20", "1 10,20", "2 10,20"}));
}

TEST_F(HeadlessDesktopTest, TheMoveLoopFollowsThePointerUntilTheReleaseAndEatsIt) {
  sink.loopCode = HTCAPTION;
  desktop.QueueDrag(150, 110, 250, 160, 2);
  desktop.QueueClick(300, 300);
  desktop.Pump();
  EXPECT_EQ(Bounds().left, 200);
  EXPECT_EQ(Bounds().top, 150);
  EXPECT_EQ(Bounds().right - Bounds().left, 400);
  ASSERT_EQ(sink.bounds.size(), 2u);
  EXPECT_EQ(sink.bounds[0].left, 150);
  EXPECT_GE(sink.captureReleased, 1);
  // The release ended the loop inside the press; the next click is normal.
  EXPECT_EQ(sink.events, (std::vector<std::string>{"0 50,10", "1 50,10", "loop ended", "0 100,150",
                                                  "1 100,150", "2 100,150"}));
}

TEST_F(HeadlessDesktopTest, SizingLoopsMoveOnlyTheirEdgesAndStopAtTheMinimumSize) {
  struct Case {
    WPARAM code;
    int dx, dy;
    RECT expected;
  };
  const Case cases[] = {
      {HTLEFT, -50, 30, RECT{50, 100, 500, 400}},
      {HTRIGHT, 40, 30, RECT{100, 100, 540, 400}},
      {HTBOTTOM, 40, 30, RECT{100, 100, 500, 430}},
      {HTBOTTOMLEFT, 20, 20, RECT{120, 100, 500, 420}},
      {HTBOTTOMRIGHT, -20, 20, RECT{100, 100, 480, 420}},
      // Past the minimum: the opposite edge stays, the size stops at 200 x 150.
      {HTLEFT, 390, 0, RECT{300, 100, 500, 400}},
      {HTBOTTOMRIGHT, -390, -290, RECT{100, 100, 300, 250}},
  };
  for (const Case& c : cases) {
    desktop.SetBounds(sink.hwnd, RECT{100, 100, 500, 400});
    sink.loopCode = c.code;
    desktop.QueueMove(300, 200);
    desktop.QueuePress(300, 200);
    desktop.QueueMove(300 + c.dx, 200 + c.dy);
    desktop.QueueRelease(300 + c.dx, 200 + c.dy);
    desktop.Pump();
    const RECT& b = Bounds();
    EXPECT_EQ(b.left, c.expected.left) << c.code;
    EXPECT_EQ(b.top, c.expected.top) << c.code;
    EXPECT_EQ(b.right, c.expected.right) << c.code;
    EXPECT_EQ(b.bottom, c.expected.bottom) << c.code;
  }
}

TEST_F(HeadlessDesktopTest, OnlyTheMoveAndSizingCodesStartALoop) {
  sink.loopCode = HTCAPTION;
  EXPECT_EQ(SendMessageA(sink.hwnd, WM_NCLBUTTONDOWN, 3, 0), 0);
  EXPECT_EQ(SendMessageA(sink.hwnd, 0x201, HTCAPTION, 0), 0);
  EXPECT_EQ(SendMessageA(nullptr, WM_NCLBUTTONDOWN, HTCAPTION, 0), 0);
  EXPECT_TRUE(desktop.Calls().empty());
}

TEST_F(HeadlessDesktopTest, TopmostIsSetAndClearedOnlyWithoutMoveOrSize) {
  EXPECT_TRUE(SetWindowPos(sink.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_TRUE(desktop.Find(sink.hwnd)->topmost);
  EXPECT_TRUE(SetWindowPos(sink.hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, 3));
  EXPECT_FALSE(desktop.Find(sink.hwnd)->topmost);
  EXPECT_FALSE(SetWindowPos(sink.hwnd, HWND_TOPMOST, 0, 0, 0, 0, 0));
  EXPECT_EQ(desktop.Calls(),
            (std::vector<std::string>{"SetWindowPos topmost", "SetWindowPos notopmost"}));
}

TEST_F(HeadlessDesktopTest, TheWorkAreaComesFromTheWindowsMonitorAndCanFail) {
  desktop.SetMonitors({RECT{-1280, 0, 0, 1024}, RECT{0, 0, 1920, 1080}});
  RECT area{};
  EXPECT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 1, &area, 0));
  EXPECT_EQ(area.left, 0);
  EXPECT_EQ(area.right, 1920);
  desktop.SetWorkArea(RECT{0, 0, 1920, 1040});
  EXPECT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 1, &area, 0));
  EXPECT_EQ(area.bottom, 1040);

  desktop.FailWorkArea(true);
  RECT untouched{1, 2, 3, 4};
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 1, &untouched, 0));
  EXPECT_EQ(untouched.left, 1);
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 1, nullptr, 0));
}

TEST_F(HeadlessDesktopTest, TheWindowOwnsItsRegionAndReleasesThePreviousOne) {
  const int regions = gdi::LiveCount(gdi::Kind::Region);
  const POINT square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_EQ(SetWindowRgn(sink.hwnd, CreatePolygonRgn(square, 4, WINDING), TRUE), 1);
  EXPECT_EQ(SetWindowRgn(sink.hwnd, CreatePolygonRgn(square, 4, WINDING), TRUE), 1);
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Region), regions + 1);
  // Pixels outside the region are not the window's: no input, no picture.
  gdi::Surface shot = desktop.Capture(sink.hwnd);
  EXPECT_EQ(shot.At(5, 5), 0xFF102030u);
  EXPECT_EQ(shot.At(50, 50), 0u);
  desktop.QueueClick(150, 150);
  desktop.Pump();
  EXPECT_TRUE(sink.events.empty());

  EXPECT_EQ(SetWindowRgn(sink.hwnd, nullptr, TRUE), 1);
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Region), regions);
  EXPECT_EQ(desktop.Capture(sink.hwnd).At(50, 50), 0xFF102030u);
}

TEST_F(HeadlessDesktopTest, TheWindowManagersOwnActionsReachTheOwner) {
  desktop.UserMinimize(sink.hwnd);
  desktop.UserRestore(sink.hwnd);
  desktop.UserMaximize(sink.hwnd);
  desktop.UserClose(sink.hwnd);
  EXPECT_EQ(sink.states, (std::vector<int>{1, 0, 2}));
  EXPECT_EQ(Bounds().right, 1920);
  EXPECT_TRUE(sink.closed);
  EXPECT_TRUE(desktop.Calls().empty());
}

TEST_F(HeadlessDesktopTest, AScreenshotIsAPngOfTheWindow) {
  test::TempFolder folder;
  const std::string png = folder / "shot.png";
  ASSERT_TRUE(desktop.Screenshot(sink.hwnd, png));
  gdi::Surface back;
  ASSERT_TRUE(gdi::ReadPng(png, back));
  EXPECT_EQ(back.width, 400);
  EXPECT_EQ(back.height, 300);
  EXPECT_EQ(test::ColorAt(back, 0, 0), 0x00302010u);
}

}  // namespace
