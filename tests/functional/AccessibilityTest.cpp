// The real program as a screen reader finds it: under openbox on Xvfb, with
// a session bus of the test's own and the accessibility bus it starts, read
// and worked through AT-SPI by tests/functional/accessible.py (pyatspi).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <sstream>

#include "platform/gdi/Gdi.h"
#include "tests/functional/XSession.h"
#include "tests/support/Scenario.h"

namespace functional {
namespace {

// The caption buttons of the normal skin: right-aligned from the bar's
// right end, close first.
constexpr int ButtonWidth = 28;
constexpr int ButtonHeight = 20;
constexpr int ButtonLeft(int slot) {
  return DesignedWidth - 6 - ButtonWidth - slot * 30;
}
constexpr int ButtonsFromTop = 3;

struct Button {
  std::string role;
  std::string name;
  int x = 0, y = 0, width = 0, height = 0;
  std::string states;
};

// What accessible.py tree printed.
struct Tree {
  std::vector<std::string> frames;
  std::vector<Button> buttons;
  int documents = 0;
  const Button* Find(const std::string& name) const {
    for (const Button& b : buttons) {
      if (b.name == name) return &b;
    }
    return nullptr;
  }
};

Tree ParseTree(const std::string& out) {
  Tree tree;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("frame ", 0) == 0) {
      tree.frames.push_back(line.substr(6));
    } else if (line == "document") {
      ++tree.documents;
    } else {
      std::istringstream fields(line);
      Button b;
      std::string box;
      std::getline(fields, b.role, '|');
      std::getline(fields, b.name, '|');
      std::getline(fields, box, '|');
      std::getline(fields, b.states, '|');
      std::istringstream(box) >> b.x >> b.y >> b.width >> b.height;
      tree.buttons.push_back(b);
    }
  }
  return tree;
}

class AccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = &SharedSession(true);
    ASSERT_TRUE(session_->Ready()) << "no X server with openbox";
    test::CopyTree(test::DistFolder(), folder_.Path());
    ASSERT_TRUE(test::Exists(folder_ / "skinshell")) << "the program is not built";
    test::WriteFile(folder_ / "html/index.html",
                    std::string("<!doctype html><title>Start</title><body>start</body>"));
    static std::atomic<int> runs{0};
    marker_ = "SKINSHELL_A11Y_RUN=" + std::to_string(getpid()) + "-" + std::to_string(++runs);
    // The test session turns the toolkit's bridge off; here it is the point.
    for (const std::string& entry : session_->Environment()) {
      if (entry.rfind("NO_AT_BRIDGE=", 0) != 0) env_.push_back(entry);
    }
    env_.push_back("NO_AT_BRIDGE=0");
    // As in the other program tests: sanitized builds report the toolkit's
    // one-time allocations at exit, and the unit tests look for leaks.
    env_.push_back("ASAN_OPTIONS=detect_leaks=0");
    env_.push_back(marker_);
    env_.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + (folder_ / "bus"));
    // The accessibility bus is found from the session bus alone: a property
    // an earlier launcher left on the shared server's root must not count.
    bus_ = Child(
        {"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + (folder_ / "bus")}, env_);
    ASSERT_TRUE(WaitFor(5000, [&] { return test::Exists(folder_ / "bus"); }));
    std::string address;
    WaitFor(10000, [&] {
      const std::string reply =
          Run({"dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
               "org.a11y.Bus.GetAddress"});
      const std::size_t open = reply.find("string \"");
      if (open == std::string::npos) return false;
      address = reply.substr(open + 8, reply.find('"', open + 8) - open - 8);
      return !address.empty();
    });
    ASSERT_FALSE(address.empty()) << "no accessibility bus";
    env_.push_back("AT_SPI_BUS_ADDRESS=" + address);
    session_->Xdotool({"mousemove", "1500", "900"});
  }

  void TearDown() override {
    watcher_.Stop();
    program_.Stop();
    bus_.Stop();
    for (pid_t pid : ProcessesWithEnvironment(marker_)) kill(pid, SIGKILL);
  }

  // A command with the test's buses, to its end; its standard output.
  std::string Run(const std::vector<std::string>& argv, int* status = nullptr) {
    const std::string out = folder_ / "out.txt";
    std::remove(out.c_str());  // a child's log is appended to
    Child child(argv, env_, "", out);
    const int code = child.Wait(20000);
    if (status != nullptr) *status = code;
    return test::ReadFile(out);
  }

  std::vector<std::string> Driver(const std::string& command) {
    return {"/usr/bin/python3", test::SourceFolder() + "/tests/functional/accessible.py", command,
            std::to_string(program_.Pid())};
  }

  Tree ReadTree() { return ParseTree(Run(Driver("tree"))); }

  // Waits until the tree shows the button of that name.
  Tree WaitForButton(const std::string& name) {
    Tree tree;
    WaitFor(10000, [&] {
      tree = ReadTree();
      return tree.Find(name) != nullptr;
    });
    return tree;
  }

  bool Press(const std::string& name) {
    std::vector<std::string> argv = Driver("press");
    argv.push_back(name);
    int status = -1;
    Run(argv, &status);
    return status == 0;
  }

  bool WaitForGeometry(unsigned long window, int x, int y, int w, int h) {
    return WaitFor(10000, [&] {
      const WindowInfo info = session_->Info(window);
      return info.x == x && info.y == y && info.width == w && info.height == h;
    });
  }

  // The share of a face's opaque pixels the screen shows at a button's
  // bounds.
  double FaceShown(const Button& button, const std::string& skin, const std::string& face) {
    gdi::Surface picture;
    gdi::ReadPng(test::SourceFolder() + "/skins/" + skin + "/" + face + ".png", picture);
    const gdi::Surface shot = session_->Capture();
    int opaque = 0;
    int same = 0;
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        if ((picture.At(x, y) >> 24) != 0xFF) continue;
        ++opaque;
        const int sx = button.x + x;
        const int sy = button.y + y;
        if (sx < shot.width && sy < shot.height &&
            (shot.At(sx, sy) & 0xFFFFFF) == (picture.At(x, y) & 0xFFFFFF)) {
          ++same;
        }
      }
    }
    return opaque == 0 ? 0 : static_cast<double>(same) / opaque;
  }

  // The program on the session, tracing; its window, or 0.
  unsigned long StartProgram() {
    std::vector<std::string> env = env_;
    env.push_back("G_MESSAGES_DEBUG=skinshell");
    program_ = Child({folder_ / "skinshell"}, env, folder_.Path(), folder_ / "log.txt");
    return session_->WaitForWindow({"--pid", std::to_string(program_.Pid())}, 20000,
                                   [&] { return program_.Running(); });
  }

  std::string Log() const { return test::ReadFile(folder_ / "log.txt"); }

  test::TempFolder folder_{"skinshell-a11y"};
  XSession* session_ = nullptr;
  std::vector<std::string> env_;
  std::string marker_;
  Child bus_;
  Child program_;
  Child watcher_;
};

TEST_F(AccessibilityTest, TheCaptionButtonsAreFoundNamedAtTheirFacesAndWorkAsClicks) {
  const unsigned long window = StartProgram();
  ASSERT_NE(window, 0u) << Log();
  ASSERT_TRUE(WaitForGeometry(window, CentredLeft, CentredTop, DesignedWidth, DesignedHeight));

  Tree tree = WaitForButton("Close");
  ASSERT_EQ(tree.frames, std::vector<std::string>{"Skinshell"});
  std::string listed;
  for (const Button& b : tree.buttons) listed += b.role + " " + b.name + "; ";
  ASSERT_EQ(tree.buttons.size(), 3u) << listed;  // the pin button is not shown
  const char* names[] = {"Close", "Maximize", "Minimize"};
  const char* faces[] = {"CLOSE", "MAX", "MIN"};
  for (int slot = 0; slot < 3; ++slot) {
    const Button& b = tree.buttons[static_cast<std::size_t>(slot)];
    EXPECT_EQ(b.role, "push button");
    EXPECT_EQ(b.name, names[slot]);
    EXPECT_EQ(b.x, CentredLeft + ButtonLeft(slot));
    EXPECT_EQ(b.y, CentredTop + ButtonsFromTop);
    EXPECT_EQ(b.width, ButtonWidth);
    EXPECT_EQ(b.height, ButtonHeight);
    EXPECT_EQ(FaceShown(b, "black-1", faces[slot]), 1.0) << faces[slot];
  }
  // The start page is the window's one web document: the hidden sound page
  // is none. The page's document reaches the bus once it has loaded.
  EXPECT_TRUE(WaitFor(10000, [&] { return ReadTree().documents >= 1; }));
  EXPECT_TRUE(WaitFor(10000, [&] {
    return Log().find("load finished: file://") != std::string::npos &&
           Log().find("/html/sound.html") != std::string::npos;
  })) << Log();
  EXPECT_EQ(ReadTree().documents, 1);

  // A maximize through the tool is the caption's own, onto the work area,
  // and the button is then the restore button, as the tool is told.
  watcher_ = Child(Driver("watch"), env_, "", folder_ / "events.txt");
  ASSERT_TRUE(WaitFor(5000, [&] {
    return test::ReadFile(folder_ / "events.txt").find("watching") != std::string::npos;
  }));
  ASSERT_TRUE(Press("Maximize"));
  EXPECT_TRUE(WaitFor(10000, [&] {
    const WindowInfo info = session_->Info(window);
    return info.width > DesignedWidth && info.height > DesignedHeight;
  })) << Log();
  tree = WaitForButton("Restore");
  ASSERT_NE(tree.Find("Restore"), nullptr);
  EXPECT_EQ(tree.Find("Maximize"), nullptr);
  // The maximized window wears the maximized skin.
  EXPECT_TRUE(
      WaitFor(3000, [&] { return FaceShown(*tree.Find("Restore"), "black-2", "RES1") == 1.0; }));
  EXPECT_TRUE(WaitFor(5000, [&] {
    return test::ReadFile(folder_ / "events.txt")
               .find("object:property-change:accessible-name Restore") != std::string::npos;
  })) << test::ReadFile(folder_ / "events.txt");

  ASSERT_TRUE(Press("Restore"));
  EXPECT_TRUE(WaitForGeometry(window, CentredLeft, CentredTop, DesignedWidth, DesignedHeight));
  EXPECT_NE(WaitForButton("Maximize").Find("Maximize"), nullptr);

  ASSERT_TRUE(Press("Minimize"));
  EXPECT_TRUE(WaitFor(5000, [&] {
    return session_->Property(window, "WM_STATE").find("Iconic") != std::string::npos;
  }));
  session_->Run({"xdotool", "windowactivate", std::to_string(window)});
  ASSERT_TRUE(WaitFor(5000, [&] {
    return session_->Property(window, "WM_STATE").find("Normal") != std::string::npos;
  }));

  // The close writes the placement, as a click on the button does.
  ASSERT_TRUE(Press(WaitForButton("Close").Find("Close") ? "Close" : "?"));
  EXPECT_EQ(program_.Wait(15000), 0) << Log();
  EXPECT_NE(test::ReadFile(folder_ / "html/size.ini").find("TestOCX_new="), std::string::npos)
      << test::ReadFile(folder_ / "html/size.ini");
}

// Four corners of the page: plain text, a text field, a link and a text
// selected as the page loads.
constexpr const char* MenuPage = R"(<!doctype html><html><head><style>
body > * { position: fixed; width: 50%; height: 50%; margin: 0; font-size: 40px; }
</style></head><body>
<p style="left: 0; top: 0">plain text</p>
<input style="left: 50%; top: 0">
<a href="inside.html" style="left: 0; top: 50%">a link</a>
<p id="chosen" style="left: 50%; top: 50%">chosen text</p>
<script>getSelection().selectAllChildren(document.getElementById('chosen'));</script>
</body></html>)";

TEST_F(AccessibilityTest, ThePageMenuHoldsOnlyTheEditingItemsWhereTheyApply) {
  test::WriteFile(folder_ / "html/index.html", MenuPage);
  const unsigned long window = StartProgram();
  ASSERT_NE(window, 0u) << Log();
  ASSERT_TRUE(WaitFor(20000, [&] {
    return Log().find("load finished: file://" + (folder_ / "html/index.html")) !=
           std::string::npos;
  })) << Log();
  const WindowInfo info = session_->Info(window);
  const auto menuAt = [&](int percentX, int percentY) {
    session_->Xdotool({"mousemove", std::to_string(info.x + info.width * percentX / 100),
                       std::to_string(info.y + info.height * percentY / 100)});
    session_->Xdotool({"click", "3"});
    std::string items;
    // A menu shows within moments; none shows for the plain text.
    WaitFor(1000, [&] { return !(items = Run(Driver("menu"))).empty(); });
    session_->Xdotool({"key", "Escape"});
    WaitFor(3000, [&] { return Run(Driver("menu")).empty(); });
    return items;
  };
  EXPECT_EQ(menuAt(75, 80), "Copy\n");
  EXPECT_EQ(menuAt(25, 30), "");
  EXPECT_EQ(menuAt(75, 30), "Cut\nCopy\nPaste\nDelete\nSelect All\nInsert Emoji\n");
  EXPECT_EQ(menuAt(25, 80), "Copy Link Location\n");
}

}  // namespace
}  // namespace functional
