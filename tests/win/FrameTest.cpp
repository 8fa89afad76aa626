// The Win32 desktop's main window as the system sees it: all client area with
// the system's sizing and snapping styles, a maximize the system makes taken
// over as the host's own, and a move to a monitor of another scale
// (WM_DPICHANGED) taking the system's rectangle and drawing, hit-testing and
// cutting at the new scale. The gestures themselves need a real desktop.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

#include "platform/win/desktop/WinDesktop.h"
#include "tests/win/MessagePump.h"

namespace {

using platform::DeviceScale;
using platform::win::WinDesktop;

struct Drawn {
  int width = 0;
  int height = 0;
  DeviceScale scale;
};

class RecordingSink : public platform::WindowSink {
 public:
  std::vector<RECT> bounds;
  std::vector<int> states;
  std::vector<RECT> stateBounds;
  std::vector<platform::PointerEvent> pointer;
  std::vector<Drawn> drawn;

  void OnPointer(const platform::PointerEvent& event) override { pointer.push_back(event); }
  void OnBoundsChanged(int x, int y, int width, int height) override {
    bounds.push_back(RECT{x, y, x + width, y + height});
  }
  void OnStateChanged(int state, const RECT& r) override {
    states.push_back(state);
    stateBounds.push_back(r);
  }
  void OnCloseRequested() override {}
  void OnCaptureReleased() override {}
  void Render(gdi::Surface& target) override { target.Fill(0xFF202020u); }
  std::vector<RECT> RenderUncovered(gdi::Surface& target, DeviceScale scale) override {
    drawn.push_back(Drawn{target.width, target.height, scale});
    return WindowSink::RenderUncovered(target, scale);
  }
};

using wintest::Pump;

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

// The client area in screen pixels.
RECT ClientOnScreen(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class WinFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hwnd_ = desktop_.CreateTopLevel(sink_, RECT{100, 80, 400, 280});
    ASSERT_NE(hwnd_, nullptr);
    desktop_.Show(hwnd_, true);
  }
  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r;
  }

  WinDesktop desktop_;
  RecordingSink sink_;
  HWND hwnd_ = nullptr;
};

TEST_F(WinFrameTest, TheWindowHasTheSystemsSizingStylesAndIsAllClientArea) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  for (LONG_PTR bit : {WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_SYSMENU}) {
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  }
  EXPECT_TRUE(Same(WindowRect(), RECT{100, 80, 400, 280}));
  EXPECT_TRUE(Same(ClientOnScreen(hwnd_), WindowRect()));
  desktop_.SetBounds(hwnd_, RECT{50, 60, 650, 460});
  EXPECT_TRUE(Same(ClientOnScreen(hwnd_), RECT{50, 60, 650, 460}));
  EXPECT_TRUE(Same(WindowRect(), RECT{50, 60, 650, 460}));
}

TEST_F(WinFrameTest, AMaximizeByTheSystemIsTakenOverAsTheHostsOwn) {
  RECT work{};
  ASSERT_TRUE(desktop_.WorkArea(hwnd_, work));
  ShowWindow(hwnd_, SW_MAXIMIZE);
  ASSERT_TRUE(Pump([&] { return !sink_.states.empty(); }));
  EXPECT_EQ(sink_.states, std::vector<int>{2});
  EXPECT_TRUE(Same(sink_.stateBounds[0], work));
  // A normal window on the work area, and the host never told of the
  // system's maximized bounds, so it still knows the ones to go back to.
  EXPECT_FALSE(IsZoomed(hwnd_));
  EXPECT_TRUE(Same(WindowRect(), work));
  EXPECT_TRUE(sink_.bounds.empty());
}

TEST_F(WinFrameTest, ANewScaleTakesTheSystemsRectangleAndDrawsHitsAndCutsAtIt) {
  const RECT suggested{200, 160, 800, 560};
  SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_TRUE(Same(WindowRect(), suggested));
  ASSERT_FALSE(sink_.bounds.empty());
  EXPECT_TRUE(Same(sink_.bounds.back(), RECT{100, 80, 400, 280}));

  sink_.drawn.clear();
  UpdateWindow(hwnd_);
  ASSERT_EQ(sink_.drawn.size(), 1u);
  EXPECT_EQ(sink_.drawn[0].width, 600);
  EXPECT_EQ(sink_.drawn[0].height, 400);
  EXPECT_TRUE(sink_.drawn[0].scale == DeviceScale(2));

  // Device pixel 11, 7 lies in the host's pixel 5, 3.
  SendMessageW(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(11, 7));
  ASSERT_FALSE(sink_.pointer.empty());
  EXPECT_EQ(sink_.pointer.back().x, 5);
  EXPECT_EQ(sink_.pointer.back().y, 3);

  // The host's region, in its pixels, cut at the device's.
  ASSERT_TRUE(desktop_.SetRegion(hwnd_, CreateRectRgn(0, 0, 10, 10)));
  RECT box{};
  HRGN shown = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(hwnd_, shown), ERROR);
  GetRgnBox(shown, &box);
  DeleteObject(shown);
  EXPECT_TRUE(Same(box, RECT{0, 0, 20, 20}));
  // The host asking for the bounds it was told moves nothing.
  desktop_.SetBounds(hwnd_, RECT{100, 80, 400, 280});
  EXPECT_TRUE(Same(WindowRect(), suggested));
}

}  // namespace
