// SIGKILLs at random points of start-up, running and closing, half of them
// while the placement write is held in fsync: size.ini must always hold the
// old or a new whole content, and at most one temporary file may be left.
// SKINSHELL_KILLS sets the number of kills (50 by default; `make killtest`
// runs 1,000).
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <regex>
#include <thread>

#include "tests/functional/XSession.h"
#include "tests/support/Scenario.h"

namespace functional {
namespace {

namespace fs = std::filesystem;

int TemporaryFiles(const std::string& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "size.ini" && name.rfind("size.ini", 0) == 0) ++count;
  }
  return count;
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TEST(KillTest, AKilledProgramLeavesTheOldOrANewWholePlacementAndOneTemporaryFileAtMost) {
  XSession& x = SharedSession(false);
  ASSERT_TRUE(x.Ready());
  const char* wanted = std::getenv("SKINSHELL_KILLS");
  const int kills = wanted != nullptr ? std::atoi(wanted) : 50;
  test::TempFolder folder("skinshell-kill");
  test::CopyTree(test::DistFolder(), folder.Path());
  const std::string html = folder / "html";
  const std::string ini = html + "/size.ini";
  const std::string mark = folder / "in-fsync";
  const std::regex whole("\\[mainwin\\]\r\nTestOCX_new=-?[0-9]+,-?[0-9]+,[0-9]+,[0-9]+\r\n");
  test::WriteFile(ini, "[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n");

  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  int killed = 0, heldInFsync = 0, changed = 0, mostTemporary = 0;
  for (int run = 0; killed < kills && run < 3 * kills; ++run) {
    const std::string before = test::ReadFile(ini);
    const bool hold = run % 2 == 0;
    fs::remove(mark);
    std::vector<std::string> env = x.Environment();
    env.push_back("ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0");
    if (hold) {
      env.push_back("LD_PRELOAD=" SKINSHELL_HOLD_FSYNC);
      env.push_back("HOLD_FSYNC_MARK=" + mark);
    }
    Child program({folder / "skinshell"}, env, folder.Path(), folder / "log.txt");
    const int phase = hold ? 2 : static_cast<int>(random() % 3);
    bool landed = true;
    if (phase == 0) {
      Sleep(static_cast<int>(random() % 1500));  // somewhere in start-up
    } else {
      unsigned long window = x.WaitForWindow({"--pid", std::to_string(program.Pid())}, 20000,
                                             [&] { return program.Running(); });
      ASSERT_NE(window, 0u) << test::ReadFile(folder / "log.txt");
      // A new place, so that the save has something new to write.
      x.Run({"xdotool", "windowmove", std::to_string(window),
             std::to_string(random() % 400), std::to_string(random() % 300)});
      Sleep(static_cast<int>(random() % 300));
      if (phase == 2) {
        x.Close(window);
        if (hold) {
          landed = WaitFor(10000, [&] { return fs::exists(mark); });
        } else {
          Sleep(static_cast<int>(random() % 400));  // somewhere in closing
        }
      }
    }
    if (landed && program.Running()) {
      ::kill(program.Pid(), SIGKILL);
      ++killed;
      if (hold) ++heldInFsync;
      // A long run shows how far it got.
      if (killed % 100 == 0) std::cout << "kills so far " << killed << std::endl;
    }
    program.Wait(5000);
    program.Stop();

    const std::string after = test::ReadFile(ini);
    ASSERT_TRUE(std::regex_match(after, whole)) << "run " << run << " seed " << seed << ": "
                                                << after;
    if (hold && landed) {
      ASSERT_EQ(after, before) << "killed in fsync, run " << run << " seed " << seed;
    }
    if (after != before) ++changed;
    const int temporary = TemporaryFiles(html);
    mostTemporary = std::max(mostTemporary, temporary);
    ASSERT_LE(temporary, 1) << "run " << run << " seed " << seed;
  }
  EXPECT_EQ(killed, kills);
  EXPECT_EQ(heldInFsync * 2 >= kills, true);
  std::cout << "kills " << killed << " (" << heldInFsync << " held in fsync), placement changed "
            << changed << " times, temporary files at most " << mostTemporary << ", seed "
            << seed << "\n";
}

}  // namespace
}  // namespace functional
