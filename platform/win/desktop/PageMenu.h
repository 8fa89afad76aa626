// The page's context menu without navigation. The control's own menus for a
// text field (Undo, Cut, Copy, Paste, Delete, Select All), a selection (Copy,
// Select All, Print) and a scroll bar stay, since they leave the page where it
// is. A link's menu is only "Copy Link", the one item of the control's link
// menu that neither opens nor saves anything; every other menu of the page
// (its background, an image, a table, media) holds Back, Forward, Refresh,
// Save or Open items, and shows nothing.
#pragma once

#include <string>

#include "platform/win32.h"

#include <oaidl.h>

namespace platform::win {

enum class MenuOffer { Control, Nothing, CopyLink };

// For a menu kind of IDocHostUIHandler::ShowContextMenu (CONTEXT_MENU_*).
MenuOffer OfferFor(DWORD kind);

// The address of the link the element is, or lies in; empty for none.
std::wstring LinkOf(IDispatch* element);

// "Copy Link" at the screen point, owned by owner; picked, the address goes
// to the clipboard as text.
void ShowLinkMenu(HWND owner, POINT screen, const std::wstring& link);

}  // namespace platform::win
