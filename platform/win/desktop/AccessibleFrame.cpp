#include "platform/win/desktop/AccessibleFrame.h"

#include <string>
#include <vector>

#include "platform/win/desktop/Dpi.h"

namespace platform::win {

namespace {

// Not IID_IAccessible: MinGW's oleacc import library defines that name too,
// as an import thunk, and whichever library the link meets first wins.
const IID& AccessibleIid = __uuidof(IAccessible);

BSTR Bstr(const std::string& utf8) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(n));
  if (text != nullptr && n > 0) {
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text, n);
  }
  return text;
}

}  // namespace

class AccessibleFrame final : public IAccessible {
 public:
  AccessibleFrame(HWND hwnd, WindowSink& sink, IAccessible* standard)
      : hwnd_(hwnd), sink_(&sink), standard_(standard) {}
  virtual ~AccessibleFrame() = default;

  void Forget() {
    sink_ = nullptr;
    if (standard_ != nullptr) standard_->Release();
    standard_ = nullptr;
  }

  // Takes what the parts are now as what listeners know.
  void Remember() { told_ = Parts(); }

  void Announce() {
    if (sink_ == nullptr) return;
    const std::vector<AccessiblePart> now = sink_->AccessibleParts();
    if (now.size() != told_.size()) {
      NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd_, OBJID_CLIENT, CHILDID_SELF);
    } else {
      for (std::size_t i = 0; i < now.size(); ++i) {
        const LONG child = static_cast<LONG>(i + 1);
        if (now[i].name != told_[i].name) {
          NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, child);
        }
        if (now[i].pressed != told_[i].pressed) {
          NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, child);
        }
      }
    }
    told_ = now;
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == AccessibleIid) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      Forget();
      delete this;
    }
    return left;
  }

  // IDispatch: tools use the vtable; the standard objects answer the same.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible. The client object itself, and what follows the parts, is
  // the standard object's to answer.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (standard_ == nullptr) return Gone();
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (standard_ == nullptr) return Gone();
    LONG own = 0;
    standard_->get_accChildCount(&own);
    *count = static_cast<LONG>(Parts().size()) + own;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    *object = nullptr;
    if (standard_ == nullptr) return Gone();
    if (child.vt != VT_I4) return E_INVALIDARG;
    const LONG parts = static_cast<LONG>(Parts().size());
    // The parts are simple elements, named by their ids.
    if (child.lVal >= 1 && child.lVal <= parts) return S_FALSE;
    if (child.lVal <= parts) return E_INVALIDARG;
    child.lVal -= parts;
    return standard_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    *name = nullptr;
    AccessiblePart part;
    const HRESULT self = Part(child, part);
    if (self != S_OK) return self == S_FALSE ? Standard()->get_accName(child, name) : self;
    *name = Bstr(part.name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    *value = nullptr;
    return ForStandard(child, [&] { return Standard()->get_accValue(child, value); });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    *text = nullptr;
    return ForStandard(child, [&] { return Standard()->get_accDescription(child, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    VariantInit(role);
    AccessiblePart part;
    const HRESULT self = Part(child, part);
    if (self != S_OK) return self == S_FALSE ? Standard()->get_accRole(child, role) : self;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    VariantInit(state);
    AccessiblePart part;
    const HRESULT self = Part(child, part);
    if (self != S_OK) return self == S_FALSE ? Standard()->get_accState(child, state) : self;
    state->vt = VT_I4;
    state->lVal = part.pressed ? STATE_SYSTEM_PRESSED : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    *help = nullptr;
    return ForStandard(child, [&] { return Standard()->get_accHelp(child, help); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    *file = nullptr;
    return ForStandard(child, [&] { return Standard()->get_accHelpTopic(file, child, topic); });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    *keys = nullptr;
    return ForStandard(child, [&] { return Standard()->get_accKeyboardShortcut(child, keys); });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    VariantInit(child);
    if (standard_ == nullptr) return Gone();
    return standard_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    VariantInit(children);
    if (standard_ == nullptr) return Gone();
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    *action = nullptr;
    AccessiblePart part;
    const HRESULT self = Part(child, part);
    if (self != S_OK)
      return self == S_FALSE ? Standard()->get_accDefaultAction(child, action) : self;
    *action = Bstr("Press");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return ForStandard(child, [&] { return Standard()->accSelect(flags, child); });
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    *left = *top = *width = *height = 0;
    AccessiblePart part;
    const HRESULT self = Part(child, part);
    if (self != S_OK) {
      return self == S_FALSE ? Standard()->accLocation(left, top, width, height, child) : self;
    }
    // The parts are in the host's logical pixels; a tool measures the
    // screen in device pixels, which the window's scale maps each pixel onto.
    const DeviceScale scale = Dpi(GetDpiForWindow(hwnd_)).Scale();
    POINT origin{0, 0};
    ClientToScreen(hwnd_, &origin);
    *left = origin.x + scale.Device(part.bounds.left);
    *top = origin.y + scale.Device(part.bounds.top);
    *width = scale.Device(part.bounds.right) - scale.Device(part.bounds.left);
    *height = scale.Device(part.bounds.bottom) - scale.Device(part.bounds.top);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    VariantInit(end);
    return ForStandard(start, [&] { return Standard()->accNavigate(direction, start, end); });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    VariantInit(child);
    if (standard_ == nullptr) return Gone();
    POINT at{x, y};
    ScreenToClient(hwnd_, &at);
    const DeviceScale scale = Dpi(GetDpiForWindow(hwnd_)).Scale();
    at = POINT{scale.Logical(at.x), scale.Logical(at.y)};
    const std::vector<AccessiblePart> parts = Parts();
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (PtInRect(&parts[i].bounds, at)) {
        child->vt = VT_I4;
        child->lVal = static_cast<LONG>(i + 1);
        return S_OK;
      }
    }
    return standard_->accHitTest(x, y, child);
  }
  // Works the part at once, through the sink's pointer path; the window
  // may be gone when it returns (the close button).
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    AccessiblePart part;
    const HRESULT self = Part(child, part);
    if (self != S_OK) return self == S_FALSE ? Standard()->accDoDefaultAction(child) : self;
    AddRef();
    sink_->PressAccessiblePart(static_cast<std::size_t>(child.lVal - 1));
    Release();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  static HRESULT Gone() { return RPC_E_DISCONNECTED; }

  std::vector<AccessiblePart> Parts() const {
    return sink_ != nullptr ? sink_->AccessibleParts() : std::vector<AccessiblePart>();
  }
  IAccessible* Standard() const { return standard_; }

  // S_OK with the part a child id names; S_FALSE for an id the standard
  // object answers (the client itself, the children after the parts), with
  // the id moved into its numbering; an error for a wrong id or a gone
  // window.
  HRESULT Part(VARIANT& child, AccessiblePart& part) const {
    if (standard_ == nullptr) return Gone();
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) return S_FALSE;
    const std::vector<AccessiblePart> parts = Parts();
    const LONG count = static_cast<LONG>(parts.size());
    if (child.lVal < 1) return E_INVALIDARG;
    if (child.lVal > count) {
      child.lVal -= count;
      return S_FALSE;
    }
    part = parts[static_cast<std::size_t>(child.lVal - 1)];
    return S_OK;
  }

  // What parts do not have (a value, help, selection) is the standard
  // object's for the client itself and its own children, and none for them.
  template <class Call>
  HRESULT ForStandard(VARIANT& child, Call call) const {
    AccessiblePart part;
    const HRESULT self = Part(child, part);
    if (self == S_FALSE) return call();
    return self == S_OK ? DISP_E_MEMBERNOTFOUND : self;
  }

  ULONG references_ = 1;
  HWND hwnd_;
  WindowSink* sink_;
  IAccessible* standard_;
  std::vector<AccessiblePart> told_;  // as WinEvent listeners were last told
};

LRESULT AnswerGetObject(HWND hwnd, WindowSink& sink, AccessibleFrame*& frame, WPARAM wParam,
                        LPARAM lParam) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
  if (frame == nullptr) {
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, AccessibleIid,
                                         reinterpret_cast<void**>(&standard))) ||
        standard == nullptr) {
      return 0;
    }
    frame = new AccessibleFrame(hwnd, sink, standard);
    frame->Remember();  // listeners are told of changes from here on
  }
  return LresultFromObject(AccessibleIid, wParam, static_cast<IAccessible*>(frame));
}

void AnnounceParts(AccessibleFrame* frame) {
  if (frame != nullptr) frame->Announce();
}

void ReleaseAccessibleFrame(AccessibleFrame*& frame) {
  if (frame == nullptr) return;
  frame->Forget();
  frame->Release();
  frame = nullptr;
}

}  // namespace platform::win
