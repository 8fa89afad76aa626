// How the control's script dialogs look: a message box modal to the
// program's window and titled as that window is, where the control would
// title it with the page's address. It lives inside its site and shares the
// site's identity and references.
#pragma once

#include "platform/win32.h"

#include <mshtmhst.h>

namespace platform::win {

class BrowserSite;

class DocHostShowUi final : public IDocHostShowUI {
 public:
  explicit DocHostShowUi(BrowserSite& site) : site_(site) {}

  // IUnknown, the site's
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDocHostShowUI
  HRESULT STDMETHODCALLTYPE ShowMessage(HWND, LPOLESTR text, LPOLESTR, DWORD type, LPOLESTR,
                                        DWORD, LRESULT* result) override;
  HRESULT STDMETHODCALLTYPE ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) override;

 private:
  BrowserSite& site_;
};

}  // namespace platform::win
