// The Win32 desktop: the program's windows are the system's own. Mouse
// messages reach the host in the host's order, the move and sizing loops are
// DefWindowProc's, and the window manager's changes come back from WM_SIZE,
// WM_MOVE and the system menu.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/FrameBuffer.h"
#include "platform/win/desktop/AccessibleFrame.h"
#include "platform/win/desktop/BrowserSite.h"

namespace platform::win {

class WinDesktop : public Desktop {
 public:
  WinDesktop();
  ~WinDesktop() override;

  // A web view's browser control, for tests and diagnostics (nullptr where
  // the system has none); the desktop keeps the reference.
  IWebBrowser2* WebViewBrowser(WebViewId view) const;

 private:
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
  void AccessiblePartsChangedImpl(HWND hwnd) override;  // AccessibleFrame.h
  bool SetRegionImpl(HWND hwnd, HRGN region) override;
  void SetTopmostImpl(HWND hwnd, bool topmost) override;
  RECT PlacedImpl(HWND hwnd) override;
  bool WorkAreaImpl(int monitor, RECT& area) override;
  void BeginMoveSizeImpl(HWND hwnd, WPARAM hitCode) override;
  void ReleaseCaptureImpl() override;
  int ScreenWidthImpl() override;
  int ScreenHeightImpl() override;
  std::vector<RECT> MonitorsImpl() override;
  bool CreateWebViewImpl(WebViewId view, HWND parent) override;
  void DestroyWebViewImpl(WebViewId view) override;
  void SetWebViewBoundsImpl(WebViewId view, const RECT& bounds) override;
  void ShowWebViewImpl(WebViewId view, bool visible) override;
  void NavigateImpl(WebViewId view, const std::string& location) override;
  int RunImpl() override;
  void QuitImpl(int status) override;

  struct Window {
    WindowSink* sink = nullptr;
    int minWidth = 0;
    int minHeight = 0;
    int state = 0;
    bool sizing = false;
    Cursor cursor = Cursor::Default;
    // A release of every button lets go of the capture without telling the
    // host, which already had the release.
    bool releasingAfterUp = false;
    std::vector<HICON> icons;
    FrameBuffer frame;
    AccessibleFrame* accessible = nullptr;  // AccessibleFrame.h: made at the first WM_GETOBJECT
  };
  // The native side of a view of WebViews(): a child window of ours that
  // the host places, shows and hides, with the browser control in place
  // inside it.
  struct WebView {
    HWND child = nullptr;
    BrowserSite* site = nullptr;
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam);
  Window* Find(HWND hwnd);
  void Paint(HWND hwnd, Window& window);
  void Pointer(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam);
  void ReportGeometry(HWND hwnd, Window& window);
  void MinMaxInfo(HWND hwnd, const Window& window, MINMAXINFO& info);
  LRESULT SysCommand(HWND hwnd, Window& window, WPARAM wParam, LPARAM lParam);
  void Sized(HWND hwnd, Window& window, WPARAM kind);
  static RECT Bounds(HWND hwnd);
  static RECT RestoreBounds(HWND hwnd);
  bool TranslateKey(MSG& msg);

  std::map<HWND, Window> windows_;
  std::map<WebViewId, WebView> views_;
  // Set while the desktop itself moves, sizes or iconifies a window: the
  // host asked for that, and no callback echoes it.
  int applying_ = 0;
  // The browser controls need OLE on this thread, from the first view to the
  // last.
  bool ole_ = false;
};

}  // namespace platform::win
