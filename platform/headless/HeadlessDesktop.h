// A simulated desktop: a screen with monitors and a work area, top-level
// windows, an input queue that tests fill, and the window manager's move and
// sizing loops run synchronously over that queue. Tests, benchmarks and
// previews run the same host and controls on it as the real program.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/OwnedRegion.h"
#include "platform/WindowTable.h"

namespace platform {

class HeadlessDesktop : public Desktop {
 public:
  struct Window {
    WindowSink* sink = nullptr;
    RECT bounds{};  // client area, screen pixels
    bool visible = false;
    int state = 0;
    bool topmost = false;
    OwnedRegion region;
    Cursor cursor = Cursor::Default;
    std::string title;
    std::vector<IconImage> icon;
    int minWidth = 0;
    int minHeight = 0;
  };
  // A web view as the host placed it, with every Navigate it had, in order.
  struct WebView : WebViewEntry {
    std::vector<std::string> locations;
  };

  explicit HeadlessDesktop(int screenWidth = 1920, int screenHeight = 1080);
  ~HeadlessDesktop() override;

  // Screen set-up. Monitors default to one covering the screen; the work
  // area defaults to the first monitor.
  void SetScreen(int width, int height);
  void SetMonitors(const std::vector<RECT>& monitors);
  void SetWorkArea(const RECT& area);
  void FailWorkArea(bool fail) { failWorkArea_ = fail; }

  // Input, in screen pixels. A queued event waits until Pump, or until a
  // move or sizing loop consumes it.
  void QueueMove(int x, int y);
  void QueuePress(int x, int y, int button = 1);
  void QueueRelease(int x, int y, int button = 1);
  // The second press of a double-click: delivered as a double-click, then a
  // release, as the window manager reports one.
  void QueueDoubleClick(int x, int y, int button = 1);
  // Shorthands: a whole click, and a press-drag-release in steps.
  void QueueClick(int x, int y, int button = 1);
  void QueueDrag(int x0, int y0, int x1, int y1, int steps = 4);
  // Delivers queued input to the windows under the pointer (or to the window
  // holding the capture) until the queue is empty.
  void Pump();
  std::size_t QueuedInput() const { return input_.size(); }

  // The window manager acting from outside, as a user would through it.
  void UserMinimize(HWND hwnd);
  void UserRestore(HWND hwnd);
  void UserMaximize(HWND hwnd);
  void UserResize(HWND hwnd, const RECT& bounds);
  void UserClose(HWND hwnd);

  // Inspection.
  const Window* Find(HWND hwnd) const;
  // None for a view that does not exist (never made, or gone with its
  // window).
  std::optional<WebView> FindWebView(WebViewId view) const;
  std::vector<HWND> Windows() const;
  // Every window-manager call made, one line each, such as
  // "SetWindowPos topmost" or "BeginMoveSize 2".
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // The window's client area as the screen shows it: the host's rendering,
  // web views as flat placeholder rectangles, and pixels outside the
  // window's region transparent.
  gdi::Surface Capture(HWND hwnd);
  bool Screenshot(HWND hwnd, const std::string& pngPath);
  static constexpr std::uint32_t WebViewPlaceholder = 0xFFE8ECF0u;

  int Invalidations() const { return invalidations_; }
  // AccessiblePartsChanged calls so far: what an assistive tool would have
  // been told.
  int AccessibleChanges() const { return accessibleChanges_; }
  // SetBounds calls so far.
  int BoundsRequests() const { return boundsRequests_; }
  bool QuitRequested() const { return quit_; }

 protected:
  HWND CreateTopLevelImpl(WindowSink& sink, const RECT& bounds) override;
  void DestroyTopLevelImpl(HWND hwnd) override;
  void SetBoundsImpl(HWND hwnd, const RECT& bounds) override;
  void ShowImpl(HWND hwnd, bool visible) override;
  void SetStateImpl(HWND hwnd, int windowState) override;
  void SetTitleImpl(HWND hwnd, const std::string& utf8) override;
  void SetIconImpl(HWND hwnd, const std::vector<IconImage>& images) override;
  void SetMinimumSizeImpl(HWND hwnd, int width, int height) override;
  void SetCursorImpl(HWND hwnd, Cursor cursor) override;
  void InvalidateImpl(HWND hwnd) override;
  void AccessiblePartsChangedImpl(HWND) override { ++accessibleChanges_; }
  bool SetRegionImpl(HWND hwnd, HRGN region) override;
  void SetTopmostImpl(HWND hwnd, bool topmost) override;
  RECT PlacedImpl(HWND hwnd) override;
  bool WorkAreaImpl(int monitor, RECT& area) override;
  void BeginMoveSizeImpl(HWND hwnd, WPARAM hitCode) override;
  void ReleaseCaptureImpl() override;
  int ScreenWidthImpl() override { return screenWidth_; }
  int ScreenHeightImpl() override { return screenHeight_; }
  std::vector<RECT> MonitorsImpl() override { return monitors_; }
  bool CreateWebViewImpl(WebViewId view, HWND parent) override;
  void DestroyWebViewImpl(WebViewId view) override;
  void SetWebViewBoundsImpl(WebViewId, const RECT&) override {}
  void ShowWebViewImpl(WebViewId, bool) override {}
  void NavigateImpl(WebViewId view, const std::string& location) override;
  int RunImpl() override;
  void QuitImpl(int status) override;

 private:
  struct Input {
    PointerKind kind;
    int button;
    int x;
    int y;
  };

  Window* Get(HWND hwnd);
  void Record(std::string call);
  bool QueryWorkArea(int monitor, RECT& area);
  HWND WindowAt(int x, int y) const;
  void Deliver(const Input& input);
  void RunLoop(HWND hwnd, WPARAM hitCode);

  int screenWidth_;
  int screenHeight_;
  std::vector<RECT> monitors_;
  RECT workArea_{};
  bool workAreaSet_ = false;
  bool failWorkArea_ = false;
  WindowTable<Window> windows_;
  std::map<WebViewId, std::vector<std::string>> locations_;
  std::deque<Input> input_;
  HWND capture_ = nullptr;  // window holding the pointer while a button is down
  int pointerX_ = 0;
  int pointerY_ = 0;
  int buttons_ = 0;
  std::vector<std::string> calls_;
  int invalidations_ = 0;
  int accessibleChanges_ = 0;
  int boundsRequests_ = 0;
  bool quit_ = false;
  int status_ = 0;
};

}  // namespace platform
