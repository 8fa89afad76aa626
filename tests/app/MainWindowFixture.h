// Runs the main window on the headless desktop in a temporary program folder
// with small test skins, recording the order of the page requests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/TestOCX_new.h"
#include "platform/File.h"
#include "platform/headless/HeadlessDesktop.h"
#include "tests/support/Scenario.h"

namespace apptest {

// Caption bar height and edge thickness of the test skins, in pixels.
constexpr int CaptionPixels = 27;
constexpr int EdgePixels = 6;

// Writes "black-1" and "black-2" under folder/stype. The two differ in
// colour so that a capture tells which one is drawn.
void WriteTestSkins(const std::string& programFolder);

class RecordingDesktop : public platform::HeadlessDesktop {
 public:
  void NavigateImpl(platform::WebViewId view, const std::string& location) override {
    navigations.push_back(location);
    if (onNavigate) onNavigate(view, location);
    HeadlessDesktop::NavigateImpl(view, location);
  }
  std::vector<std::string> navigations;
  std::function<void(platform::WebViewId, const std::string&)> onNavigate;
};

// The main window with every run of its resize handler recorded.
class RecordingWindow : public TestOCX_new {
 public:
  using TestOCX_new::TestOCX_new;
  void Form_Resize() override {
    sizes.emplace_back(Width(), Height());
    TestOCX_new::Form_Resize();
  }
  std::vector<std::pair<int, int>> sizes;
};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest();
  ~MainWindowTest() override;

  // A program folder with pages (an html folder at least) and test skins.
  void MakeFolder(const std::string& prefix = "skinshell", bool withHtml = true,
                  bool withSkins = true);
  RecordingWindow& Start();
  // Closes the window as the window manager's close does.
  void Close();
  std::string Folder() const { return folder_->Path(); }
  // A file of the program folder as the program names it: the tail, written
  // with backslashes, in the platform's separators.
  std::string InFolder(const std::string& tail) const {
    return Folder() + platform::NativePath(tail);
  }
  std::string SizeIni() const { return InFolder("\\html\\size.ini"); }
  std::string LockFile() const { return InFolder("\\html\\installation.lock"); }
  // The user's state folder the program is given ($XDG_STATE_HOME/skinshell,
  // %LOCALAPPDATA%/skinshell on Windows).
  std::string StateFolder() const { return stateHome_.Path() + "/skinshell"; }
  // Points $XDG_STATE_HOME (%LOCALAPPDATA%) elsewhere; null unsets it.
  static void StateHome(const char* folder);
  const platform::HeadlessDesktop::Window& Frame() const { return *desktop.Find(window->hwnd()); }
  RECT ViewBounds(const host::WebBrowser& browser) const {
    return desktop.FindWebView(browser.View())->bounds;
  }

  RecordingDesktop desktop;
  // A state folder of the test's own: a program folder that cannot be
  // written must not reach the home of whoever runs the tests.
  test::TempFolder stateHome_{"skinshell-state"};
  std::unique_ptr<test::ProgramFolder> folder_;
  std::unique_ptr<RecordingWindow> window;
};

}  // namespace apptest
