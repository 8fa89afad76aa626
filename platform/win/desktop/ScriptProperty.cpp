#include "platform/win/desktop/ScriptProperty.h"

namespace platform::win {

namespace {

// The property's value in result, which the caller clears.
bool Get(IDispatch* object, const wchar_t* name, VARIANT& result) {
  VariantInit(&result);
  if (!object) return false;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  DISPPARAMS none{};
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                  &result, nullptr, nullptr));
}

}  // namespace

std::wstring TextProperty(IDispatch* object, const wchar_t* name) {
  VARIANT value;
  std::wstring text;
  if (Get(object, name, value) && value.vt == VT_BSTR && value.bstrVal) {
    text.assign(value.bstrVal, SysStringLen(value.bstrVal));
  }
  VariantClear(&value);
  return text;
}

IDispatch* ObjectProperty(IDispatch* object, const wchar_t* name) {
  VARIANT value;
  IDispatch* found = nullptr;
  if (Get(object, name, value) && value.vt == VT_DISPATCH && value.pdispVal) {
    found = value.pdispVal;
    found->AddRef();
  }
  VariantClear(&value);
  return found;
}

bool TrueProperty(IDispatch* object, const wchar_t* name) {
  VARIANT value;
  const bool yes =
      Get(object, name, value) && value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
  VariantClear(&value);
  return yes;
}

}  // namespace platform::win
