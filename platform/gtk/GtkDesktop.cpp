#include "platform/gtk/GtkDesktop.h"

#include "platform/gdi/Gdi.h"
#include "platform/gtk/FrameAccessible.h"
#include "platform/gtk/GdkMonitors.h"
#include "platform/gtk/NetWmState.h"
#include "platform/gtk/Trace.h"
#include "platform/gtk/WindowMenu.h"
#include "platform/gtk/WindowWidgets.h"

#include <glib-unix.h>

#include <algorithm>
#include <csignal>
#include <string>

namespace platform::gtk {

namespace {

Geometry GeometryOf(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

RECT RectOf(const Geometry& g) {
  return {g.x, g.y, g.x + g.width, g.y + g.height};
}

RECT RectOf(const GdkRectangle& r) {
  return {r.x, r.y, r.x + r.width, r.y + r.height};
}

// Where the window really is: gtk_window_get_position asks the X server,
// where the configure-event after mapping can report 0,0 under a
// reparenting window manager.
Geometry RealGeometry(GtkWidget* window) {
  Geometry g;
  gtk_window_get_position(GTK_WINDOW(window), &g.x, &g.y);
  gtk_window_get_size(GTK_WINDOW(window), &g.width, &g.height);
  return g;
}

}  // namespace

// The live GDI objects, for a long run to see that they come back to the
// same numbers: send the program SIGUSR2 with G_MESSAGES_DEBUG=skinshell.
static gboolean TraceLiveObjects(gpointer) {
  Trace("live GDI objects: DC %d, Bitmap %d, Region %d", gdi::LiveCount(gdi::Kind::DC),
        gdi::LiveCount(gdi::Kind::Bitmap), gdi::LiveCount(gdi::Kind::Region));
  return G_SOURCE_CONTINUE;
}

// Not SIGUSR1: WebKit's JavaScript engine takes that one for its collector.
GtkDesktop::GtkDesktop()
    : liveCountSignal_(g_unix_signal_add(SIGUSR2, TraceLiveObjects, nullptr)) {}

GtkDesktop::~GtkDesktop() {
  if (liveCountSignal_ != 0) g_source_remove(liveCountSignal_);
  while (Window* w = windows_.First()) DestroyTopLevel(w->hwnd);
}

GtkDesktop::Window::Window(GtkDesktop& desktop, WindowSink& sink, const RECT& bounds)
    : desktop(desktop),
      sink(sink),
      input(sink, desktop.captured_, desktop.cursors_),
      window(NewTopLevel(GeometryOf(bounds))),
      layout(NewLayout(window)),
      area(NewDrawingArea(layout, GeometryOf(bounds), sink)),
      bounds(bounds),
      actual(GeometryOf(bounds)),
      flush([this] { this->desktop.Request(*this, GeometryOf(this->bounds)); }),
      settle([this] { this->desktop.OnSettleTimer(*this); }),
      iconify([this] { this->desktop.OnIconifyTimer(*this); }),
      minimum(window),
      shape(window),
      icon(window),
      views(layout, desktop.WebViews(), bounds.right - bounds.left, bounds.bottom - bounds.top) {}

GtkDesktop::Window* GtkDesktop::Get(HWND hwnd) {
  return windows_.Get(hwnd);
}

GtkDesktop::Window& GtkDesktop::ParentOf(WebViewId view) {
  return *Get(WebViews().Find(view)->parent);
}

GtkWidget* GtkDesktop::Widget(HWND hwnd) {
  Window* w = Get(hwnd);
  return w == nullptr ? nullptr : w->window;
}

HWND GtkDesktop::CreateTopLevelImpl(WindowSink& sink, const RECT& bounds) {
  Trace("CreateTopLevel");
  Phase("window created");
  auto owned = std::make_unique<Window>(*this, sink, bounds);
  Window& w = *owned;
  g_signal_connect(w.area, "draw", G_CALLBACK(OnDraw), &w);
  w.input.Connect(w.area);
  g_signal_connect(w.window, "configure-event", G_CALLBACK(OnConfigure), &w);
  g_signal_connect(w.window, "window-state-event", G_CALLBACK(OnWindowState), &w);
  g_signal_connect(w.window, "delete-event", G_CALLBACK(OnDelete), &w);
  g_signal_connect(w.window, "key-press-event", G_CALLBACK(OnWindowMenuKey), &w);
  g_signal_connect(w.window, "realize", G_CALLBACK(OnRealize), &w);
  g_signal_connect(w.window, "map-event", G_CALLBACK(OnMapped), &w);
  g_signal_connect(w.window, "notify::scale-factor", G_CALLBACK(OnScaleChanged), &w);
  g_signal_connect(w.area, "realize", G_CALLBACK(OnRealize), &w);
  gtk_widget_show(w.area);
  gtk_widget_show(w.layout);

  w.hwnd = windows_.Add(std::move(owned));
  return w.hwnd;
}

void GtkDesktop::AccessiblePartsChangedImpl(HWND hwnd) { FramePartsChanged(Get(hwnd)->area); }

void GtkDesktop::DestroyTopLevelImpl(HWND hwnd) {
  Window& w = *Get(hwnd);
  folderWatches_.erase(hwnd);
  // No signal may reach the sink from here on: the host is ending the window.
  g_signal_handlers_disconnect_by_data(w.window, &w);
  g_signal_handlers_disconnect_by_data(w.area, &w);
  ForgetFrameSink(w.area);
  w.input.Disconnect();
  w.views.Disconnect();
  if (GdkFrameClock* clock = gtk_widget_get_frame_clock(w.window)) {
    g_signal_handlers_disconnect_by_data(clock, &w);
  }
  gtk_widget_destroy(w.window);
  // Its timers and the capture go with it.
  windows_.Remove(hwnd);
}

void GtkDesktop::Request(Window& w, const Geometry& requested, bool force) {
  // This request supersedes any the host's assignments left to send.
  w.flush.Cancel();
  Geometry g = requested;
  g.width = std::max(1, g.width);
  g.height = std::max(1, g.height);
  // GTK and the window manager hold a resize to the minimum size they were
  // told, which is the sizing loops' alone: the host may want less for a
  // while (it raises the size itself), so the hint gives way to the request.
  w.minimum.HintFor(g.width, g.height);
  if (g == w.actual && w.pending.Empty() && !force) return;
  w.pending.Requested(g);
  GdkWindow* gdkWindow = gtk_widget_get_window(w.window);
  // GTK's own record of the size, so that it never asks back for an older
  // one when it lays the window out.
  gtk_window_resize(GTK_WINDOW(w.window), g.width, g.height);
  if (gdkWindow != nullptr && gtk_widget_get_mapped(w.window)) {
    // One request for position and size: gtk_window_move on a mapped window
    // sends a move of its own at once, and GTK sends the size only at its
    // next layout, and only when it differs from its last request and from
    // the size it last heard of (a window resized from outside would not be
    // asked back). Each request is a configure round trip with the window
    // manager.
    gdk_window_move_resize(gdkWindow, g.x, g.y, g.width, g.height);
  } else {
    gtk_window_move(GTK_WINDOW(w.window), g.x, g.y);
    if ((force || (g == w.asked && g != w.actual)) && gdkWindow != nullptr) {
      gdk_window_move_resize(gdkWindow, g.x, g.y, g.width, g.height);
    }
  }
  w.asked = g;
  w.settle.Start();
}

void GtkDesktop::SetBoundsImpl(HWND hwnd, const RECT& bounds) {
  Window* w = Get(hwnd);
  Trace("SetBounds %d,%d %dx%d", bounds.left, bounds.top, bounds.right - bounds.left,
        bounds.bottom - bounds.top);
  FollowBounds(*w, bounds);
  if (!gtk_widget_get_mapped(w->window)) {
    Request(*w, GeometryOf(bounds));
    return;
  }
  // A handler that assigns the bounds piece by piece (the caption's
  // maximize: position, then width, then height) would cost a configure
  // round trip per piece and a frame at every size in between. What the
  // host settled on goes out once its handler is done.
  w->flush.Start();
}

// The drawing area follows the model at once, so the host's pixels are
// shown at the size it drew them for.
void GtkDesktop::FollowBounds(Window& w, const RECT& bounds) {
  w.bounds = bounds;
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  gtk_widget_set_size_request(w.area, std::max(1, width), std::max(1, height));
  w.views.Follow(width, height);
}

void GtkDesktop::FlushBounds(Window& w) {
  if (w.flush.Waiting()) Request(w, GeometryOf(w.bounds));
}

void GtkDesktop::ShowImpl(HWND hwnd, bool visible) {
  Window* w = Get(hwnd);
  // Bounds set before go first, as the host ordered them.
  FlushBounds(*w);
  Trace("Show %d", visible ? 1 : 0);
  if (visible) Phase("window shown");
  if (visible) {
    // Mapping asks the window manager to place the window at its bounds.
    // Until it has, what it reports on the way is no change of its own:
    // openbox's first configure-event puts a new window at 0,0.
    if (!gtk_widget_get_visible(w->window)) {
      const Geometry g = GeometryOf(w->bounds);
      w->painter.PrepareFirst(g.width, g.height, Scale(w->hwnd));
      w->pending.Requested(g);
      w->settle.Start();
    }
    gtk_widget_show(w->window);
  } else {
    gtk_widget_hide(w->window);
  }
}

void GtkDesktop::SetStateImpl(HWND hwnd, int windowState) {
  Window* w = Get(hwnd);
  FlushBounds(*w);
  GtkWindow* window = GTK_WINDOW(w->window);
  Trace("SetState %d", windowState);
  // The host's state changes at once; what the window manager reports back
  // for this request is no news to it. A maximize stays the host's: it has
  // put the window on the work area already.
  w->state = windowState;
  w->iconify.Cancel();
  if (windowState == 1) {
    gtk_window_iconify(window);
    // With no window manager nothing iconifies the window, and nothing but
    // the window could bring the host back from minimized. Unanswered, the
    // request is taken as refused (OnIconifyTimer).
    w->iconify.Start();
  } else if (windowState == 0) {
    // The host takes a window-manager maximize over as its own normal state
    // filling the work area, so the real window leaves both states.
    gtk_window_unmaximize(window);
    gtk_window_deiconify(window);
    // Leaving the maximized state, the window manager puts back the size from
    // before. The host's bounds are asked for once it has reported leaving
    // (OnWindowState): asked for now, the request could be answered by the
    // maximized size still on its way, and the restored size would then
    // look like a change from outside.
    if (w->maximized) {
      w->leavingMaximized = true;
      w->settle.Start();
    }
  }
}

void GtkDesktop::SetTitleImpl(HWND hwnd, const std::string& utf8) {
  Window* w = Get(hwnd);
  // GTK rejects titles that are not UTF-8 with a critical warning.
  if (!g_utf8_validate(utf8.c_str(), static_cast<gssize>(utf8.size()), nullptr)) {
    gchar* fixed = g_utf8_make_valid(utf8.c_str(), static_cast<gssize>(utf8.size()));
    gtk_window_set_title(GTK_WINDOW(w->window), fixed);
    g_free(fixed);
    return;
  }
  gtk_window_set_title(GTK_WINDOW(w->window), utf8.c_str());
}

void GtkDesktop::SetIconImpl(HWND hwnd, const std::vector<IconImage>& images) {
  Get(hwnd)->icon.Set(images);
}

void GtkDesktop::SetMinimumSizeImpl(HWND hwnd, int width, int height) {
  Window* w = Get(hwnd);
  w->minimum.Set(width, height);
  // A window already smaller keeps its size until the host changes it.
  w->minimum.HintFor(w->actual.width, w->actual.height);
}

void GtkDesktop::SetCursorImpl(HWND hwnd, Cursor cursor) {
  Get(hwnd)->input.SetCursor(cursor);
}

void GtkDesktop::InvalidateImpl(HWND hwnd) {
  gtk_widget_queue_draw(Get(hwnd)->area);
}

bool GtkDesktop::SetRegionImpl(HWND hwnd, HRGN region) {
  Window* w = Get(hwnd);
  w->shape.Region(region);
  w->shape.Apply(w->actual.width, w->actual.height);
  return true;
}

void GtkDesktop::SetTopmostImpl(HWND hwnd, bool topmost) {
  gtk_window_set_keep_above(GTK_WINDOW(Get(hwnd)->window), topmost);
}

// Where the window last said it was, or where the host put it before it was
// made: no round trip to the X server for the window's place.
RECT GtkDesktop::PlacedImpl(HWND hwnd) {
  const Window& w = *Get(hwnd);
  return gtk_widget_get_realized(w.window) ? RectOf(w.actual) : w.bounds;
}

bool GtkDesktop::WorkAreaImpl(int monitor, RECT& area) {
  GdkMonitor* showing = MonitorAt(monitor);
  if (showing == nullptr) return false;
  area = workAreas_.Of(showing);
  return true;
}

void GtkDesktop::BeginMoveSizeImpl(HWND hwnd, WPARAM hitCode) {
  Window* w = Get(hwnd);
  if (!w->input.Pressed()) return;
  // The loop starts from the bounds the host has set.
  FlushBounds(*w);
  w->input.BeginMoveSize(GTK_WINDOW(w->window), hitCode);
}

void GtkDesktop::ReleaseCaptureImpl() {
  if (captured_ != nullptr) captured_->ReleaseCapture();
}

// The screen is the primary monitor, as on Windows: a first start centres on
// it, not across every monitor there is.
int GtkDesktop::ScreenWidthImpl() {
  RECT r = PrimaryMonitorRectangle();
  return r.right - r.left;
}

int GtkDesktop::ScreenHeightImpl() {
  RECT r = PrimaryMonitorRectangle();
  return r.bottom - r.top;
}

std::vector<RECT> GtkDesktop::MonitorsImpl() {
  return MonitorRectangles();
}

int GtkDesktop::ScaleImpl(HWND hwnd) {
  if (hwnd != nullptr) return std::max(1, gtk_widget_get_scale_factor(Get(hwnd)->window));
  return PrimaryMonitorScale();
}

bool GtkDesktop::CreateWebViewImpl(WebViewId id, HWND parent) {
  Get(parent)->views.Add(id);
  return true;
}

void GtkDesktop::DestroyWebViewImpl(WebViewId id) {
  ParentOf(id).views.Remove(id);
}

void GtkDesktop::SetWebViewBoundsImpl(WebViewId id, const RECT&) {
  ParentOf(id).views.Place(id);
}

void GtkDesktop::ShowWebViewImpl(WebViewId id, bool visible) {
  ParentOf(id).views.Show(id, visible);
}

void GtkDesktop::NavigateImpl(WebViewId id, const std::string& location) {
  ParentOf(id).views.Navigate(id, location);
}

int GtkDesktop::RunImpl() {
  if (loop_ != nullptr) return status_;  // already running: not reentrant
  loop_ = g_main_loop_new(nullptr, FALSE);
  if (!quitRequested_) g_main_loop_run(loop_);
  g_main_loop_unref(loop_);
  loop_ = nullptr;
  return status_;
}

void GtkDesktop::QuitImpl(int status) {
  status_ = status;
  // A quit asked for before the loop runs (the window closed during start-up)
  // must still end the loop the moment it starts.
  quitRequested_ = true;
  if (loop_ != nullptr) g_main_loop_quit(loop_);
}

gboolean GtkDesktop::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // A web view repainting its page (loading, scrolling, an animation) has
  // the window draw the part under it, frame first: none of the frame shows
  // there, and rendering it would cost the frame's whole drawing each time.
  // A shown view is never held back (WindowWebViews makes it as it is
  // shown), so every shown view paints its rectangle.
  GdkRectangle clip;
  if (!gdk_cairo_get_clip_rectangle(cr, &clip) ||
      !w.desktop.WebViews().Covers(w.hwnd, w.bounds.right - w.bounds.left,
                                   w.bounds.bottom - w.bounds.top, RectOf(clip))) {
    w.painter.Paint(widget, cr, w.sink);
  }
  return TRUE;
}

gboolean GtkDesktop::OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // GDK has already asked the X server where a real configure-event puts the
  // window (at every step of a sizing loop); only a window manager's own
  // event, which may say 0,0 for a window it has just mapped, needs asking
  // again.
  Geometry g{event->x, event->y, 0, 0};
  if (event->send_event) g = RealGeometry(widget);
  g.width = event->width;
  g.height = event->height;
  w.actual = g;
  w.painter.Configured(g.width, g.height);
  GtkDesktop& desktop = w.desktop;
  const HWND hwnd = w.hwnd;
  if (!w.leavingMaximized) {
    switch (w.pending.Configured(g)) {
      case PendingGeometry::Verdict::Answer:
      case PendingGeometry::Verdict::Stale:
        break;
      case PendingGeometry::Verdict::Outside:
        // A minimized window keeps the bounds it will be restored to; a
        // maximize is the window-state event's to take over.
        if (w.state != 1 && !MaximizeUnheard(w, g)) desktop.Adopt(w, g);
        break;
    }
  }
  // The host's resize handling may have given the outline for the new size
  // already (and may even have closed the window); otherwise the outline it
  // has is applied at the new size. Applied before, it would be worked out
  // twice at every size of a live resize.
  Window* still = desktop.Get(hwnd);
  if (still != nullptr && still->shape.Stale(g.width, g.height)) {
    still->shape.Apply(still->actual.width, still->actual.height);
  }
  return FALSE;
}

// xfwm4 configures a window it maximizes before it writes the state, where
// openbox and mutter write the state first: the work area's size arriving
// from outside may be a maximize whose window-state event is right behind.
// Only then is the window's state read from the server, so that the steps
// of a live resize cost no round trip.
bool GtkDesktop::MaximizeUnheard(Window& w, const Geometry& g) {
  RECT area;
  if (!w.desktop.WorkArea(w.hwnd, area) || GeometryOf(area) != g) return false;
  GdkWindow* gdkWindow = gtk_widget_get_window(w.window);
  if (gdkWindow == nullptr) return false;
  if ((gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_MAXIMIZED) != 0) return false;
  if (!NetWmStateHas(gdkWindow, {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"})) {
    return false;
  }
  Trace("window manager: maximize configured before its state");
  return true;
}

void GtkDesktop::Adopt(Window& w, const Geometry& g) {
  if (GeometryOf(w.bounds) == g) return;
  Trace("window manager: bounds %d,%d %dx%d", g.x, g.y, g.width, g.height);
  FollowBounds(w, RectOf(g));
  // The host runs its resize handling here and may answer with new bounds
  // of its own (its minimum size), which arrive as a fresh request.
  w.sink.OnBoundsChanged(g.x, g.y, g.width, g.height);
}

void GtkDesktop::Settle(Window& w) {
  w.pending.Clear();
  if (!gtk_widget_get_realized(w.window)) return;
  Geometry g = RealGeometry(w.window);
  w.actual = g;
  w.shape.Apply(g.width, g.height);
  if (w.state != 1) Adopt(w, g);
}

void GtkDesktop::OnSettleTimer(Window& w) {
  if (w.leavingMaximized) {
    // The window manager never said it left its maximized state: the host's
    // bounds are asked for all the same.
    w.leavingMaximized = false;
    Request(w, GeometryOf(w.bounds), true);
    return;
  }
  // The window manager changed or refused the last request: what the window
  // really is now is the truth.
  if (!w.pending.Empty()) Settle(w);
}

// With no window manager nothing iconifies the window, and nothing but the
// window could bring the host back from minimized: unanswered, the request
// is taken as refused.
void GtkDesktop::OnIconifyTimer(Window& w) {
  if (w.state != 1) return;
  GdkWindow* gdkWindow = gtk_widget_get_window(w.window);
  // An unmapped window is iconified, if at all, when it is shown.
  if (gdkWindow == nullptr || !gtk_widget_get_mapped(w.window)) return;
  if ((gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_ICONIFIED) != 0) {
    Trace("window manager: iconify done");
    return;
  }
  // The window is still on screen, normal: so is the host, at the window's
  // real geometry (geometry changes were not adopted while minimized).
  Geometry g = RealGeometry(w.window);
  w.pending.Clear();
  w.actual = g;
  w.state = 0;
  FollowBounds(w, RectOf(g));
  w.shape.Apply(g.width, g.height);
  Trace("window manager: iconify refused");
  w.sink.OnStateChanged(0, w.bounds);
}

gboolean GtkDesktop::OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  constexpr auto Watched = GDK_WINDOW_STATE_ICONIFIED | GDK_WINDOW_STATE_MAXIMIZED;
  if ((event->changed_mask & Watched) == 0) return FALSE;
  w.maximized = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  if (w.leavingMaximized && !w.maximized) {
    w.leavingMaximized = false;
    w.desktop.Request(w, GeometryOf(w.bounds), true);
  }
  int state = 0;
  if (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) {
    state = 1;
  } else if (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) {
    state = 2;
  }
  if (state == w.state) return FALSE;
  w.state = state;
  RECT bounds = w.bounds;
  if (state == 2) {
    // The maximized size comes in a configure-event of its own, later; a
    // maximized undecorated window fills its monitor's work area.
    RECT area;
    if (w.desktop.WorkArea(w.hwnd, area)) bounds = area;
    w.pending.Clear();
    w.desktop.FollowBounds(w, bounds);
  }
  Trace("window manager: state %d", state);
  w.sink.OnStateChanged(state, bounds);
  return FALSE;
}

gboolean GtkDesktop::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // The host decides: it unloads the form, which destroys the window.
  w.sink.OnCloseRequested();
  return TRUE;
}

void GtkDesktop::OnRealize(GtkWidget* widget, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // A region or cursor set before the window existed on the server. The
  // drawing area has a window of its own, made after the top level's.
  if (widget == w.window) {
    w.shape.Realized();
    w.shape.Apply(w.actual.width, w.actual.height);
    w.icon.Realized();
    // mutter makes an undecorated window that covers its monitor full
    // screen (with no panel, a maximize) unless the window says it draws
    // its own frame: a frame of no width says so.
    gdk_window_set_shadow_width(gtk_widget_get_window(widget), 0, 0, 0, 0);
    if (GdkFrameClock* clock = gtk_widget_get_frame_clock(w.window)) {
      g_signal_connect(clock, "after-paint", G_CALLBACK(OnAfterPaint), &w);
    }
  } else {
    w.input.Realized();
  }
}

void GtkDesktop::OnAfterPaint(GdkFrameClock*, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  bool first = false;
  if (!w.painter.TakeDrawn(first)) return;
  if (first) w.icon.FirstFramePainted();
  w.painter.TraceDrawn(w.actual.width, w.actual.height);
}

// The window moved to a monitor of another scale, or the desktop's scale
// changed: the host's logical geometry stays, the device pixels follow. The
// web views follow by themselves.
void GtkDesktop::OnScaleChanged(GObject*, GParamSpec*, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  Trace("scale %d", gtk_widget_get_scale_factor(w.window));
  w.shape.Apply(w.actual.width, w.actual.height);
  gtk_widget_queue_draw(w.area);
}

gboolean GtkDesktop::OnMapped(GtkWidget*, GdkEvent*, gpointer) {
  Phase("window mapped");
  return FALSE;
}

}  // namespace platform::gtk
