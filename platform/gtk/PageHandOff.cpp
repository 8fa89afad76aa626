#include "platform/gtk/PageHandOff.h"

#include "platform/gtk/Trace.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace platform::gtk {

namespace {

bool HasHandler(const std::string& scheme) {
  GAppInfo* info = g_app_info_get_default_for_uri_scheme(scheme.c_str());
  if (info == nullptr) return false;
  g_object_unref(info);
  return true;
}

// A GIO message on one line, whatever the handler's program printed.
std::string OneLine(const char* text) {
  std::string line = text != nullptr ? text : "unknown error";
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return line;
}

void OnLaunched(GObject*, GAsyncResult* result, gpointer data) {
  std::unique_ptr<std::string> scheme(static_cast<std::string*>(data));
  GError* error = nullptr;
  if (!g_app_info_launch_default_for_uri_finish(result, &error)) {
    std::fprintf(stderr, "skinshell: no program took the %s: link: %s\n", scheme->c_str(),
                 OneLine(error != nullptr ? error->message : nullptr).c_str());
    g_clear_error(&error);
  }
}

// The items that edit, copy, check spelling or play media stay; everything
// else WebKit offers leads somewhere (back, reload, a link or an image in a
// new window, a download, the inspector) or is a browser's own (a copied
// link to the page's own address with its text picked out, among the items
// WebKit gives no stock action of their own). Items WebKit adds later are
// left out until they are known here.
bool KeepsItem(WebKitContextMenuAction action) {
  switch (action) {
    case WEBKIT_CONTEXT_MENU_ACTION_CUT:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY:
    case WEBKIT_CONTEXT_MENU_ACTION_PASTE:
    case WEBKIT_CONTEXT_MENU_ACTION_PASTE_AS_PLAIN_TEXT:
    case WEBKIT_CONTEXT_MENU_ACTION_DELETE:
    case WEBKIT_CONTEXT_MENU_ACTION_SELECT_ALL:
    case WEBKIT_CONTEXT_MENU_ACTION_INPUT_METHODS:
    case WEBKIT_CONTEXT_MENU_ACTION_UNICODE:
    case WEBKIT_CONTEXT_MENU_ACTION_INSERT_EMOJI:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_IMAGE_TO_CLIPBOARD:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_IMAGE_URL_TO_CLIPBOARD:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_VIDEO_LINK_TO_CLIPBOARD:
    case WEBKIT_CONTEXT_MENU_ACTION_COPY_AUDIO_LINK_TO_CLIPBOARD:
    case WEBKIT_CONTEXT_MENU_ACTION_SPELLING_GUESS:
    case WEBKIT_CONTEXT_MENU_ACTION_NO_GUESSES_FOUND:
    case WEBKIT_CONTEXT_MENU_ACTION_IGNORE_SPELLING:
    case WEBKIT_CONTEXT_MENU_ACTION_LEARN_SPELLING:
    case WEBKIT_CONTEXT_MENU_ACTION_IGNORE_GRAMMAR:
    case WEBKIT_CONTEXT_MENU_ACTION_FONT_MENU:
    case WEBKIT_CONTEXT_MENU_ACTION_BOLD:
    case WEBKIT_CONTEXT_MENU_ACTION_ITALIC:
    case WEBKIT_CONTEXT_MENU_ACTION_UNDERLINE:
    case WEBKIT_CONTEXT_MENU_ACTION_OUTLINE:
    case WEBKIT_CONTEXT_MENU_ACTION_MEDIA_PLAY:
    case WEBKIT_CONTEXT_MENU_ACTION_MEDIA_PAUSE:
    case WEBKIT_CONTEXT_MENU_ACTION_MEDIA_MUTE:
    case WEBKIT_CONTEXT_MENU_ACTION_TOGGLE_MEDIA_CONTROLS:
    case WEBKIT_CONTEXT_MENU_ACTION_TOGGLE_MEDIA_LOOP:
    case WEBKIT_CONTEXT_MENU_ACTION_ENTER_VIDEO_FULLSCREEN:
      return true;
    default:
      return false;
  }
}

}  // namespace

PageDesktop GioPageDesktop() {
  PageDesktop desktop;
  desktop.HasHandler = HasHandler;
  return desktop;
}

void HandOff(const PageAnswer& answer) {
  std::string uri = answer.Url;
  if (uri.empty()) {
    gchar* made = g_filename_to_uri(answer.File.c_str(), nullptr, nullptr);
    if (made == nullptr) {
      std::fprintf(stderr, "skinshell: no program took the file: link: its path is no URI\n");
      return;
    }
    uri = made;
    g_free(made);
  }
  Trace("hand off %s", uri.c_str());
  auto* scheme = new std::string(uri.substr(0, uri.find(':')));
  g_app_info_launch_default_for_uri_async(uri.c_str(), nullptr, nullptr, OnLaunched, scheme);
}

void CarryOut(const PageAnswer& answer, WebKitPolicyDecision* decision) {
  switch (answer.Verdict) {
    case PageVerdict::Allow:
      if (decision != nullptr) webkit_policy_decision_use(decision);
      return;
    case PageVerdict::HandOff:
      if (decision != nullptr) webkit_policy_decision_ignore(decision);
      HandOff(answer);
      return;
    case PageVerdict::Refuse:
      if (decision != nullptr) webkit_policy_decision_ignore(decision);
      if (!answer.Reason.empty()) std::fprintf(stderr, "skinshell: %s\n", answer.Reason.c_str());
      return;
  }
}

bool TrimContextMenu(WebKitContextMenu* menu) {
  std::vector<WebKitContextMenuItem*> gone;
  bool lastWasSeparator = true;
  for (GList* item = webkit_context_menu_get_items(menu); item != nullptr; item = item->next) {
    auto* entry = static_cast<WebKitContextMenuItem*>(item->data);
    const bool separator = webkit_context_menu_item_is_separator(entry) != FALSE;
    if ((!separator && !KeepsItem(webkit_context_menu_item_get_stock_action(entry))) ||
        (separator && lastWasSeparator)) {
      gone.push_back(entry);
      continue;
    }
    lastWasSeparator = separator;
  }
  for (WebKitContextMenuItem* entry : gone) webkit_context_menu_remove(menu, entry);
  // A separator left at the end separates nothing.
  const guint count = webkit_context_menu_get_n_items(menu);
  if (count > 0) {
    WebKitContextMenuItem* last = webkit_context_menu_get_item_at_position(menu, count - 1);
    if (webkit_context_menu_item_is_separator(last)) webkit_context_menu_remove(menu, last);
  }
  return webkit_context_menu_get_n_items(menu) == 0;
}

void RunScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog) {
  GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(view));
  GtkWindow* parent = gtk_widget_is_toplevel(top) ? GTK_WINDOW(top) : nullptr;
  const WebKitScriptDialogType type = webkit_script_dialog_get_dialog_type(dialog);
  const bool alert = type == WEBKIT_SCRIPT_DIALOG_ALERT;
  GtkWidget* box = gtk_message_dialog_new(
      parent, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      alert ? GTK_MESSAGE_INFO : GTK_MESSAGE_QUESTION, alert ? GTK_BUTTONS_OK : GTK_BUTTONS_OK_CANCEL,
      "%s", webkit_script_dialog_get_message(dialog));
  const char* title = parent != nullptr ? gtk_window_get_title(parent) : nullptr;
  gtk_window_set_title(GTK_WINDOW(box), title != nullptr ? title : "");
  GtkWidget* entry = nullptr;
  if (type == WEBKIT_SCRIPT_DIALOG_PROMPT) {
    entry = gtk_entry_new();
    const char* text = webkit_script_dialog_prompt_get_default_text(dialog);
    gtk_entry_set_text(GTK_ENTRY(entry), text != nullptr ? text : "");
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_container_add(GTK_CONTAINER(gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box))),
                      entry);
    gtk_widget_show(entry);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
  }
  // The window may go while the dialog runs (it goes with the window): the
  // answer is then a cancel, and nothing of the dialog's is read.
  g_object_ref(box);
  const int response = gtk_dialog_run(GTK_DIALOG(box));
  const bool ok = response == GTK_RESPONSE_OK;
  if (type == WEBKIT_SCRIPT_DIALOG_CONFIRM || type == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM) {
    webkit_script_dialog_confirm_set_confirmed(dialog, ok);
  } else if (entry != nullptr) {
    webkit_script_dialog_prompt_set_text(dialog, ok ? gtk_entry_get_text(GTK_ENTRY(entry)) : nullptr);
  }
  gtk_widget_destroy(box);
  g_object_unref(box);
}

}  // namespace platform::gtk
