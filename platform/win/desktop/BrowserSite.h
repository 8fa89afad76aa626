// The container of one classic WebBrowser control, in place inside a child
// window of ours: the control's client site, in-place site and frame. The
// child window is the web view the host places, shows and hides; the control
// fills it. What the control asks before it leaves its page (its events, its
// menus, keys and drops) is put to the site's gate, the page rule's side.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/PagePolicy.h"
#include "platform/win/desktop/BrowserEvents.h"
#include "platform/win/desktop/DocHostShowUi.h"
#include "platform/win/desktop/DocHostUi.h"
#include "platform/win32.h"

#include <exdisp.h>
#include <ole2.h>

namespace platform::win {

// Says whether the control may go ahead with a request of its page, having
// done whatever else the rule asked (a hand-off, a line on stderr). The URL
// is UTF-8, or nullopt where the control's was no well-formed text.
using PageGate = std::function<bool(PageRequest request, const std::optional<std::string>& url)>;

class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  // The control, activated in place in `window` at the window's size;
  // nullptr when the system has no such control or it would not activate.
  // The site returned holds one reference, which Close gives back.
  static BrowserSite* Create(HWND window, PageGate gate);

  // Lets go of the control in the order its container owes it, then of the
  // site's own reference. Nothing may call the site afterwards.
  void Close();

  // Fits the control's in-place rectangle to the window, after the window
  // was moved or sized.
  void Fit();
  bool Navigate(const std::wstring& url);
  // Keys for the control (tab between its links, its shortcuts) before the
  // message loop dispatches them; true when it took the key.
  bool TranslateKey(MSG& msg);
  // The control itself, for diagnostics and tests; the site keeps the
  // reference.
  IWebBrowser2* Browser() const { return browser_; }
  HWND Window() const { return window_; }

  // What the control asks, put to the gate. A navigation that starts while
  // something is dropped on the page, or before the messages posted
  // meanwhile have been handled, is the control opening what was dropped:
  // it never goes ahead, and says nothing.
  bool Let(PageRequest request, const std::optional<std::string>& url);
  void DropStarted();
  void DropEnded();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;
  // IOleWindow, for the site and the frame alike
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;
  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override;
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override;
  // IOleInPlaceUIWindow and IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override;
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override;
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override;
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object,
                                            LPCOLESTR) override;
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override;
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override;
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override;
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override;

 private:
  BrowserSite(HWND window, PageGate gate)
      : window_(window), gate_(std::move(gate)), ui_(*this), showUi_(*this), events_(*this) {}
  ~BrowserSite() = default;
  bool Activate();
  RECT Area() const;
  static void CALLBACK DropSettled(HWND window, UINT, UINT_PTR timer, DWORD);

  ULONG references_ = 1;
  HWND window_;
  IOleObject* object_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
  IOleInPlaceObject* inPlace_ = nullptr;
  IOleInPlaceActiveObject* active_ = nullptr;
  PageGate gate_;
  bool dropping_ = false;
  DocHostUi ui_;
  DocHostShowUi showUi_;
  BrowserEvents events_;
};

}  // namespace platform::win
