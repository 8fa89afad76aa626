// The control's DWebBrowserEvents2, where it asks before it leaves its page:
// a navigation of its top frame, a new window, a download. Each becomes a
// request of the page rule, put to the site; what the site does not let go
// ahead is cancelled. Frames inside the page navigate as they please: they
// never take the page away.
#pragma once

#include <string>

#include "platform/win32.h"

#include <exdisp.h>
#include <ocidl.h>

namespace platform::win {

class BrowserSite;

class BrowserEvents final : public IDispatch {
 public:
  // Shares the site's references: the connection holds the site while the
  // control holds the sink.
  explicit BrowserEvents(BrowserSite& site) : site_(site) {}

  bool Connect(IWebBrowser2* browser);
  // Before the site lets go of the control: the control's reference to the
  // sink, and so to the site, goes.
  void Disconnect();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override;

 private:
  void BeforeNavigate(DISPPARAMS& params);
  void NewWindow(DISPPARAMS& params);
  void FileDownload(DISPPARAMS& params);
  bool IsTopFrame(const VARIANT& frame) const;

  BrowserSite& site_;
  IConnectionPoint* point_ = nullptr;
  DWORD cookie_ = 0;
  // The control names no URL when it asks about a download: it is the one
  // of the top frame's navigation that led to it.
  std::wstring lastNavigation_;
};

}  // namespace platform::win
