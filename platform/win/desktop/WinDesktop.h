// The Win32 desktop: the program's windows are the system's own. Mouse
// messages reach the host in the host's order, the move and sizing loops are
// DefWindowProc's, and the window manager's changes come back from WM_SIZE,
// WM_MOVE and the system menu. The host counts logical pixels; the windows,
// aware of their monitor's dots per inch, count device pixels (Dpi).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/FrameBuffer.h"
#include "platform/PagePolicy.h"
#include "platform/win/desktop/AccessibleFrame.h"
#include "platform/win/desktop/BrowserSite.h"
#include "platform/win/desktop/Dpi.h"

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
  void AccessiblePartsChangedImpl(HWND hwnd) override;
  bool SetRegionImpl(HWND hwnd, HRGN region) override;
  void SetTopmostImpl(HWND hwnd, bool topmost) override;
  RECT PlacedImpl(HWND hwnd) override;
  bool WorkAreaImpl(int monitor, RECT& area) override;
  void BeginMoveSizeImpl(HWND hwnd, WPARAM hitCode) override;
  void ReleaseCaptureImpl() override;
  int ScreenWidthImpl() override;
  int ScreenHeightImpl() override;
  std::vector<RECT> MonitorsImpl() override;
  int ScaleImpl(HWND hwnd) override;
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
    // A right press handed to the move loop on the caption: its release
    // opens the system menu, as a right click on a caption does.
    bool menuOnRelease = false;
    std::vector<HICON> icons;
    FrameBuffer frame;
    // The window's dots per inch, as the system last said them.
    UINT dpi = Dpi::Designed;
    // The host's region, in its logical pixels, for showing again at a new
    // scale.
    bool hasRegion = false;
    std::vector<RECT> region;
    // What the desktop gave the system for it, in device pixels.
    std::vector<RECT> shownRegion;
    // The device rectangles the window had of late, newest first: what the
    // host was told, to go back to exactly.
    std::vector<RECT> recent;
    AccessibleFrame* accessible = nullptr;  // made at the first WM_GETOBJECT
    // What its web views may open (platform/PagePolicy.h): its page folder
    // is the folder of the first page the host navigates a view of it to,
    // for the host only ever navigates to the program's own pages.
    std::optional<PagePolicy> pages;
  };
  // The native side of a view of WebViews(): a child window of ours that
  // the host places, shows and hides, with the browser control in place
  // inside it. A view the host keeps hidden is the sound view: it may go
  // only to the page the host gave it.
  struct WebView {
    HWND child = nullptr;
    BrowserSite* site = nullptr;
    std::string hostUrl;  // the page the host last gave it, as a URL
  };

  // WindowMessages.cpp: the window's messages.
  // Posted when the system maximized the window by a way of its own (a
  // snap, a key), to take it over once the system is done.
  static constexpr UINT TakeOverMessage = WM_APP + 1;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam);
  bool HandlePointer(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam);
  void Paint(HWND hwnd, Window& window);
  void Pointer(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam);
  void ReportGeometry(HWND hwnd, Window& window);
  void Sized(HWND hwnd, Window& window, WPARAM kind);

  // SystemFrame.cpp: the system's side of the frame: no frame of the
  // system's, the sizing limits, the system menu and its commands, a
  // maximize by the system, a new scale, the region at the scale. True
  // when the message was answered (with result).
  bool HandleSystem(HWND hwnd, Window& window, UINT msg, WPARAM wParam, LPARAM lParam,
                    LRESULT& result);
  void MinMaxInfo(HWND hwnd, const Window& window, MINMAXINFO& info);
  LRESULT SysCommand(HWND hwnd, Window& window, WPARAM wParam, LPARAM lParam);
  void Maximize(HWND hwnd, Window& window);
  void TakeOverMaximize(HWND hwnd, Window& window);
  void ShowSystemMenu(HWND hwnd, POINT screen);
  void SystemMenuStates(HMENU menu, const Window& window);
  void DpiChanged(HWND hwnd, Window& window, UINT dpi, const RECT& suggested);
  void ApplyRegion(HWND hwnd, Window& window);
  void RegionChanged(HWND hwnd, Window& window);
  static std::vector<RECT> RegionRects(HRGN region);

  Window* Find(HWND hwnd);
  static void Remember(Window& window, const RECT& device);
  static Dpi DpiOf(const Window& window) { return Dpi(window.dpi); }
  // The window's rectangle in device pixels; the client area is all of it.
  static RECT DeviceBounds(HWND hwnd);
  // The same in the host's pixels.
  RECT Bounds(HWND hwnd);
  RECT RestoreBounds(HWND hwnd);
  // A monitor's work area in device pixels, and its dots per inch.
  static bool DeviceWorkArea(HMONITOR monitor, RECT& area, UINT& dpi);
  static UINT MonitorDpi(HMONITOR monitor);
  static LPCWSTR CursorId(Cursor cursor);
  bool TranslateKey(MSG& msg);
  // The page rule's answer to a request of a view's control, carried out;
  // true when the control may go ahead.
  bool LetPage(WebViewId id, PageRequest request, const std::optional<std::string>& url);

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
