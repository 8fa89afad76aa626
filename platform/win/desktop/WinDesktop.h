// The Win32 desktop: the program's windows are the system's own. Mouse
// messages reach the host in the host's order, the move and sizing loops are
// DefWindowProc's, and the window manager's changes come back from WM_SIZE,
// WM_MOVE and the system menu.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/win/desktop/BrowserSite.h"

namespace platform::win {

class WinDesktop : public Desktop {
 public:
  WinDesktop();
  ~WinDesktop() override;

  HWND CreateTopLevel(WindowSink& sink, const RECT& bounds) override;
  void DestroyTopLevel(HWND hwnd) override;
  void SetBounds(HWND hwnd, const RECT& bounds) override;
  void Show(HWND hwnd, bool visible) override;
  void SetState(HWND hwnd, int windowState) override;
  void SetTitle(HWND hwnd, const std::string& utf8) override;
  void SetIcon(HWND hwnd, const std::vector<IconImage>& images) override;
  void SetMinimumSize(HWND hwnd, int width, int height) override;
  void SetCursor(HWND hwnd, Cursor cursor) override;
  void Invalidate(HWND hwnd) override;
  bool SetRegion(HWND hwnd, HRGN region) override;
  void SetTopmost(HWND hwnd, bool topmost) override;
  bool WorkArea(HWND hwnd, RECT& area) override;
  void BeginMoveSize(HWND hwnd, WPARAM hitCode) override;
  void ReleaseCapture() override;
  int ScreenWidth() override;
  int ScreenHeight() override;
  std::vector<RECT> Monitors() override;
  WebViewId CreateWebView(HWND parent) override;
  void SetWebViewBounds(WebViewId view, const RECT& bounds) override;
  void ShowWebView(WebViewId view, bool visible) override;
  void Navigate(WebViewId view, const std::string& location) override;
  int Run() override;
  void Quit(int status) override;

  // A web view's browser control, for tests and diagnostics (nullptr where
  // the system has none); the desktop keeps the reference.
  IWebBrowser2* WebViewBrowser(WebViewId view) const;

 private:
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
    gdi::Surface frame;
  };
  // A child window of ours that the host places, shows and hides, with the
  // browser control in place inside it.
  struct WebView {
    HWND parent = nullptr;
    HWND child = nullptr;
    BrowserSite* site = nullptr;
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam);
  Window* Find(HWND hwnd);
  void Paint(HWND hwnd, Window& window);
  void Pointer(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam);
  void ReportGeometry(HWND hwnd, Window& window);
  static RECT Bounds(HWND hwnd);
  static RECT RestoreBounds(HWND hwnd);
  static void Close(WebView& view);
  bool TranslateKey(MSG& msg);

  std::map<HWND, Window> windows_;
  std::map<WebViewId, WebView> views_;
  WebViewId nextView_ = 1;
  HWND first_ = nullptr;
  // Set while the desktop itself moves, sizes or iconifies a window: the
  // host asked for that, and no callback echoes it.
  int applying_ = 0;
  // The browser controls need OLE on this thread, from the first view to the
  // last.
  bool ole_ = false;
};

}  // namespace platform::win
