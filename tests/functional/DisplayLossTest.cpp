// The program on an X server of its own that then goes away: it must say
// which display it lost and end with status 1, and name the display it
// cannot open.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/functional/XSession.h"
#include "tests/support/Scenario.h"

namespace functional {
namespace {

TEST(DisplayLoss, TheProgramNamesTheDisplayItLostOrCannotOpenAndEndsWithStatusOne) {
  test::TempFolder folder("skinshell-display");
  test::CopyTree(test::DistFolder(), folder.Path());
  const std::string serverLog = folder / "xvfb.txt";
  // -displayfd 1: the server writes its display number to the log.
  Child server({"Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"}, {},
               "", serverLog);
  std::smatch number;
  std::string text;
  ASSERT_TRUE(WaitFor(10000, [&] {
    text = test::ReadFile(serverLog);
    return std::regex_search(text, number, std::regex("(^|\n)([0-9]+)\n"));
  })) << text;
  const std::string display = ":" + number[2].str();

  Child program({folder / "skinshell"},
                {"DISPLAY=" + display, "G_MESSAGES_DEBUG=skinshell", "ASAN_OPTIONS=detect_leaks=0"},
                folder.Path(), folder / "log.txt");
  ASSERT_TRUE(WaitFor(20000, [&] { return CountInFile(folder / "log.txt", "Show 1") > 0; }))
      << test::ReadFile(folder / "log.txt");
  server.Stop();
  EXPECT_EQ(program.Wait(20000), 1);
  EXPECT_EQ(CountInFile(folder / "log.txt",
                        "skinshell: lost the connection to the display " + display),
            1)
      << test::ReadFile(folder / "log.txt");

  Child again({folder / "skinshell"}, {"DISPLAY=" + display}, folder.Path(), folder / "again.txt");
  EXPECT_EQ(again.Wait(10000), 1);
  EXPECT_EQ(test::ReadFile(folder / "again.txt"),
            "skinshell: cannot open the display " + display + "\n");
}

}  // namespace
}  // namespace functional
