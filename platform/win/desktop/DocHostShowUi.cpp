#include "platform/win/desktop/DocHostShowUi.h"

#include <string>

#include "platform/win/desktop/BrowserSite.h"

namespace platform::win {

HRESULT DocHostShowUi::QueryInterface(REFIID iid, void** object) {
  return site_.QueryInterface(iid, object);
}
ULONG DocHostShowUi::AddRef() { return site_.AddRef(); }
ULONG DocHostShowUi::Release() { return site_.Release(); }

HRESULT DocHostShowUi::ShowMessage(HWND, LPOLESTR text, LPOLESTR, DWORD type, LPOLESTR, DWORD,
                                   LRESULT* result) {
  // The program's window, whose title is the product's; the control's own
  // caption would be its "Message from webpage" or the page's address.
  HWND owner = GetAncestor(site_.Window(), GA_ROOT);
  std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(owner)) + 1, L'\0');
  title.resize(static_cast<std::size_t>(
      GetWindowTextW(owner, title.data(), static_cast<int>(title.size()))));
  // The buttons, icon and default the control asks for; no help button
  // (there is no help) and no modality but the window's.
  const UINT kept = type & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK);
  const int answer = MessageBoxW(owner, text ? text : L"", title.c_str(), kept);
  if (result) *result = answer;
  return S_OK;
}

// The control's help would open a page of its own: there is none.
HRESULT DocHostShowUi::ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) { return S_OK; }

}  // namespace platform::win
