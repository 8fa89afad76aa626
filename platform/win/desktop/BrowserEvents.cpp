#include "platform/win/desktop/BrowserEvents.h"

#include <exdispid.h>

#include <optional>

#include "platform/win/desktop/BrowserSite.h"

namespace platform::win {

namespace {

// A text argument: a string, or a reference to one or to a variant holding
// one. The whole string, NULs inside it too.
std::optional<std::wstring> TextOf(const VARIANT& v) {
  const VARIANT* inner = &v;
  if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) inner = v.pvarVal;
  const BSTR* text = nullptr;
  if (inner->vt == VT_BSTR) text = &inner->bstrVal;
  if (inner->vt == (VT_BYREF | VT_BSTR)) text = inner->pbstrVal;
  if (!text) return std::nullopt;
  if (!*text) return std::wstring();
  return std::wstring(*text, SysStringLen(*text));
}

// The control's Cancel argument, a reference to a Boolean it reads back.
VARIANT_BOOL* CancelOf(const VARIANT& v) {
  return v.vt == (VT_BYREF | VT_BOOL) ? v.pboolVal : nullptr;
}

void Cancel(VARIANT_BOOL* cancel) {
  if (cancel) *cancel = VARIANT_TRUE;
}

// Unlike Utf8(), UTF-16 that is not well formed is refused: a replacement
// character would make the rule judge another name than the one the
// control opens.
std::optional<std::string> StrictUtf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(),
                                    static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::nullopt;
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()),
                      utf8.data(), n, nullptr, nullptr);
  return utf8;
}

IUnknown* Identity(IUnknown* object) {
  IUnknown* identity = nullptr;
  if (object) object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
  return identity;
}

}  // namespace

bool BrowserEvents::Connect(IWebBrowser2* browser) {
  IConnectionPointContainer* points = nullptr;
  if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer,
                                     reinterpret_cast<void**>(&points)))) {
    return false;
  }
  const HRESULT found = points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point_);
  points->Release();
  if (FAILED(found)) return false;
  if (SUCCEEDED(point_->Advise(static_cast<IDispatch*>(this), &cookie_))) return true;
  point_->Release();
  point_ = nullptr;
  return false;
}

void BrowserEvents::Disconnect() {
  if (!point_) return;
  point_->Unadvise(cookie_);
  point_->Release();
  point_ = nullptr;
}

HRESULT BrowserEvents::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG BrowserEvents::AddRef() { return site_.AddRef(); }
ULONG BrowserEvents::Release() { return site_.Release(); }

HRESULT BrowserEvents::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT BrowserEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT BrowserEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT BrowserEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*) {
  if (!params || (params->cArgs > 0 && !params->rgvarg)) return E_INVALIDARG;
  // Arguments arrive last first.
  switch (id) {
    case DISPID_BEFORENAVIGATE2:
      if (params->cArgs == 7) BeforeNavigate(*params);
      break;
    case DISPID_NEWWINDOW3:
      if (params->cArgs == 5) NewWindow(*params);
      break;
    case DISPID_FILEDOWNLOAD:
      if (params->cArgs >= 1) FileDownload(*params);
      break;
    default:
      break;
  }
  return S_OK;
}

bool BrowserEvents::IsTopFrame(const VARIANT& frame) const {
  const VARIANT* inner = &frame;
  if (frame.vt == (VT_BYREF | VT_VARIANT) && frame.pvarVal) inner = frame.pvarVal;
  IDispatch* dispatch = nullptr;
  if (inner->vt == VT_DISPATCH) dispatch = inner->pdispVal;
  if (inner->vt == (VT_BYREF | VT_DISPATCH) && inner->ppdispVal) dispatch = *inner->ppdispVal;
  IWebBrowser2* browser = site_.Browser();
  if (!dispatch || !browser) return false;
  // A frame's own browser object names a subframe; one object is one
  // identity only through IUnknown.
  IUnknown* asked = Identity(dispatch);
  IUnknown* own = Identity(browser);
  const bool top = asked && asked == own;
  if (asked) asked->Release();
  if (own) own->Release();
  return top;
}

// BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers,
// Cancel)
void BrowserEvents::BeforeNavigate(DISPPARAMS& params) {
  if (!IsTopFrame(params.rgvarg[6])) return;
  VARIANT_BOOL* cancel = CancelOf(params.rgvarg[0]);
  const std::optional<std::wstring> url = TextOf(params.rgvarg[5]);
  const std::optional<std::string> utf8 = url ? StrictUtf8(*url) : std::nullopt;
  if (site_.Let(PageRequest::Navigation, utf8)) {
    lastNavigation_ = *url;
  } else {
    Cancel(cancel);
  }
}

// NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl): a window of
// the control's own never opens; the rule says where the URL goes instead.
void BrowserEvents::NewWindow(DISPPARAMS& params) {
  Cancel(CancelOf(params.rgvarg[3]));
  const std::optional<std::wstring> url = TextOf(params.rgvarg[0]);
  site_.Let(PageRequest::NewWindow, url ? StrictUtf8(*url) : std::nullopt);
}

// FileDownload(ActiveDocument, Cancel), or FileDownload(Cancel) of older
// controls. An active document is a page the control shows itself, whose
// navigation the rule has let go ahead already.
void BrowserEvents::FileDownload(DISPPARAMS& params) {
  if (params.cArgs >= 2) {
    const VARIANT& active = params.rgvarg[1];
    if (active.vt == VT_BOOL && active.boolVal != VARIANT_FALSE) return;
  }
  Cancel(CancelOf(params.rgvarg[0]));
  site_.Let(PageRequest::Download, StrictUtf8(lastNavigation_));
}

}  // namespace platform::win
