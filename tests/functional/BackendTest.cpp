// The host on the GTK desktop under Xvfb, through a small form that reports
// its events (probe/ProbeMain.cpp): the order of mouse events a form makes of
// GTK's, and a sizing loop seen through the form. The desktop's own contract
// is tests/conformance.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/functional/XSession.h"
#include "tests/support/Scenario.h"

namespace functional {
namespace {

// The probe's window: client area at (100, 100), 400 x 300, its top-left
// corner cut off along the line from (0, 40) to (40, 0).
constexpr int Left = 100;
constexpr int Top = 100;
constexpr std::uint32_t PadColour = 0x996633;

class BackendTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    session_ = &SharedSession(GetParam());
    ASSERT_TRUE(session_->Ready());
    // Earlier tests may have left the pointer anywhere, and the window would
    // open under it.
    X().Xdotool({"mousemove", "1500", "900"});
    std::vector<std::string> env = X().Environment();
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
    // The desktop's trace says when a press has started a move or sizing loop.
    env.push_back("G_MESSAGES_DEBUG=skinshell");
    probe_ = Child({std::string(SKINSHELL_BIN_DIR) + "/gtk_probe"}, env, folder_.Path(),
                   folder_ / "log.txt");
    window_ = X().WaitForWindow({"--name", "^Probe$"}, 15000, [&] { return probe_.Running(); });
    ASSERT_NE(window_, 0u) << Log();
    ASSERT_TRUE(WaitFor(10000, [&] { return X().PixelAt(Left + 200, Top + 150) == PadColour; }));
  }

  void TearDown() override {
    // A probe that never showed its window is ended with the child.
    if (window_ == 0) return;
    X().Close(window_);
    EXPECT_EQ(probe_.Wait(10000), 0) << Log();
  }

  XSession& X() { return *session_; }
  std::string Log() const { return test::ReadFile(folder_ / "log.txt"); }

  void Xdotool(const std::vector<std::string>& args) { X().Xdotool(args); }

  // Presses the first button at (x, y), which hands the window to the move
  // or sizing loop, and waits for the loop to have started: moves or a
  // release before that would reach the probe instead.
  void PressIntoLoop(int x, int y) {
    Xdotool({"mousemove", std::to_string(x), std::to_string(y), "mousedown", "1"});
    EXPECT_TRUE(WaitFor(10000, [&] { return Log().find("begin move/size") != std::string::npos; }))
        << Log();
  }

  // The lines of the probe's log from the first that starts with `from`.
  std::vector<std::string> LinesFrom(const std::string& from) const {
    std::vector<std::string> lines;
    std::istringstream in(Log());
    std::string line;
    bool started = false;
    while (std::getline(in, line)) {
      if (line.rfind("Down", 0) != 0 && line.rfind("Up", 0) != 0 && line.rfind("Click", 0) != 0 &&
          line.rfind("DblClick", 0) != 0 && line.rfind("Move", 0) != 0) {
        continue;
      }
      started = started || line.rfind(from, 0) == 0;
      if (started) lines.push_back(line);
    }
    return lines;
  }

  bool LogHas(const std::string& text) {
    return WaitFor(10000, [&] { return Log().find(text) != std::string::npos; });
  }

  // Asks the host where it thinks the window is (a right click prints it).
  bool HostBoundsAre(int x, int y, int w, int h) {
    std::ostringstream expected;
    expected << "Bounds " << x << " " << y << " " << w << " " << h;
    Xdotool({"mousemove", std::to_string(x + 150), std::to_string(y + 100), "click", "3"});
    return LogHas(expected.str());
  }

  test::TempFolder folder_{"skinshell-probe"};
  XSession* session_ = nullptr;
  Child probe_;
  unsigned long window_ = 0;
};

TEST_P(BackendTest, AClickArrivesAsPressReleaseClick) {
  Xdotool({"mousemove", "150", "200", "click", "1"});
  ASSERT_TRUE(LogHas("Click"));
  std::vector<std::string> expected = {"Down 1 0 50 100", "Up 1 50 100", "Click"};
  EXPECT_EQ(LinesFrom("Down 1"), expected) << Log();
}

TEST_P(BackendTest, ADoubleClickArrivesAsPressReleaseClickDoubleClickRelease) {
  Xdotool({"mousemove", "150", "200", "click", "--repeat", "2", "--delay", "80", "1"});
  ASSERT_TRUE(LogHas("DblClick"));
  std::vector<std::string> expected = {"Down 1 0 50 100", "Up 1 50 100", "Click", "DblClick",
                                       "Up 1 50 100"};
  EXPECT_TRUE(WaitFor(10000, [&] { return LinesFrom("Down 1") == expected; })) << Log();
}

TEST_P(BackendTest, ASizingLoopResizesTheHostAndTheShapeFollows) {
  PressIntoLoop(200, 390);
  for (int step = 1; step <= 4; ++step) {
    Xdotool({"mousemove", std::to_string(200 + 15 * step), std::to_string(390 + 10 * step)});
  }
  Xdotool({"mouseup", "1"});
  EXPECT_TRUE(WaitFor(10000,
                      [&] {
                        WindowInfo info = X().Info(window_);
                        return info.width == 460 && info.height == 340;
                      }))
      << X().Info(window_).width << "x" << X().Info(window_).height;
  EXPECT_TRUE(LogHas("Resize 460 340"));
  EXPECT_TRUE(HostBoundsAre(Left, Top, 460, 340)) << Log();
  // The outline was made again for the new size: the new corner shows.
  EXPECT_TRUE(WaitFor(3000, [&] { return X().PixelAt(Left + 455, Top + 335) == PadColour; }));
  EXPECT_NE(X().PixelAt(Left + 2, Top + 2), PadColour);
}

// The work area is kept between reads; a panel taking more of the screen
// (the root window's property changing) is seen at the next read.
TEST_P(BackendTest, AChangedWorkAreaIsSeenAtTheNextRead) {
  if (!GetParam()) GTEST_SKIP() << "without a window manager the work area is the screen";
  const std::string before = X().Run({"xprop", "-root", "_NET_WORKAREA"});
  const std::size_t values = before.find("= ");
  ASSERT_NE(values, std::string::npos) << before;
  auto setArea = [&](const std::string& area) {
    X().Run({"xprop", "-root", "-format", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA", area});
  };
  // Clicks far enough apart not to make a double-click.
  int x = 150;
  for (const char* bottom : {"1000", "900"}) {
    setArea(std::string("0,0,1920,") + bottom);
    Xdotool({"mousemove", std::to_string(x += 100), "200", "click", "1"});
    EXPECT_TRUE(LogHas(std::string("WorkArea 0 0 1920 ") + bottom)) << Log();
  }
  std::string original = before.substr(values + 2);
  original.erase(std::remove(original.begin(), original.end(), ' '), original.end());
  original.erase(std::remove(original.begin(), original.end(), '\n'), original.end());
  setArea(original);
}

INSTANTIATE_TEST_SUITE_P(Desktops, BackendTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("UnderOpenbox")
                                             : std::string("WithoutWindowManager");
                         });

}  // namespace
}  // namespace functional
