#include "platform/gtk/WindowWebViews.h"

#include "platform/gtk/PageUri.h"
#include "platform/gtk/Trace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform::gtk {

namespace {

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

WindowWebViews::WindowWebViews(GtkWidget* layout, const WebViewTable& table, int width, int height)
    : layout_(layout), table_(table), width_(width), height_(height) {}

WindowWebViews::~WindowWebViews() {
  if (holdTimer_ != 0) g_source_remove(holdTimer_);
}

void WindowWebViews::Disconnect() {
  if (holdTimer_ != 0) {
    g_source_remove(holdTimer_);
    holdTimer_ = 0;
  }
  if (firstView_ != nullptr) g_signal_handlers_disconnect_by_data(firstView_, this);
}

void WindowWebViews::Add(WebViewId id) {
  View& view = views_[id];
  // Nothing stands between the start and the first view's navigation, which
  // starts the web process, and that process starts on that page alone.
  // Held until the page has finished loading rather than committed, the web
  // process was seen to keep several megabytes more.
  if (firstView_ == nullptr || !holding_) Make(id, view);
}

void WindowWebViews::Make(WebViewId id, View& view) {
  GtkWidget* widget =
      GTK_WIDGET(NewWebView(firstView_ != nullptr ? WEBKIT_WEB_VIEW(firstView_) : nullptr));
  // Showing the window must not show a view the host keeps hidden; a hidden
  // view still loads its page and runs its scripts.
  gtk_widget_set_no_show_all(widget, TRUE);
  gtk_widget_set_size_request(widget, 1, 1);
  gtk_layout_put(GTK_LAYOUT(layout_), widget, 0, 0);
  g_signal_connect(widget, "load-changed", G_CALLBACK(OnLoadChanged), nullptr);
  view.widget = widget;
  if (firstView_ == nullptr) {
    firstView_ = widget;
    g_signal_connect(widget, "load-changed", G_CALLBACK(OnFirstViewLoaded), this);
    g_signal_connect(widget, "web-process-terminated", G_CALLBACK(OnFirstViewEnded), this);
  }
  PlaceWidget(id, widget);
  const WebViewEntry* entry = table_.Find(id);
  if (entry != nullptr && entry->visible) gtk_widget_show(widget);
  Phase("web view created");
  if (!view.heldUri.empty()) {
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(widget), view.heldUri.c_str());
    view.heldUri.clear();
  }
}

void WindowWebViews::MakeHeld() {
  holding_ = false;
  if (holdTimer_ != 0) {
    g_source_remove(holdTimer_);
    holdTimer_ = 0;
  }
  for (auto& [id, view] : views_) {
    if (view.widget == nullptr) Make(id, view);
  }
}

void WindowWebViews::OnFirstViewLoaded(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
  auto& views = *static_cast<WindowWebViews*>(data);
  // A load that fails before it commits still finishes.
  if ((event == WEBKIT_LOAD_COMMITTED || event == WEBKIT_LOAD_FINISHED) && views.holding_) {
    views.MakeHeld();
  }
}

void WindowWebViews::OnFirstViewEnded(WebKitWebView*, WebKitWebProcessTerminationReason,
                                      gpointer data) {
  auto& views = *static_cast<WindowWebViews*>(data);
  if (views.holding_) views.MakeHeld();
}

// A first page that never commits (a server that does not answer) must not
// keep the other pages from loading.
gboolean WindowWebViews::OnHoldTimer(gpointer data) {
  auto& views = *static_cast<WindowWebViews*>(data);
  views.holdTimer_ = 0;
  views.MakeHeld();
  return G_SOURCE_REMOVE;
}

void WindowWebViews::Place(WebViewId id) {
  auto it = views_.find(id);
  if (it != views_.end() && it->second.widget != nullptr) PlaceWidget(id, it->second.widget);
}

void WindowWebViews::Follow(int width, int height) {
  width_ = width;
  height_ = height;
  for (const auto& [id, view] : views_) {
    if (view.widget != nullptr) PlaceWidget(id, view.widget);
  }
}

void WindowWebViews::PlaceWidget(WebViewId id, GtkWidget* widget) {
  const WebViewEntry* entry = table_.Find(id);
  if (entry == nullptr) return;
  // A view reaching past the bottom of its window is drawn with its top rows
  // missing, as many as it reaches past, so a view is given only the part of
  // its rectangle inside the window. What lies outside is never seen anyway.
  const RECT r = WebViewTable::Visible(*entry, width_, height_);
  gtk_layout_move(GTK_LAYOUT(layout_), widget, r.left, r.top);
  gtk_widget_set_size_request(widget, std::max<LONG>(1, r.right - r.left),
                              std::max<LONG>(1, r.bottom - r.top));
}

void WindowWebViews::Show(WebViewId id, bool visible) {
  auto it = views_.find(id);
  if (it == views_.end()) return;
  View& view = it->second;
  if (view.widget == nullptr) {
    // A page to be seen is not held back.
    if (visible) Make(id, view);
  } else if (visible) {
    gtk_widget_show(view.widget);
  } else {
    gtk_widget_hide(view.widget);
  }
}

void WindowWebViews::Navigate(WebViewId id, const std::string& location) {
  auto it = views_.find(id);
  if (it == views_.end()) return;
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
  if (it->second.widget == nullptr) {
    it->second.heldUri = uri;
    if (holdTimer_ == 0) holdTimer_ = g_timeout_add(HoldMs, OnHoldTimer, this);
    return;
  }
  // The first navigation starts the web process.
  Phase("navigate");
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(it->second.widget), uri.c_str());
}

void WindowWebViews::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
  // For start-up measurements: G_MESSAGES_DEBUG=skinshell shows when each
  // page has finished loading.
  if (event == WEBKIT_LOAD_FINISHED) Trace("load finished: %s", webkit_web_view_get_uri(view));
  const char* uri = webkit_web_view_get_uri(view);
  const char* slash = uri != nullptr ? std::strrchr(uri, '/') : nullptr;
  std::string page = std::string(" ") + (slash != nullptr ? slash + 1 : "");
  page = page.substr(0, page.find('?'));
  if (event == WEBKIT_LOAD_STARTED) Phase("load started", page.c_str());
  if (event == WEBKIT_LOAD_COMMITTED) Phase("load committed", page.c_str());
  if (event == WEBKIT_LOAD_FINISHED) Phase("load finished", page.c_str());
}

}  // namespace platform::gtk
