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

TEST_F(HeadlessDesktopTest, TopmostIsSetOnlyWithoutMoveOrSize) {
  EXPECT_FALSE(SetWindowPos(sink.hwnd, HWND_TOPMOST, 0, 0, 0, 0, 0));
  EXPECT_FALSE(SetWindowPos(sink.hwnd, nullptr, 0, 0, 0, 0, 3));
  EXPECT_FALSE(SetWindowPos(sink.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE));
  EXPECT_FALSE(desktop.Find(sink.hwnd)->topmost);
  EXPECT_TRUE(desktop.Calls().empty());
}

TEST_F(HeadlessDesktopTest, RequestsOutsideTheirRangeAreKeptFromTheWindowManager) {
  desktop.SetState(sink.hwnd, 3);
  desktop.SetState(sink.hwnd, -1);
  EXPECT_TRUE(desktop.Calls().empty());
  EXPECT_EQ(desktop.Find(sink.hwnd)->state, 0);
  desktop.SetMinimumSize(sink.hwnd, -5, -5);
  EXPECT_EQ(desktop.Find(sink.hwnd)->minWidth, 0);
  EXPECT_EQ(desktop.Find(sink.hwnd)->minHeight, 0);
}

// A backend that cannot make a web view, as one without a web engine.
class NoWebViews : public platform::HeadlessDesktop {
  bool CreateWebViewImpl(platform::WebViewId, HWND) override { return false; }
};

TEST(HeadlessDesktop, AWebViewTheBackendCouldNotMakeIsNotKnown) {
  NoWebViews desktop;
  Sink sink;
  sink.hwnd = desktop.CreateTopLevel(sink, RECT{0, 0, 100, 100});
  EXPECT_EQ(desktop.CreateWebView(sink.hwnd), 0);
  for (platform::WebViewId id = 1; id < 4; ++id) EXPECT_FALSE(desktop.FindWebView(id)) << id;
  desktop.DestroyTopLevel(sink.hwnd);
}

TEST_F(HeadlessDesktopTest, TheWorkAreaIsTheWindowsMonitorsOrThePrimaryAndCanFail) {
  desktop.SetMonitors({RECT{-1280, 0, 0, 1024}, RECT{0, 0, 1920, 1080}});
  RECT area{};
  ASSERT_TRUE(desktop.WorkArea(sink.hwnd, area));
  EXPECT_EQ(area.left, 0);
  EXPECT_EQ(area.right, 1920);
  // Naming no window, the system call answers for the primary monitor.
  EXPECT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 1, &area, 0));
  EXPECT_EQ(area.left, -1280);
  desktop.SetWorkArea(RECT{0, 0, 1920, 1040});
  EXPECT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 1, &area, 0));
  EXPECT_EQ(area.bottom, 1040);

  desktop.FailWorkArea(true);
  RECT untouched{1, 2, 3, 4};
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 1, &untouched, 0));
  EXPECT_EQ(untouched.left, 1);
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 1, nullptr, 0));
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
