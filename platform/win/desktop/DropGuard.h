// The page's drop target, standing in front of the control's own: the page
// still gets what is dragged onto it (its script's drag and drop events),
// but what the control would do with a drop the page does not take (open
// the dropped file in the view) never goes ahead: the site refuses every
// navigation that starts while the drop is handed on, or from what the
// control posted meanwhile.
#pragma once

#include "platform/win32.h"

#include <ole2.h>

namespace platform::win {

class BrowserSite;

class DropGuard final : public IDropTarget {
 public:
  // Holds a reference to the control's target and to the site.
  DropGuard(IDropTarget& control, BrowserSite& site);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

 private:
  ~DropGuard();

  ULONG references_ = 1;
  IDropTarget& control_;
  BrowserSite& site_;
};

}  // namespace platform::win
