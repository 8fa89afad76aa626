// The desktop contract of platform/Desktop.h, case by case, against the
// backend SKINSHELL_BACKEND names. Every backend runs every case; where the
// contract lets backends differ, the case asks the backend's Traits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "tests/conformance/Backend.h"

namespace conformance {
namespace {

constexpr std::uint32_t Colour = 0x336699;

// A window owner that writes down what the desktop tells it, and can start
// a loop from a press as the frame controls do.
class Sink : public platform::WindowSink {
 public:
  void OnPointer(const platform::PointerEvent& e) override {
    static const char* const kinds[] = {"Move", "Down", "Up", "DblClick"};
    events.push_back(std::string(kinds[static_cast<int>(e.kind)]) + " " + std::to_string(e.x) +
                     "," + std::to_string(e.y));
    if (e.kind != platform::PointerKind::Down) return;
    if (releaseOnDown) ReleaseCapture();
    if (loopCode != 0) {
      const WPARAM code = loopCode;
      loopCode = 0;
      ReleaseCapture();
      SendMessageA(hwnd, WM_NCLBUTTONDOWN, code, 0);
      stepsWhenLoopReturned = static_cast<int>(bounds.size());
    }
  }
  void OnBoundsChanged(int x, int y, int w, int h) override {
    bounds.push_back(RECT{x, y, x + w, y + h});
  }
  void OnStateChanged(int state, const RECT& b) override {
    states.push_back(state);
    stateBounds = b;
  }
  void OnCloseRequested() override { ++closeRequests; }
  void OnCaptureReleased() override { ++captureReleased; }
  void Render(gdi::Surface& target) override { target.Fill(0xFF000000u | Colour); }

  bool Logged(const std::string& event) const {
    return std::find(events.begin(), events.end(), event) != events.end();
  }
  bool LastBoundsAre(const RECT& r) const {
    return !bounds.empty() && bounds.back().left == r.left && bounds.back().top == r.top &&
           bounds.back().right == r.right && bounds.back().bottom == r.bottom;
  }

  HWND hwnd = nullptr;
  WPARAM loopCode = 0;
  bool releaseOnDown = false;
  int stepsWhenLoopReturned = -1;
  std::vector<std::string> events;
  std::vector<RECT> bounds;
  std::vector<int> states;
  RECT stateBounds{};
  int closeRequests = 0;
  int captureReleased = 0;
};

Backend* TheBackend() {
  // One per process: GTK starts once, on one display.
  static std::unique_ptr<Backend> backend = Make();
  return backend.get();
}

// Each case starts with one shown window, client area (100, 100) 400 x 300.
class Conformance : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = TheBackend();
    ASSERT_NE(backend_, nullptr) << "the backend did not start";
    sink.hwnd = D().CreateTopLevel(sink, RECT{100, 100, 500, 400});
    ASSERT_NE(sink.hwnd, nullptr);
    D().Show(sink.hwnd, true);
    ASSERT_TRUE(Shows(100, 100, 400, 300));
  }
  void TearDown() override {
    if (backend_ != nullptr && sink.hwnd != nullptr) D().DestroyTopLevel(sink.hwnd);
  }

  Backend& B() { return *backend_; }
  platform::Desktop& D() { return backend_->Desktop(); }
  Traits Is() { return backend_->Is(); }

  // The window is on screen exactly there: the display server has it there,
  // its corners show, just past them does not.
  bool Shows(int x, int y, int w, int h) {
    return B().Until([&] {
      const RECT placed = B().Placed(sink.hwnd);
      return placed.left == x && placed.top == y && placed.right == x + w &&
             placed.bottom == y + h && B().PixelAt(x + 1, y + h / 2) == Colour && B().PixelAt(x + w - 1, y + h - 1) == Colour &&
             B().PixelAt(x + w + 1, y + h / 2) != Colour &&
             B().PixelAt(x + w / 2, y + h + 1) != Colour;
    });
  }
  void Click(int x, int y) {
    B().Press(x, y);
    B().Release(x, y);
  }
  void Drag(int x0, int y0, int x1, int y1) {
    B().Press(x0, y0);
    for (int step = 1; step <= 4; ++step) {
      B().MoveTo(x0 + (x1 - x0) * step / 4, y0 + (y1 - y0) * step / 4);
    }
    B().Release(x1, y1);
  }

  Backend* backend_ = nullptr;
  Sink sink;
};

TEST_F(Conformance, AWindowTakesTheBoundsItIsGivenAndInputArrivesInClientPixels) {
  Click(110, 120);
  EXPECT_TRUE(B().Until([&] { return sink.Logged("Up 10,20"); }));
  EXPECT_TRUE(sink.Logged("Down 10,20"));

  D().SetBounds(sink.hwnd, RECT{300, 200, 640, 380});
  EXPECT_TRUE(Shows(300, 200, 340, 180));
  Click(310, 215);
  EXPECT_TRUE(B().Until([&] { return sink.Logged("Up 10,15"); }));
  // A request done as asked is not echoed.
  B().Idle(400);
  EXPECT_TRUE(sink.bounds.empty());
}

// A handler that assigns position, width and height one by one (the
// caption's maximize) must not cost a window-manager round trip, and a frame,
// for each piece.
TEST_F(Conformance, BoundsSetPieceByPieceInOneHandlerReachTheWindowManagerOnlyWhole) {
  const auto before = B().GeometryRequests(sink.hwnd);
  if (!before) GTEST_SKIP() << "this backend does not see the window manager's requests";
  D().SetBounds(sink.hwnd, RECT{150, 160, 550, 460});
  D().SetBounds(sink.hwnd, RECT{150, 160, 650, 460});
  D().SetBounds(sink.hwnd, RECT{150, 160, 650, 510});
  EXPECT_TRUE(Shows(150, 160, 500, 350));
  const std::vector<RECT> after = *B().GeometryRequests(sink.hwnd);
  ASSERT_GT(after.size(), before->size());
  for (std::size_t i = before->size(); i < after.size(); ++i) {
    const RECT& r = after[i];
    EXPECT_TRUE(r.left == 150 && r.top == 160 && r.right == 650 && r.bottom == 510)
        << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
  }
  B().Idle(300);
  EXPECT_TRUE(sink.bounds.empty());
}

TEST_F(Conformance, TheMinimumSizeBindsTheSizingLoopsAndNeverTheHost) {
  D().SetMinimumSize(sink.hwnd, 200, 150);
  D().SetBounds(sink.hwnd, RECT{100, 100, 250, 200});
  EXPECT_TRUE(Shows(100, 100, 150, 100));
  D().SetBounds(sink.hwnd, RECT{100, 100, 500, 400});
  EXPECT_TRUE(Shows(100, 100, 400, 300));

  sink.loopCode = HTBOTTOMRIGHT;
  Drag(495, 395, 150, 150);
  EXPECT_TRUE(B().Until([&] { return sink.LastBoundsAre(RECT{100, 100, 300, 250}); }))
      << sink.bounds.size();
  EXPECT_TRUE(Shows(100, 100, 200, 150));
}

TEST_F(Conformance, AMoveLoopTakesThePressAndReportsWhereTheWindowWent) {
  sink.loopCode = HTCAPTION;
  Drag(450, 200, 500, 260);
  EXPECT_TRUE(B().Until([&] { return sink.LastBoundsAre(RECT{150, 160, 550, 460}); }));
  EXPECT_TRUE(Shows(150, 160, 400, 300));
  EXPECT_GE(sink.captureReleased, 1);
  // The loop ate the release of its press.
  EXPECT_FALSE(sink.Logged("Up 350,100")) << sink.events.back();
  if (Is().modalLoops) {
    EXPECT_EQ(sink.stepsWhenLoopReturned, static_cast<int>(sink.bounds.size()));
  } else {
    EXPECT_EQ(sink.stepsWhenLoopReturned, 0);
  }
  // The next press is the window's again.
  Click(200, 300);
  EXPECT_TRUE(B().Until([&] { return sink.Logged("Up 50,140"); }));
  // Without a press under way there is no loop to start.
  sink.bounds.clear();
  SendMessageA(sink.hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  B().MoveTo(300, 300);
  B().Idle(300);
  EXPECT_TRUE(sink.bounds.empty());
}

TEST_F(Conformance, APressHoldsThePointerUntilItsReleaseOrReleaseCapture) {
  Drag(150, 200, 60, 70);
  EXPECT_TRUE(B().Until([&] { return sink.Logged("Up -40,-30"); }));
  EXPECT_TRUE(sink.Logged("Move -40,-30"));
  EXPECT_EQ(sink.captureReleased, 0);

  ReleaseCapture();  // nothing held: no answer
  B().Idle(100);
  EXPECT_EQ(sink.captureReleased, 0);
  sink.releaseOnDown = true;
  Click(150, 200);
  EXPECT_TRUE(B().Until([&] { return sink.captureReleased == 1; }));
}

TEST_F(Conformance, AStateRequestIsAnsweredOnlyWhenTheWindowManagerRefusesIt) {
  D().SetState(sink.hwnd, 1);
  if (Is().windowManager) {
    EXPECT_TRUE(B().Until([&] { return !B().PixelAt(300, 250).has_value(); }));
    B().Idle(500);
    EXPECT_TRUE(sink.states.empty());
    D().SetState(sink.hwnd, 0);
    EXPECT_TRUE(Shows(100, 100, 400, 300));
    B().Idle(500);
    EXPECT_TRUE(sink.states.empty());
  } else {
    // Nothing iconifies the window: it stays, and says so.
    EXPECT_TRUE(B().Until([&] { return sink.states == std::vector<int>{0}; }, 3000));
    EXPECT_EQ(sink.stateBounds.right, 500);
  }
  D().SetState(sink.hwnd, 7);  // not a state: ignored
  B().Idle(300);
  EXPECT_TRUE(Shows(100, 100, 400, 300));
}

TEST_F(Conformance, TheWindowManagersStateChangesAreReportedWithTheirBounds) {
  if (!Is().windowManager) GTEST_SKIP() << "no window manager to change the state";
  B().UserMinimize(sink.hwnd);
  EXPECT_TRUE(B().Until([&] { return !sink.states.empty(); }));
  EXPECT_EQ(sink.states, std::vector<int>{1});
  // The bounds it will be restored to.
  EXPECT_EQ(sink.stateBounds.left, 100);
  EXPECT_EQ(sink.stateBounds.right, 500);
  D().SetState(sink.hwnd, 0);
  EXPECT_TRUE(Shows(100, 100, 400, 300));

  RECT area{};
  ASSERT_TRUE(D().WorkArea(sink.hwnd, area));
  sink.states.clear();
  B().UserMaximize(sink.hwnd);
  EXPECT_TRUE(B().Until([&] { return !sink.states.empty(); }));
  EXPECT_EQ(sink.states.front(), 2);
  EXPECT_EQ(sink.stateBounds.right - sink.stateBounds.left, area.right - area.left);
  EXPECT_EQ(sink.stateBounds.bottom - sink.stateBounds.top, area.bottom - area.top);
}

TEST_F(Conformance, AClosingRequestIsReportedAndLeavesTheWindowToTheHost) {
  B().UserClose(sink.hwnd);
  EXPECT_TRUE(B().Until([&] { return sink.closeRequests == 1; }));
  B().Idle(200);
  EXPECT_TRUE(Shows(100, 100, 400, 300));
}

TEST_F(Conformance, TheRegionCutsDrawingAndInputAndIsTheDesktops) {
  const int regions = gdi::LiveCount(gdi::Kind::Region);
  const POINT cut[] = {{40, 0}, {400, 0}, {400, 300}, {0, 300}, {0, 40}};
  EXPECT_EQ(SetWindowRgn(sink.hwnd, CreatePolygonRgn(cut, 5, WINDING), TRUE), 1);
  EXPECT_TRUE(B().Until([&] { return !B().PixelAt(105, 105).has_value(); }));
  EXPECT_EQ(B().PixelAt(130, 130), Colour);
  Click(105, 105);
  Click(130, 130);
  EXPECT_TRUE(B().Until([&] { return sink.Logged("Up 30,30"); }));
  EXPECT_FALSE(sink.Logged("Down 5,5")) << "the press in the cut corner arrived";

  // The desktop owns what it was given: a replaced region goes, and the
  // window's goes with it. A region for no window is refused and stays the
  // caller's.
  SetWindowRgn(sink.hwnd, CreatePolygonRgn(cut, 5, WINDING), TRUE);
  const int held = gdi::LiveCount(gdi::Kind::Region);
  if (gdi::LiveCountPerKind) {
    EXPECT_EQ(held, regions + 1);
  }
  HRGN orphan = CreatePolygonRgn(cut, 5, WINDING);
  EXPECT_EQ(SetWindowRgn(reinterpret_cast<HWND>(std::intptr_t{0x7FFF}), orphan, TRUE), 0);
  EXPECT_TRUE(DeleteObject(orphan));
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Region), held);
  SetWindowRgn(sink.hwnd, nullptr, TRUE);
  EXPECT_EQ(gdi::LiveCount(gdi::Kind::Region), regions);
  EXPECT_TRUE(B().Until([&] { return B().PixelAt(105, 105) == Colour; }));
}

TEST_F(Conformance, TopmostIsKeptWhereAWindowManagerKeepsIt) {
  EXPECT_TRUE(SetWindowPos(sink.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_EQ(B().Until([&] { return B().KeptAbove(sink.hwnd); }, 2000), Is().windowManager);
  EXPECT_TRUE(SetWindowPos(sink.hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_TRUE(B().Until([&] { return !B().KeptAbove(sink.hwnd); }));
}

TEST_F(Conformance, TheWorkAreaLiesOnAMonitorOfTheScreen) {
  RECT area{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 1, &area, 0));
  RECT own{};
  ASSERT_TRUE(D().WorkArea(sink.hwnd, own));
  EXPECT_EQ(area.left, own.left);
  EXPECT_EQ(area.bottom, own.bottom);
  bool onMonitor = false;
  for (const RECT& m : D().Monitors()) {
    onMonitor = onMonitor || (area.left >= m.left && area.top >= m.top && area.right <= m.right &&
                              area.bottom <= m.bottom && area.right > area.left);
  }
  EXPECT_TRUE(onMonitor);
  EXPECT_GE(D().ScreenWidth(), area.right);
  EXPECT_GE(D().ScreenHeight(), area.bottom);
}

// The window is the one of SetUp; the view's rectangle (client pixels) is
// given in screen pixels here by adding the window's origin, 100, 100.
TEST_F(Conformance, AWebViewShowsWhereItIsPlacedWhileShownAndGoesWithItsWindow) {
  const platform::WebViewId view = D().CreateWebView(sink.hwnd);
  ASSERT_NE(view, 0);
  auto covered = [&](int x, int y) {
    const auto pixel = B().PixelAt(x, y);
    return pixel.has_value() && *pixel != Colour;
  };
  // A blank page: a view paints nothing before it has one.
  D().Navigate(view, "");
  D().SetWebViewBounds(view, RECT{50, 50, 250, 150});
  B().Idle(300);
  EXPECT_EQ(B().PixelAt(250, 200), Colour) << "a new view is hidden";
  D().ShowWebView(view, true);
  EXPECT_TRUE(B().Until([&] { return covered(250, 200); }));
  EXPECT_EQ(B().PixelAt(140, 140), Colour);

  // Placed across the window's corner: only the part inside it shows.
  D().SetWebViewBounds(view, RECT{300, 200, 500, 400});
  EXPECT_TRUE(B().Until([&] { return covered(450, 350) && B().PixelAt(250, 200) == Colour; }));
  EXPECT_FALSE(B().PixelAt(510, 350).has_value());
  EXPECT_FALSE(B().PixelAt(450, 410).has_value());
  D().ShowWebView(view, false);
  EXPECT_TRUE(B().Until([&] { return B().PixelAt(450, 350) == Colour; }));
  D().ShowWebView(view, true);
  EXPECT_TRUE(B().Until([&] { return covered(450, 350); }));

  // The view ends with its window: its id names nothing from then on, not
  // even over a new window in the same place.
  D().DestroyTopLevel(sink.hwnd);
  EXPECT_EQ(D().CreateWebView(sink.hwnd), 0);
  sink.hwnd = D().CreateTopLevel(sink, RECT{100, 100, 500, 400});
  D().Show(sink.hwnd, true);
  ASSERT_TRUE(Shows(100, 100, 400, 300));
  D().SetWebViewBounds(view, RECT{0, 0, 400, 300});
  D().ShowWebView(view, true);
  D().Navigate(view, "");
  B().Idle(300);
  EXPECT_EQ(B().PixelAt(450, 350), Colour);
  EXPECT_EQ(B().PixelAt(250, 200), Colour);
}

TEST_F(Conformance, AWindowMostlyOnTheSecondMonitorOrNearestToItHasItsWorkArea) {
  if (!Is().twoMonitors) GTEST_SKIP() << "this backend shows one monitor";
  const std::vector<RECT> monitors = D().Monitors();
  ASSERT_EQ(monitors.size(), 2u);
  const RECT second = monitors[1];
  auto onSecond = [&] {
    RECT area{};
    return D().WorkArea(sink.hwnd, area) && area.left >= second.left &&
           area.right <= second.right && area.right > area.left;
  };
  // A hundred pixels on the first monitor, three hundred on the second.
  D().SetBounds(sink.hwnd, RECT{second.left - 100, 100, second.left + 300, 400});
  EXPECT_TRUE(Shows(second.left - 100, 100, 400, 300));
  EXPECT_TRUE(onSecond());
  // Naming no window, the work area is the primary monitor's still.
  RECT primary{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 1, &primary, 0));
  EXPECT_LT(primary.left, second.left);

  // Beyond the second monitor's far edge, on none: the nearest one.
  D().SetBounds(sink.hwnd, RECT{second.right + 200, 100, second.right + 600, 400});
  EXPECT_TRUE(B().Until([&] { return B().Placed(sink.hwnd).left == second.right + 200; }));
  EXPECT_TRUE(B().Until(onSecond));
}

TEST_F(Conformance, TheTitleAndIconReachTheWindowManager) {
  D().SetTitle(sink.hwnd, "Probe \xC3\xBC");
  EXPECT_TRUE(B().Until([&] { return B().Title(sink.hwnd) == "Probe \xC3\xBC"; }));
  D().SetTitle(sink.hwnd, "bad \xFF");  // shown, not refused
  EXPECT_TRUE(B().Until([&] { return B().Title(sink.hwnd).rfind("bad ", 0) == 0; }));

  platform::IconImage image{gdi::Surface(16, 16, 0xFF336699u), 32};
  D().SetIcon(sink.hwnd, {image});
  EXPECT_TRUE(B().Until([&] { return B().ShowsIcon(sink.hwnd, 16, 0xFF336699u); }));
}

// The window manager reads the icon as it maps the window, before any frame,
// and takes its colour straight: a premultiplied half-covered white would
// show grey.
TEST_F(Conformance, AnIconSetBeforeTheWindowIsShownIsOnItAsItIsShown) {
  Sink other;
  other.hwnd = D().CreateTopLevel(other, RECT{150, 150, 350, 300});
  ASSERT_NE(other.hwnd, nullptr);
  D().SetIcon(other.hwnd, {platform::IconImage{gdi::Surface(16, 16, 0x80808080u), 32}});
  D().Show(other.hwnd, true);
  EXPECT_TRUE(B().ShowsIcon(other.hwnd, 16, 0x80FFFFFFu));
  D().DestroyTopLevel(other.hwnd);
}

TEST_F(Conformance, ARequestTheWindowManagerChangesIsReportedAsItWasGiven) {
  if (!Is().altersRequests) GTEST_SKIP() << "this window manager changes no request";
  D().SetBounds(sink.hwnd, RECT{100, 100, 900, 400});
  EXPECT_TRUE(B().Until([&] { return sink.LastBoundsAre(RECT{100, 100, 100 + CappedWidth, 400}); }))
      << sink.bounds.size();
  // Later changes from outside are news, not leftovers of that request.
  B().UserMove(sink.hwnd, 300, 200);
  EXPECT_TRUE(B().Until([&] { return sink.LastBoundsAre(RECT{300, 200, 300 + CappedWidth, 500}); }));
}

}  // namespace
}  // namespace conformance
