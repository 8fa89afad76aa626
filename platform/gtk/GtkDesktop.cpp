#include "platform/gtk/GtkDesktop.h"

#include "platform/gdi/Gdi.h"
#include "platform/gtk/FrameAccessible.h"
#include "platform/gtk/IconProperty.h"
#include "platform/gtk/InputMapping.h"
#include "platform/gtk/PageUri.h"
#include "platform/gtk/ShapeRectangles.h"

// X11 last: it defines macros (None, Bool, Status) that clash with names in
// the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <gdk/gdkx.h>
#include <glib-unix.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
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

// What passes between the host and the window manager, for
// G_MESSAGES_DEBUG=skinshell.
template <class... Args>
void Trace(const char* format, Args... args) {
  g_log("skinshell", G_LOG_LEVEL_DEBUG, format, args...);
}

// A step of the start-up, timed on the monotonic clock for the start-up
// benchmark.
void Phase(const char* name, const char* detail = "") {
  Trace("phase %s%s at %" G_GINT64_FORMAT, name, detail, g_get_monotonic_time());
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

GdkPixbuf* PixbufOf(const IconImage& image) {
  const gdi::Surface& s = image.pixels;
  if (!s.HasPixels()) return nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, s.width, s.height);
  if (pixbuf == nullptr) return nullptr;
  guchar* bytes = gdk_pixbuf_get_pixels(pixbuf);
  int stride = gdk_pixbuf_get_rowstride(pixbuf);
  for (int y = 0; y < s.height; ++y) {
    const std::uint32_t* row = s.Row(y);
    guchar* out = bytes + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < s.width; ++x) {
      const std::uint32_t p = StraightArgb(row[x], image.bitsPerPixel);
      out[4 * x + 0] = static_cast<guchar>(p >> 16);
      out[4 * x + 1] = static_cast<guchar>(p >> 8);
      out[4 * x + 2] = static_cast<guchar>(p);
      out[4 * x + 3] = static_cast<guchar>(p >> 24);
    }
  }
  return pixbuf;
}

// How long the views after a window's first wait at most for its page.
constexpr guint HoldMs = 5000;

WebKitWebView* NewWebView(WebKitWebView* related) {
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_enable_javascript(settings, TRUE);
  webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
  webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  // The sound page plays as soon as it loads, with no click to allow it.
  webkit_settings_set_media_playback_requires_user_gesture(settings, FALSE);
  WebKitWebsitePolicies* policies =
      webkit_website_policies_new_with_policies("autoplay", WEBKIT_AUTOPLAY_ALLOW, nullptr);
  // Views of one window share a web process: a second process would cost
  // its start-up and a few hundred megabytes for a page that only plays a
  // sound.
  auto* view =
      WEBKIT_WEB_VIEW(related != nullptr ? g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings,
                                                        "website-policies", policies,
                                                        "related-view", related, nullptr)
                                         : g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings,
                                                        "website-policies", policies, nullptr));
  g_object_unref(policies);
  g_object_unref(settings);
  return view;
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
    : liveCountSignal_(g_unix_signal_add(SIGUSR2, TraceLiveObjects, nullptr)) {
  WatchWorkAreas();
}

GtkDesktop::~GtkDesktop() {
  if (liveCountSignal_ != 0) g_source_remove(liveCountSignal_);
  if (workAreasReset_ != 0) g_source_remove(workAreasReset_);
  if (watchedRoot_ != nullptr) gdk_window_remove_filter(watchedRoot_, OnRootEvent, this);
  if (monitorsChanged_ != 0) {
    g_signal_handler_disconnect(gdk_screen_get_default(), monitorsChanged_);
  }
  while (Window* w = windows_.First()) DestroyTopLevel(w->hwnd);
  for (auto& [cursor, gdkCursor] : cursors_) {
    if (gdkCursor != nullptr) g_object_unref(gdkCursor);
  }
}

GtkDesktop::Window* GtkDesktop::Get(HWND hwnd) {
  return windows_.Get(hwnd);
}

GtkWidget* GtkDesktop::Widget(HWND hwnd) {
  Window* w = Get(hwnd);
  return w == nullptr ? nullptr : w->window;
}

HWND GtkDesktop::CreateTopLevelImpl(WindowSink& sink, const RECT& bounds) {
  Trace("CreateTopLevel");
  Phase("window created");
  auto owned = std::make_unique<Window>();
  Window& w = *owned;
  w.desktop = this;
  w.sink = &sink;
  w.bounds = bounds;
  Geometry g = GeometryOf(bounds);
  w.actual = g;

  GtkSettings* settings = gtk_settings_get_default();
  int doubleClickTime = 400;
  int doubleClickDistance = 5;
  if (settings != nullptr) {
    g_object_get(settings, "gtk-double-click-time", &doubleClickTime, "gtk-double-click-distance",
                 &doubleClickDistance, nullptr);
  }
  w.clicks = ClickTracker(doubleClickTime, doubleClickDistance);

  w.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(w.window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(w.window), std::max(1, g.width), std::max(1, g.height));
  gtk_window_move(GTK_WINDOW(w.window), g.x, g.y);
  w.layout = NewFrameLayout();  // FrameAccessible.h
  gtk_container_add(GTK_CONTAINER(w.window), w.layout);
  w.area = NewFrameArea(sink);  // FrameAccessible.h
  gtk_widget_set_size_request(w.area, std::max(1, g.width), std::max(1, g.height));
  gtk_widget_add_events(w.area,
                        GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                            GDK_ENTER_NOTIFY_MASK);
  gtk_layout_put(GTK_LAYOUT(w.layout), w.area, 0, 0);

  g_signal_connect(w.area, "draw", G_CALLBACK(OnDraw), &w);
  g_signal_connect(w.area, "button-press-event", G_CALLBACK(OnButton), &w);
  g_signal_connect(w.area, "button-release-event", G_CALLBACK(OnButton), &w);
  g_signal_connect(w.area, "motion-notify-event", G_CALLBACK(OnMotion), &w);
  g_signal_connect(w.area, "enter-notify-event", G_CALLBACK(OnEnter), &w);
  g_signal_connect(w.area, "grab-broken-event", G_CALLBACK(OnGrabBroken), &w);
  g_signal_connect(w.window, "configure-event", G_CALLBACK(OnConfigure), &w);
  g_signal_connect(w.window, "window-state-event", G_CALLBACK(OnWindowState), &w);
  g_signal_connect(w.window, "delete-event", G_CALLBACK(OnDelete), &w);
  g_signal_connect(w.window, "realize", G_CALLBACK(OnRealize), &w);
  g_signal_connect(w.window, "map-event", G_CALLBACK(OnMapped), &w);
  g_signal_connect(w.window, "notify::scale-factor", G_CALLBACK(OnScaleChanged), &w);
  g_signal_connect(w.area, "realize", G_CALLBACK(OnRealize), &w);
  gtk_widget_show(w.area);
  gtk_widget_show(w.layout);

  w.hwnd = windows_.Add(std::move(owned));
  return w.hwnd;
}

// FrameAccessible.h
void GtkDesktop::AccessiblePartsChangedImpl(HWND hwnd) { FramePartsChanged(Get(hwnd)->area); }

void GtkDesktop::DestroyTopLevelImpl(HWND hwnd) {
  Window& w = *Get(hwnd);
  if (captureWindow_ == &w) captureWindow_ = nullptr;
  if (w.settleTimer != 0) g_source_remove(w.settleTimer);
  if (w.iconifyTimer != 0) g_source_remove(w.iconifyTimer);
  if (w.holdTimer != 0) g_source_remove(w.holdTimer);
  if (w.flushSource != 0) g_source_remove(w.flushSource);
  folderWatches_.erase(hwnd);
  // No signal may reach the sink from here on: the host is ending the window.
  g_signal_handlers_disconnect_by_data(w.window, &w);
  g_signal_handlers_disconnect_by_data(w.area, &w);
  ForgetFrameSink(w.area);  // FrameAccessible.h
  if (w.firstView != nullptr) g_signal_handlers_disconnect_by_data(w.firstView, &w);
  if (GdkFrameClock* clock = gtk_widget_get_frame_clock(w.window)) {
    g_signal_handlers_disconnect_by_data(clock, &w);
  }
  gtk_widget_destroy(w.window);
  windows_.Remove(hwnd);
}

void GtkDesktop::Request(Window& w, const Geometry& requested, bool force) {
  // This request supersedes any the host's assignments left to send.
  if (w.flushSource != 0) {
    g_source_remove(w.flushSource);
    w.flushSource = 0;
  }
  Geometry g = requested;
  g.width = std::max(1, g.width);
  g.height = std::max(1, g.height);
  // GTK and the window manager hold a resize to the minimum size they were
  // told, which is the sizing loops' alone: the host may want less for a
  // while (it raises the size itself), so the hint gives way to the request.
  ApplyMinimum(w, std::min(w.minWidth, g.width), std::min(w.minHeight, g.height));
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
  if (w.settleTimer != 0) g_source_remove(w.settleTimer);
  w.settleTimer = g_timeout_add(PendingGeometry::SettleMs + 20, OnSettleTimer, &w);
}

void GtkDesktop::SetBoundsImpl(HWND hwnd, const RECT& bounds) {
  Window* w = Get(hwnd);
  Trace("SetBounds %d,%d %dx%d", bounds.left, bounds.top, bounds.right - bounds.left,
        bounds.bottom - bounds.top);
  w->bounds = bounds;
  Geometry g = GeometryOf(bounds);
  // The drawing area follows the model at once, so the host's pixels are
  // shown at the size it drew them for.
  gtk_widget_set_size_request(w->area, std::max(1, g.width), std::max(1, g.height));
  PlaceWebViews(*w);
  if (!gtk_widget_get_mapped(w->window)) {
    Request(*w, g);
    return;
  }
  // A handler that assigns the bounds piece by piece (the caption's
  // maximize: position, then width, then height) would cost a configure
  // round trip per piece and a frame at every size in between. What the
  // host settled on goes out once, before the main loop turns to anything
  // else: at a priority above the window system's events and the frame
  // clock.
  if (w->flushSource == 0) {
    w->flushSource = g_idle_add_full(G_PRIORITY_HIGH, OnFlushBounds, w, nullptr);
  }
}

void GtkDesktop::FlushBounds(Window& w) {
  if (w.flushSource != 0) Request(w, GeometryOf(w.bounds));
}

gboolean GtkDesktop::OnFlushBounds(gpointer data) {
  auto& w = *static_cast<Window*>(data);
  w.flushSource = 0;
  w.desktop->Request(w, GeometryOf(w.bounds));
  return G_SOURCE_REMOVE;
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
      PrepareFirstFrame(*w);
      w->pending.Requested(GeometryOf(w->bounds));
      if (w->settleTimer != 0) g_source_remove(w->settleTimer);
      w->settleTimer = g_timeout_add(PendingGeometry::SettleMs + 20, OnSettleTimer, w);
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
  if (w->iconifyTimer != 0) {
    g_source_remove(w->iconifyTimer);
    w->iconifyTimer = 0;
  }
  if (windowState == 1) {
    gtk_window_iconify(window);
    // With no window manager nothing iconifies the window, and nothing but
    // the window could bring the host back from minimized. Unanswered, the
    // request is taken as refused (OnIconifyTimer).
    w->iconifyTimer = g_timeout_add(PendingGeometry::SettleMs + 20, OnIconifyTimer, w);
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
      if (w->settleTimer != 0) g_source_remove(w->settleTimer);
      w->settleTimer = g_timeout_add(PendingGeometry::SettleMs + 20, OnSettleTimer, w);
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
  Window* w = Get(hwnd);
  w->icon = images;
  // GTK also makes the old-style icon pixmap on the X server: Cairo's set-up
  // for it and the upload held the map of a new window up by 2 to 6 ms.
  // Until the first frame is on screen, the window gets only the property
  // window managers show, written here; GTK gets the images after it.
  if (w->framePainted) {
    GiveIconToGtk(*w);
  } else {
    WriteIconProperty(*w);
  }
}

void GtkDesktop::WriteIconProperty(Window& w) {
  GdkWindow* gdkWindow = gtk_widget_get_window(w.window);
  if (gdkWindow == nullptr || !GDK_IS_X11_WINDOW(gdkWindow)) return;
  Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
  ::Window xid = GDK_WINDOW_XID(gdkWindow);
  const Atom property =
      gdk_x11_get_xatom_by_name_for_display(gdk_window_get_display(gdkWindow), "_NET_WM_ICON");
  const std::vector<unsigned long> value = NetWmIcon(w.icon);
  if (value.empty()) {
    XDeleteProperty(display, xid, property);
    return;
  }
  XChangeProperty(display, xid, property, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(value.data()),
                  static_cast<int>(value.size()));
}

void GtkDesktop::GiveIconToGtk(Window& w) {
  GList* list = nullptr;
  for (const IconImage& image : w.icon) {
    if (GdkPixbuf* pixbuf = PixbufOf(image)) list = g_list_append(list, pixbuf);
  }
  gtk_window_set_icon_list(GTK_WINDOW(w.window), list);
  g_list_free_full(list, g_object_unref);
}

void GtkDesktop::SetMinimumSizeImpl(HWND hwnd, int width, int height) {
  Window* w = Get(hwnd);
  w->minWidth = width;
  w->minHeight = height;
  // A window already smaller keeps its size until the host changes it.
  ApplyMinimum(*w, std::min(w->minWidth, w->actual.width), std::min(w->minHeight, w->actual.height));
}

void GtkDesktop::ApplyMinimum(Window& w, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == w.hintWidth && height == w.hintHeight) return;
  w.hintWidth = width;
  w.hintHeight = height;
  GdkGeometry hints{};
  hints.min_width = width;
  hints.min_height = height;
  gtk_window_set_geometry_hints(GTK_WINDOW(w.window), nullptr, &hints, GDK_HINT_MIN_SIZE);
}

GdkCursor* GtkDesktop::CursorFor(Cursor cursor) {
  auto it = cursors_.find(cursor);
  if (it != cursors_.end()) return it->second;
  const char* name = CursorName(cursor);
  GdkCursor* gdkCursor =
      name != nullptr ? gdk_cursor_new_from_name(gdk_display_get_default(), name) : nullptr;
  cursors_[cursor] = gdkCursor;
  return gdkCursor;
}

void GtkDesktop::SetCursorImpl(HWND hwnd, Cursor cursor) {
  Window* w = Get(hwnd);
  if (w->cursor == cursor) return;
  w->cursor = cursor;
  if (GdkWindow* gdkWindow = gtk_widget_get_window(w->area)) {
    gdk_window_set_cursor(gdkWindow, CursorFor(cursor));
  }
}

void GtkDesktop::InvalidateImpl(HWND hwnd) { gtk_widget_queue_draw(Get(hwnd)->area); }

bool GtkDesktop::SetRegionImpl(HWND hwnd, HRGN region) {
  Window* w = Get(hwnd);
  w->region.Reset(region);
  w->shapeWidth = -1;
  ApplyShape(*w);
  return true;
}

// The X Shape extension directly: GDK's shape calls on a mapped window only
// take effect at the next resize, and then for the old size.
void GtkDesktop::ApplyShape(Window& w) {
  GdkWindow* gdkWindow = gtk_widget_get_window(w.window);
  if (gdkWindow == nullptr || !GDK_IS_X11_WINDOW(gdkWindow)) return;
  Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
  ::Window xid = GDK_WINDOW_XID(gdkWindow);
  int width = w.actual.width;
  int height = w.actual.height;
  // GTK works in logical pixels; the X Shape is in the window's own pixels.
  const int scale = std::max(1, gdk_window_get_scale_factor(gdkWindow));
  if (scale != w.shapeScale) {
    w.shapeScale = scale;
    if (w.region != nullptr) w.shapeWidth = -1;
  }
  if (w.region == nullptr) {
    if (w.shapeWidth == -1 && w.shapeHeight == -2) return;  // already removed
    XShapeCombineMask(display, xid, ShapeBounding, 0, 0, None, ShapeSet);
    XShapeCombineMask(display, xid, ShapeInput, 0, 0, None, ShapeSet);
    w.shapeWidth = -1;
    w.shapeHeight = -2;
    return;
  }
  if (width == w.shapeWidth && height == w.shapeHeight) return;
  std::vector<ShapeRect> rects =
      ShapeRectangles(gdi::RegionSpans(w.region, width, height), scale);
  std::vector<XRectangle> xrects;
  xrects.reserve(rects.size());
  for (const ShapeRect& r : rects) {
    xrects.push_back({static_cast<short>(r.x), static_cast<short>(r.y),
                      static_cast<unsigned short>(r.width), static_cast<unsigned short>(r.height)});
  }
  for (int kind : {ShapeBounding, ShapeInput}) {
    XShapeCombineRectangles(display, xid, kind, 0, 0, xrects.data(),
                            static_cast<int>(xrects.size()), ShapeSet, YXBanded);
  }
  w.shapeWidth = width;
  w.shapeHeight = height;
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

bool GtkDesktop::WorkAreaImpl(int index, RECT& area) {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return false;
  GdkMonitor* monitor = index >= 0 ? gdk_display_get_monitor(display, index) : nullptr;
  if (monitor == nullptr) monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return false;
  // Reading the work area costs GDK two or three round trips to the X
  // server, and the host asks at every size of a live resize, several times
  // in a maximize. It lives in the root window's properties, so it is read
  // again only once one of them has changed (or the monitors have). Without
  // that watch, once a turn of the main loop: within one no change can have
  // been heard of.
  auto known = workAreas_.find(monitor);
  if (known != workAreas_.end()) {
    area = known->second;
    return true;
  }
  GdkRectangle r;
  gdk_monitor_get_workarea(monitor, &r);
  area = RectOf(r);
  workAreas_[monitor] = area;
  if (watchedRoot_ == nullptr && workAreasReset_ == 0) {
    workAreasReset_ = g_idle_add_full(G_PRIORITY_HIGH, OnWorkAreasReset, this, nullptr);
  }
  return true;
}

void GtkDesktop::WatchWorkAreas() {
  GdkScreen* screen = gdk_screen_get_default();
  GdkWindow* root = screen != nullptr ? gdk_screen_get_root_window(screen) : nullptr;
  if (root == nullptr || !GDK_IS_X11_WINDOW(root)) return;
  Display* display = GDK_WINDOW_XDISPLAY(root);
  const ::Window xroot = GDK_WINDOW_XID(root);
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, xroot, &attributes) == 0) return;
  // GDK selects events of its own on the root window straight through Xlib;
  // property changes are added to them, not put in their place.
  XSelectInput(display, xroot, attributes.your_event_mask | PropertyChangeMask);
  gdk_window_add_filter(root, OnRootEvent, this);
  watchedRoot_ = root;
  monitorsChanged_ =
      g_signal_connect(screen, "monitors-changed", G_CALLBACK(OnMonitorsChanged), this);
}

GdkFilterReturn GtkDesktop::OnRootEvent(GdkXEvent* xevent, GdkEvent*, gpointer data) {
  if (static_cast<XEvent*>(xevent)->type == PropertyNotify) {
    static_cast<GtkDesktop*>(data)->workAreas_.clear();
  }
  return GDK_FILTER_CONTINUE;
}

void GtkDesktop::OnMonitorsChanged(GdkScreen*, gpointer data) {
  static_cast<GtkDesktop*>(data)->workAreas_.clear();
}

gboolean GtkDesktop::OnWorkAreasReset(gpointer data) {
  auto& desktop = *static_cast<GtkDesktop*>(data);
  desktop.workAreasReset_ = 0;
  desktop.workAreas_.clear();
  return G_SOURCE_REMOVE;
}

void GtkDesktop::BeginMoveSizeImpl(HWND hwnd, WPARAM hitCode) {
  Window* w = Get(hwnd);
  if (w->press.button == 0) return;
  // The loop starts from the bounds the host has set.
  FlushBounds(*w);
  GtkWindow* window = GTK_WINDOW(w->window);
  Press press = w->press;
  if (hitCode == HTCAPTION) {
    gtk_window_begin_move_drag(window, static_cast<gint>(press.button), press.rootX, press.rootY,
                               press.time);
  } else if (auto edge = SizingEdge(hitCode)) {
    gtk_window_begin_resize_drag(window, *edge, static_cast<gint>(press.button), press.rootX,
                                 press.rootY, press.time);
  } else {
    return;
  }
  Trace("begin move/size %d", static_cast<int>(hitCode));
  // The loop owns the pointer now; no release comes back to this window.
  w->press = Press{};
  if (captureWindow_ == w) captureWindow_ = nullptr;
  w->sink->OnCaptureReleased();
}

void GtkDesktop::ReleaseCaptureImpl() {
  Window* w = captureWindow_;
  if (w == nullptr) return;
  captureWindow_ = nullptr;
  w->sink->OnCaptureReleased();
}

// The screen is the primary monitor, as on Windows: a first start centres on
// it, not across every monitor there is.
RECT GtkDesktop::PrimaryMonitor() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return {};
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return {};
  GdkRectangle r;
  gdk_monitor_get_geometry(monitor, &r);
  return RectOf(r);
}

int GtkDesktop::ScreenWidthImpl() {
  RECT r = PrimaryMonitor();
  return r.right - r.left;
}

int GtkDesktop::ScreenHeightImpl() {
  RECT r = PrimaryMonitor();
  return r.bottom - r.top;
}

std::vector<RECT> GtkDesktop::MonitorsImpl() {
  std::vector<RECT> monitors;
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return monitors;
  int count = gdk_display_get_n_monitors(display);
  for (int i = 0; i < count; ++i) {
    GdkRectangle r;
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &r);
    monitors.push_back(RectOf(r));
  }
  return monitors;
}

int GtkDesktop::ScaleImpl(HWND hwnd) {
  if (Window* w = hwnd != nullptr ? Get(hwnd) : nullptr) return std::max(1, gtk_widget_get_scale_factor(w->window));
  // On X11 every monitor has the screen's one scale.
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display != nullptr ? gdk_display_get_primary_monitor(display) : nullptr;
  if (monitor == nullptr && display != nullptr) monitor = gdk_display_get_monitor(display, 0);
  return monitor == nullptr ? 1 : std::max(1, gdk_monitor_get_scale_factor(monitor));
}

bool GtkDesktop::CreateWebViewImpl(WebViewId id, HWND parent) {
  Window* w = Get(parent);
  webViews_.emplace(id, WebView{});
  // A web view costs tens of milliseconds of this thread to make, and all of
  // a window's views share one web process. The views after the first are
  // made once the first one's page has committed (its document has arrived),
  // so that nothing stands between the start and that navigation, which
  // starts the web process, and that process starts on that page alone.
  // Later still, once the page has finished loading, the web process was
  // seen to keep several megabytes more.
  if (w->firstView == nullptr || !w->holdingViews) MakeWebView(id, *w);
  return true;
}

// The widget goes with its window, which is destroyed next: the first view
// has the window's handlers on it until then.
void GtkDesktop::DestroyWebViewImpl(WebViewId id) { webViews_.erase(id); }

void GtkDesktop::MakeWebView(WebViewId id, Window& w) {
  WebView& view = webViews_[id];
  GtkWidget* widget =
      GTK_WIDGET(NewWebView(w.firstView != nullptr ? WEBKIT_WEB_VIEW(w.firstView) : nullptr));
  // Showing the window must not show a view the host keeps hidden; a hidden
  // view still loads its page and runs its scripts.
  gtk_widget_set_no_show_all(widget, TRUE);
  gtk_widget_set_size_request(widget, 1, 1);
  gtk_layout_put(GTK_LAYOUT(w.layout), widget, 0, 0);
  g_signal_connect(widget, "load-changed", G_CALLBACK(OnLoadChanged), nullptr);
  view.view = widget;
  if (w.firstView == nullptr) {
    w.firstView = widget;
    g_signal_connect(widget, "load-changed", G_CALLBACK(OnFirstViewLoaded), &w);
    g_signal_connect(widget, "web-process-terminated", G_CALLBACK(OnFirstViewEnded), &w);
  }
  PlaceWebView(id, w);
  if (WebViews().Find(id)->visible) gtk_widget_show(widget);
  Phase("web view created");
  if (!view.heldUri.empty()) {
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(widget), view.heldUri.c_str());
    view.heldUri.clear();
  }
}

void GtkDesktop::MakeHeldWebViews(Window& w) {
  w.holdingViews = false;
  if (w.holdTimer != 0) {
    g_source_remove(w.holdTimer);
    w.holdTimer = 0;
  }
  for (WebViewId id : WebViews().Of(w.hwnd)) {
    if (webViews_[id].view == nullptr) MakeWebView(id, w);
  }
}

void GtkDesktop::OnFirstViewLoaded(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // A load that fails before it commits still finishes.
  if ((event == WEBKIT_LOAD_COMMITTED || event == WEBKIT_LOAD_FINISHED) && w.holdingViews) {
    w.desktop->MakeHeldWebViews(w);
  }
}

void GtkDesktop::OnFirstViewEnded(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  if (w.holdingViews) w.desktop->MakeHeldWebViews(w);
}

// A first page that never commits (a server that does not answer) must not
// keep the other pages from loading.
gboolean GtkDesktop::OnHoldTimer(gpointer data) {
  auto& w = *static_cast<Window*>(data);
  w.holdTimer = 0;
  w.desktop->MakeHeldWebViews(w);
  return G_SOURCE_REMOVE;
}

void GtkDesktop::SetWebViewBoundsImpl(WebViewId id, const RECT&) {
  if (webViews_[id].view != nullptr) PlaceWebView(id, *Get(WebViews().Find(id)->parent));
}

void GtkDesktop::PlaceWebViews(const Window& w) {
  for (WebViewId id : WebViews().Of(w.hwnd)) {
    if (webViews_[id].view != nullptr) PlaceWebView(id, w);
  }
}

// A view reaching past the bottom of its window is drawn with its top rows
// missing, as many as it reaches past, so a view is given only the part of
// its rectangle inside the window. What lies outside is never seen anyway.
void GtkDesktop::PlaceWebView(WebViewId id, const Window& w) {
  const RECT r = WebViewTable::Visible(*WebViews().Find(id), w.bounds.right - w.bounds.left,
                                       w.bounds.bottom - w.bounds.top);
  GtkWidget* view = webViews_[id].view;
  gtk_layout_move(GTK_LAYOUT(w.layout), view, r.left, r.top);
  gtk_widget_set_size_request(view, std::max<LONG>(1, r.right - r.left),
                              std::max<LONG>(1, r.bottom - r.top));
}

void GtkDesktop::ShowWebViewImpl(WebViewId id, bool visible) {
  WebView& view = webViews_[id];
  if (view.view == nullptr) {
    // A page to be seen is not held back.
    if (visible) MakeWebView(id, *Get(WebViews().Find(id)->parent));
    return;
  }
  if (visible) {
    gtk_widget_show(view.view);
  } else {
    gtk_widget_hide(view.view);
  }
}

void GtkDesktop::NavigateImpl(WebViewId id, const std::string& location) {
  auto it = webViews_.find(id);
  std::string uri = PageUri(location);
  Trace("Navigate %d %s", id, uri.c_str());
  // The URI holds such a path as GLib escapes it, but WebKit reads a file
  // URI's escapes as UTF-8 and finds nothing: the page stays blank, which
  // deserves one word on why.
  static bool told = false;
  if (!told && !g_utf8_validate(location.data(), static_cast<gssize>(location.size()), nullptr)) {
    told = true;
    std::fprintf(stderr,
                 "skinshell: cannot show %s: the web view loads no file whose path is not "
                 "valid UTF-8 (rename the program folder)\n",
                 location.c_str());
  }
  if (it->second.view == nullptr) {
    it->second.heldUri = uri;
    Window* w = Get(WebViews().Find(id)->parent);
    if (w->holdTimer == 0) {
      w->holdTimer = g_timeout_add(HoldMs, OnHoldTimer, w);
    }
    return;
  }
  // The first navigation starts the web process.
  Phase("navigate");
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(it->second.view), uri.c_str());
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

// The frame buffer is megabytes, and the first draw into it would stop at
// each of its pages for the kernel to map it: 2 ms at scale 2. The pages
// are mapped on another core instead, while the window is realized and
// mapped; its first draw takes them.
void GtkDesktop::PrepareFirstFrame(Window& w) {
  if (w.firstFrame.valid() || w.frame.Allocated()) return;
  const std::size_t scale = static_cast<std::size_t>(Scale(w.hwnd));
  const std::size_t needed =
      static_cast<std::size_t>(std::max<LONG>(0, w.bounds.right - w.bounds.left)) *
      static_cast<std::size_t>(std::max<LONG>(0, w.bounds.bottom - w.bounds.top)) * scale * scale;
  if (needed == 0) return;
  w.firstFrame = std::async(std::launch::async, [needed] {
    gdi::Pixels pixels;
    try {
      pixels.resize(needed);
    } catch (const std::bad_alloc&) {
      return gdi::Pixels{};  // the draw finds out for itself
    }
    // A write to each page of 4 KiB maps it.
    for (std::size_t i = 0; i < needed; i += 1024) pixels[i] = 0;
    return pixels;
  });
}

// Whether the rectangle (window pixels) lies inside one shown web view,
// which paints all of it over the frame.
bool GtkDesktop::UnderWebView(const Window& w, const GdkRectangle& r) const {
  for (WebViewId id : WebViews().Of(w.hwnd)) {
    const WebViewEntry& view = *WebViews().Find(id);
    if (webViews_.at(id).view == nullptr || !view.visible) continue;
    const RECT p = WebViewTable::Visible(view, w.bounds.right - w.bounds.left,
                                         w.bounds.bottom - w.bounds.top);
    if (r.x >= p.left && r.y >= p.top && r.x + r.width <= p.right && r.y + r.height <= p.bottom) {
      return true;
    }
  }
  return false;
}

gboolean GtkDesktop::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // A web view repainting its page (loading, scrolling, an animation) has
  // the window draw the part under it, frame first: none of the frame shows
  // there, and rendering it would cost the frame's whole drawing each time.
  GdkRectangle clip;
  if (gdk_cairo_get_clip_rectangle(cr, &clip) && w.desktop->UnderWebView(w, clip)) return TRUE;
  // The host draws in device pixels, at the window's scale: sharp blocks
  // for its pixels, text and icon at the device's resolution.
  const int scale = std::max(1, gtk_widget_get_scale_factor(widget));
  const int width = gtk_widget_get_allocated_width(widget) * scale;
  const int height = gtk_widget_get_allocated_height(widget) * scale;
  if (width <= 0 || height <= 0) return TRUE;
  if (w.firstFrame.valid()) w.frame.Take(w.firstFrame.get());
  const std::optional<std::vector<RECT>> uncovered = w.frame.Draw(*w.sink, width, height, scale);
  if (!uncovered) return TRUE;
  gdi::Surface& frame = w.frame.Frame();
  cairo_surface_t* image = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(frame.pixels.data()), CAIRO_FORMAT_ARGB32, frame.width,
      frame.height, frame.width * 4);
  cairo_surface_set_device_scale(image, scale, scale);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, image, 0, 0);
  // Device pixel for device pixel: never smoothed.
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  // Only the frame's strips go to the X server, one rectangle at a time:
  // a single path of them all would have the whole window's extent, and
  // the whole picture would be uploaded for it.
  for (const RECT& r : *uncovered) {
    cairo_rectangle(cr, static_cast<double>(r.left) / scale, static_cast<double>(r.top) / scale,
                    static_cast<double>(r.right - r.left) / scale,
                    static_cast<double>(r.bottom - r.top) / scale);
    cairo_fill(cr);
  }
  cairo_surface_destroy(image);
  w.drewFrame = true;
  w.frameScale = scale;
  return TRUE;
}

gboolean GtkDesktop::OnButton(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // GTK's own double- and triple-click events come after a second press that
  // has already been handled as the double-click.
  if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) return TRUE;
  int button = HostButton(event->button);
  if (button == 0) return TRUE;
  PointerEvent pointer;
  pointer.button = button;
  pointer.shift = HostShift(event->state);
  pointer.x = static_cast<int>(std::floor(event->x));
  pointer.y = static_cast<int>(std::floor(event->y));
  int rootX = static_cast<int>(std::floor(event->x_root));
  int rootY = static_cast<int>(std::floor(event->y_root));
  if (event->type == GDK_BUTTON_PRESS) {
    w.press = {event->button, rootX, rootY, event->time};
    w.desktop->captureWindow_ = &w;
    pointer.kind = w.clicks.Press(button, rootX, rootY, event->time) ? PointerKind::DoubleClick
                                                                     : PointerKind::Down;
  } else {
    if (w.press.button == event->button) w.press = Press{};
    if (w.desktop->captureWindow_ == &w) w.desktop->captureWindow_ = nullptr;
    pointer.kind = PointerKind::Up;
  }
  w.sink->OnPointer(pointer);
  return TRUE;
}

void GtkDesktop::MoveAt(Window& w, double x, double y, guint state) {
  PointerEvent pointer;
  pointer.kind = PointerKind::Move;
  pointer.button = HostButtons(state);
  pointer.shift = HostShift(state);
  pointer.x = static_cast<int>(std::floor(x));
  pointer.y = static_cast<int>(std::floor(y));
  w.sink->OnPointer(pointer);
}

gboolean GtkDesktop::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  MoveAt(*static_cast<Window*>(data), event->x, event->y, event->state);
  return TRUE;
}

// The pointer arriving from a web view, from outside, or by the window
// moving under it: the host hears a move at the entry point, as Windows
// sends one, so hover faces and sizing cursors show before the next motion.
// Leaving says nothing.
gboolean GtkDesktop::OnEnter(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  MoveAt(*static_cast<Window*>(data), event->x, event->y, event->state);
  return TRUE;
}

gboolean GtkDesktop::OnGrabBroken(GtkWidget*, GdkEvent*, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // Another grab took the pointer while a button was down: no release will
  // come, and a sizing loop started later must not begin from this press.
  bool held = w.press.button != 0 || w.desktop->captureWindow_ == &w;
  w.press = Press{};
  if (w.desktop->captureWindow_ == &w) w.desktop->captureWindow_ = nullptr;
  if (held) w.sink->OnCaptureReleased();
  return FALSE;
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
  if (auto skipped = w.resizeTrace.Configured({g.width, g.height}, g_get_monotonic_time())) {
    Trace("size %dx%d skipped", skipped->width, skipped->height);
  }
  GtkDesktop* desktop = w.desktop;
  const HWND hwnd = w.hwnd;
  if (!w.leavingMaximized) {
    switch (w.pending.Configured(g)) {
      case PendingGeometry::Verdict::Answer:
      case PendingGeometry::Verdict::Stale:
        break;
      case PendingGeometry::Verdict::Outside:
        // A minimized window keeps the bounds it will be restored to.
        if (w.state != 1) desktop->Adopt(w, g);
        break;
    }
  }
  // The host's resize handling may have given the outline for the new size
  // already (and may even have closed the window); otherwise the outline it
  // has is applied at the new size. Applied before, it would be worked out
  // twice at every size of a live resize.
  Window* still = desktop->Get(hwnd);
  if (still != nullptr && (g.width != still->shapeWidth || g.height != still->shapeHeight)) {
    desktop->ApplyShape(*still);
  }
  return FALSE;
}

void GtkDesktop::Adopt(Window& w, const Geometry& g) {
  if (GeometryOf(w.bounds) == g) return;
  Trace("window manager: bounds %d,%d %dx%d", g.x, g.y, g.width, g.height);
  w.bounds = RectOf(g);
  gtk_widget_set_size_request(w.area, std::max(1, g.width), std::max(1, g.height));
  PlaceWebViews(w);
  // The host runs its resize handling here and may answer with new bounds
  // of its own (its minimum size), which arrive as a fresh request.
  w.sink->OnBoundsChanged(g.x, g.y, g.width, g.height);
}

void GtkDesktop::Settle(Window& w) {
  w.pending.Clear();
  if (!gtk_widget_get_realized(w.window)) return;
  Geometry g = RealGeometry(w.window);
  w.actual = g;
  ApplyShape(w);
  if (w.state != 1) Adopt(w, g);
}

gboolean GtkDesktop::OnSettleTimer(gpointer data) {
  auto& w = *static_cast<Window*>(data);
  w.settleTimer = 0;
  if (w.leavingMaximized) {
    // The window manager never said it left its maximized state: the host's
    // bounds are asked for all the same.
    w.leavingMaximized = false;
    w.desktop->Request(w, GeometryOf(w.bounds), true);
    return G_SOURCE_REMOVE;
  }
  // The window manager changed or refused the last request: what the window
  // really is now is the truth.
  if (!w.pending.Empty()) w.desktop->Settle(w);
  return G_SOURCE_REMOVE;
}

gboolean GtkDesktop::OnIconifyTimer(gpointer data) {
  auto& w = *static_cast<Window*>(data);
  w.iconifyTimer = 0;
  if (w.state != 1) return G_SOURCE_REMOVE;
  GdkWindow* gdkWindow = gtk_widget_get_window(w.window);
  // An unmapped window is iconified, if at all, when it is shown.
  if (gdkWindow == nullptr || !gtk_widget_get_mapped(w.window)) return G_SOURCE_REMOVE;
  if ((gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_ICONIFIED) != 0) {
    Trace("window manager: iconify done");
    return G_SOURCE_REMOVE;
  }
  // The window is still on screen, normal: so is the host, at the window's
  // real geometry (geometry changes were not adopted while minimized).
  Geometry g = RealGeometry(w.window);
  w.pending.Clear();
  w.actual = g;
  w.bounds = RectOf(g);
  w.state = 0;
  gtk_widget_set_size_request(w.area, std::max(1, g.width), std::max(1, g.height));
  w.desktop->PlaceWebViews(w);
  w.desktop->ApplyShape(w);
  Trace("window manager: iconify refused");
  w.sink->OnStateChanged(0, w.bounds);
  return G_SOURCE_REMOVE;
}

gboolean GtkDesktop::OnWindowState(GtkWidget* widget, GdkEventWindowState* event, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  constexpr auto Watched = GDK_WINDOW_STATE_ICONIFIED | GDK_WINDOW_STATE_MAXIMIZED;
  if ((event->changed_mask & Watched) == 0) return FALSE;
  w.maximized = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  if (w.leavingMaximized && !w.maximized) {
    w.leavingMaximized = false;
    w.desktop->Request(w, GeometryOf(w.bounds), true);
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
    if (w.desktop->WorkArea(w.hwnd, area)) bounds = area;
    w.pending.Clear();
    w.bounds = bounds;
    Geometry g = GeometryOf(bounds);
    gtk_widget_set_size_request(w.area, std::max(1, g.width), std::max(1, g.height));
    w.desktop->PlaceWebViews(w);
  }
  (void)widget;
  Trace("window manager: state %d", state);
  w.sink->OnStateChanged(state, bounds);
  return FALSE;
}

gboolean GtkDesktop::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // The host decides: it unloads the form, which destroys the window.
  w.sink->OnCloseRequested();
  return TRUE;
}

void GtkDesktop::OnRealize(GtkWidget* widget, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  // A region or cursor set before the window existed on the server. The
  // drawing area has a window of its own, made after the top level's.
  if (widget == w.window) {
    w.shapeWidth = -1;
    w.shapeHeight = -1;
    w.desktop->ApplyShape(w);
    // GTK's realize has just removed any icon the window had: GTK was given
    // none yet.
    if (!w.framePainted && !w.icon.empty()) w.desktop->WriteIconProperty(w);
    if (GdkFrameClock* clock = gtk_widget_get_frame_clock(w.window)) {
      g_signal_connect(clock, "after-paint", G_CALLBACK(OnAfterPaint), &w);
    }
  } else if (GdkWindow* gdkWindow = gtk_widget_get_window(w.area)) {
    gdk_window_set_cursor(gdkWindow, w.desktop->CursorFor(w.cursor));
  }
}

// For G_MESSAGES_DEBUG=skinshell: when each size the window manager gave was
// on screen, and any frame painted at another size than the window's.
void GtkDesktop::OnAfterPaint(GdkFrameClock*, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  if (!w.drewFrame) return;
  w.drewFrame = false;
  if (!w.framePainted) {
    w.framePainted = true;
    Phase("first frame");
    if (!w.icon.empty()) w.desktop->GiveIconToGtk(w);
  }
  // In logical pixels, as the window's geometry is.
  ResizeTrace::Size drawn{w.frame.Frame().width / w.frameScale,
                         w.frame.Frame().height / w.frameScale};
  std::int64_t now = g_get_monotonic_time();
  if (auto ms = w.resizeTrace.Painted(drawn, now)) {
    Trace("size %dx%d drawn after %.2f ms at %" G_GINT64_FORMAT, drawn.width, drawn.height, *ms,
          now);
  }
  if (drawn.width != w.actual.width || drawn.height != w.actual.height) {
    Trace("stale frame %dx%d in a %dx%d window", drawn.width, drawn.height, w.actual.width,
          w.actual.height);
  }
}

// The window moved to a monitor of another scale, or the desktop's scale
// changed: the host's logical geometry stays, the device pixels follow. The
// web views follow by themselves.
void GtkDesktop::OnScaleChanged(GObject*, GParamSpec*, gpointer data) {
  auto& w = *static_cast<Window*>(data);
  Trace("scale %d", gtk_widget_get_scale_factor(w.window));
  w.desktop->ApplyShape(w);
  gtk_widget_queue_draw(w.area);
}

void GtkDesktop::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
  // For start-up measurements: G_MESSAGES_DEBUG=skinshell shows when each
  // page has finished loading.
  if (event == WEBKIT_LOAD_FINISHED) {
    g_log("skinshell", G_LOG_LEVEL_DEBUG, "load finished: %s", webkit_web_view_get_uri(view));
  }
  const char* uri = webkit_web_view_get_uri(view);
  const char* slash = uri != nullptr ? std::strrchr(uri, '/') : nullptr;
  std::string page = std::string(" ") + (slash != nullptr ? slash + 1 : "");
  page = page.substr(0, page.find('?'));
  if (event == WEBKIT_LOAD_STARTED) Phase("load started", page.c_str());
  if (event == WEBKIT_LOAD_COMMITTED) Phase("load committed", page.c_str());
  if (event == WEBKIT_LOAD_FINISHED) Phase("load finished", page.c_str());
}

gboolean GtkDesktop::OnMapped(GtkWidget*, GdkEvent*, gpointer) {
  Phase("window mapped");
  return FALSE;
}

}  // namespace platform::gtk
