#include "platform/win/desktop/DropGuard.h"

#include "platform/win/desktop/BrowserSite.h"

namespace platform::win {

DropGuard::DropGuard(IDropTarget& control, BrowserSite& site) : control_(control), site_(site) {
  control_.AddRef();
  site_.AddRef();
}

DropGuard::~DropGuard() {
  control_.Release();
  site_.Release();
}

HRESULT DropGuard::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DropGuard::AddRef() {
  return ++references_;
}

ULONG DropGuard::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT DropGuard::DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) {
  return control_.DragEnter(data, keys, point, effect);
}

HRESULT DropGuard::DragOver(DWORD keys, POINTL point, DWORD* effect) {
  return control_.DragOver(keys, point, effect);
}

HRESULT DropGuard::DragLeave() {
  return control_.DragLeave();
}

HRESULT DropGuard::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) {
  site_.DropStarted();
  const HRESULT result = control_.Drop(data, keys, point, effect);
  site_.DropEnded();
  return result;
}

}  // namespace platform::win
