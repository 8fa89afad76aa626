#include "platform/win/desktop/BrowserSite.h"

namespace platform::win {

namespace {

// The window property naming a view window's site, for its timer.
constexpr wchar_t SiteProperty[] = L"skinshell.site";
constexpr UINT_PTR DropTimer = 1;

template <typename T>
void Drop(T*& pointer) {
  if (pointer) pointer->Release();
  pointer = nullptr;
}

}  // namespace

BrowserSite* BrowserSite::Create(HWND window, PageGate gate) {
  auto* site = new BrowserSite(window, std::move(gate));
  if (site->Activate()) return site;
  site->Close();
  return nullptr;
}

bool BrowserSite::Activate() {
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(&object_)))) {
    return false;
  }
  if (FAILED(object_->SetClientSite(this))) return false;
  object_->SetHostNames(L"skinshell", nullptr);
  // The control asks for its rectangle through GetWindowContext while it
  // activates, and makes its window a child of ours.
  RECT area = Area();
  if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &area))) {
    return false;
  }
  object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace_));
  if (FAILED(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_)))) {
    return false;
  }
  // Without the events nothing would keep the control on the program's
  // pages: such a control is not used.
  return events_.Connect(browser_);
}

void BrowserSite::DropStarted() {
  KillTimer(window_, DropTimer);
  dropping_ = true;
}

// The control may start the navigation to what was dropped from a message
// it posts during the drop rather than at once. A timer's message comes only
// once no posted message is waiting, so the drop is over when it comes.
void BrowserSite::DropEnded() {
  SetPropW(window_, SiteProperty, this);
  if (!SetTimer(window_, DropTimer, 0, &BrowserSite::DropSettled)) dropping_ = false;
}

void CALLBACK BrowserSite::DropSettled(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  if (auto* site = static_cast<BrowserSite*>(GetPropW(window, SiteProperty))) {
    site->dropping_ = false;
  }
}

bool BrowserSite::Let(PageRequest request, const std::optional<std::string>& url) {
  if (dropping_ && request == PageRequest::Navigation) return false;
  return gate_ && gate_(request, url);
}

void BrowserSite::Close() {
  events_.Disconnect();
  KillTimer(window_, DropTimer);
  RemovePropW(window_, SiteProperty);
  Drop(active_);
  // Out of place first, while the control's window still has its parent;
  // then closed and cut from the site, so that it holds no reference back.
  if (inPlace_) inPlace_->InPlaceDeactivate();
  Drop(inPlace_);
  Drop(browser_);
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
  }
  Drop(object_);
  Release();
}

RECT BrowserSite::Area() const {
  RECT area{};
  GetClientRect(window_, &area);
  return area;
}

void BrowserSite::Fit() {
  if (!inPlace_) return;
  const RECT area = Area();
  inPlace_->SetObjectRects(&area, &area);
}

bool BrowserSite::Navigate(const std::wstring& url) {
  if (!browser_) return false;
  VARIANT location;
  VariantInit(&location);
  location.vt = VT_BSTR;
  location.bstrVal = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
  if (!location.bstrVal) return false;
  // The optional arguments are left out: empty variants.
  VARIANT none;
  VariantInit(&none);
  const HRESULT result = browser_->Navigate2(&location, &none, &none, &none, &none);
  VariantClear(&location);
  return SUCCEEDED(result);
}

bool BrowserSite::TranslateKey(MSG& msg) {
  if (!active_ || !IsChild(window_, msg.hwnd)) return false;
  return active_->TranslateAccelerator(&msg) == S_OK;
}

HRESULT BrowserSite::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *object = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
    *object = static_cast<IOleInPlaceSite*>(this);
  } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
    *object = static_cast<IOleInPlaceFrame*>(this);
  } else if (iid == IID_IDocHostUIHandler) {
    *object = static_cast<IDocHostUIHandler*>(&ui_);
  } else if (iid == __uuidof(IDocHostShowUI)) {
    // By __uuidof: MinGW's uuid library has no IID_IDocHostShowUI.
    *object = static_cast<IDocHostShowUI*>(&showUi_);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG BrowserSite::AddRef() { return ++references_; }

ULONG BrowserSite::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT BrowserSite::SaveObject() { return E_NOTIMPL; }

HRESULT BrowserSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT BrowserSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT BrowserSite::ShowObject() { return S_OK; }
HRESULT BrowserSite::OnShowWindow(BOOL) { return S_OK; }
HRESULT BrowserSite::RequestNewObjectLayout() { return E_NOTIMPL; }

// The site and the frame answer with the same window, the web view's own;
// the control finds the top-level window from it where it needs one.
HRESULT BrowserSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return S_OK;
}

HRESULT BrowserSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
HRESULT BrowserSite::CanInPlaceActivate() { return S_OK; }
HRESULT BrowserSite::OnInPlaceActivate() { return S_OK; }
HRESULT BrowserSite::OnUIActivate() { return S_OK; }

HRESULT BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                      LPRECT position, LPRECT clip,
                                      LPOLEINPLACEFRAMEINFO info) {
  if (!frame || !doc || !position || !clip || !info) return E_POINTER;
  *frame = this;
  AddRef();
  *doc = nullptr;
  *position = Area();
  *clip = *position;
  info->fMDIApp = FALSE;
  info->hwndFrame = GetAncestor(window_, GA_ROOT);
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

HRESULT BrowserSite::Scroll(SIZE) { return E_NOTIMPL; }
HRESULT BrowserSite::OnUIDeactivate(BOOL) { return S_OK; }
HRESULT BrowserSite::OnInPlaceDeactivate() { return S_OK; }
HRESULT BrowserSite::DiscardUndoState() { return E_NOTIMPL; }
HRESULT BrowserSite::DeactivateAndUndo() { return E_NOTIMPL; }

HRESULT BrowserSite::OnPosRectChange(LPCRECT position) {
  // The host decides where the control goes; it keeps to the window.
  if (!position) return E_POINTER;
  Fit();
  return S_OK;
}

HRESULT BrowserSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
HRESULT BrowserSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
HRESULT BrowserSite::SetBorderSpace(LPCBORDERWIDTHS) { return OLE_E_INVALIDRECT; }

HRESULT BrowserSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  // The control that takes the keyboard tells the frame, which lends it the
  // keys first from then on.
  if (object) object->AddRef();
  Drop(active_);
  active_ = object;
  return S_OK;
}

HRESULT BrowserSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
HRESULT BrowserSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
HRESULT BrowserSite::RemoveMenus(HMENU) { return E_NOTIMPL; }
HRESULT BrowserSite::SetStatusText(LPCOLESTR) { return S_OK; }
HRESULT BrowserSite::EnableModeless(BOOL) { return S_OK; }
HRESULT BrowserSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

}  // namespace platform::win
