// The WebKit side of one window's web views: the widgets in the window's
// layout, at the rectangles and with the visibility the desktop's
// WebViewTable holds.
//
// A web view costs tens of milliseconds of the user-interface thread to
// make, and all of a window's views share one web process. The views after
// the first are held back: made, and given the page asked of them, once the
// first view's page has committed (or failed, or its web process ended; at
// most HoldMs later, or at once when the host shows one).
//
// What the views may open is the page rule's (platform/PagePolicy.h): its
// page folder is the folder of the first page the host navigates a view of
// the window to, for the host only ever navigates to the program's own
// pages. A view the host keeps hidden is taken as the sound view: it may go
// only to the page the host gave it. The main view's navigations that the
// rule would not let go ahead are stopped when they are known to be the top
// document's (NavigationSource); the others may be an iframe's, and are left
// to go on until the response shows whose they are: the top document's is
// then stopped, or, failing before any response, kept from showing the
// engine's error page, and either way carried out as the rule says. What is
// dropped on a view never navigates it. When the web process ends, the views
// load the host's pages again, once in ten seconds; a second end that soon
// leaves a plain page of the program's own saying so.
#pragma once

// The Win32 subset first: GLib's TRUE and FALSE would break its constants.
#include "platform/WebViewTable.h"

#include "platform/PagePolicy.h"
#include "platform/gtk/NavigationSource.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace platform::gtk {

class WindowWebViews {
 public:
  // How long the views after a window's first wait at most for its page.
  static constexpr guint HoldMs = 5000;

  // The views go into layout, a window of the given client size.
  WindowWebViews(GtkWidget* layout, const WebViewTable& table, int width, int height);
  ~WindowWebViews();
  WindowWebViews(const WindowWebViews&) = delete;
  WindowWebViews& operator=(const WindowWebViews&) = delete;

  // A view the host made for this window, already in the table.
  void Add(WebViewId id);
  // The view leaves the table next; its widget goes with the window.
  void Remove(WebViewId id);
  // The view's rectangle in the table changed.
  void Place(WebViewId id);
  // The window's client size changed: every view follows.
  void Follow(int width, int height);
  // The view's visibility in the table changed to visible.
  void Show(WebViewId id, bool visible);
  // Loads the page at location, a path with a query or not.
  void Navigate(WebViewId id, const std::string& location);
  // Before the window's widgets go: nothing of the first view's may call
  // back any more.
  void Disconnect();

 private:
  struct View {
    WindowWebViews* owner = nullptr;
    WebViewId id = 0;
    GtkWidget* widget = nullptr;  // null while held back
    std::string heldUri;          // asked for while held back
    std::string hostUri;          // the page the host last gave the view
    std::unique_ptr<NavigationSource> source;  // with the widget
  };

  // The interval within which a second end of the web process is not
  // followed by loading the pages again.
  static constexpr gint64 ReloadIntervalUs = 10 * G_USEC_PER_SEC;

  void Make(WebViewId id, View& view);
  void PlaceWidget(WebViewId id, GtkWidget* widget);
  void MakeHeld();
  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data);
  static void OnCommitted(WebKitWebView* widget, WebKitLoadEvent event, gpointer data);
  static void OnFirstViewLoaded(WebKitWebView* view, WebKitLoadEvent event, gpointer data);
  static void OnFirstViewEnded(WebKitWebView* view, WebKitWebProcessTerminationReason reason,
                               gpointer data);
  static gboolean OnHoldTimer(gpointer data);
  PageAnswer Decide(const View& view, PageRequest request, const char* uri) const;
  // The main view is the one the host shows; the hidden one plays sounds.
  bool IsMain(const View& view) const;
  static gboolean OnDecidePolicy(WebKitWebView* widget, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer data);
  static void DecideNavigation(View& view, WebKitNavigationPolicyDecision* navigation,
                               bool newWindow);
  // False when WebKit is to go on as it would.
  static bool DecideResponse(const View& view, WebKitResponsePolicyDecision* response);
  static gboolean OnLoadFailed(WebKitWebView* widget, WebKitLoadEvent event, const char* uri,
                               GError* error, gpointer data);
  static GtkWidget* OnCreate(WebKitWebView* widget, WebKitNavigationAction* action,
                             gpointer data);
  static gboolean OnContextMenu(WebKitWebView* widget, WebKitContextMenu* menu, GdkEvent* event,
                                WebKitHitTestResult* hit, gpointer data);
  static gboolean OnScriptDialog(WebKitWebView* widget, WebKitScriptDialog* dialog,
                                 gpointer data);
  static void OnDownloadStarted(WebKitWebContext* context, WebKitDownload* download,
                                gpointer data);
  static void OnViewEnded(WebKitWebView* widget, WebKitWebProcessTerminationReason reason,
                          gpointer data);
  static gboolean OnReload(gpointer data);

  GtkWidget* layout_;
  const WebViewTable& table_;
  int width_;
  int height_;
  std::map<WebViewId, View> views_;
  GtkWidget* firstView_ = nullptr;
  bool holding_ = true;
  guint holdTimer_ = 0;
  std::optional<PagePolicy> policy_;  // from the host's first navigation
  guint reloadIdle_ = 0;
  gint64 lastEnd_ = 0;
  bool gaveUp_ = false;
};

}  // namespace platform::gtk
