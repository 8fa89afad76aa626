// Start-up, first-run detection, the placement store and shutdown, run on
// the headless desktop in temporary program folders.
#include <fcntl.h>
#include <sys/stat.h>
#include <stdlib.h>
#ifndef _WIN32
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>

#include "app/FormPlacement.h"
#include "app/StateFolder.h"
#include "controls/border/JSBORDER.h"
#include "controls/caption/JSCAPTION.h"
#include "host/App.h"
#include "tests/app/MainWindowFixture.h"

namespace fs = std::filesystem;

namespace apptest {
namespace {

using StartUp = MainWindowTest;

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(StartUp, FirstStartLeavesAnEmptyMarkerAndOpensTheWelcomeAfterTheSoundPage) {
  MakeFolder();
  std::vector<std::string> captionPathAtRequest;
  std::vector<std::pair<int, int>> positionAtRequest;
  desktop.onNavigate = [&](platform::WebViewId, const std::string&) {
    captionPathAtRequest.push_back(window->JSCAPTION1().Path());
    positionAtRequest.emplace_back(window->Left(), window->Top());
  };
  Start();
  ASSERT_TRUE(fs::is_regular_file(LockFile()));
  EXPECT_EQ(fs::file_size(LockFile()), 0u);
  const std::vector<std::string> expected = {Folder() + "/html/sound.html",
                                             Folder() + "/html/index.html?installation=y"};
  EXPECT_EQ(desktop.navigations, expected);
  EXPECT_EQ(desktop.FindWebView(window->WebBrowser1().View())->locations.front(), expected[0]);
  EXPECT_EQ(desktop.FindWebView(window->WebBrowser().View())->locations.front(), expected[1]);
  // The sound page goes before the skin, the skin before the content page,
  // and the placement comes last.
  ASSERT_EQ(captionPathAtRequest.size(), 2u);
  EXPECT_EQ(captionPathAtRequest[0], "");
  EXPECT_EQ(captionPathAtRequest[1], InFolder("\\stype\\black-1.jss"));
  EXPECT_EQ(positionAtRequest[1], std::make_pair(0, 0));
  EXPECT_NE(std::make_pair(window->Left(), window->Top()), std::make_pair(0, 0));
}

TEST_F(StartUp, SecondStartOpensThePlainStartPageAndKeepsTheMarker) {
  MakeFolder();
  Start();
  Close();
  desktop.navigations.clear();
  Start();
  EXPECT_EQ(desktop.navigations.back(), Folder() + "/html/index.html");
  EXPECT_TRUE(fs::is_regular_file(LockFile()));
}

TEST_F(StartUp, AMarkerThatIsAFolderCountsAsAbsent) {
  MakeFolder();
  fs::create_directory(LockFile());
  testing::internal::CaptureStderr();
  Start();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(desktop.navigations.back(), Folder() + "/html/index.html?installation=y");
  EXPECT_TRUE(fs::is_directory(LockFile()));
  EXPECT_EQ(Lines(err), 1) << err;
}

TEST_F(StartUp, WithoutAWritableHtmlFolderTheStateFolderKeepsMarkerAndPlacementSilently) {
  MakeFolder("skinshell", false);
  testing::internal::CaptureStderr();
  Start();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(desktop.navigations.back(), Folder() + "/html/index.html?installation=y");
  EXPECT_TRUE(fs::is_regular_file(StateFolder() + "/installation.lock"));
  window->Move(3000, 4500);
  Close();
  EXPECT_EQ(test::ReadFile(StateFolder() + "/size.ini"),
            "[mainwin]\r\nTestOCX_new=4500,3000,8400,13170\r\n");
  // The second start is no first run and comes back where the first closed.
  desktop.navigations.clear();
  Start();
  EXPECT_EQ(desktop.navigations.back(), Folder() + "/html/index.html");
  EXPECT_EQ(std::make_pair(window->Left(), window->Top()), std::make_pair(3000, 4500));
  Close();
  EXPECT_FALSE(fs::exists(Folder() + "/html"));
}

TEST_F(StartUp, WhenNeitherPlaceCanBeWrittenEveryStartIsAFirstRunAndOneLineSaysSo) {
  MakeFolder("skinshell", false);
  // No folder can be made below a file.
  test::TempFolder blocked("skinshell-blocked");
  test::WriteFile(blocked.Path() + "/state-file", "");
  StateHome((blocked.Path() + "/state-file").c_str());
  for (int run = 0; run < 2; ++run) {
    testing::internal::CaptureStderr();
    Start();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(err), 1) << err;
    EXPECT_NE(err.find("state-file"), std::string::npos) << err;
    EXPECT_EQ(desktop.navigations.back(), Folder() + "/html/index.html?installation=y");
    EXPECT_TRUE(Frame().visible);
    // Closing cannot store the placement either, and says nothing more.
    testing::internal::CaptureStderr();
    Close();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  }
}

TEST(StateFolder, FollowsXdgStateHomeAndFallsBackToTheHomeFolder) {
#ifdef _WIN32
  const std::string s = "C:\\s", h = "C:\\h";
#else
  const std::string s = "/s", h = "/h";
#endif
  EXPECT_EQ(app::UserStateFolder(s.c_str(), h.c_str()), s + "/skinshell");
  EXPECT_EQ(app::UserStateFolder(nullptr, h.c_str()), h + "/.local/state/skinshell");
  EXPECT_EQ(app::UserStateFolder("", h.c_str()), h + "/.local/state/skinshell");
  EXPECT_EQ(app::UserStateFolder("rel", h.c_str()), h + "/.local/state/skinshell");
  EXPECT_EQ(app::UserStateFolder(nullptr, nullptr), "");
  // A portable copy keeps everything beside its pages, even with a state folder.
  const app::StateFiles portable = app::ChooseStateFiles("/p", true, "/s/skinshell");
  EXPECT_EQ(portable.LockFile, "/p" + platform::NativePath("\\html\\installation.lock"));
  EXPECT_EQ(portable.PlacementFile, "/p" + platform::NativePath("\\html\\size.ini"));
  EXPECT_EQ(portable.ShippedPlacementFile, "");
}

// Makes a folder unwritable even for a test running as root, where the
// permission bits alone do not stop writes. False when that is impossible.
bool LockFolder(const std::string& path, bool locked) {
#ifdef _WIN32
  // A read-only folder still takes new files there.
  (void)path;
  return !locked;
#else
  ::chmod(path.c_str(), locked ? 0555 : 0755);
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags = locked ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
  }
  if (!locked) return true;
  const std::string probe = path + "/probe";
  const int probeFd = ::open(probe.c_str(), O_WRONLY | O_CREAT, 0644);
  if (probeFd < 0) return true;
  ::close(probeFd);
  ::unlink(probe.c_str());
  return false;
#endif
}

TEST_F(StartUp, AReadOnlyHtmlFolderIsAnInstalledCopyThatReadsItsShippedPlacementAndWritesNothing) {
  MakeFolder();
  const std::string shipped = "[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n";
  test::WriteFile(SizeIni(), shipped);
  const std::string html = Folder() + "/html";
  if (!LockFolder(html, true)) {
    LockFolder(html, false);
    GTEST_SKIP() << "cannot make a folder read-only here";
  }
  testing::internal::CaptureStderr();
  Start();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(desktop.navigations.back(), Folder() + "/html/index.html?installation=y");
  EXPECT_EQ(window->Left(), 2400);
  window->Move(3000, 4500);
  Close();
  // The user's own placement now comes before the shipped one.
  Start();
  EXPECT_EQ(desktop.navigations.back(), Folder() + "/html/index.html");
  EXPECT_EQ(std::make_pair(window->Left(), window->Top()), std::make_pair(3000, 4500));
  Close();
  LockFolder(html, false);
  EXPECT_EQ(test::ReadFile(SizeIni()), shipped);
  EXPECT_FALSE(fs::exists(LockFile()));
  EXPECT_TRUE(fs::is_regular_file(StateFolder() + "/installation.lock"));
}

TEST_F(StartUp, FindsEveryFileInAFolderWithSpacesNonAsciiAndUrlCharacters) {
#ifdef _WIN32
  const std::string unusual = "é#%;x";  // no '?' in a file name there
#else
  const std::string unusual = "é#%?x";
#endif
  MakeFolder("skin shell " + unusual);
  ASSERT_NE(Folder().find(unusual), std::string::npos);
  Start();
  EXPECT_TRUE(fs::is_regular_file(test::PathOf(LockFile())));
  EXPECT_EQ(desktop.navigations,
            (std::vector<std::string>{Folder() + "/html/sound.html",
                                      Folder() + "/html/index.html?installation=y"}));
  // The skin was found: the caption and the edges took its thickness.
  EXPECT_EQ(window->JSCAPTION1().ScaleHeight(), CaptionPixels);
  EXPECT_EQ(window->JSBORDER1().ScaleWidth(), EdgePixels);
  EXPECT_EQ(window->JSBORDER3().ScaleHeight(), EdgePixels);
  window->Move(1500, 3000);
  Close();
  EXPECT_NE(test::ReadFile(SizeIni()).find("TestOCX_new=3000,1500,8400,13170"), std::string::npos);
  Start();
  EXPECT_EQ(window->Left(), 1500);
  EXPECT_EQ(desktop.navigations.back(), Folder() + "/html/index.html");
}

TEST_F(StartUp, MissingSkinsDrawTheBuiltInFrameThatStillMaximizesRestoresAndCloses) {
  MakeFolder("skinshell", true, false);
  desktop.SetWorkArea({0, 0, 1920, 1040});
  testing::internal::CaptureStderr();
  Start();
  // The shipped bars are 27 (black-1) and 26 (black-2) pixels high.
  EXPECT_EQ(window->JSCAPTION1().ScaleHeight(), 27);
  EXPECT_EQ(window->JSBORDER1().Width(), 6 * 15);
  EXPECT_EQ(window->JSBORDER3().Height(), 5 * 15);
  const auto doubleClickCaption = [&] {
    const int x = window->Left() / 15 + 400;
    const int y = window->Top() / 15 + 10;
    desktop.QueueClick(x, y);
    desktop.QueueDoubleClick(x, y);
    desktop.Pump();
  };
  doubleClickCaption();
  EXPECT_EQ(window->JSCAPTION1().Style2(), caption::Style2::Maximized);
  EXPECT_EQ(window->Width(), 1920 * 15);
  EXPECT_EQ(window->JSCAPTION1().ScaleHeight(), 26);
  doubleClickCaption();
  EXPECT_EQ(window->JSCAPTION1().Style2(), caption::Style2::Normal);
  EXPECT_EQ(window->Width(), 13170);
  EXPECT_EQ(window->JSCAPTION1().ScaleHeight(), 27);
  window->Move(1500, 1500);
  Close();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Lines(err), 2) << err;
  for (const char* name : {"black-1", "black-2"}) {
    EXPECT_NE(err.find(InFolder(std::string("\\stype\\") + name + ".jss") + ": it cannot be read (No such file"),
              std::string::npos)
        << err;
  }
  EXPECT_NE(test::ReadFile(SizeIni()).find("TestOCX_new=1500,1500,8400,13170"), std::string::npos);
}

TEST_F(StartUp, ShowsTheProductTitleAndTheIconAndTellsTheWindowManagerTheMinimum) {
  Start();
  EXPECT_EQ(Frame().title, TestOCX_new::ProductTitle);
  EXPECT_EQ(Frame().icon.size(), 7u);
  EXPECT_EQ(Frame().minWidth, 878);
  EXPECT_EQ(Frame().minHeight, 560);
  EXPECT_FALSE(window->WebBrowser1().Visible());
  EXPECT_FALSE(desktop.FindWebView(window->WebBrowser1().View())->visible);
  // Docked in creation order: edges at the sides, the caption on top.
  EXPECT_EQ(window->JSBORDER2().Align(), host::vbAlignRight);
  EXPECT_EQ(window->JSBORDER3().Align(), host::vbAlignBottom);
  EXPECT_EQ(window->JSCAPTION1().Align(), host::vbAlignTop);
  EXPECT_EQ(window->JSBORDER1().Align(), host::vbAlignLeft);
  EXPECT_EQ(window->JSBORDER1().BORDERTYPE(), 1);
  EXPECT_EQ(window->JSBORDER2().BORDERTYPE(), 2);
  EXPECT_EQ(window->JSBORDER3().BORDERTYPE(), 3);
  EXPECT_EQ(window->JSCAPTION1().Font().Name, "宋体");
  EXPECT_EQ(window->JSCAPTION1().Font().Charset, 134);
  EXPECT_EQ(window->JSBORDER1().PixelTop(), CaptionPixels);
  EXPECT_EQ(window->JSBORDER2().PixelLeft(), 878 - EdgePixels);
}

using Placement = MainWindowTest;

TEST_F(Placement, FirstStartCentresAndANormalCloseStoresTopLeftHeightWidth) {
  Start();
  EXPECT_EQ(window->Left(), 7815);  // (28800 - 13170) / 2
  EXPECT_EQ(window->Top(), 3900);   // (16200 - 8400) / 2
  window->Move(2400, 1200);
  Close();
  const std::string ini = test::ReadFile(SizeIni());
  EXPECT_NE(ini.find("[mainwin]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("TestOCX_new=1200,2400,8400,13170"), std::string::npos) << ini;
  Start();
  EXPECT_EQ(window->Left(), 2400);
  EXPECT_EQ(window->Top(), 1200);
  EXPECT_EQ(window->Width(), 13170);
  EXPECT_EQ(window->Height(), 8400);
}

TEST_F(Placement, ABiggerWindowComesBackAtItsSize) {
  Start();
  window->Move(0, 0, 15000, 9000);
  Close();
  Start();
  EXPECT_EQ(window->Width(), 15000);
  EXPECT_EQ(window->Height(), 9000);
}

TEST_F(Placement, ClosingMinimizedOrHeldMaximizedWritesNothing) {
  MakeFolder();
  const std::string stored = "[mainwin]\nTestOCX_new=1200,2400,8400,13170\n";
  test::WriteFile(SizeIni(), stored);
  Start();
  desktop.UserMinimize(window->hwnd());
  Close();
  EXPECT_EQ(test::ReadFile(SizeIni()), stored);
  Start();
  desktop.UserMaximize(window->hwnd());
  ASSERT_EQ(window->JSCAPTION1().Style2(), caption::Style2::Maximized);
  Close();
  EXPECT_EQ(test::ReadFile(SizeIni()), stored);
}

TEST_F(Placement, TheStoreItselfSkipsAMinimizedWindow) {
  MakeFolder();
  Start();
  desktop.UserMinimize(window->hwnd());
  app::SaveFormPlacement(*window, "mainwin");
  EXPECT_FALSE(fs::exists(SizeIni()));
}

struct StoredCase {
  const char* value;
  int left, top;
};

TEST_F(Placement, StoredEntriesAreReadAsTheStoreReadsThem) {
  const StoredCase cases[] = {
      {"1200, 2400, 8400, 13170", 2400, 1200},       // blanks after commas
      {"900,1200", 1200, 900},                       // two fields repeat
      {"1200,2400,8400,13170,77,junk", 2400, 1200},  // extra fields ignored
      {"1200,-3000,8400,13170", -3000, 1200},        // partly off the left
  };
  for (const StoredCase& c : cases) {
    MakeFolder();
    test::WriteFile(SizeIni(), std::string("[mainwin]\nTestOCX_new=") + c.value + "\n");
    Start();
    EXPECT_EQ(window->Left(), c.left) << c.value;
    EXPECT_EQ(window->Top(), c.top) << c.value;
    // Smaller stored sizes are raised to the minimum by the layout.
    EXPECT_EQ(window->Width(), 13170) << c.value;
    EXPECT_EQ(window->Height(), 8400) << c.value;
    window.reset();
  }
}

TEST_F(Placement, TwoFieldsAreAppliedAsTopLeftHeightWidthOneAtATime) {
  MakeFolder();
  test::WriteFile(SizeIni(), "[mainwin]\nTestOCX_new=900,1200\n");
  Start();
  // Height 900 first: raised to the first minimum, then to the real one,
  // before Width 1200 arrives.
  ASSERT_GE(window->sizes.size(), 3u);
  EXPECT_EQ(window->sizes[0], std::make_pair(13170, 900));
  EXPECT_EQ(window->sizes[1], std::make_pair(13170, 2220));
  EXPECT_EQ(window->sizes[2], std::make_pair(13170, 8400));
  EXPECT_EQ(window->sizes[3], std::make_pair(1200, 8400));
}

TEST_F(Placement, ANegativeLeftOnAMonitorLeftOfThePrimaryIsAppliedUnchanged) {
  desktop.SetMonitors({{0, 0, 1920, 1080}, {-1600, 0, 0, 900}});
  MakeFolder();
  test::WriteFile(SizeIni(), "[mainwin]\nTestOCX_new=1500,-15000,8400,13170\n");
  Start();
  EXPECT_EQ(window->Left(), -15000);
  EXPECT_EQ(window->Top(), 1500);
}

TEST_F(Placement, AWindowStoredOnAMonitorThatIsGoneIsCentred) {
  MakeFolder();
  test::WriteFile(SizeIni(), "[mainwin]\nTestOCX_new=1500,-15000,8400,13170\n");
  testing::internal::CaptureStderr();
  Start();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(window->Left(), 7815);
  EXPECT_EQ(window->Top(), 3900);
}

TEST_F(Placement, AFieldThatIsNotANumberAppliesNothingAndCentresWithOneLine) {
  for (const char* value : {"1200,2400,abc,13170", "1200,,8400,13170", "1200,2400,8400,x",
                            "top,left,height,width", "1,2,3,1e30"}) {
    MakeFolder();
    test::WriteFile(SizeIni(), std::string("[mainwin]\nTestOCX_new=") + value + "\n");
    testing::internal::CaptureStderr();
    Start();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(err), 1) << value << ": " << err;
    EXPECT_EQ(window->Left(), 7815) << value;
    EXPECT_EQ(window->Top(), 3900) << value;
    EXPECT_EQ(window->Width(), 13170) << value;
    EXPECT_EQ(window->Height(), 8400) << value;
    window.reset();
  }
}

TEST_F(Placement, AnOutOfRangeFieldIsCalledSo) {
  MakeFolder();
  test::WriteFile(SizeIni(), "[mainwin]\nTestOCX_new=2147483647,0,8400,13170\n");
  testing::internal::CaptureStderr();
  Start();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Top 2147483647 twips is out of range"), std::string::npos) << err;
  EXPECT_NE(err.find(SizeIni()), std::string::npos) << err;
}

TEST_F(Placement, AReadOnlyFileKeepsItsPlacementAndTheCloseSaysSoInOneLine) {
  MakeFolder();
  const std::string stored = "[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n";
  test::WriteFile(SizeIni(), stored);
  fs::permissions(SizeIni(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
#ifdef _WIN32
  // Wine run by root lets the system's write through, as root may; the
  // emulation refuses a read-only file whoever runs it.
  if (std::ofstream(SizeIni(), std::ios::app)) {
    fs::permissions(SizeIni(), fs::perms::owner_write, fs::perm_options::add);
    GTEST_SKIP() << "a read-only file can be written here";
  }
#endif
  Start();
  window->Move(1500, 3000);
  testing::internal::CaptureStderr();
  Close();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Lines(err), 1) << err;
  EXPECT_NE(err.find(SizeIni() + ": the file is read-only"), std::string::npos)
      << err;
  EXPECT_EQ(test::ReadFile(SizeIni()), stored);
  EXPECT_EQ(fs::status(SizeIni()).permissions(),
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(Placement, BadFilesNeverCrashAndKeepWhatElseTheyHold) {
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 37 + 11);
  const std::string longLine = "[mainwin]\nTestOCX_new=" + std::string(1 << 20, '7') + "\n";
  const std::string cases[] = {
      binary,
      longLine,
      "[other]\nTestOCX_new=1200,2400,8400,13170\n",
      "[mainwin]\nTestOCX_new=\n[keep]\nme=1\n",
      "[mainwin]\nTestOCX_new=a,b,c,d\n[keep]\nme=1\n",
      "[mainwin]\nTestOCX_new=0,0,99999999,99999999\n",
  };
  for (const std::string& content : cases) {
    MakeFolder();
    test::WriteFile(SizeIni(), content);
    testing::internal::CaptureStderr();
    Start();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(window->Width(), 13170);
    EXPECT_EQ(window->Height(), 8400);
    EXPECT_TRUE(Frame().visible);
    window->Move(1500, 3000);
    Close();
    std::string after = test::ReadFile(SizeIni());
    // Windows writes the whole file back with its own line ends.
    std::erase(after, '\r');
    EXPECT_NE(after.find("TestOCX_new=3000,1500,8400,13170"), std::string::npos);
    if (content.find("[keep]") != std::string::npos) {
      EXPECT_NE(after.find("[keep]\nme=1"), std::string::npos) << after;
    }
    if (content.find("[other]") != std::string::npos) {
      EXPECT_NE(after.find("[other]\nTestOCX_new=1200,2400,8400,13170"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace apptest
