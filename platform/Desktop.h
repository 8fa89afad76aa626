// The backend interface: what a desktop (the headless one, GTK, Win32) does
// for the host. The Win32 functions of win32.h that reach the window manager
// (SendMessageA, ReleaseCapture, SetWindowPos, SetWindowRgn,
// SystemParametersInfoA) check their arguments and call the current desktop.
//
// This header is the contract every backend keeps; tests/conformance runs the
// same cases against each of them. Where the backends may differ, the
// difference is stated here and nowhere else.
//
// Model. The host's form owns the geometry: it changes its own state and
// bounds first, runs its resize handling (nested assignments included), then
// tells the desktop once, with the settled result. A backend never answers a
// request by echoing it: a callback means the window manager or the user did
// something the host did not ask for, or refused what it asked.
//
// Order. Every callback arrives on the user-interface thread, one at a time,
// either inside the call that caused it (the headless and Win32 move and
// sizing loops, a release of the capture) or from the backend's message loop.
// A callback may call back into the desktop.
//
// States. 0 normal, 1 minimized, 2 maximized; anything else is ignored.
// - While minimized the host keeps the bounds the window will be restored
//   to. It does not call SetBounds then; a backend that gets one keeps the
//   bounds for the restore. No OnBoundsChanged arrives while minimized.
// - Maximized (2) is the window manager's own state, which the host takes
//   over into a normal window covering the work area at its next
//   composition. The host asks for it with its bounds already set to the
//   work area; a backend keeps those bounds, and need not show the window
//   manager's maximized state (GTK does not: a real maximize would be
//   reported back and fight the takeover).
//
// Minimum size. SetMinimumSize binds the window manager's sizing loops and
// the user's resizes through the window manager; it never clamps SetBounds or
// CreateTopLevel. The host holds its own minimum in its resize handling (a
// smaller size given by the program, a stored placement for one, is taken as
// it is and then raised by the host). On Win32 that means answering
// WM_GETMINMAXINFO with the minimum only inside a sizing loop.
//
// Move and sizing loops. SendMessageA(WM_NCLBUTTONDOWN, HTCAPTION or an edge
// code) during a press starts the window manager's loop from that press.
// - Headless and Win32: the loop is modal; the call returns after the
//   release, having reported every step with OnBoundsChanged.
// - GTK: the loop is handed to the window manager and the call returns at
//   once; the steps arrive later from the message loop (under some window
//   managers only the end position of a move). A move starts only once the
//   pointer has travelled past the drag threshold with the button down; a
//   move asked for during a press of the right button opens the window
//   manager's window menu instead where it has one (a right-click on a
//   title bar).
// Either way the press no longer belongs to the window: OnCaptureReleased
// comes before the call returns, and no release of that press is reported.
// With no press under way the call does nothing.
//
// Capture. A press in a window holds the pointer for that window until the
// release: moves and the release outside it are reported to it, in its client
// pixels (negative ones included). ReleaseCapture ends the hold at once and
// answers with OnCaptureReleased when a window held it.
//
// Region. SetRegion hands the region over to a window: from the call on, the
// desktop owns it and deletes it when a new region replaces it or when the
// window goes. A window that does not exist refuses it (false) and the region
// stays the caller's, as SetWindowRgn refuses it on Windows. Outside the
// region the window neither draws nor takes the mouse: a press there reaches
// what lies below.
//
// Accessibility. The host draws parts of the frame itself (the caption's
// buttons), which no toolkit knows of. The sink names them (AccessibleParts)
// and works them (PressAccessiblePart); a backend shows them to assistive
// tools as children of the window's frame, as its toolkit shows buttons:
// GTK as ATK objects under the drawing area, carried by atk-bridge; Win32 as
// the children of the IAccessible answering WM_GETOBJECT. A backend asks the
// sink whenever a tool asks it, and announces what changed (names, pressed
// states, parts come or gone) after AccessiblePartsChanged.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/WebViewTable.h"
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

// A part of the host's frame as an assistive tool sees it (see
// Accessibility above).
enum class AccessibleRole { PushButton, ToggleButton };
struct AccessiblePart {
  AccessibleRole role = AccessibleRole::PushButton;
  std::string name;  // UTF-8, as a user says it
  RECT bounds{};     // window client pixels
  // A push button held down, or a toggle button switched on.
  bool pressed = false;
};

// What a top-level window reports to its owner, the host's form. Every call
// arrives on the user-interface thread, one at a time.
class WindowSink {
 public:
  virtual ~WindowSink() = default;
  virtual void OnPointer(const PointerEvent& event) = 0;
  // The window manager moved or sized the window (a move or sizing loop, a
  // work-area change, a request it changed or refused): screen pixels of the
  // client area. Never while minimized.
  virtual void OnBoundsChanged(int x, int y, int width, int height) = 0;
  // The window manager iconified, restored or maximized the window, or
  // refused a SetState (the state it really has then): 0 normal,
  // 1 minimized, 2 maximized, with the client bounds in force in that state
  // (for a minimized window, the bounds it will be restored to).
  virtual void OnStateChanged(int windowState, const RECT& bounds) = 0;
  // The user asked the window manager to close the window. The window stays
  // until the host destroys it.
  virtual void OnCloseRequested() = 0;
  // The mouse capture was released (ReleaseCapture, a loop took over, or
  // another grab broke it): no release of the press will follow.
  virtual void OnCaptureReleased() = 0;
  // Draws the whole client area: frame pixels, controls, light elements.
  virtual void Render(gdi::Surface& target) = 0;
  // The same at a window scale above 1, into a target of the client size
  // in device pixels: each pixel a sharp block of the device pixels it
  // covers (DeviceScale), text and pictures at the device's resolution where
  // the sink can. Without an override, Render's picture enlarged.
  virtual void RenderScaled(gdi::Surface& target, DeviceScale scale);
  // What a backend that shows native children (web views) above the host's
  // pixels needs of them, at every size of a live resize: only the parts of
  // the client area no visible native child covers, drawn exactly as
  // RenderScaled draws them, into a target of the client size at `scale`.
  // What a native child covers is left as it was in target. Returns those
  // parts, in target pixels: the backend shows nothing else of target.
  // Without an override, RenderScaled and the whole target.
  virtual std::vector<RECT> RenderUncovered(gdi::Surface& target, DeviceScale scale);
  // The window's accessible parts, in reading order. Without an override,
  // none.
  virtual std::vector<AccessiblePart> AccessibleParts();
  // Works part `index` of what AccessibleParts answers now, as a click on it
  // would; an index past the end does nothing.
  virtual void PressAccessiblePart(std::size_t index);
};

// Pixels premultiplied, as everything drawn here is. An image of fewer than
// 32 bits has no soft edges: its alpha is a mask.
struct IconImage {
  gdi::Surface pixels;
  int bitsPerPixel = 32;
};

// A pixel of an icon image as window systems take icons: ARGB with straight,
// not premultiplied, colour, and each pixel of a masked image shown whole or
// not at all.
std::uint32_t StraightArgb(std::uint32_t premultiplied, int bitsPerPixel);


// Every desktop keeps the contract through the public calls below, which are
// not virtual: they check the handles and arguments once, here, and hand what
// is left to the backend's hooks (the *Impl functions), which may take it that
// the window or web view named exists and the arguments are in range.
class Desktop {
 public:
  Desktop() = default;
  virtual ~Desktop() = default;
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // Top-level windows. Bounds are the client area in screen pixels. Every
  // call naming a window that does not exist (never made, or destroyed)
  // does nothing.
  //
  // A hidden window with the bounds given, taken as they are. The handle is
  // never 0 and never reused by this desktop.
  HWND CreateTopLevel(WindowSink& sink, const RECT& bounds);
  // Ends the window at once, with its region and its web views: their ids
  // name nothing from then on. No callback reaches the sink during or after
  // it.
  void DestroyTopLevel(HWND hwnd);
  // The windows this desktop holds now.
  std::size_t TopLevelCount() const { return windows_.size(); }
  // The window takes these bounds, unclamped, unanswered. On a real screen it
  // follows a little later; should the window manager change or refuse them,
  // the bounds it really gives are reported with OnBoundsChanged.
  void SetBounds(HWND hwnd, const RECT& bounds);
  void Show(HWND hwnd, bool visible);
  // 0 normal, 1 minimized, 2 maximized (see States above); anything else is
  // ignored. Not answered when done: the host has changed already. Answered
  // with OnStateChanged when the window manager refuses it (with none
  // running, nothing iconifies a window on X, so a minimize comes back as
  // state 0 within a few hundred milliseconds).
  void SetState(HWND hwnd, int windowState);
  // UTF-8; invalid bytes are shown replaced, never refused.
  void SetTitle(HWND hwnd, const std::string& utf8);
  // The window's icon at several sizes; images without pixels are skipped.
  void SetIcon(HWND hwnd, const std::vector<IconImage>& images);
  // Binds the sizing loops only (see Minimum size above). Negative is 0.
  void SetMinimumSize(HWND hwnd, int width, int height);
  void SetCursor(HWND hwnd, Cursor cursor);
  // The host's pixels changed; the backend redraws by calling Render, later
  // and possibly once for several calls.
  void Invalidate(HWND hwnd);
  // What the sink's AccessibleParts answers has changed: the backend
  // announces the changes to assistive tools (see Accessibility above).
  void AccessiblePartsChanged(HWND hwnd);

  // Window-manager services behind the Win32 calls.
  // Takes the region over (see Region above); 0 removes the window's region.
  // False, the region left alone, when the window does not exist.
  bool SetRegion(HWND hwnd, HRGN region);
  // Kept above other windows. The state is never reported back; with no
  // window manager on X it has no effect.
  void SetTopmost(HWND hwnd, bool topmost);
  // The work area (the monitor less panels and task bars) of the monitor
  // showing the window: the monitor sharing the most area with the window's
  // bounds, or, for a window on none, the nearest one (the first listed of
  // those as near), as Windows picks it. For no window (hwnd 0,
  // SystemParametersInfoA, or a window that does not exist) the primary
  // monitor's, as on Windows. False when there is no screen to ask.
  bool WorkArea(HWND hwnd, RECT& area);
  // Starts the move loop (HTCAPTION) or the sizing loop (an edge or corner
  // code) from the press under way (see Move and sizing loops above).
  void BeginMoveSize(HWND hwnd, WPARAM hitCode);
  void ReleaseCapture();

  // The screen: its size in pixels (the primary monitor's, as on Windows,
  // so that centring happens there) and every monitor.
  int ScreenWidth();
  int ScreenHeight();
  std::vector<RECT> Monitors();
  // The window's scale, device pixels to one of its pixels along a side
  // (what RenderScaled is given), as far as it is known before it is drawn.
  // With no window, the scale a new window starts at. A fractional scale
  // (Windows at 125 or 150 %) is given to the nearest whole number, for
  // preparing fonts; the frame is drawn at the exact one.
  int Scale(HWND hwnd);

  // Web views, children of a top-level window at client pixel rectangles
  // that may lie partly outside it. A new view is hidden, at no size, and
  // goes with its window; 0 when the parent does not exist or the backend
  // could not make one. Calls naming a view that does not exist do nothing.
  WebViewId CreateWebView(HWND parent);
  void SetWebViewBounds(WebViewId view, const RECT& bounds);
  void ShowWebView(WebViewId view, bool visible);
  // location is one of the program's own pages: a backend takes the folder
  // of the first one a window's views are navigated to as the page folder
  // of the page rule (platform/PagePolicy.h).
  void Navigate(WebViewId view, const std::string& location);

  // Calls changed on the user-interface thread soon after a file in the
  // folder is made, rewritten, renamed into place or removed, until the
  // window goes; one folder a window. A desktop that cannot watch never calls.
  void WatchFolder(HWND hwnd, const std::string& folder, std::function<void()> changed);

  // The message loop: runs until Quit.
  int Run();
  void Quit(int status);

 protected:
  // Which view belongs to which window, where the host put it, and whether
  // it is shown, as the host last said.
  const WebViewTable& WebViews() const { return webViews_; }

  // The backend's hooks, called by the entry points above with the handles
  // checked: every window and web view they name exists.
  virtual HWND CreateTopLevelImpl(WindowSink& sink, const RECT& bounds) = 0;
  // The window's web views have gone already (DestroyWebViewImpl).
  virtual void DestroyTopLevelImpl(HWND hwnd) = 0;
  virtual void SetBoundsImpl(HWND hwnd, const RECT& bounds) = 0;
  virtual void ShowImpl(HWND hwnd, bool visible) = 0;
  // windowState is 0, 1 or 2.
  virtual void SetStateImpl(HWND hwnd, int windowState) = 0;
  virtual void SetTitleImpl(HWND hwnd, const std::string& utf8) = 0;
  virtual void SetIconImpl(HWND hwnd, const std::vector<IconImage>& images) = 0;
  // width and height are 0 or more.
  virtual void SetMinimumSizeImpl(HWND hwnd, int width, int height) = 0;
  virtual void SetCursorImpl(HWND hwnd, Cursor cursor) = 0;
  virtual void InvalidateImpl(HWND hwnd) = 0;
  virtual void AccessiblePartsChangedImpl(HWND /*hwnd*/) {}
  virtual bool SetRegionImpl(HWND hwnd, HRGN region) = 0;
  virtual void SetTopmostImpl(HWND hwnd, bool topmost) = 0;
  // Where the window is as far as the backend knows without asking the
  // display server: the client area in screen pixels. The monitor rule
  // works from it.
  virtual RECT PlacedImpl(HWND hwnd) = 0;
  // The work area of Monitors()[monitor], or of the primary monitor for -1.
  virtual bool WorkAreaImpl(int monitor, RECT& area) = 0;
  virtual void BeginMoveSizeImpl(HWND hwnd, WPARAM hitCode) = 0;
  virtual void ReleaseCaptureImpl() = 0;
  virtual int ScreenWidthImpl() = 0;
  virtual int ScreenHeightImpl() = 0;
  virtual std::vector<RECT> MonitorsImpl() = 0;
  // hwnd is null for no window.
  virtual int ScaleImpl(HWND /*hwnd*/) { return 1; }
  // Makes the native view for an entry just added to WebViews(); false when
  // there can be none (the entry is dropped again).
  virtual bool CreateWebViewImpl(WebViewId view, HWND parent) = 0;
  // Its window goes next (DestroyTopLevelImpl follows): lets go of the
  // native view while the window still stands. The entry goes right after.
  virtual void DestroyWebViewImpl(WebViewId view) = 0;
  // WebViews() holds the new bounds or visibility already.
  virtual void SetWebViewBoundsImpl(WebViewId view, const RECT& bounds) = 0;
  virtual void ShowWebViewImpl(WebViewId view, bool visible) = 0;
  virtual void NavigateImpl(WebViewId view, const std::string& location) = 0;
  virtual void WatchFolderImpl(HWND /*hwnd*/, const std::string& /*folder*/,
                               std::function<void()> /*changed*/) {}
  virtual int RunImpl() = 0;
  virtual void QuitImpl(int status) = 0;

 private:
  bool Exists(HWND hwnd) const { return hwnd != nullptr && windows_.count(hwnd) != 0; }

  std::set<HWND> windows_;
  WebViewTable webViews_;
};

// The desktop the Win32 calls reach. One per process, set by main or a test
// before any window exists.
Desktop* CurrentDesktop();
void UseDesktop(Desktop* desktop);

// The window-manager calls of win32.h as they reach the current desktop,
// arguments checked: the emulation's user32 entry points, and on Windows the
// way the headless desktop's windows, which the system does not know, are
// reached (platform/win/headless).
namespace user32 {
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL ReleaseCapture();
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);
BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni);
}  // namespace user32

}  // namespace platform
