// The program as a user gets it: installed with cmake --install into a
// scratch root and started through its link in bin by an unprivileged user
// whose home is a temporary folder; and a skin replaced under a running
// program, as the skin tool's watch does it.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "platform/File.h"
#include "platform/gdi/Gdi.h"
#include "tests/functional/XSession.h"
#include "tests/support/Scenario.h"

namespace fs = std::filesystem;

namespace functional {
namespace {

constexpr std::uint32_t FirstRunColour = 0x20C040;
constexpr std::uint32_t LaterRunColour = 0xC04020;
constexpr const char* StartPage =
    "<!doctype html><html><body style=\"margin:0;background:#204080\"><script>"
    "document.body.style.background = location.search === '?installation=y' ? "
    "'#20c040' : '#c04020';</script></body></html>";
// Who runs the installed program when the tests run as root.
constexpr uid_t Nobody = 65534;

std::string BuildFolder() {
  return fs::path(SKINSHELL_BIN_DIR).parent_path().string();
}

// Every file and folder under root with its size and modification time.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    struct stat info {};
    ::lstat(entry.path().c_str(), &info);
    entries[entry.path().string()] = std::to_string(info.st_size) + " " +
                                     std::to_string(info.st_mtim.tv_sec) + "." +
                                     std::to_string(info.st_mtim.tv_nsec);
  }
  return entries;
}

void MakeReadOnly(const std::string& root, bool readOnly) {
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_symlink()) continue;
    fs::permissions(entry.path(), fs::perms::owner_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
  }
  fs::permissions(root, fs::perms::owner_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

class InstalledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = &SharedSession(false);
    ASSERT_TRUE(session_->Ready()) << "no X server";
    X().Xdotool({"mousemove", "1500", "900"});
  }

  void TearDown() override {
    program_.Stop();
    for (pid_t pid : ProcessesWithEnvironment(marker_)) kill(pid, SIGKILL);
  }

  XSession& X() { return *session_; }

  unsigned long Start(const std::vector<std::string>& argv, std::vector<std::string> env,
                      const std::string& log) {
    static std::atomic<int> runs{0};
    marker_ = "SKINSHELL_FUNCTIONAL_RUN=" + std::to_string(getpid()) + "-i" +
              std::to_string(++runs);
    for (const std::string& e : X().Environment()) env.push_back(e);
    env.push_back(marker_);
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
    env.push_back("G_MESSAGES_DEBUG=skinshell");
    program_ = Child(argv, env, "/", log);
    return X().WaitForWindow({"--pid", std::to_string(program_.Pid())}, 20000,
                             [&] { return program_.Running(); });
  }

  bool WaitForGeometry(unsigned long window, int x, int y) {
    return WaitFor(10000, [&] {
      WindowInfo info = X().Info(window);
      return info.x == x && info.y == y && info.width == DesignedWidth &&
             info.height == DesignedHeight;
    });
  }

  bool WaitForColour(int x, int y, std::uint32_t colour, int timeoutMs = 20000) {
    return WaitFor(timeoutMs, [&] { return X().PixelAt(x, y) == colour; });
  }

  void Close(unsigned long window) {
    X().Close(window);
    EXPECT_EQ(program_.Wait(15000), 0);
    EXPECT_TRUE(WaitFor(10000, [&] { return ProcessesWithEnvironment(marker_).empty(); }));
  }

  XSession* session_ = nullptr;
  Child program_;
  std::string marker_;
};

TEST_F(InstalledProgram, KeepsItsMarkerAndPlacementInTheUsersStateFolderAndLeavesItsFolderAlone) {
  test::TempFolder root("skinshell-installed");
  test::TempFolder home("skinshell-home");
  const std::string log = home / "log.txt";
  // Everyone may reach the installed program and the log.
  fs::permissions(root.Path(), fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
  const std::string install = "DESTDIR='" + root.Path() + "' cmake --install '" + BuildFolder() +
                              "' --prefix /usr > '" + root.Path() + "/install.log' 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << test::ReadFile(root / "install.log");
  const std::string program = root / "usr/lib/skinshell";
  ASSERT_TRUE(fs::is_symlink(root / "usr/bin/skinshell"));
  test::WriteFile(program + "/html/index.html", std::string(StartPage));

  // As root the permission bits stop nothing: the program runs as nobody.
  // Otherwise it runs as the tester, with its folder made read-only.
  std::vector<std::string> argv = {root / "usr/bin/skinshell"};
  const bool asRoot = ::geteuid() == 0;
  if (asRoot) {
    argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    ASSERT_EQ(::chown(home.Path().c_str(), Nobody, Nobody), 0);
  } else {
    MakeReadOnly(program, true);
  }
  test::WriteFile(log, "");
  ::chmod(log.c_str(), 0666);
  const std::map<std::string, std::string> before = Snapshot(program);
  // An empty XDG_STATE_HOME counts as unset: the state goes under the home.
  const std::vector<std::string> env = {"HOME=" + home.Path(), "XDG_STATE_HOME=",
                                        "XDG_RUNTIME_DIR=" + home.Path()};
  const std::string state = home / ".local/state/skinshell";

  unsigned long window = Start(argv, env, log);
  ASSERT_NE(window, 0u) << test::ReadFile(log);
  EXPECT_TRUE(WaitForGeometry(window, CentredLeft, CentredTop));
  EXPECT_TRUE(WaitForColour(CentredLeft + DesignedWidth / 2, CentredTop + DesignedHeight / 2,
                            FirstRunColour))
      << test::ReadFile(log);
  EXPECT_TRUE(fs::is_regular_file(state + "/installation.lock"));
  X().Run({"xdotool", "windowmove", std::to_string(window), "100", "150"});
  ASSERT_TRUE(WaitForGeometry(window, 100, 150));
  ASSERT_TRUE(WaitFor(10000, [&] {
    return CountInFile(log, "window manager: bounds 100,150 878x560") > 0;
  })) << test::ReadFile(log);
  Close(window);
  EXPECT_NE(test::ReadFile(state + "/size.ini").find("TestOCX_new=2250,1500,8400,13170"),
            std::string::npos);

  window = Start(argv, env, log);
  ASSERT_NE(window, 0u) << test::ReadFile(log);
  EXPECT_TRUE(WaitForGeometry(window, 100, 150));
  EXPECT_TRUE(WaitForColour(100 + DesignedWidth / 2, 150 + DesignedHeight / 2, LaterRunColour));
  Close(window);

  // Nothing in the program folder changed, and nothing was said about it.
  EXPECT_EQ(Snapshot(program), before);
  EXPECT_EQ(CountInFile(log, "skinshell: "), 0) << test::ReadFile(log);
  if (!asRoot) MakeReadOnly(program, false);
}

TEST_F(InstalledProgram, ASkinRepackedUnderTheRunningProgramRecoloursTheCaptionWithinASecond) {
  test::TempFolder folder("skinshell-reload");
  test::CopyTree(test::DistFolder(), folder.Path());
  test::WriteFile(folder / "html/index.html", std::string(StartPage));
  const std::string tool = std::string(SKINSHELL_BIN_DIR) + "/skinshell-skin";
  const std::string source = folder / "black-1-source";
  ASSERT_EQ(X().Run({tool, "unpack", folder / "stype/black-1.jss", source}).empty(), false);
  gdi::Surface bar;
  const std::string picture = test::ReadFile(source + "/TOPMID.bmp");
  ASSERT_TRUE(gdi::DecodeBmp(reinterpret_cast<const std::uint8_t*>(picture.data()),
                             picture.size(), bar));

  unsigned long window = Start({folder / "skinshell"}, {}, folder / "log.txt");
  ASSERT_NE(window, 0u) << test::ReadFile(folder / "log.txt");
  ASSERT_TRUE(WaitForColour(CentredLeft + DesignedWidth / 2, CentredTop + DesignedHeight / 2,
                            FirstRunColour));
  // A point of the bar away from the icon, the caption text and the buttons.
  const int x = CentredLeft + DesignedWidth * 2 / 3;
  const int y = CentredTop + bar.height / 2;
  ASSERT_NE(X().PixelAt(x, y), 0x00FF00u);

  // The author's watch packs once at its start, then after each save.
  Child watch({tool, "pack", "--watch", source, folder / "stype/black-1.jss"}, {}, "",
              folder / "watch.txt");
  ASSERT_TRUE(WaitFor(10000, [&] { return CountInFile(folder / "watch.txt", " bytes") == 1; }))
      << test::ReadFile(folder / "watch.txt");
  for (std::uint32_t& p : bar.pixels) p = 0xFF00FF00u;
  const auto saved = std::chrono::steady_clock::now();
  // Written to a temporary file and renamed into place, as editors save.
  const std::vector<std::uint8_t> recoloured = gdi::EncodeBmp(bar);
  ASSERT_TRUE(platform::WriteFileAtomic(source + "/TOPMID.bmp", recoloured.data(),
                                        recoloured.size()));
  EXPECT_TRUE(WaitForColour(x, y, 0x00FF00u, 1000))
      << std::hex << X().PixelAt(x, y) << "\n"
      << test::ReadFile(folder / "watch.txt") << test::ReadFile(folder / "log.txt");
  std::cout << "caption recoloured "
            << std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - saved)
                   .count()
            << " ms after the save\n";
  EXPECT_TRUE(program_.Running());
  Close(window);
}

}  // namespace
}  // namespace functional
