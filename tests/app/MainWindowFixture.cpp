#include "tests/app/MainWindowFixture.h"

#include <stdlib.h>

#include <filesystem>

#include "tests/support/SkinBuilder.h"

namespace apptest {

namespace {

void WriteSkin(const std::string& path, std::uint32_t bar, std::uint32_t edge) {
  test::SkinBuilder skin;
  skin.Picture("TOPLEFT", 8, CaptionPixels, bar)
      .Picture("TOPMID", 4, CaptionPixels, bar)
      .Picture("TOPRIGHT", 8, CaptionPixels, bar)
      .Picture("CLOSE", 20, 18, 0x000000FF)
      .Picture("MAX", 20, 18, 0x0000FF00)
      .Picture("RES1", 20, 18, 0x0000FFFF)
      .Picture("MIN", 20, 18, 0x00FF0000)
      .Number("FROMTOP", 4)
      .Number("FROMRIGHT", 6)
      .Colour("FORECOLOR", 0x00FFFFFF)
      .Picture("LEFTTOP", EdgePixels, 30, edge)
      .Picture("LEFTMID", EdgePixels, 10, edge)
      .Picture("RIGHTTOP", EdgePixels, 30, edge)
      .Picture("RIGHTMID", EdgePixels, 10, edge)
      .Picture("LEFTBOT", EdgePixels, EdgePixels, edge)
      .Picture("RIGHTBOT", EdgePixels, EdgePixels, edge)
      .Picture("BOTTOM", 4, EdgePixels, edge);
  ASSERT_TRUE(skin.Write(path)) << path;
}

}  // namespace

void WriteTestSkins(const std::string& programFolder) {
  WriteSkin(programFolder + "/stype/black-1.jss", 0x00503020, 0x00605040);
  WriteSkin(programFolder + "/stype/black-2.jss", 0x00205030, 0x00406050);
}

MainWindowTest::MainWindowTest() {
  platform::UseDesktop(&desktop);
  StateHome(stateHome_.Path().c_str());
}

MainWindowTest::~MainWindowTest() {
  window.reset();
  folder_.reset();
  platform::UseDesktop(nullptr);
  StateHome(nullptr);
}

void MainWindowTest::StateHome(const char* folder) {
#ifdef _WIN32
  // Windows' state folder is under %LOCALAPPDATA%; an empty value removes
  // the variable there.
  ::_putenv_s("LOCALAPPDATA", folder ? folder : "");
#else
  if (folder) {
    ::setenv("XDG_STATE_HOME", folder, 1);
  } else {
    ::unsetenv("XDG_STATE_HOME");
  }
#endif
}

void MainWindowTest::MakeFolder(const std::string& prefix, bool withHtml, bool withSkins) {
  // One program folder at a time: the old one forgets the program folder
  // when it goes, so it must go first.
  window.reset();
  folder_.reset();
  folder_ = std::make_unique<test::ProgramFolder>(prefix, withHtml, false);
  std::error_code ignored;
  if (withHtml) std::filesystem::create_directories(test::PathOf(Folder() + "/html"), ignored);
  if (withSkins) WriteTestSkins(Folder());
}

RecordingWindow& MainWindowTest::Start() {
  if (!folder_) MakeFolder();
  window = std::make_unique<RecordingWindow>(desktop);
  window->Show();
  return *window;
}

void MainWindowTest::Close() {
  desktop.UserClose(window->hwnd());
  window.reset();
}

}  // namespace apptest
