#include "platform/win/desktop/PageMenu.h"

#include <mshtmhst.h>

#include <cstring>

#include "platform/win/desktop/ScriptProperty.h"

namespace platform::win {

namespace {

constexpr UINT CopyLinkCommand = 1;

void CopyText(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* place = GlobalLock(memory)) {
      std::memcpy(place, text.c_str(), bytes);
      GlobalUnlock(memory);
      // The clipboard owns the memory once it took it.
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

}  // namespace

MenuOffer OfferFor(DWORD kind) {
  switch (kind) {
    case CONTEXT_MENU_CONTROL:
    case CONTEXT_MENU_TEXTSELECT:
    case CONTEXT_MENU_VSCROLL:
    case CONTEXT_MENU_HSCROLL:
      return MenuOffer::Control;
    case CONTEXT_MENU_ANCHOR:
      return MenuOffer::CopyLink;
    default:
      return MenuOffer::Nothing;
  }
}

std::wstring LinkOf(IDispatch* element) {
  // The element under the pointer may be a picture or text inside the link.
  IDispatch* at = element;
  if (at) at->AddRef();
  std::wstring link;
  for (int depth = 0; at && link.empty() && depth < 32; ++depth) {
    link = TextProperty(at, L"href");
    IDispatch* parent = link.empty() ? ObjectProperty(at, L"parentElement") : nullptr;
    at->Release();
    at = parent;
  }
  if (at) at->Release();
  return link;
}

void ShowLinkMenu(HWND owner, POINT screen, const std::wstring& link) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, CopyLinkCommand, L"Copy Link");
  const UINT picked = static_cast<UINT>(TrackPopupMenuEx(
      menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, screen.x, screen.y, owner, nullptr));
  DestroyMenu(menu);
  if (picked == CopyLinkCommand) CopyText(owner, link);
}

}  // namespace platform::win
