#include "platform/gtk/WindowWebViews.h"

#include "platform/gtk/PageEngine.h"
#include "platform/gtk/PageHandOff.h"
#include "platform/gtk/PageUri.h"
#include "platform/gtk/Trace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform::gtk {

namespace {

// The key under which a view's widget names its View, for the downloads the
// web context reports.
constexpr const char* ViewKey = "skinshell-view";

// What the views show when their web process has ended twice in a row.
constexpr const char* EndedPage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
    "<p>The pages stopped working. Start the program again to see them.</p></body></html>";

// WebKit makes about: pages and source views itself: a navigation there
// has no response to ask about and does not fail. An iframe's srcdoc
// document is one of them, and a top document's script that goes there
// is caught when it commits.
bool AnsweredLater(const char* uri) {
  if (uri == nullptr) return false;
  if (std::strcmp(uri, "about:srcdoc") == 0) return true;
  return g_ascii_strncasecmp(uri, "about:", 6) != 0 &&
         g_ascii_strncasecmp(uri, "view-source:", 12) != 0;
}

const char* EndReason(WebKitWebProcessTerminationReason reason) {
  switch (reason) {
    case WEBKIT_WEB_PROCESS_CRASHED:
      return "it crashed";
    case WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT:
      return "it exceeded its memory limit";
    case WEBKIT_WEB_PROCESS_TERMINATED_BY_API:
      return "it was terminated";
  }
  return "for no reason given";
}

WebKitWebView* NewWebView(WebKitWebView* related) {
  WebKitSettings* settings = NewPageSettings();
  WebKitWebsitePolicies* policies = NewPagePolicies();
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
    : layout_(layout), table_(table), width_(width), height_(height) {
  // A download that starts all the same, past the decisions above, is
  // cancelled, and the rule says where it goes instead. All views share the
  // default context.
  static const bool connected = [] {
    g_signal_connect(webkit_web_context_get_default(), "download-started",
                     G_CALLBACK(OnDownloadStarted), nullptr);
    return true;
  }();
  (void)connected;
}

WindowWebViews::~WindowWebViews() {
  if (holdTimer_ != 0) g_source_remove(holdTimer_);
  if (reloadIdle_ != 0) g_source_remove(reloadIdle_);
}

void WindowWebViews::Disconnect() {
  if (holdTimer_ != 0) {
    g_source_remove(holdTimer_);
    holdTimer_ = 0;
  }
  if (reloadIdle_ != 0) {
    g_source_remove(reloadIdle_);
    reloadIdle_ = 0;
  }
  if (firstView_ != nullptr) g_signal_handlers_disconnect_by_data(firstView_, this);
  for (auto& [id, view] : views_) {
    if (view.widget == nullptr) continue;
    g_signal_handlers_disconnect_by_data(view.widget, &view);
    g_object_set_data(G_OBJECT(view.widget), ViewKey, nullptr);
    view.source.reset();
  }
}

void WindowWebViews::Remove(WebViewId id) {
  auto it = views_.find(id);
  if (it == views_.end()) return;
  // The widget stays until its window goes; nothing of it may reach the
  // View after this.
  if (GtkWidget* widget = it->second.widget) {
    g_signal_handlers_disconnect_by_data(widget, &it->second);
    g_object_set_data(G_OBJECT(widget), ViewKey, nullptr);
    it->second.source.reset();
  }
  views_.erase(it);
}

void WindowWebViews::Add(WebViewId id) {
  View& view = views_[id];
  view.owner = this;
  view.id = id;
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
  g_signal_connect(widget, "load-changed", G_CALLBACK(OnCommitted), &view);
  g_signal_connect(widget, "decide-policy", G_CALLBACK(OnDecidePolicy), &view);
  g_signal_connect(widget, "load-failed", G_CALLBACK(OnLoadFailed), &view);
  g_signal_connect(widget, "create", G_CALLBACK(OnCreate), &view);
  g_signal_connect(widget, "context-menu", G_CALLBACK(OnContextMenu), &view);
  g_signal_connect(widget, "script-dialog", G_CALLBACK(OnScriptDialog), &view);
  g_signal_connect(widget, "web-process-terminated", G_CALLBACK(OnViewEnded), &view);
  g_object_set_data(G_OBJECT(widget), ViewKey, &view);
  view.widget = widget;
  view.source = std::make_unique<NavigationSource>(WEBKIT_WEB_VIEW(widget));
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
  if (!policy_) {
    // The host's pages are its page folder: the folder of its first one.
    const std::string path = location.substr(0, location.find_first_of("?#", location.rfind('/')));
    gchar* absolute = g_canonicalize_filename(path.c_str(), nullptr);
    gchar* folder = g_path_get_dirname(absolute);
    policy_.emplace(folder, GioPageDesktop());
    g_free(folder);
    g_free(absolute);
  }
  it->second.hostUri = uri;
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

PageAnswer WindowWebViews::Decide(const View& view, PageRequest request, const char* uri) const {
  if (!policy_) return {};
  PageAsk ask;
  ask.View = IsMain(view) ? PageView::Main : PageView::Sound;
  ask.Request = request;
  ask.Url = uri != nullptr ? uri : "";
  ask.OwnPage = view.hostUri;
  return policy_->Decide(ask);
}

bool WindowWebViews::IsMain(const View& view) const {
  const WebViewEntry* entry = table_.Find(view.id);
  return entry != nullptr && entry->visible;
}

gboolean WindowWebViews::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                        WebKitPolicyDecisionType type, gpointer data) {
  View& view = *static_cast<View*>(data);
  switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION:
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION:
      DecideNavigation(view, WEBKIT_NAVIGATION_POLICY_DECISION(decision),
                       type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION);
      return TRUE;
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE:
      return DecideResponse(view, WEBKIT_RESPONSE_POLICY_DECISION(decision)) ? TRUE : FALSE;
    default:
      return FALSE;
  }
}

void WindowWebViews::DecideNavigation(View& view, WebKitNavigationPolicyDecision* navigation,
                                      bool newWindow) {
  auto* decision = WEBKIT_POLICY_DECISION(navigation);
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(navigation);
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  const char* shown = uri != nullptr ? uri : "";
  // WebKit follows a middle click on a link in the view itself.
  const bool middleClick =
      webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED &&
      webkit_navigation_action_get_mouse_button(action) == GDK_BUTTON_MIDDLE;
  if (newWindow || middleClick) {
    const PageAnswer answer = view.owner->Decide(view, PageRequest::NewWindow, uri);
    Trace("page rule: new window %s -> %d", shown, static_cast<int>(answer.Verdict));
    CarryOut(answer, decision);
    return;
  }
  const NavigationSource::Origin origin =
      view.source ? view.source->Take(uri) : NavigationSource::Origin::Unknown;
  if (origin == NavigationSource::Origin::Drop) {
    Trace("page rule: drop %s -> not opened", shown);
    webkit_policy_decision_ignore(decision);
    return;
  }
  const PageAnswer answer = view.owner->Decide(view, PageRequest::Navigation, uri);
  if (answer.Verdict != PageVerdict::Allow && origin == NavigationSource::Origin::Unknown &&
      view.owner->IsMain(view) && AnsweredLater(uri)) {
    // Perhaps an iframe's: its response or its failure will tell.
    Trace("page rule: navigation %s -> left to its frame", shown);
    webkit_policy_decision_use(decision);
    return;
  }
  Trace("page rule: navigation %s -> %d", shown, static_cast<int>(answer.Verdict));
  CarryOut(answer, decision);
}

bool WindowWebViews::DecideResponse(const View& view, WebKitResponsePolicyDecision* response) {
  const char* uri =
      webkit_uri_request_get_uri(webkit_response_policy_decision_get_request(response));
  PageRequest request = PageRequest::Download;
  if (webkit_response_policy_decision_is_mime_type_supported(response)) {
    // What an iframe shows is its own; what the top document is to show
    // has the rule's last word, whatever let it start.
    if (!webkit_response_policy_decision_is_main_frame_main_resource(response)) return false;
    request = PageRequest::Navigation;
  }
  const PageAnswer answer = view.owner->Decide(view, request, uri);
  if (request == PageRequest::Navigation && answer.Verdict == PageVerdict::Allow) return false;
  Trace("page rule: %s response %s -> %d", request == PageRequest::Navigation ? "page" : "download",
        uri != nullptr ? uri : "", static_cast<int>(answer.Verdict));
  CarryOut(answer, WEBKIT_POLICY_DECISION(response));
  return true;
}

// The last check, for what has no response and does not fail: a page the
// rule would not have let the main view show goes back where it came from.
void WindowWebViews::OnCommitted(WebKitWebView* widget, WebKitLoadEvent event, gpointer data) {
  if (event != WEBKIT_LOAD_COMMITTED) return;
  const View& view = *static_cast<View*>(data);
  if (!view.owner->IsMain(view)) return;
  const char* uri = webkit_web_view_get_uri(widget);
  const PageAnswer answer = view.owner->Decide(view, PageRequest::Navigation, uri);
  if (answer.Verdict == PageVerdict::Allow) return;
  Trace("page rule: committed %s -> %d", uri != nullptr ? uri : "",
        static_cast<int>(answer.Verdict));
  CarryOut(answer, nullptr);
  if (webkit_web_view_can_go_back(widget)) {
    webkit_web_view_go_back(widget);
  } else if (!view.hostUri.empty()) {
    webkit_web_view_load_uri(widget, view.hostUri.c_str());
  }
}

// A top document's navigation that was left to go on and failed before any
// response (a mailto: link, a host that is not found) shows the engine's
// error page unless it is stopped here: the view stays on its page.
gboolean WindowWebViews::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, const char* uri,
                                      GError* error, gpointer data) {
  // Stopped by the rule itself, or by a new navigation.
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
      g_error_matches(error, WEBKIT_POLICY_ERROR,
                      WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE)) {
    return FALSE;
  }
  const View& view = *static_cast<View*>(data);
  const PageAnswer answer = view.owner->Decide(view, PageRequest::Navigation, uri);
  if (answer.Verdict == PageVerdict::Allow) return FALSE;
  Trace("page rule: failed navigation %s -> %d", uri != nullptr ? uri : "",
        static_cast<int>(answer.Verdict));
  CarryOut(answer, nullptr);
  return TRUE;
}

// A link's new window came as a decision and was ignored there; what asks
// here is window.open(), which goes where the rule says and gets null.
GtkWidget* WindowWebViews::OnCreate(WebKitWebView*, WebKitNavigationAction* action,
                                    gpointer data) {
  const View& view = *static_cast<View*>(data);
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  const PageAnswer answer = view.owner->Decide(view, PageRequest::NewWindow, uri);
  Trace("page rule: window.open %s -> %d", uri != nullptr ? uri : "",
        static_cast<int>(answer.Verdict));
  CarryOut(answer, nullptr);
  return nullptr;
}

gboolean WindowWebViews::OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*,
                                       WebKitHitTestResult*, gpointer) {
  return TrimContextMenu(menu) ? TRUE : FALSE;
}

gboolean WindowWebViews::OnScriptDialog(WebKitWebView* widget, WebKitScriptDialog* dialog,
                                        gpointer) {
  RunScriptDialog(widget, dialog);
  return TRUE;
}

void WindowWebViews::OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer) {
  WebKitURIRequest* request = webkit_download_get_request(download);
  const char* uri = request != nullptr ? webkit_uri_request_get_uri(request) : nullptr;
  WebKitWebView* widget = webkit_download_get_web_view(download);
  const auto* view =
      widget != nullptr ? static_cast<const View*>(g_object_get_data(G_OBJECT(widget), ViewKey))
                        : nullptr;
  webkit_download_cancel(download);
  if (view == nullptr) return;
  const PageAnswer answer = view->owner->Decide(*view, PageRequest::Download, uri);
  Trace("page rule: download started %s -> %d", uri != nullptr ? uri : "",
        static_cast<int>(answer.Verdict));
  CarryOut(answer, nullptr);
}

void WindowWebViews::OnViewEnded(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                 gpointer data) {
  WindowWebViews& views = *static_cast<View*>(data)->owner;
  // The views share one process and all report its end at once: the first
  // report speaks for them.
  if (views.reloadIdle_ != 0) return;
  const gint64 now = g_get_monotonic_time();
  views.gaveUp_ = views.lastEnd_ != 0 && now - views.lastEnd_ < ReloadIntervalUs;
  views.lastEnd_ = now;
  std::fprintf(stderr, views.gaveUp_
                           ? "skinshell: the pages' web process ended again (%s); not loading "
                             "the pages once more\n"
                           : "skinshell: the pages' web process ended (%s); loading the pages "
                             "again\n",
               EndReason(reason));
  views.reloadIdle_ = g_idle_add(OnReload, &views);
}

gboolean WindowWebViews::OnReload(gpointer data) {
  auto& views = *static_cast<WindowWebViews*>(data);
  views.reloadIdle_ = 0;
  for (auto& [id, view] : views.views_) {
    if (view.widget == nullptr) continue;
    auto* widget = WEBKIT_WEB_VIEW(view.widget);
    const WebViewEntry* entry = views.table_.Find(id);
    if (!views.gaveUp_) {
      if (!view.hostUri.empty()) webkit_web_view_load_uri(widget, view.hostUri.c_str());
    } else if (entry != nullptr && entry->visible) {
      webkit_web_view_load_html(widget, EndedPage, nullptr);
    }
  }
  return G_SOURCE_REMOVE;
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
