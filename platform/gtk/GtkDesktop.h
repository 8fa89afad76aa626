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
#include "platform/FrameBuffer.h"
#include "platform/OwnedRegion.h"
#include "platform/WindowTable.h"
#include "platform/gtk/ClickTracker.h"
#include "platform/gtk/FolderWatch.h"
#include "platform/gtk/PendingGeometry.h"
#include "platform/gtk/ResizeTrace.h"

// Then the toolkit.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <future>
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

  struct Press {
    guint button = 0;  // GDK's number; 0 when no button is down
    int rootX = 0;
    int rootY = 0;
    guint32 time = 0;
  };
  struct Window {
    GtkDesktop* desktop = nullptr;
    HWND hwnd = nullptr;
    WindowSink* sink = nullptr;
    GtkWidget* window = nullptr;
    GtkWidget* layout = nullptr;
    GtkWidget* area = nullptr;
    RECT bounds{};      // the host's model: client area in screen pixels
    Geometry actual{};  // the last geometry the window reported
    Geometry asked{};   // the last geometry handed to GTK
    PendingGeometry pending;
    guint settleTimer = 0;
    guint flushSource = 0;   // sends the bounds the host last set, see SetBounds
    guint iconifyTimer = 0;  // waits for the window manager to iconify
    int state = 0;           // the state the host holds: asked for by it or reported to it
    bool maximized = false;  // the window manager's state, as last reported
    // Asked to leave the window manager's maximized state, not yet left: the
    // sizes it reports until then are its own.
    bool leavingMaximized = false;
    int minWidth = 0;  // the sizing loops' minimum
    int minHeight = 0;
    int hintWidth = 0;  // the minimum GTK and the window manager were told
    int hintHeight = 0;
    OwnedRegion region;
    int shapeWidth = -1;    // the size the shape was last applied for
    int shapeHeight = -1;
  int shapeScale = 1;  // the window scale it was applied at
    Cursor cursor = Cursor::Default;
    ClickTracker clicks{400, 5};
    Press press;
    FrameBuffer frame;  // the host's pixels, kept between draws, in device pixels
    // Pixels for the first frame, their pages mapped on another thread.
    std::future<gdi::Pixels> firstFrame;
  int frameScale = 1;  // the window scale it was drawn at
    ResizeTrace resizeTrace;
    bool drewFrame = false;  // in the frame clock's current frame
    bool framePainted = false;
    std::vector<IconImage> icon;  // handed to GTK once the first frame is painted
    // The window's first web view; the views after it are held back until
    // its first page has committed (MakeHeldWebViews).
    GtkWidget* firstView = nullptr;
    bool holdingViews = true;
    guint holdTimer = 0;
  };
  // The native side of a view of WebViews().
  struct WebView {
    GtkWidget* view = nullptr;  // null while held back (MakeHeldWebViews)
    std::string heldUri;        // asked for while held back
  };

  Window* Get(HWND hwnd);
  void Request(Window& window, const Geometry& geometry, bool force = false);
  void FlushBounds(Window& window);
  void ApplyShape(Window& window);
  void WriteIconProperty(Window& window);
  void GiveIconToGtk(Window& window);
  void ApplyMinimum(Window& window, int width, int height);
  void Settle(Window& window);
  void Adopt(Window& window, const Geometry& geometry);
  void PrepareFirstFrame(Window& window);
  bool UnderWebView(const Window& window, const GdkRectangle& rect) const;
  void PlaceWebViews(const Window& window);
  void PlaceWebView(WebViewId id, const Window& window);
  void MakeWebView(WebViewId id, Window& window);
  void MakeHeldWebViews(Window& window);
  GdkCursor* CursorFor(Cursor cursor);
  static RECT PrimaryMonitor();

  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data);
  static gboolean OnButton(GtkWidget* widget, GdkEventButton* event, gpointer data);
  // The host hears a mouse move at x, y (window client pixels), with the
  // buttons and keys held in state.
  static void MoveAt(Window& window, double x, double y, guint state);
  static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer data);
  static gboolean OnEnter(GtkWidget* widget, GdkEventCrossing* event, gpointer data);
  static gboolean OnGrabBroken(GtkWidget* widget, GdkEvent* event, gpointer data);
  static gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer data);
  static gboolean OnWindowState(GtkWidget* widget, GdkEventWindowState* event, gpointer data);
  static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer data);
  static void OnRealize(GtkWidget* widget, gpointer data);
  static void OnAfterPaint(GdkFrameClock* clock, gpointer data);
  static gboolean OnMapped(GtkWidget* widget, GdkEvent* event, gpointer data);
  static gboolean OnSettleTimer(gpointer data);
  static gboolean OnFlushBounds(gpointer data);
  static gboolean OnWorkAreasReset(gpointer data);
  static GdkFilterReturn OnRootEvent(GdkXEvent* xevent, GdkEvent* event, gpointer data);
  static void OnMonitorsChanged(GdkScreen* screen, gpointer data);
  void WatchWorkAreas();
  static gboolean OnIconifyTimer(gpointer data);
  static void OnScaleChanged(GObject* object, GParamSpec* spec, gpointer data);
  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data);
  static void OnFirstViewLoaded(WebKitWebView* view, WebKitLoadEvent event, gpointer data);
  static void OnFirstViewEnded(WebKitWebView* view, WebKitWebProcessTerminationReason reason,
                               gpointer data);
  static gboolean OnHoldTimer(gpointer data);

  WindowTable<Window> windows_;
  std::map<WebViewId, WebView> webViews_;
  std::map<Cursor, GdkCursor*> cursors_;
  std::map<HWND, std::unique_ptr<FolderWatch>> folderWatches_;  // FolderWatch.cpp
  Window* captureWindow_ = nullptr;  // the window with a button down
  GMainLoop* loop_ = nullptr;
  bool quitRequested_ = false;
  int status_ = 0;
  guint liveCountSignal_ = 0;  // SIGUSR2: trace the live GDI objects
  // Work areas read since the desktop last changed, see WorkArea.
  std::map<GdkMonitor*, RECT> workAreas_;
  guint workAreasReset_ = 0;
  GdkWindow* watchedRoot_ = nullptr;  // whose property changes forget them
  gulong monitorsChanged_ = 0;
};

}  // namespace platform::gtk
