// The desktop on GTK 3 and X11, with WebKitGTK web views.
//
// Each top-level window is an undecorated GtkWindow holding a GtkLayout: a
// full-size drawing area at the bottom shows the host's pixels and takes the
// mouse, web views sit above it at the host's rectangles. GtkLayout rather
// than GtkFixed, because GtkFixed asks for the furthest child edge as its
// minimum and a web view placed past the window's edge would make the window
// grow by itself.
#pragma once

// The Win32 subset first: it declares TRUE and FALSE as constants, which
// GLib's macros of the same names would otherwise break.
#include "platform/Desktop.h"
#include "platform/WindowTable.h"
#include "platform/gtk/FolderWatch.h"
#include "platform/gtk/FramePainter.h"
#include "platform/gtk/IdleCall.h"
#include "platform/gtk/MinimumSize.h"
#include "platform/gtk/PendingGeometry.h"
#include "platform/gtk/PointerInput.h"
#include "platform/gtk/SettleTimer.h"
#include "platform/gtk/WindowIcon.h"
#include "platform/gtk/WindowShape.h"
#include "platform/gtk/WindowWebViews.h"
#include "platform/gtk/WorkAreas.h"

// Then the toolkit.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <map>
#include <memory>
#include <string>

namespace platform::gtk {

class GtkDesktop : public Desktop {
 public:
  GtkDesktop();
  ~GtkDesktop() override;
  GtkDesktop(const GtkDesktop&) = delete;
  GtkDesktop& operator=(const GtkDesktop&) = delete;

  // The GtkWindow behind a handle, for tests that look at it from the X
  // side; null for none.
  GtkWidget* Widget(HWND hwnd);

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
  void WatchFolderImpl(HWND hwnd, const std::string& folder,
                       std::function<void()> changed) override;
  int RunImpl() override;
  void QuitImpl(int status) override;

  // One top-level window: its widgets, its geometry and state with the
  // window manager, and its parts, each with what it keeps.
  struct Window {
    Window(GtkDesktop& desktop, WindowSink& sink, const RECT& bounds);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    GtkDesktop& desktop;
    WindowSink& sink;
    HWND hwnd = nullptr;
    PointerInput input;  // first: it reads GTK's double-click settings
    GtkWidget* const window;
    GtkWidget* const layout;
    GtkWidget* const area;
    RECT bounds;       // the host's model: client area in screen pixels, see FollowBounds
    Geometry actual;   // the last geometry the window reported
    Geometry asked{};  // the last geometry handed to GTK
    PendingGeometry pending;
    IdleCall flush;          // sends the bounds the host last set, see SetBounds
    SettleTimer settle;      // an unanswered request, see OnSettleTimer
    SettleTimer iconify;     // waits for the window manager to iconify
    int state = 0;           // the state the host holds: asked for by it or reported to it
    bool maximized = false;  // the window manager's state, as last reported
    // Asked to leave the window manager's maximized state, not yet left: the
    // sizes it reports until then are its own.
    bool leavingMaximized = false;
    MinimumSize minimum;
    WindowShape shape;
    FramePainter painter;
    WindowIcon icon;
    WindowWebViews views;
  };

  Window* Get(HWND hwnd);
  // The window a view of WebViews() belongs to.
  Window& ParentOf(WebViewId view);
  void Request(Window& window, const Geometry& geometry, bool force = false);
  void FlushBounds(Window& window);
  // The host's model takes these bounds; the drawing area and the web views
  // follow at once.
  void FollowBounds(Window& window, const RECT& bounds);
  void Settle(Window& window);
  void Adopt(Window& window, const Geometry& geometry);
  // Whether a geometry from outside is a maximize GDK has not heard of yet.
  static bool MaximizeUnheard(Window& window, const Geometry& geometry);
  void OnSettleTimer(Window& window);
  void OnIconifyTimer(Window& window);

  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data);
  static gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer data);
  static gboolean OnWindowState(GtkWidget* widget, GdkEventWindowState* event, gpointer data);
  static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer data);
  static void OnRealize(GtkWidget* widget, gpointer data);
  static void OnAfterPaint(GdkFrameClock* clock, gpointer data);
  static gboolean OnMapped(GtkWidget* widget, GdkEvent* event, gpointer data);
  static void OnScaleChanged(GObject* object, GParamSpec* spec, gpointer data);

  guint liveCountSignal_ = 0;  // SIGUSR2: trace the live GDI objects
  CursorCache cursors_;
  WorkAreas workAreas_;
  WindowTable<Window> windows_;
  std::map<HWND, std::unique_ptr<FolderWatch>> folderWatches_;  // FolderWatch.cpp
  // The input of the window with a button down.
  PointerInput* captured_ = nullptr;
  GMainLoop* loop_ = nullptr;
  bool quitRequested_ = false;
  int status_ = 0;
};

}  // namespace platform::gtk
