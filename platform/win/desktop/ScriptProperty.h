// A property of a page's script object, read by its name through IDispatch,
// as a script would read it: the control's element and document objects
// answer so whatever interfaces of theirs a header declares.
#pragma once

#include <string>

#include "platform/win32.h"

#include <oaidl.h>

namespace platform::win {

// The property's text; empty when there is no such property or it holds no
// string.
std::wstring TextProperty(IDispatch* object, const wchar_t* name);
// The property's object, with a reference for the caller; nullptr when
// there is none.
IDispatch* ObjectProperty(IDispatch* object, const wchar_t* name);
// True when the property holds true.
bool TrueProperty(IDispatch* object, const wchar_t* name);

}  // namespace platform::win
