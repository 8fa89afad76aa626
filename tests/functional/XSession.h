// An X server of the test's own (Xvfb on a free display), optionally with a
// window manager, and the X tools that drive and inspect it. Everything it
// starts is ended when it goes, failed tests included.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"

namespace functional {

// A child process in a process group of its own, ended (group and all) when
// the object goes.
class Child {
 public:
  Child() = default;
  // Starts argv with the extra environment entries ("NAME=value").
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
        const std::string& workDir = "", const std::string& logPath = "");
  ~Child();
  Child(Child&& other) noexcept;
  Child& operator=(Child&& other) noexcept;

  pid_t Pid() const { return pid_; }
  bool Running();
  // Waits up to timeoutMs for the process to end; its exit status, or -1 when
  // it is still running or ended by a signal.
  int Wait(int timeoutMs);
  void Stop();

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = -1;
};

struct WindowInfo {
  bool found = false;
  bool mapped = false;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The screen a session's server shows: one monitor of this size, or two of
// it side by side.
struct ScreenLayout {
  int width = 1920;
  int height = 1080;
  bool twoHeads = false;
};

// The program's designed client area, where a first start puts it (centred
// on the default screen), and that screen.
constexpr int DesignedWidth = 878;
constexpr int DesignedHeight = 560;
constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;
constexpr int CentredLeft = (ScreenWidth - DesignedWidth) / 2;
constexpr int CentredTop = (ScreenHeight - DesignedHeight) / 2;

// The window managers a session can run: openbox is the usual one, xfwm4
// (Xfce's, compositing) and mutter (GNOME's, on X11) differ from it in the
// order of their events and in what they make of an undecorated window.
enum class WindowManager { Absent, Openbox, Xfwm4, Mutter };

// The height of the panel a session can reserve along the screen's top.
constexpr int PanelHeight = 30;

class XSession {
 public:
  explicit XSession(bool windowManager, const ScreenLayout& layout = {})
      : XSession(windowManager ? WindowManager::Openbox : WindowManager::Absent, layout) {}
  // With panel, a dock window along the top of the screen reserves
  // PanelHeight pixels of it (_NET_WM_STRUT_PARTIAL), as a desktop's panel
  // does: the work area starts below it.
  XSession(WindowManager manager, const ScreenLayout& layout, bool panel = false);
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  bool Ready() const { return ready_; }
  const std::string& Display() const { return display_; }
  // "DISPLAY=:n" and what else every child here needs.
  std::vector<std::string> Environment() const;

  // Runs a command to its end with this display; its standard output.
  std::string Run(const std::vector<std::string>& argv, int* status = nullptr) const;
  // Runs xdotool with the arguments, then pauses a little as a person's
  // input would, so that each step reaches the program as an event of its own.
  void Xdotool(const std::vector<std::string>& args) const;
  // Waits for the first visible window an xdotool search finds ("--pid", n
  // or "--name", pattern) while keepWaiting holds; 0 when none showed.
  unsigned long WaitForWindow(const std::vector<std::string>& criteria, int timeoutMs,
                              const std::function<bool()>& keepWaiting = {}) const;
  WindowInfo Info(unsigned long window) const;
  std::string Property(unsigned long window, const std::string& name) const;
  // Pixel 0xRRGGBB of the root window at a screen position.
  std::uint32_t PixelAt(int x, int y) const;
  // The whole screen as opaque 0xFFRRGGBB pixels; empty when it cannot be read.
  gdi::Surface Capture() const;
  // Paints the root window in one colour (0xRRGGBB), so that whatever no
  // window covers shows it.
  void SetBackground(std::uint32_t rgb) const;
  // Gives the root window back the server's own background.
  void ResetBackground() const;

  // What a window manager's close button and maximize command send: the
  // WM_DELETE_WINDOW protocol message, and a _NET_WM_STATE change to both
  // maximized states. Window 0 (none found) is left alone.
  void Close(unsigned long window) const;
  void Maximize(unsigned long window) const;

 private:
  // Starts the manager (with a session bus of its own where it needs one)
  // and waits until it has taken the screen.
  bool StartManager(WindowManager manager);
  bool ReservePanel(int width);

  WindowManager manager_;
  bool ready_ = false;
  std::string display_;
  pid_t serverPid_ = -1;
  std::string configPath_;  // the two-monitor server's configuration
  Child bus_;
  std::string busPath_;
  Child managerProcess_;
  void* connection_ = nullptr;  // keeps the server from resetting between programs
};

// One X server for each window manager choice and screen layout for the
// whole test run, started when first asked for and ended when the tests are
// over.
XSession& SharedSession(bool windowManager, const ScreenLayout& layout = {});
XSession& SharedSession(WindowManager manager, const ScreenLayout& layout, bool panel);

// Pids of the processes whose environment holds the entry (a marker given
// to a program, which its helper processes inherit).
std::vector<pid_t> ProcessesWithEnvironment(const std::string& entry);
// Runs the predicate every 20 ms until it holds or the time is up.
bool WaitFor(int timeoutMs, const std::function<bool()>& predicate);
// How many times the text occurs in the file (a program's log).
int CountInFile(const std::string& path, const std::string& text);

}  // namespace functional
