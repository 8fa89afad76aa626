#include "platform/win/desktop/DocHostUi.h"

#include "platform/win/desktop/BrowserSite.h"

namespace platform::win {

HRESULT DocHostUi::QueryInterface(REFIID iid, void** object) {
  return site_.QueryInterface(iid, object);
}
ULONG DocHostUi::AddRef() { return site_.AddRef(); }
ULONG DocHostUi::Release() { return site_.Release(); }

// S_FALSE: the control shows its own menu.
HRESULT DocHostUi::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }

// Pages lay out at the monitor's scale, as the frame around them is drawn,
// rather than at 96 dots per inch enlarged; the rest is the control's
// default look.
HRESULT DocHostUi::GetHostInfo(DOCHOSTUIINFO* info) {
  if (!info) return E_POINTER;
  info->dwFlags = DOCHOSTUIFLAG_DPI_AWARE;
  info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
  return S_OK;
}

HRESULT DocHostUi::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                          IOleInPlaceUIWindow*) {
  return S_FALSE;
}
HRESULT DocHostUi::HideUI() { return S_OK; }
HRESULT DocHostUi::UpdateUI() { return S_OK; }
HRESULT DocHostUi::EnableModeless(BOOL) { return S_OK; }
HRESULT DocHostUi::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT DocHostUi::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT DocHostUi::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT DocHostUi::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }

HRESULT DocHostUi::GetOptionKeyPath(LPOLESTR* key, DWORD) {
  if (key) *key = nullptr;
  return S_FALSE;
}

HRESULT DocHostUi::GetDropTarget(IDropTarget*, IDropTarget** target) {
  if (target) *target = nullptr;
  return E_NOTIMPL;
}

HRESULT DocHostUi::GetExternal(IDispatch** external) {
  if (external) *external = nullptr;
  return S_FALSE;
}

HRESULT DocHostUi::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
  if (translated) *translated = nullptr;
  return S_FALSE;
}

HRESULT DocHostUi::FilterDataObject(IDataObject*, IDataObject** filtered) {
  if (filtered) *filtered = nullptr;
  return S_FALSE;
}

}  // namespace platform::win
