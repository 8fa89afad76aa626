// The GTK side of the page rule (platform/PagePolicy.h): the default
// handlers GIO knows, the hand-off to them, and what WebKit would otherwise
// do on its own that takes the user away from the program's pages: the
// context menu's navigation items, script dialogs titled with the page's
// address, downloads.
#pragma once

#include "platform/PagePolicy.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

namespace platform::gtk {

// The desktop as the rule asks it: a scheme has a handler when GIO names a
// default application for it.
PageDesktop GioPageDesktop();

// Does what the answer says with decision: uses it, or ignores it and hands
// the link or file to its default handler, or ignores it and says why on
// stderr. The hand-off never waits for the handler; one that fails says so
// in one stderr line naming the scheme. With no decision (what the engine
// did not ask about, as window.open()) only the hand-off or the line.
void CarryOut(const PageAnswer& answer, WebKitPolicyDecision* decision);
void HandOff(const PageAnswer& answer);

// Leaves in a view's context menu only the items that edit, copy, check
// spelling or work a media element, without the separators doubled where
// the others went; true when nothing is left to show.
bool TrimContextMenu(WebKitContextMenu* menu);

// An alert, confirm or prompt as a dialog modal to the view's window and
// titled as that window is, never with the page's address.
void RunScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog);

}  // namespace platform::gtk
