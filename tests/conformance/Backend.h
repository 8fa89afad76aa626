// One backend as the conformance suite drives it: its desktop, the input a
// person would give, what the window manager would do on the user's behalf,
// and what the screen shows. Each backend file registers one or more of
// these under a name; SKINSHELL_BACKEND picks the one a run tests. The
// headless backend is built everywhere, GTK's where GTK is (gtk/), the Win32
// desktop's in the Windows build (win/), run under Wine.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace conformance {

// Where a backend may legitimately differ, said once. Everything not listed
// here every backend does alike.
struct Traits {
  // The move and sizing loops run inside SendMessageA (headless, Win32)
  // rather than being handed to the window manager (GTK).
  bool modalLoops = true;
  // A window manager runs: it iconifies, maximizes, keeps windows above.
  // With none on X, a minimize is refused and answered as such.
  bool windowManager = true;
  // The window manager changes some requests (the test window manager caps
  // widths at CappedWidth).
  bool altersRequests = false;
  // The screen shows two monitors side by side, the left one primary. The
  // Win32 run has one display of one output (Wine's desktop on one Xvfb).
  bool twoMonitors = false;
};

constexpr int CappedWidth = 600;

class Backend {
 public:
  virtual ~Backend() = default;
  virtual platform::Desktop& Desktop() = 0;
  virtual Traits Is() const = 0;

  // The first button, in screen pixels. A headless backend queues these and
  // delivers them with Release; the others send them to the display.
  virtual void Press(int x, int y) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void Release(int x, int y) = 0;
  // Runs the backend's event loop until the condition holds or the time is
  // up; whether it holds at the end.
  virtual bool Until(const std::function<bool()>& condition, int timeoutMs = 5000) = 0;
  // Runs the event loop for a while, for what must NOT happen.
  virtual void Idle(int ms) = 0;

  // The window manager acting for the user.
  virtual void UserMinimize(HWND hwnd) = 0;
  virtual void UserMaximize(HWND hwnd) = 0;
  // A move made outside the host (a task bar, a keyboard move).
  virtual void UserMove(HWND hwnd, int x, int y) = 0;
  virtual void UserClose(HWND hwnd) = 0;

  // What the screen and the window manager show of a window: its client
  // area in screen pixels, as the display server has it.
  virtual RECT Placed(HWND hwnd) = 0;
  virtual std::optional<std::uint32_t> PixelAt(int x, int y) = 0;  // 0xRRGGBB
  virtual bool KeptAbove(HWND hwnd) = 0;
  virtual std::string Title(HWND hwnd) = 0;
  // The window's first icon is size x size pixels, its first pixel that
  // colour (0xAARRGGBB, straight as window systems take it).
  virtual bool ShowsIcon(HWND hwnd, int size, std::uint32_t pixel) = 0;
  // Every geometry the window manager was asked to give the window so far,
  // in order, as whole client rectangles (what a request leaves out is the
  // window's as it was); nothing where the backend cannot see its requests.
  virtual std::optional<std::vector<RECT>> GeometryRequests(HWND) { return std::nullopt; }
};

using Factory = std::function<std::unique_ptr<Backend>()>;
// Called by each backend file at start-up.
bool Register(const std::string& name, Factory factory);
// The backend named by SKINSHELL_BACKEND ("headless" when unset); null, with
// the names known, when there is none of that name.
std::unique_ptr<Backend> Make();

}  // namespace conformance
