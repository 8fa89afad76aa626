#include "platform/gtk/NavigationSource.h"

#include "platform/PagePolicy.h"

#include <cstring>

namespace platform::gtk {

namespace {

// The page cannot reach a script world it does not name, so the page's own
// scripts can neither see this one nor speak in its name.
constexpr const char* World = "skinshell";
constexpr const char* Handler = "skinshellTopNavigation";

// Listeners on the window's capture phase hear a click or a submission
// before the page's own handlers and before the engine follows the link.
// The message goes to the program on the same channel as the engine's
// question that follows it, so it arrives first.
constexpr const char* Script = R"((() => {
  const tell = (url) => window.webkit.messageHandlers.skinshellTopNavigation.postMessage(String(url));
  const own = (target) => ['', '_self', '_top', '_parent'].includes(String(target).toLowerCase());
  const base = () => { const b = document.querySelector('base[target]'); return b ? b.target : ''; };
  addEventListener('click', (event) => {
    if (event.button !== 0) return;
    const link = event.composedPath().find(
        (node) => node instanceof Element && node.matches('a[href], area[href]'));
    if (link && own(link.hasAttribute('target') ? link.getAttribute('target') : base())) {
      tell(link.href);
    }
  }, true);
  addEventListener('submit', (event) => {
    const form = event.target;
    const by = event.submitter;
    const target = by && by.hasAttribute('formtarget') ? by.getAttribute('formtarget')
        : form.hasAttribute('target') ? form.getAttribute('target') : base();
    if (own(target)) tell(by && by.hasAttribute('formaction') ? by.formAction : form.action);
  }, true);
})();)";

// A form's navigation carries its fields as the query, which the script
// does not know: URLs are compared without query and fragment.
std::string WithoutQuery(const char* uri) {
  const std::string text = uri != nullptr ? uri : "";
  return text.substr(0, text.find_first_of("?#"));
}

// What is remembered of a drag: a few items, none longer than a URL the
// rule would look at.
constexpr std::size_t MaxDragged = 64;
constexpr std::size_t MaxDraggedBytes = PagePolicy::MaxUrlBytes;

void Remember(std::vector<std::string>& dragged, const char* item) {
  if (std::strlen(item) <= MaxDraggedBytes) dragged.emplace_back(item);
}

}  // namespace

NavigationSource::NavigationSource(WebKitWebView* view)
    : view_(view), manager_(webkit_web_view_get_user_content_manager(view)) {
  WebKitUserScript* script = webkit_user_script_new_for_world(
      Script, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
      World, nullptr, nullptr);
  webkit_user_content_manager_add_script(manager_, script);
  webkit_user_script_unref(script);
  webkit_user_content_manager_register_script_message_handler_in_world(manager_, Handler, World);
  g_signal_connect(manager_, (std::string("script-message-received::") + Handler).c_str(),
                   G_CALLBACK(OnMessage), this);
  // Connected before WebKit's own class handlers, which run last: the view
  // sees the drop first and still hands it on to the page.
  g_signal_connect(view, "drag-data-received", G_CALLBACK(OnDragData), this);
  g_signal_connect(view, "drag-drop", G_CALLBACK(OnDragDrop), this);
}

NavigationSource::~NavigationSource() {
  g_signal_handlers_disconnect_by_data(manager_, this);
  g_signal_handlers_disconnect_by_data(view_, this);
  webkit_user_content_manager_unregister_script_message_handler_in_world(manager_, Handler, World);
  webkit_user_content_manager_remove_all_scripts(manager_);
}

NavigationSource::Origin NavigationSource::Take(const char* uri) {
  const std::string page = WithoutQuery(uri);
  std::string told;
  told.swap(told_);
  if (droppedAt_ != 0 && g_get_monotonic_time() - droppedAt_ < DropWindowUs) {
    for (const std::string& dragged : dragged_) {
      if (uri != nullptr && dragged == uri) {
        dragged_.clear();
        droppedAt_ = 0;
        return Origin::Drop;
      }
    }
  }
  return !told.empty() && told == page ? Origin::TopDocument : Origin::Unknown;
}

void NavigationSource::OnMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                 gpointer data) {
  auto& source = *static_cast<NavigationSource*>(data);
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  gchar* text = jsc_value_is_string(value) ? jsc_value_to_string(value) : nullptr;
  source.told_ = WithoutQuery(text);
  g_free(text);
}

// WebKit asks for the dragged data while the drag moves over the view as
// well as at the drop; each time it lists the same items.
void NavigationSource::OnDragData(GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData* data,
                                  guint, guint, gpointer self) {
  auto& source = *static_cast<NavigationSource*>(self);
  if (source.dragged_.size() > MaxDragged) source.dragged_.clear();
  if (gchar** uris = gtk_selection_data_get_uris(data)) {
    for (gchar** uri = uris; *uri != nullptr; ++uri) Remember(source.dragged_, *uri);
    g_strfreev(uris);
  }
  if (gchar* text = reinterpret_cast<gchar*>(gtk_selection_data_get_text(data))) {
    Remember(source.dragged_, g_strstrip(text));
    g_free(text);
  }
}

gboolean NavigationSource::OnDragDrop(GtkWidget*, GdkDragContext*, gint, gint, guint,
                                      gpointer self) {
  static_cast<NavigationSource*>(self)->droppedAt_ = g_get_monotonic_time();
  return FALSE;
}

}  // namespace platform::gtk
