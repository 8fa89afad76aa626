// Where a web view's navigation comes from, as far as WebKit lets one tell.
//
// WebKit asks the view's decide-policy about every frame's navigations, an
// iframe's src and a link aimed at an iframe included, and says nothing of
// which frame a navigation is for (it tells only when the response comes,
// webkit_response_policy_decision_is_main_frame_main_resource). So a script
// of the program's own, in a script world of its own in the top document,
// tells the view of each link click and form submission there that goes to
// the top document itself, just before the engine asks about it; what
// nobody told of may be any frame's.
//
// A file or link dropped on a view outside a page's drop handler is loaded
// by WebKit as a navigation of no particular kind: the view remembers what
// was dropped, so that such a navigation is known for a drop.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <string>
#include <vector>

namespace platform::gtk {

class NavigationSource {
 public:
  enum class Origin {
    TopDocument,  // a link or form of the top document aimed at itself
    Drop,         // something dropped on the view
    Unknown       // a script, an iframe, the engine: any frame's
  };

  // How long after a drop its navigation is taken for the drop's.
  static constexpr gint64 DropWindowUs = 2 * G_USEC_PER_SEC;

  explicit NavigationSource(WebKitWebView* view);
  ~NavigationSource();
  NavigationSource(const NavigationSource&) = delete;
  NavigationSource& operator=(const NavigationSource&) = delete;

  // Where the navigation to uri that the engine asks about now comes from.
  // What was told before it is forgotten: a click whose navigation the page
  // prevented must not vouch for a later one.
  Origin Take(const char* uri);

 private:
  static void OnMessage(WebKitUserContentManager* manager, WebKitJavascriptResult* result,
                        gpointer data);
  static void OnDragData(GtkWidget* widget, GdkDragContext* context, gint x, gint y,
                         GtkSelectionData* data, guint info, guint time, gpointer self);
  static gboolean OnDragDrop(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time,
                             gpointer self);

  WebKitWebView* view_;
  WebKitUserContentManager* manager_;
  std::string told_;  // the top document's last own navigation, not yet asked about
  std::vector<std::string> dragged_;
  gint64 droppedAt_ = 0;
};

}  // namespace platform::gtk
