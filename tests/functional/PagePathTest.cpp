// A program folder whose name is not valid UTF-8: the frame, marker and
// placement work, but the web view cannot load the pages, and the program
// must say so rather than show a blank page in silence.
#include <gtest/gtest.h>

#include "tests/functional/XSession.h"
#include "tests/support/Scenario.h"

namespace functional {
namespace {

TEST(PagePath, AFolderNameThatIsNotUtf8IsNamedInOneLineSayingWhyThePagesCannotShow) {
  XSession& x = SharedSession(false);
  ASSERT_TRUE(x.Ready());
  test::TempFolder parent("skinshell-path");
  const std::string folder = parent / "a\xFF\xFE\\b";
  test::CopyTree(test::DistFolder(), folder);
  std::vector<std::string> env = x.Environment();
  env.push_back("ASAN_OPTIONS=detect_leaks=0");
  Child program({folder + "/skinshell"}, env, folder, parent / "log.txt");
  ASSERT_NE(x.WaitForWindow({"--pid", std::to_string(program.Pid())}, 20000,
                            [&] { return program.Running(); }),
            0u)
      << test::ReadFile(parent / "log.txt");
  EXPECT_TRUE(test::Exists(folder + "/html/installation.lock"));
  const std::string log = test::ReadFile(parent / "log.txt");
  EXPECT_EQ(log, "skinshell: cannot show " + folder +
                     "/html/sound.html: the web view loads no file whose path is not valid UTF-8 "
                     "(rename the program folder)\n");
}

}  // namespace
}  // namespace functional
