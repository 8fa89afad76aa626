// The real program under Xvfb, with no window manager and under openbox,
// xfwm4 and mutter (these two with and without a panel), in a temporary copy of the program folder whose name needs
// escaping in a URI. Driven with xdotool and X client messages, checked with
// xwininfo, xprop and the screen's pixels.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <sstream>

#include "platform/gdi/Gdi.h"
#include "tests/functional/XSession.h"
#include "tests/support/Scenario.h"

namespace functional {
namespace {

// The start page of the copy paints itself in one colour on the first start
// (the query says so) and in another on later starts.
constexpr std::uint32_t FirstRunColour = 0x20C040;
constexpr std::uint32_t LaterRunColour = 0xC04020;
// Its first row has a colour of its own, so that a page drawn out of place
// shows.
constexpr std::uint32_t PageTopColour = 0x1020F0;
constexpr const char* StartPage =
    "<!doctype html><html><body style=\"margin:0;border-top:1px solid #1020f0;"
    "background:#204080\"><script>"
    "document.body.style.background = location.search === '?installation=y' ? "
    "'#20c040' : '#c04020';</script></body></html>";

// The root window's colour: whatever no window covers shows it.
constexpr std::uint32_t Backdrop = 0xFF00FF;

// Heights of the title bar in the normal and the maximized skin.
constexpr int NormalBarHeight = 27;
constexpr int MaximizedBarHeight = 26;

// The first work area the window manager publishes: left, top, width, height.
std::vector<int> WorkArea(const XSession& x) {
  std::string out = x.Run({"xprop", "-root", "_NET_WORKAREA"});
  std::vector<int> area;
  std::size_t at = out.find('=');
  while (at != std::string::npos && area.size() < 4) {
    char* end = nullptr;
    long value = std::strtol(out.c_str() + at + 1, &end, 10);
    if (end == out.c_str() + at + 1) break;
    area.push_back(static_cast<int>(value));
    at = out.find(',', at + 1);
  }
  return area;
}

// A picture of a skin as the source tree holds it.
gdi::Surface SkinPicture(const std::string& skin, const std::string& name) {
  gdi::Surface picture;
  gdi::ReadPng(test::SourceFolder() + "/skins/" + skin + "/" + name + ".png", picture);
  return picture;
}

std::uint32_t Rgb(const gdi::Surface& pixels, int x, int y) {
  if (x < 0 || y < 0 || x >= pixels.width || y >= pixels.height) return 0xFFFFFFFFu;
  return pixels.At(x, y) & 0xFFFFFFu;
}

// Whether two colours differ by at most `by` in every channel.
bool Near(std::uint32_t a, std::uint32_t b, int by) {
  for (int shift : {16, 8, 0}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        by) {
      return false;
    }
  }
  return true;
}

// How many pixels of a row, from its left or right end, show the backdrop
// (within `by` of it in every channel: a compositor's is a dithered
// gradient).
int BackdropRun(const gdi::Surface& shot, int left, int right, int y, bool fromRight,
                std::uint32_t backdrop = Backdrop, int by = 0) {
  int n = 0;
  while (left + n <= right && Near(Rgb(shot, fromRight ? right - n : left + n, y), backdrop, by)) {
    ++n;
  }
  return n;
}

std::string Name(WindowManager manager, bool panel) {
  const char* names[] = {"WithoutWindowManager", "UnderOpenbox", "UnderXfwm4", "UnderMutter"};
  return std::string(names[static_cast<int>(manager)]) + (panel ? "WithPanel" : "");
}

// The program on one X server of the shared ones.
class ProgramRun : public ::testing::Test {
 protected:
  explicit ProgramRun(WindowManager manager, const ScreenLayout& layout = {}, bool panel = false)
      : manager_(manager), layout_(layout), panel_(panel) {}

  void SetUp() override {
    session_ = &SharedSession(manager_, layout_, panel_);
    ASSERT_TRUE(session_->Ready()) << "no X server with " << Name(manager_, panel_);
    test::CopyTree(test::DistFolder(), folder_.Path());
    ASSERT_TRUE(test::Exists(folder_ / "skinshell")) << "the program is not built";
    test::WriteFile(folder_ / "html/index.html", std::string(StartPage));
    // The window opens in the middle of the screen, where an earlier test
    // may have left the pointer (over its close button, say).
    X().Xdotool({"mousemove", "1500", "900"});
  }

  void TearDown() override {
    program_.Stop();
    // Whatever is left (a helper process) is ended here, after the check.
    for (pid_t pid : ProcessesWithEnvironment(marker_)) kill(pid, SIGKILL);
    if (session_ != nullptr) session_->ResetBackground();
  }

  XSession& X() { return *session_; }
  bool Managed() const { return manager_ != WindowManager::Absent; }
  // xfwm4 and mutter composite: what no window covers shows their own
  // backdrop, not the root window's colour.
  bool Composited() const {
    return manager_ == WindowManager::Xfwm4 || manager_ == WindowManager::Mutter;
  }


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
    env.insert(env.end(), extraEnvironment_.begin(), extraEnvironment_.end());
    program_ = Child({folder_ / "skinshell"}, env, folder_.Path(), folder_ / "log.txt");
    return X().WaitForWindow({"--pid", std::to_string(program_.Pid())}, 20000,
                             [&] { return program_.Running(); });
  }

  std::string Log() const { return test::ReadFile(folder_ / "log.txt"); }

  // Waits until the program's trace holds the text at least `count` times.
  bool WaitForTrace(const std::string& text, int count = 1) {
    return WaitFor(10000, [&] { return CountInFile(folder_ / "log.txt", text) >= count; });
  }

  bool WaitForColour(int x, int y, std::uint32_t colour) {
    return WaitFor(20000, [&] { return X().PixelAt(x, y) == colour; });
  }

  // The first start's window centred at its designed size, with the start
  // page painted in it.
  bool WaitForCentredStartPage(unsigned long window) {
    return WaitForGeometry(window, CentredLeft, CentredTop, DesignedWidth, DesignedHeight) &&
           WaitForColour(CentredLeft + DesignedWidth / 2, CentredTop + DesignedHeight / 2,
                         FirstRunColour);
  }

  bool WaitForGeometry(unsigned long window, int x, int y, int w, int h) {
    return WaitFor(10000, [&] {
      WindowInfo info = X().Info(window);
      return info.x == x && info.y == y && info.width == w && info.height == h;
    });
  }

  // Asks the window to close as a window manager would and waits for the
  // program and every helper process it started to end.
  void CloseAndExpectCleanExit(unsigned long window) {
    X().Close(window);
    EXPECT_EQ(program_.Wait(15000), 0) << Log();
    EXPECT_TRUE(WaitFor(10000, [&] { return ProcessesWithEnvironment(marker_).empty(); }))
        << "a process of the program outlived it";
  }

  std::string Placement() { return test::ReadFile(folder_ / "html/size.ini"); }

  void Xdotool(const std::vector<std::string>& args) { X().Xdotool(args); }

  // Presses the first button at one screen point, moves through a few steps
  // to another and releases it there. The press must start the program's
  // move or sizing loop.
  void Drag(int fromX, int fromY, int toX, int toY) {
    // Two moves: the edge under the pointer learns which part of it is hit.
    Xdotool({"mousemove", std::to_string(fromX - 1), std::to_string(fromY)});
    Xdotool({"mousemove", std::to_string(fromX), std::to_string(fromY)});
    const int loops = CountInFile(folder_ / "log.txt", "begin move/size");
    Xdotool({"mousedown", "1"});
    // Moved or released before the loop has the pointer, the drag would
    // reach the page instead, and leave the button down for later tests.
    EXPECT_TRUE(WaitForTrace("begin move/size", loops + 1)) << Log();
    constexpr int Steps = 6;
    for (int step = 1; step <= Steps; ++step) {
      Xdotool({"mousemove", std::to_string(fromX + (toX - fromX) * step / Steps),
               std::to_string(fromY + (toY - fromY) * step / Steps)});
    }
    Xdotool({"mouseup", "1"});
  }

  std::string Describe(unsigned long window) {
    WindowInfo info = X().Info(window);
    std::ostringstream out;
    out << "window at " << info.x << "," << info.y << " " << info.width << "x" << info.height
        << "\n"
        << Log();
    return out.str();
  }

  // Saves the screen beside the build for a person to look at.
  void Keep(const gdi::Surface& shot, const std::string& name) {
    gdi::WritePng(shot, std::string(SKINSHELL_BIN_DIR) + "/../functional-" + name + "-" +
                            Name(manager_, panel_) + ".png");
  }

  // Centre of a caption button of the normal skin, in window pixels: the
  // faces sit right-aligned from the bar's right end, close first.
  static constexpr int ButtonWidth = 28;
  static constexpr int ButtonHeight = 20;
  static constexpr int ButtonsFromRight = 6;
  static constexpr int MaximizedButtonsFromRight = 4;  // the maximized skin's
  static constexpr int ButtonsFromTop = 3;
  static constexpr int ButtonSpace = 2;
  // slot 0 is close, 1 maximize, 2 minimize
  static int ButtonLeft(int slot, int width = DesignedWidth, int fromRight = ButtonsFromRight) {
    return width - fromRight - ButtonWidth - slot * (ButtonWidth + ButtonSpace);
  }

  // Points at a caption button straight from the page, in one step, checks
  // that the screen shows the face the skin gives it there, and clicks it.
  // The one step is the point: the pointer entering the frame must be enough
  // for the hover face, with no motion inside it. A window maximized by the
  // host is `width` wide and shows the maximized skin.
  void ClickCaptionButton(int left, int top, int slot, const std::string& hoverFace,
                          int width = DesignedWidth, bool maximized = false) {
    const int faceLeft =
        left + ButtonLeft(slot, width, maximized ? MaximizedButtonsFromRight : ButtonsFromRight);
    const int x = faceLeft + ButtonWidth / 2;
    const int y = top + ButtonsFromTop + ButtonHeight / 2;
    Xdotool({"mousemove", std::to_string(left + width / 2),
             std::to_string(top + DesignedHeight / 2)});
    Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
    const gdi::Surface face = SkinPicture(maximized ? "black-2" : "black-1", hoverFace);
    ASSERT_EQ(face.width, ButtonWidth);
    ASSERT_EQ(face.height, ButtonHeight);
    int opaque = 0;
    int same = 0;
    EXPECT_TRUE(WaitFor(3000,
                        [&] {
                          const gdi::Surface shot = X().Capture();
                          opaque = 0;
                          same = 0;
                          for (int fy = 0; fy < face.height; ++fy) {
                            for (int fx = 0; fx < face.width; ++fx) {
                              if ((face.At(fx, fy) >> 24) != 0xFF) continue;
                              ++opaque;
                              if (Rgb(shot, faceLeft + fx, top + ButtonsFromTop + fy) ==
                                  Rgb(face, fx, fy)) {
                                ++same;
                              }
                            }
                          }
                          return opaque > 0 && same == opaque;
                        }))
        << same << " of " << opaque << " pixels show " << hoverFace;
    Xdotool({"click", "1"});
  }

  // Two clicks of the first button at one screen point, as quick as a
  // person's double-click.
  void DoubleClick(int x, int y) {
    Xdotool({"mousemove", std::to_string(x - 1), std::to_string(y)});
    Xdotool({"mousemove", std::to_string(x), std::to_string(y)});
    Xdotool({"click", "--repeat", "2", "--delay", "80", "1"});
  }

  // The work area the host fills when it maximizes: the window manager's,
  // or with none the whole screen.
  std::vector<int> HostWorkArea() {
    return Managed() ? WorkArea(X()) : std::vector<int>{0, 0, ScreenWidth, ScreenHeight};
  }

  // A double-click on the centred window's bar fills the work area, and one
  // on the maximized bar brings it back; false when it did not come back.
  bool DoubleClickToTheWorkAreaAndBack(unsigned long window) {
    const std::vector<int> area = HostWorkArea();
    EXPECT_EQ(area.size(), 4u);
    if (area.size() != 4) return false;
    DoubleClick(CentredLeft + DesignedWidth / 2, CentredTop + 12);
    EXPECT_TRUE(WaitForGeometry(window, area[0], area[1], area[2], area[3])) << Describe(window);
    DoubleClick(area[0] + area[2] / 2, area[1] + 12);
    return WaitForGeometry(window, CentredLeft, CentredTop, DesignedWidth, DesignedHeight);
  }

  test::TempFolder folder_{"skinshell functional #1 \xC3\xA4%"};
  const WindowManager manager_;
  const ScreenLayout layout_;
  const bool panel_;
  std::vector<std::string> extraEnvironment_;  // for the program alone
  XSession* session_ = nullptr;
  Child program_;
  std::string marker_;
};

struct Desk {
  WindowManager manager;
  bool panel;
};

// Each test with no window manager, under openbox, and under xfwm4 and
// mutter with and without a panel.
class ProgramTest : public ProgramRun, public ::testing::WithParamInterface<Desk> {
 protected:
  ProgramTest() : ProgramRun(GetParam().manager, {}, GetParam().panel) {}
};

TEST_P(ProgramTest, FirstStartShowsTheStartPageUndecoratedCentredAndMakesTheMarker) {
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << Log();
  int left = CentredLeft;
  int top = CentredTop;
  EXPECT_TRUE(WaitForGeometry(window, left, top, DesignedWidth, DesignedHeight))
      << Describe(window);
  if (Managed()) {
    // mutter frames no window that draws its own frame, and says nothing.
    const std::string extents = X().Property(window, "_NET_FRAME_EXTENTS");
    EXPECT_TRUE(extents.find("= 0, 0, 0, 0") != std::string::npos ||
                (manager_ == WindowManager::Mutter && extents.find("not found") != std::string::npos))
        << extents;
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
    const std::string log = Log();
    return log.find("load finished: file://") != std::string::npos &&
           log.find("/html/sound.html") != std::string::npos;
  })) << Log();
  // It is made once the start page has committed, so that the web process
  // starts on the page the user waits for alone, and made hidden: its
  // rectangle, over the start page, shows the start page.
  const std::string log = Log();
  EXPECT_LT(log.find("phase load committed index.html"), log.find("phase load started sound.html"))
      << log;
  EXPECT_FALSE(WaitFor(500, [&] {
    return X().PixelAt(left + 124, top + 360) != FirstRunColour;
  })) << std::hex << X().PixelAt(left + 124, top + 360);
  Keep(X().Capture(), "start");
  CloseAndExpectCleanExit(window);
}

TEST_P(ProgramTest, ClosingSavesThePlacementAndTheNextStartComesBackThere) {
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << Log();
  X().Run({"xdotool", "windowmove", std::to_string(window), "100", "150"});
  ASSERT_TRUE(WaitForGeometry(window, 100, 150, DesignedWidth, DesignedHeight));
  // The move has come back to the program before it is closed.
  ASSERT_TRUE(WaitForTrace("window manager: bounds 100,150 878x560")) << Log();
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
  ASSERT_TRUE(WaitForTrace("window manager: bounds 40,60 878x560")) << Log();
  CloseAndExpectCleanExit(window);
  EXPECT_NE(Placement().find("TestOCX_new=900,600,8400,13170"), std::string::npos) << Placement();
}

TEST_P(ProgramTest, TheMinimizeButtonIconifiesUnderAWindowManagerAndLeavesTheWindowNormalWithout) {
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << Log();
  const int left = CentredLeft;
  const int top = CentredTop;
  ASSERT_TRUE(WaitForCentredStartPage(window)) << Describe(window);
  ClickCaptionButton(left, top, 2, "MIN3");
  if (Managed()) {
    EXPECT_TRUE(WaitFor(
        5000, [&] { return X().Property(window, "WM_STATE").find("Iconic") != std::string::npos; }))
        << X().Property(window, "WM_STATE") << Describe(window);
    // Still iconified once the program has stopped waiting for it.
    EXPECT_TRUE(WaitForTrace("window manager: iconify done")) << Log();
    EXPECT_EQ(CountInFile(folder_ / "log.txt", "iconify refused"), 0) << Log();
    EXPECT_NE(X().Property(window, "WM_STATE").find("Iconic"), std::string::npos);
    CloseAndExpectCleanExit(window);
    // A minimized window is not written.
    EXPECT_EQ(Placement(), "") << Placement();
    return;
  }
  // Nothing iconifies the window: it stays where and as large as it was,
  // and the program takes itself as normal again.
  EXPECT_TRUE(WaitForTrace("window manager: iconify refused")) << Log();
  WindowInfo info = X().Info(window);
  EXPECT_TRUE(info.mapped);
  EXPECT_TRUE(WaitForGeometry(window, left, top, DesignedWidth, DesignedHeight))
      << Describe(window);
  EXPECT_EQ(X().PixelAt(left + DesignedWidth / 2, top + DesignedHeight / 2), FirstRunColour);
  Keep(X().Capture(), "minimize");
  // Closing from the caption writes the placement, which only a window in
  // the normal state does.
  ClickCaptionButton(left, top, 0, "CLOSE3");
  EXPECT_EQ(program_.Wait(15000), 0) << Log();
  EXPECT_TRUE(WaitFor(10000, [&] { return ProcessesWithEnvironment(marker_).empty(); }));
  EXPECT_NE(Placement().find("TestOCX_new=" + std::to_string(top * 15) + "," +
                             std::to_string(left * 15) + ",8400,13170"),
            std::string::npos)
      << Placement() << Log();
}

// xfwm4 kept a move loop started at a press until the next release, which
// ate a double-click's second press; and its frame kept taking input only
// where the normal window had been, so the maximized window's restore
// button, far to the right, was dead.
TEST_P(ProgramTest, DoubleClicksAndTheMaximizeButtonFillTheWorkAreaAndComeBack) {
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << Log();
  ASSERT_TRUE(WaitForCentredStartPage(window)) << Describe(window);
  const std::vector<int> area = HostWorkArea();
  ASSERT_EQ(area.size(), 4u);

  // On the bar's free part, then on the maximized bar.
  EXPECT_TRUE(DoubleClickToTheWorkAreaAndBack(window)) << Describe(window);
  // A click on the bar is no move: the window stays.
  Xdotool({"click", "1"});
  EXPECT_EQ(CountInFile(folder_ / "log.txt", "move started"), 0) << Log();

  ClickCaptionButton(CentredLeft, CentredTop, 1, "MAX3");
  ASSERT_TRUE(WaitForGeometry(window, area[0], area[1], area[2], area[3])) << Describe(window);
  ClickCaptionButton(area[0], area[1], 1, "RES2", area[2], true);
  EXPECT_TRUE(WaitForGeometry(window, CentredLeft, CentredTop, DesignedWidth, DesignedHeight))
      << Describe(window);
  CloseAndExpectCleanExit(window);
  EXPECT_NE(Placement().find("TestOCX_new=" + std::to_string(CentredTop * 15) + "," +
                             std::to_string(CentredLeft * 15) + ",8400,13170"),
            std::string::npos)
      << Placement();
}

// The window manager's own ways to close and its window menu reach the same
// paths as the caption's buttons.
TEST_P(ProgramTest, AltF4SavesThePlacementAndARightClickOnTheBarOpensTheWindowMenu) {
  if (!Managed()) GTEST_SKIP() << "the keys and the menu are a window manager's";
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << Log();
  ASSERT_TRUE(WaitForCentredStartPage(window)) << Describe(window);

  // openbox shows its menu on its own Alt+Space only; xfwm4 shows it, and
  // mutter takes the request though it shows nothing without a shell.
  Xdotool({"mousemove", std::to_string(CentredLeft + 200), std::to_string(CentredTop + 12)});
  Xdotool({"click", "3"});
  const bool menus = manager_ != WindowManager::Openbox;
  if (menus) {
    EXPECT_TRUE(WaitForTrace("window menu")) << Log();
  }
  Xdotool({"key", "Escape"});
  // Whatever the menu did with the pointer, the bar works as before.
  ASSERT_TRUE(DoubleClickToTheWorkAreaAndBack(window)) << Describe(window);

  if (!menus) {
    EXPECT_EQ(CountInFile(folder_ / "log.txt", "window menu"), 0) << Log();
  }

  X().Run({"xdotool", "windowmove", std::to_string(window), "100", "150"});
  ASSERT_TRUE(WaitForTrace("window manager: bounds 100,150 878x560")) << Log();
  X().Run({"xdotool", "windowactivate", "--sync", std::to_string(window)});
  Xdotool({"key", "alt+F4"});
  EXPECT_EQ(program_.Wait(15000), 0) << Log();
  EXPECT_NE(Placement().find("TestOCX_new=2250,1500,8400,13170"), std::string::npos) << Placement();
}

TEST_P(ProgramTest, TheTopCornersAreCutToTheScreenBehindAndTheBottomCornersAreSquare) {
  X().SetBackground(Backdrop);
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << Log();
  const int left = CentredLeft;
  const int top = CentredTop;
  const int right = left + DesignedWidth - 1;
  const int bottom = top + DesignedHeight - 1;
  ASSERT_TRUE(WaitForCentredStartPage(window)) << Describe(window);
  gdi::Surface shot = X().Capture();
  Keep(shot, "corners");
  ASSERT_EQ(shot.width, ScreenWidth);

  // The backdrop is really there, right around the window. A compositor
  // shows a backdrop of its own, not the root window's colour: the cuts show
  // whatever lies just beside the window on their row.
  if (!Composited()) {
    EXPECT_EQ(Rgb(shot, left - 1, top), Backdrop);
    EXPECT_EQ(Rgb(shot, right + 1, bottom), Backdrop);
    EXPECT_EQ(Rgb(shot, left, bottom + 1), Backdrop);
  }
  const int by = Composited() ? 2 : 0;
  auto beside = [&](int x, int y) { return Composited() ? Rgb(shot, x, y) : Backdrop; };

  // Left: 3 across and 3 down; right: 3 across and 4 down, which the
  // system's rule for regions shows as the same steps.
  std::vector<int> fromLeft;
  std::vector<int> fromRight;
  for (int y = top; y < top + 6; ++y) {
    fromLeft.push_back(BackdropRun(shot, left, right, y, false, beside(left - 1, y), by));
    fromRight.push_back(BackdropRun(shot, left, right, y, true, beside(right + 1, y), by));
  }
  EXPECT_EQ(fromLeft, (std::vector<int>{3, 2, 1, 0, 0, 0}));
  EXPECT_EQ(fromRight, (std::vector<int>{3, 2, 1, 0, 0, 0}));

  // Just inside the cuts the frame shows the normal skin's corner pieces.
  const gdi::Surface topLeft = SkinPicture("black-1", "TOPLEFT");
  const gdi::Surface topRight = SkinPicture("black-1", "TOPRIGHT");
  ASSERT_GT(topLeft.width, 4);
  ASSERT_GT(topRight.width, 4);
  for (int y = 0; y < 5; ++y) {
    int x = fromLeft[y];
    EXPECT_EQ(Rgb(shot, left + x, top + y), Rgb(topLeft, x, y)) << "left, row " << y;
    x = topRight.width - 1 - fromRight[y];
    EXPECT_EQ(Rgb(shot, right - fromRight[y], top + y), Rgb(topRight, x, y)) << "right, row " << y;
  }

  // The bottom corners are square: the bottom edge's end pieces reach them.
  const gdi::Surface leftBottom = SkinPicture("black-1", "LEFTBOT");
  const gdi::Surface rightBottom = SkinPicture("black-1", "RIGHTBOT");
  ASSERT_GT(leftBottom.height, 0);
  ASSERT_GT(rightBottom.height, 0);
  EXPECT_EQ(Rgb(shot, left, bottom), Rgb(leftBottom, 0, leftBottom.height - 1));
  EXPECT_EQ(Rgb(shot, right, bottom),
            Rgb(rightBottom, rightBottom.width - 1, rightBottom.height - 1));
  CloseAndExpectCleanExit(window);
}

TEST_P(ProgramTest, SizingBelowTheMinimumFromOutsideComesBackToTheDesignedSize) {
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << Log();
  const int left = CentredLeft;
  const int top = CentredTop;
  ASSERT_TRUE(WaitForCentredStartPage(window)) << Describe(window);

  // The lower-right corner of the bottom edge hands the window to the
  // window manager's sizing loop: first larger, which proves the loop ran.
  int cornerX = left + DesignedWidth - 3;
  int cornerY = top + DesignedHeight - 3;
  Drag(cornerX, cornerY, cornerX + 60, cornerY + 40);
  ASSERT_TRUE(WaitForGeometry(window, left, top, DesignedWidth + 60, DesignedHeight + 40))
      << Describe(window);

  // Then far smaller than the minimum, toward the top-left.
  cornerX += 60;
  cornerY += 40;
  Drag(cornerX, cornerY, cornerX - 500, cornerY - 350);
  EXPECT_TRUE(WaitForGeometry(window, left, top, DesignedWidth, DesignedHeight))
      << Describe(window);

  if (Managed()) {
    // A resize from outside is a request to the window manager, which holds
    // it to the minimum size the program gave it: nothing would reach the
    // program. What holds it there is the hint.
    EXPECT_NE(X().Property(window, "WM_NORMAL_HINTS").find("minimum size: 878 by 560"),
              std::string::npos)
        << X().Property(window, "WM_NORMAL_HINTS");
  } else {
    // With no window manager the server resizes the window at once; the
    // program takes that size, then goes back to its minimum.
    X().Run({"xdotool", "windowsize", std::to_string(window), "400", "300"});
    EXPECT_TRUE(WaitForTrace(" 400x300")) << Log();
    EXPECT_TRUE(WaitForGeometry(window, left, top, DesignedWidth, DesignedHeight))
        << Describe(window);
  }
  // The frame was laid out for the size it came back to.
  const gdi::Surface rightBottom = SkinPicture("black-1", "RIGHTBOT");
  ASSERT_GT(rightBottom.height, 0);
  EXPECT_TRUE(WaitFor(3000, [&] {
    return X().PixelAt(left + DesignedWidth - 1, top + DesignedHeight - 1) ==
           Rgb(rightBottom, rightBottom.width - 1, rightBottom.height - 1);
  }));
  Keep(X().Capture(), "minimum");
  CloseAndExpectCleanExit(window);
  EXPECT_NE(Placement().find(",8400,13170"), std::string::npos) << Placement();
}

TEST_P(ProgramTest, AWindowManagerMaximizeEndsNormalOnTheWorkAreaWithTheMaximizedSkinAndNoEdges) {
  if (!Managed()) GTEST_SKIP() << "maximizing needs a window manager";
  unsigned long window = Start();
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(WaitForCentredStartPage(window)) << Describe(window);
  const std::vector<int> area = WorkArea(X());
  ASSERT_EQ(area.size(), 4u) << X().Run({"xprop", "-root", "_NET_WORKAREA"});

  X().Maximize(window);
  // The program takes the maximize over as its own: the window manager's
  // state goes, the work area stays.
  ASSERT_TRUE(WaitFor(5000,
                      [&] {
                        WindowInfo info = X().Info(window);
                        return info.x == area[0] && info.y == area[1] && info.width == area[2] &&
                               info.height == area[3] &&
                               X().Property(window, "_NET_WM_STATE").find("MAXIMIZED") ==
                                   std::string::npos;
                      }))
      << X().Property(window, "_NET_WM_STATE") << Describe(window);
  // And it stays there once the window manager has had its say.
  WaitFor(500, [] { return false; });
  WindowInfo info = X().Info(window);
  EXPECT_EQ(info.width, area[2]);
  EXPECT_EQ(info.height, area[3]);
  EXPECT_EQ(X().Property(window, "_NET_WM_STATE").find("MAXIMIZED"), std::string::npos)
      << X().Property(window, "_NET_WM_STATE");
  EXPECT_NE(X().Property(window, "WM_STATE").find("Normal"), std::string::npos);

  const int right = area[0] + area[2] - 1;
  const int bottom = area[1] + area[3] - 1;
  const int middle = area[1] + area[3] / 2;
  ASSERT_TRUE(WaitForColour(area[0], middle, FirstRunColour))
      << std::hex << X().PixelAt(area[0], middle);
  gdi::Surface shot = X().Capture();
  Keep(shot, "maximized");

  // The bar is the maximized skin's, a row shorter than the normal one.
  const gdi::Surface maximizedBar = SkinPicture("black-2", "TOPMID");
  const gdi::Surface normalBar = SkinPicture("black-1", "TOPMID");
  ASSERT_EQ(maximizedBar.height, MaximizedBarHeight);
  ASSERT_EQ(normalBar.height, NormalBarHeight);
  const int barX = area[0] + area[2] / 2;
  for (int y = 0; y < MaximizedBarHeight; ++y) {
    EXPECT_EQ(Rgb(shot, barX, area[1] + y), Rgb(maximizedBar, 0, y)) << "bar row " << y;
  }
  // The normal bar's dark top line is not there.
  EXPECT_NE(Rgb(shot, barX, area[1]), Rgb(normalBar, 0, 0));
  // Below the bar the page starts at once, its first row first.
  EXPECT_EQ(Rgb(shot, barX, area[1] + MaximizedBarHeight), PageTopColour);
  EXPECT_EQ(Rgb(shot, barX, area[1] + MaximizedBarHeight + 1), FirstRunColour);

  // No edges: the page reaches the window's left, right and bottom sides.
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(Rgb(shot, area[0] + x, middle), FirstRunColour) << "left column " << x;
    EXPECT_EQ(Rgb(shot, right - x, middle), FirstRunColour) << "right column " << x;
    EXPECT_EQ(Rgb(shot, barX, bottom - x), FirstRunColour) << "bottom row " << x;
  }
  EXPECT_EQ(Rgb(shot, area[0], bottom), FirstRunColour);
  EXPECT_EQ(Rgb(shot, right, bottom), FirstRunColour);
  // Nor cut corners: the bar's own top corners are drawn.
  EXPECT_EQ(Rgb(shot, area[0], area[1]), Rgb(SkinPicture("black-2", "TOPLEFT"), 0, 0));
  CloseAndExpectCleanExit(window);
}

// Two 1920x1080 monitors side by side under openbox, the left one primary.
class TwoMonitorTest : public ProgramRun {
 protected:
  TwoMonitorTest() : ProgramRun(WindowManager::Openbox, ScreenLayout{ScreenWidth, ScreenHeight, true}) {}
};

TEST_F(TwoMonitorTest, TheFirstStartCentresOnThePrimaryAndASecondMonitorPlacementOpensThere) {
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << Log();
  // Centred on the primary monitor, not across both.
  EXPECT_TRUE(WaitForCentredStartPage(window)) << Describe(window);
  CloseAndExpectCleanExit(window);

  // 150,2100: on the second monitor.
  test::WriteFile(folder_ / "html/size.ini",
                  std::string("[mainwin]\nTestOCX_new=2250,31500,8400,13170\n"));
  window = Start();
  ASSERT_NE(window, 0u) << Log();
  ASSERT_TRUE(WaitForGeometry(window, 2100, 150, DesignedWidth, DesignedHeight))
      << Describe(window);
  ASSERT_TRUE(WaitForColour(2100 + DesignedWidth / 2, 150 + DesignedHeight / 2, LaterRunColour));
  // The maximize button fills the work area the system reports, which is
  // the primary monitor's: the window goes over to it.
  ClickCaptionButton(2100, 150, 1, "MAX3");
  EXPECT_TRUE(WaitForGeometry(window, 0, 0, ScreenWidth, ScreenHeight)) << Describe(window);
  CloseAndExpectCleanExit(window);
}

// A HiDPI desktop: window scale 2 on a 3840x2160 screen under openbox, so
// the logical screen is the usual 1920x1080.
class ScaledTest : public ProgramRun {
 protected:
  ScaledTest() : ProgramRun(WindowManager::Openbox, ScreenLayout{2 * ScreenWidth, 2 * ScreenHeight}) {
    extraEnvironment_ = {"GDK_SCALE=2"};
  }
};

TEST_F(ScaledTest, AtScaleTwoTheWholeWindowShowsSharpAndEverythingElseIsInLogicalPixels) {
  X().SetBackground(Backdrop);
  unsigned long window = Start();
  ASSERT_NE(window, 0u) << Log();
  // Centred in logical pixels, twice as large on the device.
  const int left = 2 * CentredLeft;
  const int top = 2 * CentredTop;
  const int right = left + 2 * DesignedWidth - 1;
  const int bottom = top + 2 * DesignedHeight - 1;
  ASSERT_TRUE(WaitForGeometry(window, left, top, 2 * DesignedWidth, 2 * DesignedHeight))
      << Describe(window);
  ASSERT_TRUE(WaitForColour((left + right) / 2, (top + bottom) / 2, FirstRunColour))
      << Describe(window);
  const gdi::Surface shot = X().Capture();
  Keep(shot, "scale2");

  // The whole window is there, its bottom corners square; the top corners
  // are cut twice as far as at scale 1 (3, 2, 1 on the left, 3, 2, 2, 1 on
  // the right), each cut row twice.
  EXPECT_NE(Rgb(shot, right, bottom), Backdrop);
  EXPECT_NE(Rgb(shot, left, bottom), Backdrop);
  EXPECT_EQ(Rgb(shot, right + 1, bottom), Backdrop);
  std::vector<int> fromLeft;
  std::vector<int> fromRight;
  for (int y = top; y < top + 10; ++y) {
    fromLeft.push_back(BackdropRun(shot, left, right, y, false));
    fromRight.push_back(BackdropRun(shot, left, right, y, true));
  }
  EXPECT_EQ(fromLeft, (std::vector<int>{6, 6, 4, 4, 2, 2, 0, 0, 0, 0}));
  EXPECT_EQ(fromRight, (std::vector<int>{6, 6, 4, 4, 2, 2, 0, 0, 0, 0}));

  // The bar and the left edge are the skin's pixels, each a sharp 2x2 block.
  const gdi::Surface bar = SkinPicture("black-1", "TOPMID");
  const gdi::Surface edge = SkinPicture("black-1", "LEFTMID");
  const int barX = left + DesignedWidth;
  int wrong = 0;
  // The page covers the bar's last row.
  for (int y = 0; y < bar.height - 1; ++y) {
    for (int d = 0; d < 4; ++d) {
      if (Rgb(shot, barX + d % 2, top + 2 * y + d / 2) != Rgb(bar, 0, y)) ++wrong;
    }
  }
  const int edgeY = top + DesignedHeight;
  for (int x = 0; x < edge.width; ++x) {
    for (int d = 0; d < 4; ++d) {
      if (Rgb(shot, left + 2 * x + d % 2, edgeY + d / 2) != Rgb(edge, x, 0)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0) << "device pixels that are not their skin pixel";

  // A drag of the bottom-right corner by 100x60 device pixels grows the
  // window by 50x30 logical ones, and that is what is stored, in twips. The
  // press is on the last, odd, device pixel, half a logical one: a loop
  // started from a whole logical pixel would grow the window by one device
  // pixel more.
  Drag(right, bottom, right + 100, bottom + 60);
  EXPECT_TRUE(WaitForGeometry(window, left, top, 2 * (DesignedWidth + 50),
                              2 * (DesignedHeight + 30)))
      << Describe(window);
  EXPECT_TRUE(WaitForTrace("window manager: bounds " + std::to_string(CentredLeft) + "," +
                           std::to_string(CentredTop) + " 928x590"))
      << Log();
  CloseAndExpectCleanExit(window);
  EXPECT_NE(Placement().find("TestOCX_new=" + std::to_string(CentredTop * 15) + "," +
                             std::to_string(CentredLeft * 15) + ",8850,13920"),
            std::string::npos)
      << Placement();
}

INSTANTIATE_TEST_SUITE_P(Desktops, ProgramTest,
                         ::testing::Values(Desk{WindowManager::Absent, false},
                                           Desk{WindowManager::Openbox, false},
                                           Desk{WindowManager::Xfwm4, false},
                                           Desk{WindowManager::Xfwm4, true},
                                           Desk{WindowManager::Mutter, false},
                                           Desk{WindowManager::Mutter, true}),
                         [](const ::testing::TestParamInfo<Desk>& info) {
                           return Name(info.param.manager, info.param.panel);
                         });

}  // namespace
}  // namespace functional
