#include "platform/win/desktop/DocHostUi.h"

#include "platform/win/desktop/BrowserSite.h"
#include "platform/win/desktop/DropGuard.h"
#include "platform/win/desktop/PageKeys.h"
#include "platform/win/desktop/PageMenu.h"

namespace platform::win {

HRESULT DocHostUi::QueryInterface(REFIID iid, void** object) {
  return site_.QueryInterface(iid, object);
}
ULONG DocHostUi::AddRef() { return site_.AddRef(); }
ULONG DocHostUi::Release() { return site_.Release(); }

// S_FALSE: the control shows its own menu; S_OK: the host showed one, or
// none.
HRESULT DocHostUi::ShowContextMenu(DWORD kind, POINT* point, IUnknown*, IDispatch* element) {
  switch (OfferFor(kind)) {
    case MenuOffer::Control:
      return S_FALSE;
    case MenuOffer::CopyLink: {
      const std::wstring link = LinkOf(element);
      if (!link.empty() && point) ShowLinkMenu(GetAncestor(site_.Window(), GA_ROOT), *point, link);
      return S_OK;
    }
    case MenuOffer::Nothing:
      break;
  }
  return S_OK;
}

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
// S_OK swallows the key: the control does nothing with it.
HRESULT DocHostUi::TranslateAccelerator(LPMSG msg, const GUID*, DWORD) {
  return msg && LeavesPage(*msg, site_.Browser()) ? S_OK : S_FALSE;
}

HRESULT DocHostUi::GetOptionKeyPath(LPOLESTR* key, DWORD) {
  if (key) *key = nullptr;
  return S_FALSE;
}

HRESULT DocHostUi::GetDropTarget(IDropTarget* control, IDropTarget** target) {
  if (!target) return E_POINTER;
  *target = nullptr;
  if (!control) return E_NOTIMPL;
  *target = new DropGuard(*control, site_);
  return S_OK;
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
