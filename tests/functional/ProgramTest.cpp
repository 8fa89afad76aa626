// The real program under Xvfb, once with no window manager and once under
// openbox, in a temporary copy of the program folder whose name needs
// escaping in a URI. Driven with xdotool and X client messages, checked with
// xwininfo, xprop and the screen's pixels.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>

#include "tests/functional/XSession.h"
#include "tests/support/Scenario.h"

namespace functional {
namespace {

// Designed client area, and the screen Xvfb is started with.
constexpr int DesignedWidth = 878;
constexpr int DesignedHeight = 560;
constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;

// The start page of the copy paints itself in one colour on the first start
// (the query says so) and in another on later starts.
constexpr std::uint32_t FirstRunColour = 0x20C040;
constexpr std::uint32_t LaterRunColour = 0xC04020;
constexpr const char* StartPage =
    "<!doctype html><html><body style=\"margin:0;background:#204080\"><script>"
    "document.body.style.background = location.search === '?installation=y' ? "
    "'#20c040' : '#c04020';</script></body></html>";

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class ProgramTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    session_ = &SharedSession(GetParam());
    ASSERT_TRUE(session_->Ready()) << "no X server" << (GetParam() ? " with openbox" : "");
    test::CopyTree(test::DistFolder(), folder_.Path());
    ASSERT_TRUE(test::Exists(folder_ / "skinshell")) << "the program is not built";
    test::WriteFile(folder_ / "html/index.html", std::string(StartPage));
    // A run of the built program (make run) leaves its marker and placement
    // in the build's folder; every test here starts as a first start.
    std::remove((folder_ / "html/installation.lock").c_str());
    std::remove((folder_ / "html/size.ini").c_str());
  }

  void TearDown() override {
    program_.Stop();
    // Whatever is left (a helper process) is ended here, after the check.
    for (pid_t pid : ProcessesWithEnvironment(marker_)) kill(pid, SIGKILL);
  }

  XSession& X() { return *session_; }
  bool Managed() const { return GetParam(); }

  // Starts the program and waits for its window; 0 when it never showed.
  unsigned long Start() {
    static std::atomic<int> runs{0};
    marker_ = "SKINSHELL_FUNCTIONAL_RUN=" + std::to_string(getpid()) + "-" + std::to_string(++runs);
    std::vector<std::string> env = X().Environment();
    env.push_back(marker_);
    // Sanitized builds report GTK's and fontconfig's one-time allocations
    // at exit; the unit tests are where leaks are looked for.
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
    // The program's trace of window-manager traffic, shown when a test fails.
    env.push_back("G_MESSAGES_DEBUG=skinshell");
    program_ = Child({folder_ / "skinshell"}, env, folder_.Path(), folder_ / "log.txt");
    unsigned long window = 0;
    WaitFor(20000, [&] {
      std::string out =
          X().Run({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(program_.Pid())});
      window = std::strtoul(out.c_str(), nullptr, 10);
      return window != 0 || !program_.Running();
    });
    return window;
  }

  bool WaitForColour(int x, int y, std::uint32_t colour) {
    return WaitFor(20000, [&] { return X().PixelAt(x, y) == colour; });
  }

  bool WaitForGeometry(unsigned long window, int x, int y, int w, int h) {
    return WaitFor(5000, [&] {
      WindowInfo info = X().Info(window);
      return info.x == x && info.y == y && info.width == w && info.height == h;
    });
  }

  // Asks the window to close as a window manager would and waits for the
  // program and every helper process it started to end.
  void CloseAndExpectCleanExit(unsigned long window) {
    X().Close(window);
    EXPECT_EQ(program_.Wait(15000), 0) << ReadAll(folder_ / "log.txt");
    EXPECT_TRUE(WaitFor(10000, [&] { return ProcessesWithEnvironment(marker_).empty(); }))
        << "a process of the program outlived it";
  }

  std::string Placement() { return ReadAll(folder_ / "html/size.ini"); }

  test::TempFolder folder_{"skinshell functional #1 \xC3\xA4%"};
  XSession* session_ = nullptr;
  Child program_;
  std::string marker_;
};

TEST_P(ProgramTest, FirstStartShowsTheStartPageUndecoratedCentredAndMakesTheMarker) {
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << ReadAll(folder_ / "log.txt");
  int left = (ScreenWidth - DesignedWidth) / 2;
  int top = (ScreenHeight - DesignedHeight) / 2;
  EXPECT_TRUE(WaitForGeometry(window, left, top, DesignedWidth, DesignedHeight))
      << "at " << X().Info(window).x << "," << X().Info(window).y << " " << X().Info(window).width
      << "x" << X().Info(window).height;
  if (Managed()) {
    EXPECT_NE(X().Property(window, "_NET_FRAME_EXTENTS").find("= 0, 0, 0, 0"), std::string::npos)
        << X().Property(window, "_NET_FRAME_EXTENTS");
  }
  EXPECT_NE(X().Property(window, "WM_NAME").find("\"Skinshell\""), std::string::npos);
  std::string icon = X().Property(window, "_NET_WM_ICON");
  EXPECT_NE(icon.find("Icon (16 x 16)"), std::string::npos) << icon.substr(0, 200);
  EXPECT_NE(icon.find("Icon (64 x 64)"), std::string::npos);
  // The page, with its first-run query, fills the middle of the window.
  EXPECT_TRUE(WaitForColour(left + DesignedWidth / 2, top + DesignedHeight / 2, FirstRunColour))
      << std::hex << X().PixelAt(left + DesignedWidth / 2, top + DesignedHeight / 2);
  // The marker reaches the helper processes, so the check at exit sees them.
  EXPECT_GE(ProcessesWithEnvironment(marker_).size(), 2u);
  // The frame is the host's, not the page's.
  EXPECT_NE(X().PixelAt(left + 2, top + 2), FirstRunColour);
  EXPECT_TRUE(test::Exists(folder_ / "html/installation.lock"));
  // The hidden browser is never shown but loads its page all the same.
  EXPECT_TRUE(WaitFor(10000, [&] {
    return ReadAll(folder_ / "log.txt").find("load finished: file://") != std::string::npos &&
           ReadAll(folder_ / "log.txt").find("/html/sound.html") != std::string::npos;
  })) << ReadAll(folder_ / "log.txt");
  X().Screenshot(std::string(SKINSHELL_BIN_DIR) + "/../functional-" +
                 (Managed() ? "openbox" : "bare") + ".png");
  CloseAndExpectCleanExit(window);
}

TEST_P(ProgramTest, ClosingSavesThePlacementAndTheNextStartComesBackThere) {
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << ReadAll(folder_ / "log.txt");
  X().Run({"xdotool", "windowmove", std::to_string(window), "100", "150"});
  ASSERT_TRUE(WaitForGeometry(window, 100, 150, DesignedWidth, DesignedHeight));
  // Let the move come back to the program before it is closed.
  WaitFor(500, [] { return false; });
  CloseAndExpectCleanExit(window);
  EXPECT_NE(Placement().find("TestOCX_new=2250,1500,8400,13170"), std::string::npos) << Placement();

  window = Start();
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(WaitForGeometry(window, 100, 150, DesignedWidth, DesignedHeight));
  EXPECT_TRUE(WaitForColour(100 + DesignedWidth / 2, 150 + DesignedHeight / 2, LaterRunColour));
  CloseAndExpectCleanExit(window);
}

TEST_P(ProgramTest, AnIconifiedWindowClosedFromOutsideKeepsTheSavedPlacement) {
  if (!Managed()) GTEST_SKIP() << "iconifying needs a window manager";
  test::WriteFile(folder_ / "html/size.ini",
                  std::string("[mainwin]\nTestOCX_new=1500,3000,8400,13170\n"));
  unsigned long window = Start();
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(WaitForGeometry(window, 200, 100, DesignedWidth, DesignedHeight));
  X().Run({"xdotool", "windowminimize", std::to_string(window)});
  ASSERT_TRUE(WaitFor(
      5000, [&] { return X().Property(window, "WM_STATE").find("Iconic") != std::string::npos; }));
  // A minimized window is not written: the host knows it is minimized.
  CloseAndExpectCleanExit(window);
  EXPECT_EQ(Placement(), "[mainwin]\nTestOCX_new=1500,3000,8400,13170\n");
}

TEST_P(ProgramTest, ADeiconifiedWindowIsNormalAgainAndSavesWhereItWasMoved) {
  if (!Managed()) GTEST_SKIP() << "iconifying needs a window manager";
  unsigned long window = Start();
  ASSERT_NE(window, 0u);
  X().Run({"xdotool", "windowminimize", std::to_string(window)});
  ASSERT_TRUE(WaitFor(
      5000, [&] { return X().Property(window, "WM_STATE").find("Iconic") != std::string::npos; }));
  X().Run({"xdotool", "windowactivate", std::to_string(window)});
  ASSERT_TRUE(WaitFor(
      5000, [&] { return X().Property(window, "WM_STATE").find("Normal") != std::string::npos; }));
  X().Run({"xdotool", "windowmove", std::to_string(window), "40", "60"});
  ASSERT_TRUE(WaitForGeometry(window, 40, 60, DesignedWidth, DesignedHeight));
  WaitFor(500, [] { return false; });
  CloseAndExpectCleanExit(window);
  EXPECT_NE(Placement().find("TestOCX_new=900,600,8400,13170"), std::string::npos) << Placement();
}

TEST_P(ProgramTest, AWindowManagerMaximizeFillsTheWorkAreaWithThePage) {
  if (!Managed()) GTEST_SKIP() << "maximizing needs a window manager";
  unsigned long window = Start();
  ASSERT_NE(window, 0u);
  int left = (ScreenWidth - DesignedWidth) / 2;
  int top = (ScreenHeight - DesignedHeight) / 2;
  ASSERT_TRUE(WaitForColour(left + DesignedWidth / 2, top + DesignedHeight / 2, FirstRunColour));
  X().Maximize(window);
  ASSERT_TRUE(WaitFor(5000,
                      [&] {
                        WindowInfo info = X().Info(window);
                        return info.width == ScreenWidth && info.height == ScreenHeight;
                      }))
      << X().Info(window).width << "x" << X().Info(window).height << "\n"
      << ReadAll(folder_ / "log.txt");
  // The host laid the page out for the new size: it reaches far past the
  // window's old rectangle.
  EXPECT_TRUE(WaitForColour(ScreenWidth - 200, ScreenHeight - 200, FirstRunColour))
      << std::hex << X().PixelAt(ScreenWidth - 200, ScreenHeight - 200) << "\n"
      << ReadAll(folder_ / "log.txt");
  X().Screenshot(std::string(SKINSHELL_BIN_DIR) + "/../functional-maximized.png");
  CloseAndExpectCleanExit(window);
}

INSTANTIATE_TEST_SUITE_P(Desktops, ProgramTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("UnderOpenbox")
                                             : std::string("WithoutWindowManager");
                         });

}  // namespace
}  // namespace functional
