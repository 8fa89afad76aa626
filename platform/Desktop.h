// The backend interface: what a desktop (the headless one, GTK) does for the
// host. The Win32 functions of win32.h that reach the window manager
// (SendMessageA, ReleaseCapture, SetWindowPos, SetWindowRgn,
// SystemParametersInfoA) check their arguments and call the current desktop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace platform {

enum class PointerKind { Move, Down, Up, DoubleClick };

// Buttons as the host counts them: 1 left, 2 right, 4 middle.
struct PointerEvent {
  PointerKind kind = PointerKind::Move;
  int button = 0;
  int shift = 0;
  int x = 0;  // window client pixels
  int y = 0;
};

enum class Cursor { Default, SizeWE, SizeNS, SizeNESW, SizeNWSE };

// What a top-level window reports to its owner, the host's form. Every call
// arrives on the user-interface thread, one at a time.
class WindowSink {
 public:
  virtual ~WindowSink() = default;
  virtual void OnPointer(const PointerEvent& event) = 0;
  // The window manager moved or sized the window (a move or sizing loop, a
  // work-area change): screen pixels of the client area.
  virtual void OnBoundsChanged(int x, int y, int width, int height) = 0;
  // The window manager iconified, restored or maximized the window:
  // 0 normal, 1 minimized, 2 maximized, with the client bounds in force in
  // that state (for a minimized window, the bounds it will be restored to).
  virtual void OnStateChanged(int windowState, const RECT& bounds) = 0;
  // The user asked the window manager to close the window.
  virtual void OnCloseRequested() = 0;
  // The mouse capture was released (ReleaseCapture, or a loop took over).
  virtual void OnCaptureReleased() = 0;
  // Draws the whole client area: frame pixels, controls, light elements.
  virtual void Render(gdi::Surface& target) = 0;
};

struct IconImage {
  gdi::Surface pixels;
  int bitsPerPixel = 32;
};

using WebViewId = int;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Top-level windows. Bounds are the client area in screen pixels.
  virtual HWND CreateTopLevel(WindowSink& sink, const RECT& bounds) = 0;
  virtual void DestroyTopLevel(HWND hwnd) = 0;
  virtual void SetBounds(HWND hwnd, const RECT& bounds) = 0;
  virtual void Show(HWND hwnd, bool visible) = 0;
  // 0 normal, 1 minimized; a request, answered by OnStateChanged.
  virtual void SetState(HWND hwnd, int windowState) = 0;
  virtual void SetTitle(HWND hwnd, const std::string& utf8) = 0;
  virtual void SetIcon(HWND hwnd, const std::vector<IconImage>& images) = 0;
  virtual void SetMinimumSize(HWND hwnd, int width, int height) = 0;
  virtual void SetCursor(HWND hwnd, Cursor cursor) = 0;
  // The host's pixels changed; the backend redraws by calling Render.
  virtual void Invalidate(HWND hwnd) = 0;

  // Window-manager services behind the Win32 calls.
  virtual void SetRegion(HWND hwnd, HRGN region) = 0;  // 0 removes it
  virtual void SetTopmost(HWND hwnd, bool topmost) = 0;
  virtual bool WorkArea(HWND hwnd, RECT& area) = 0;
  // Starts the move loop (HTCAPTION) or the sizing loop (an edge or corner
  // code) from the press under way.
  virtual void BeginMoveSize(HWND hwnd, WPARAM hitCode) = 0;
  virtual void ReleaseCapture() = 0;

  // The screen: its size in pixels and its monitors.
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  virtual std::vector<RECT> Monitors() = 0;

  // Web views, children of a top-level window at client pixel rectangles
  // that may lie partly outside it.
  virtual WebViewId CreateWebView(HWND parent) = 0;
  virtual void SetWebViewBounds(WebViewId view, const RECT& bounds) = 0;
  virtual void ShowWebView(WebViewId view, bool visible) = 0;
  virtual void Navigate(WebViewId view, const std::string& location) = 0;

  // The message loop: runs until Quit.
  virtual int Run() = 0;
  virtual void Quit(int status) = 0;
};

// The desktop the Win32 calls reach. One per process, set by main or a test
// before any window exists.
Desktop* CurrentDesktop();
void UseDesktop(Desktop* desktop);

}  // namespace platform
